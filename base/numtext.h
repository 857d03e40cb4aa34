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
// exponent), the rest ignored; also the words inf and nan, with or without a
// sign and in any case, as the program writes them. A comma between digits
// is a decimal point too, whatever the locale. No number, and hexadecimal,
// give nothing.
std::optional<double> ScanDouble(std::string_view text);

// The leading number of a text size entry's size part, 0 when there is none.
double LeadingNumber(std::string_view text);

} // namespace numtext
