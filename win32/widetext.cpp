#include "win32/widetext.h"

#include "base/text8.h"

#include <windows.h>

std::wstring WideFromUtf8(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

std::string Utf8FromWide(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr,
                          nullptr);
    return utf8;
}

std::wstring WideFromText8(std::string_view text)
{
    const auto utf16 = text8::ToUtf16(text);
    return {utf16.begin(), utf16.end()};
}

std::string Text8FromWide(std::wstring_view wide)
{
    return text8::FromUtf16(std::u16string(wide.begin(), wide.end()));
}
