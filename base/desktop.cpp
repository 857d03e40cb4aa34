#include "base/desktop.h"

MsgIcon EffectiveIcon(MsgButtons buttons, MsgIcon icon)
{
    if (icon != MsgIcon::Default)
        return icon;
    return buttons == MsgButtons::OK || buttons == MsgButtons::OKCancel ? MsgIcon::Exclamation
                                                                        : MsgIcon::Question;
}

std::string ApplicationNameFromPath(std::string_view executablePath)
{
    const auto slash = executablePath.find_last_of("/\\");
    auto name = executablePath.substr(slash == std::string_view::npos ? 0 : slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot != 0)
        name = name.substr(0, dot);
    return std::string(name);
}
