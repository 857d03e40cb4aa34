#include "base/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace numtext {
namespace {

bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string NonFinite(double value)
{
    if (std::isnan(value))
        return "nan";
    return value < 0 ? "-inf" : "inf";
}

std::string_view SkipSpace(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    return text.substr(i);
}

// Whether text[i] is the decimal point: a period, or a comma between
// digits, as most of Europe writes decimals ("19,5" is 19.5, not 19).
bool IsDecimalPoint(std::string_view text, std::size_t i, std::size_t digitsBefore)
{
    if (i >= text.size())
        return false;
    return text[i] == '.' ||
           (text[i] == ',' && digitsBefore > 0 && i + 1 < text.size() && IsDigit(text[i + 1]));
}

// Length of the longest decimal number at the start of text, 0 for none.
std::size_t NumberLength(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        ++digits;
    if (IsDecimalPoint(text, i, digits)) {
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i)
            ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// A number that from_chars finds out of range is infinite when its first
// significant digit lies at or above the decimal point's 308th place, else zero.
double OutOfRange(std::string_view number, bool negative)
{
    long long magnitude = 0;
    bool seenPoint = false, seenSignificant = false;
    std::size_t i = 0;
    for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
        if (number[i] == '.') {
            seenPoint = true;
        } else if (IsDigit(number[i])) {
            if (number[i] != '0')
                seenSignificant = true;
            if (seenSignificant && !seenPoint)
                ++magnitude;
            else if (!seenSignificant && seenPoint)
                --magnitude;
        }
    }
    if (i < number.size()) {
        const bool negativeExponent = number[i + 1] == '-';
        const char *digits = number.data() + i + 1 + (number[i + 1] == '+' || negativeExponent);
        // Anything beyond an int is far beyond any double either way; clamping
        // keeps the sum below from overflowing.
        constexpr long long kFar = std::numeric_limits<int>::max();
        long long exponent = kFar;
        std::from_chars(digits, number.data() + number.size(), exponent);
        exponent = std::min(exponent, kFar);
        magnitude += negativeExponent ? -exponent : exponent;
    }
    const double value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

double Convert(std::string_view number)
{
    const bool negative = number.front() == '-';
    const auto unsigned_ = number.substr(number.front() == '+' || negative ? 1 : 0);
    double value = 0;
    const auto result = std::from_chars(unsigned_.data(), unsigned_.data() + unsigned_.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        return OutOfRange(unsigned_, negative);
    return negative ? -value : value;
}

} // namespace

std::string FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return {buffer, result.ptr};
}

std::string FormatGeneral6(double value)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    std::string text(buffer, result.ptr);
    // The exponent has at least three digits, as the Windows runtime writes it.
    const auto e = text.find('e');
    if (e != std::string::npos && text.size() - (e + 2) < 3)
        text.insert(e + 2, 3 - (text.size() - (e + 2)), '0');
    return text;
}

std::optional<double> ScanDouble(std::string_view text)
{
    text = SkipSpace(text);
    const bool negative = !text.empty() && text.front() == '-';
    const auto unsigned_ = text.substr(!text.empty() && (text.front() == '+' || negative));
    // Hexadecimal is refused outright rather than read as the 0 before its x.
    if (unsigned_.size() > 1 && unsigned_[0] == '0' && (unsigned_[1] == 'x' || unsigned_[1] == 'X'))
        return std::nullopt;
    if (const auto length = NumberLength(text)) {
        std::string number(text.substr(0, length));
        std::replace(number.begin(), number.end(), ',', '.');
        return Convert(number);
    }
    // The words the program itself writes for infinity and not-a-number.
    const auto startsWith = [&](std::string_view word) {
        return unsigned_.size() >= word.size() && std::equal(word.begin(), word.end(), unsigned_.begin(),
                                                             [](char w, char c) { return w == (c | 0x20); });
    };
    if (startsWith("inf"))
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    if (startsWith("nan"))
        return std::numeric_limits<double>::quiet_NaN();
    return std::nullopt;
}

double LeadingNumber(std::string_view text)
{
    return ScanDouble(text).value_or(0.0);
}

} // namespace numtext
