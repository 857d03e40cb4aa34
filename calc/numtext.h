#pragma once

#include <optional>
#include <string>
#include <string_view>

// Numbers as text, always with a period and never through the C locale, so
// the user's environment cannot change a report, a field or a file.
namespace numtext {

// "%0.Nf": N decimals, no padding. Infinity and not-a-number read inf, -inf, nan.
std::string FormatFixed(double value, int decimals);

// "%.6g" with at least three exponent digits, as a field shows a value:
// 0.72, 25, 1.23457e+006, 1e-005.
std::string FormatGeneral6(double value);

// A field read back with the "%lf" grammar: white space skipped, the longest
// decimal number at the start taken (sign, digits, point, fraction,
// exponent), the rest ignored. No number, and the words inf and nan, and
// hexadecimal, give nothing.
std::optional<double> ScanDouble(std::string_view text);

// The leading number of a text size entry's size part, 0 when there is none.
// Also reads the words inf and nan, so that sizes written as those read back.
double LeadingNumber(std::string_view text);

} // namespace numtext
