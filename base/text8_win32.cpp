#include "base/text8.h"

#include <windows.h>

namespace text8 {
namespace {

std::string FromWide(UINT codePage, std::u16string_view utf16)
{
    if (utf16.empty())
        return {};
    const auto *wide = reinterpret_cast<const wchar_t *>(utf16.data());
    const int length = static_cast<int>(utf16.size());
    const int size = ::WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(codePage, 0, wide, length, text.data(), size, nullptr, nullptr);
    return text;
}

std::u16string ToWide(UINT codePage, std::string_view text)
{
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int size = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::u16string utf16(static_cast<std::size_t>(size), u'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), length, reinterpret_cast<wchar_t *>(utf16.data()), size);
    return utf16;
}

} // namespace

std::string FromUtf16(std::u16string_view utf16)
{
    return FromWide(CP_ACP, utf16);
}

std::u16string ToUtf16(std::string_view text)
{
    return ToWide(CP_ACP, text);
}

std::string FromUtf8(std::string_view utf8)
{
    return FromWide(CP_ACP, ToWide(CP_UTF8, utf8));
}

std::string ToUtf8(std::string_view text)
{
    return FromWide(CP_UTF8, ToWide(CP_ACP, text));
}

std::string ToUpper(std::string_view text)
{
    std::string upper(text);
    if (!upper.empty())
        ::CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

} // namespace text8
