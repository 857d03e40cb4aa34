#pragma once

#include <string>
#include <string_view>

// The system's wide text from and to UTF-8: the dialog templates' texts and
// the executable's path.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
// The system's wide text from and to the program's 8-bit text (the ANSI
// code page): field contents, list entries, captions and messages.
std::wstring WideFromText8(std::string_view text);
std::string Text8FromWide(std::wstring_view wide);
