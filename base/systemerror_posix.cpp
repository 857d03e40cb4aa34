#include "base/systemerror.h"

std::string SystemErrorText(const std::error_code &code)
{
    return code.message();
}
