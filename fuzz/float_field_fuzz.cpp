// A float field's text: the reader never fails, and every value it reads
// shows as a text that reads back as the same single-precision value.
#include "base/numtext.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    numtext::LeadingNumber(text);
    const auto value = numtext::ScanDouble(text);
    if (!value)
        return 0;
    const float member = static_cast<float>(*value);
    const std::string shown = numtext::FormatGeneral6(member);
    if (!std::isfinite(member))
        return 0;
    const auto again = numtext::ScanDouble(shown);
    if (!again)
        std::abort();
    // Six significant digits hold a float to within one part in 10^5.
    const double difference = std::fabs(static_cast<float>(*again) - member);
    if (difference > std::fabs(member) * 1e-5 + 1e-300)
        std::abort();
    return 0;
}
