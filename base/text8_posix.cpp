#include "base/cp1252.h"
#include "base/text8.h"

namespace text8 {

std::string FromUtf16(std::u16string_view utf16)
{
    return cp1252::FromUtf16(utf16);
}

std::u16string ToUtf16(std::string_view text)
{
    return cp1252::ToUtf16(text);
}

std::string FromUtf8(std::string_view utf8)
{
    return cp1252::FromUtf8(utf8);
}

std::string ToUtf8(std::string_view text)
{
    return cp1252::ToUtf8(text);
}

std::string ToUpper(std::string_view text)
{
    return cp1252::ToUpper(text);
}

} // namespace text8
