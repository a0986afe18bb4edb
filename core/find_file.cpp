#include "core/find_file.h"

#include <algorithm>
#include <cwchar>

namespace {

// Copies the name into a field of WIN32_FIND_DATAW, cut to fit and ended by a
// NUL, as the search fills it.
template <std::size_t N>
void CopyName(wchar_t (&field)[N], std::wstring_view name)
{
    const std::size_t length = std::min(name.size(), N - 1);
    std::wmemcpy(field, name.data(), length);
    field[length] = L'\0';
}

}  // namespace

void FolderListing::add(const WIN32_FIND_DATAW& entry)
{
    const std::wstring_view name = entry.cFileName;
    const std::wstring_view shortName = entry.cAlternateFileName;
    entries_.push_back({entry.dwFileAttributes, entry.ftCreationTime, entry.ftLastAccessTime,
                        entry.ftLastWriteTime, entry.nFileSizeHigh, entry.nFileSizeLow, entry.dwReserved0,
                        entry.dwReserved1, static_cast<std::uint32_t>(names_.size()),
                        static_cast<std::uint16_t>(name.size()), static_cast<std::uint16_t>(shortName.size())});
    names_.append(name).append(shortName);
}

void FolderListing::get(std::size_t i, WIN32_FIND_DATAW& data) const
{
    const Entry& entry = entries_[i];
    data.dwFileAttributes = entry.attributes;
    data.ftCreationTime = entry.created;
    data.ftLastAccessTime = entry.accessed;
    data.ftLastWriteTime = entry.written;
    data.nFileSizeHigh = entry.sizeHigh;
    data.nFileSizeLow = entry.sizeLow;
    data.dwReserved0 = entry.reserved0;
    data.dwReserved1 = entry.reserved1;
    const std::wstring_view names(names_);
    CopyName(data.cFileName, names.substr(entry.name, entry.nameLength));
    CopyName(data.cAlternateFileName, names.substr(entry.name + entry.nameLength, entry.shortLength));
}

std::size_t FolderListing::bytes() const
{
    return sizeof *this + entries_.capacity() * sizeof(Entry) + names_.capacity() * sizeof(wchar_t);
}

FindFile::FindFile(const std::wstring& pattern)
    : handle_(FindFirstFileW(LongForm(pattern).c_str(), &data_)),
      holds_(handle_ != INVALID_HANDLE_VALUE)
{
}

FindFile::FindFile(FolderListing listing)
    : handle_(INVALID_HANDLE_VALUE), holds_(true), listing_(std::move(listing))
{
    next();
}

FindFile::~FindFile()
{
    close();
}

bool FindFile::next()
{
    shownRead_ = false;
    if (handle_ != INVALID_HANDLE_VALUE) {
        if (!FindNextFileW(handle_, &data_))
            close();
    } else if (holds_) {
        holds_ = nextInListing_ < listing_.size();
        if (holds_)
            listing_.get(nextInListing_++, data_);
    }
    return holds_;
}

std::string_view FindFile::name() const
{
    if (!shownRead_) {
        AssignShownText(shown_, data_.cFileName);
        shownRead_ = true;
    }
    return shown_;
}

void FindFile::close()
{
    if (handle_ != INVALID_HANDLE_VALUE) {
        FindClose(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    holds_ = false;
}

DiskPath SubFolder(const DiskPath& folder, const FindFile& entry)
{
    DiskPath path = Joined(folder, entry.name(), entry.wideName());
    path.Shown += '\\';
    path.Wide += L'\\';
    return path;
}
