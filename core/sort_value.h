#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/heap_sort.h"

// What one record is compared by under a sort key, worked out once per record
// so that a sort upper-cases or formats each value once rather than at every
// comparison. A key a table does not know gives the empty value, under which
// every pair is equal.
struct SortValue {
    std::string text;
    std::int64_t number = 0;
};

inline SortValue TextValue(std::string text) { return {std::move(text), 0}; }
inline SortValue NumberValue(std::int64_t number) { return {{}, number}; }

// Texts compare as unsigned bytes, the first difference deciding and a
// prefix first (no locale collation); then numbers.
inline int CompareSortValues(const SortValue& a, const SortValue& b) {
    const int order = std::string_view(a.text).compare(b.text);
    if (order != 0) return order < 0 ? -1 : 1;
    return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
}

// Sets order[1..n] to records 1..n and heap-sorts it by valueOf(record).
template <class ValueOf>
void SortByValues(std::vector<int>& order, int n, bool descending, ValueOf valueOf) {
    if (n <= 0) return;
    ResetOrder(order, n);
    std::vector<SortValue> values(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) values[static_cast<std::size_t>(i)] = valueOf(i);
    SortOrder(order, n, descending, [&](int a, int b) {
        return CompareSortValues(values[static_cast<std::size_t>(a)], values[static_cast<std::size_t>(b)]);
    });
}

#ifdef _WIN32
// The system's ANSI upper-casing (CharUpperBuffA): under code page 932 it
// steps over double-byte characters and also upper-cases full-width Latin
// letters.
std::string UpperCased(std::string_view text);
#endif
