#pragma once
#include <string>

// The usage page's text: title line, then each section heading underlined.
std::string UsageText();
