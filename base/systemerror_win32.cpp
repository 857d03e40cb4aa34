#include "base/systemerror.h"

#include "base/text8.h"

#include <windows.h>

namespace {

// The Windows error for a portable one, as the system's own calls report it.
DWORD WindowsError(const std::error_code &code)
{
    if (code.category() == std::system_category())
        return static_cast<DWORD>(code.value());
    if (code == std::errc::invalid_argument)
        return ERROR_INVALID_PARAMETER;
    if (code == std::errc::not_enough_memory)
        return ERROR_NOT_ENOUGH_MEMORY;
    if (code == std::errc::value_too_large)
        return ERROR_ARITHMETIC_OVERFLOW;
    return ERROR_GEN_FAILURE;
}

} // namespace

std::string SystemErrorText(const std::error_code &code)
{
    wchar_t *text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        WindowsError(code), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    if (length == 0)
        return code.message();
    std::u16string wide(reinterpret_cast<const char16_t *>(text), length);
    ::LocalFree(text);
    while (!wide.empty() && (wide.back() == u'\n' || wide.back() == u'\r' || wide.back() == u' '))
        wide.pop_back();
    return text8::FromUtf16(wide);
}
