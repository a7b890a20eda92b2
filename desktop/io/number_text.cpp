#include "io/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace kvr {

namespace {

std::string StripTrailingZeros(std::string digits) {
    if (digits.find('.') == std::string::npos) return digits;
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
    return digits;
}

// A number with at most `significant` digits, correctly rounded, no trailing zeros; exponent form
// (1.24975E+07) from 10^significant up and below 10^-4.
std::string PlainNumber(double value, int significant) {
    if (value == 0.0) return "0";
    // to_chars, unlike printf, never takes the decimal mark from the locale.
    char buf[48];
    const auto scientific =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, significant - 1);
    const std::string_view text(buf, static_cast<std::size_t>(scientific.ptr - buf));
    const auto ePos = text.find('e');
    int exponent = 0;
    const char* exponentStart = text.data() + ePos + 1;
    if (*exponentStart == '+') ++exponentStart;
    std::from_chars(exponentStart, text.data() + text.size(), exponent);
    if (exponent >= significant || exponent < -4) {
        std::string mantissa = StripTrailingZeros(std::string(text.substr(0, ePos)));
        const std::string digits = std::to_string(std::abs(exponent));
        return mantissa + "E" + (exponent < 0 ? "-" : "+") + (digits.size() < 2 ? "0" : "") +
               digits;
    }
    const auto fixed = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                                     significant - 1 - exponent);
    return StripTrailingZeros(std::string(buf, fixed.ptr));
}

// "0.5" -> ".5", "-0.5" -> "-.5", and a space before a number that is not negative.
std::string SignedWithoutLeadingZero(std::string text) {
    const bool negative = text.front() == '-';
    if (negative) text.erase(0, 1);
    if (text.size() > 1 && text[0] == '0' && text[1] == '.') text.erase(0, 1);
    return (negative ? "-" : " ") + text;
}

}  // namespace

std::string FormatDecimals(double value, int digits) {
    if (digits <= 0) return WholeText(value);
    const double p = std::pow(10.0, digits);
    const double e = std::pow(10.0, -(digits + 2));
    const auto t = static_cast<std::int64_t>(std::nearbyint(p * value + e));
    const auto scale = static_cast<std::int64_t>(p);
    const std::int64_t magnitude = std::llabs(t);
    std::string fraction = std::to_string(magnitude % scale);
    fraction.insert(0, static_cast<std::size_t>(digits) - fraction.size(), '0');
    return (t < 0 ? "-" : "") + std::to_string(magnitude / scale) + "." + fraction;
}

std::string PlainSingle(float value) {
    return PlainNumber(value, 7);
}

std::string ExactSingle(float value) {
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

std::string PrintedSingle(float value) {
    return SignedWithoutLeadingZero(PlainSingle(value)) + " ";
}

std::string WholeText(double value) {
    return std::to_string(static_cast<std::int64_t>(std::nearbyint(value)));
}

std::string PrintedWhole(double value) {
    const auto whole = static_cast<std::int64_t>(std::nearbyint(value));
    return (whole < 0 ? "" : " ") + std::to_string(whole);
}

std::string ShortSignedText(double value) {
    return SignedWithoutLeadingZero(PlainNumber(value, 15));
}

double NumberValue(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) return 0.0;
    bool negative = false;
    if (text[start] == '+' || text[start] == '-') {
        negative = text[start] == '-';
        ++start;
    }
    double value = 0.0;
    const char* first = text.data() + start;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    if (error != std::errc() || end == first) return 0.0;
    return negative ? -value : value;
}

std::string DistanceText(float identity) {
    // As PercentText: an exact decimal of at most 7 digits, recovered by the rounding.
    return PlainNumber(1.0 - NumberValue(PlainSingle(identity)), 7);
}

std::string SecondsText(float seconds) {
    return PlainSingle(seconds) + (seconds == 1.0f ? " second" : " seconds");
}

std::string PercentText(float identity) {
    // The shifted text has at most 7 significant digits, and the product is within a few parts
    // in 10^16 of it: rounding to 7 digits gives it back exactly.
    return PlainNumber(NumberValue(PlainSingle(identity)) * 100, 7);
}

}  // namespace kvr
