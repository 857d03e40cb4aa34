#include "base/systemerror.h"

#include "base/text8.h"

std::string SystemErrorText(const std::error_code &code)
{
    // The C library speaks the locale's encoding, UTF-8 on any current system.
    return text8::FromUtf8(code.message());
}
