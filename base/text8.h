#pragma once

#include <string>
#include <string_view>

// The program's 8-bit text (names, messages, the report): the system's ANSI
// code page on Windows, as the Windows program has always kept it, and
// Windows-1252 elsewhere, so that files move between the two unchanged on a
// Western system. Each platform converts in a file of its own
// (text8_win32.cpp, text8_posix.cpp); characters the code page cannot hold
// become '?'.
//
// It is the one encoding of every string the core and the dialog classes
// hand on: window and control texts and list entries (dialogs/toolkit.h),
// messages (base/desktop.h), file names in error messages, system error
// texts and the stored names. Only the toolkits and the platform files
// convert, at the system's edge: UTF-16 for Win32 and Qt, UTF-8 for POSIX.
namespace text8 {

std::string FromUtf16(std::u16string_view utf16);
std::u16string ToUtf16(std::string_view text);
std::string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::string_view text);

// Upper case as the system's code page has it.
std::string ToUpper(std::string_view text);

// Case-insensitive order, the one the text size list keeps: upper-cased
// bytes first, then the bytes themselves so that the order is total.
bool LessNoCase(std::string_view a, std::string_view b);
// The same order for texts already upper-cased (ToUpper), as a sort of many
// does once for each rather than in every comparison.
bool LessNoCase(std::string_view upperA, std::string_view a, std::string_view upperB, std::string_view b);

} // namespace text8
