#include "base/text8.h"

namespace text8 {

// std::string_view compares its bytes as unsigned, as the order wants.
bool LessNoCase(std::string_view upperA, std::string_view a, std::string_view upperB, std::string_view b)
{
    return upperA != upperB ? upperA < upperB : a < b;
}

bool LessNoCase(std::string_view a, std::string_view b)
{
    return LessNoCase(ToUpper(a), a, ToUpper(b), b);
}

} // namespace text8
