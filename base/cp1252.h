#pragma once

#include <string>
#include <string_view>

// Names in the binary files are 8-bit Windows-1252 text, so a file is byte
// for byte what the Windows program reads and writes. These convert between
// that and Unicode; characters Windows-1252 cannot hold become '?'.
namespace cp1252 {

std::string FromUtf8(std::string_view utf8);
std::string FromUtf16(std::u16string_view utf16);
std::string ToUtf8(std::string_view text);
std::u16string ToUtf16(std::string_view text);

// Upper case as Windows does it for this code page: é to É, ÿ to Ÿ; ß and µ stay.
std::string ToUpper(std::string_view text);

} // namespace cp1252
