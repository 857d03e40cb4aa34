#pragma once

#include <string>
#include <system_error>

// The operating system's own words for an error of a text or list operation
// (an invalid index, an overflow), as 8-bit text: Windows' message table
// there, the C library's text elsewhere.
std::string SystemErrorText(const std::error_code &code);
