#include "state/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kvr {

namespace {

std::string StripTrailingZeros(std::string digits) {
    if (digits.find('.') == std::string::npos) return digits;
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
    return digits;
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
    if (value == 0.0f) return "0";
    const double v = value;
    // Seven significant digits, correctly rounded; the exponent decides the form.
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6E", v);
    const std::string_view text(buf);
    const auto ePos = text.find('E');
    const int exponent = std::atoi(buf + ePos + 1);
    if (exponent >= 7 || exponent < -4) {
        std::string mantissa = StripTrailingZeros(std::string(text.substr(0, ePos)));
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return mantissa + exp;
    }
    std::snprintf(buf, sizeof buf, "%.*f", 6 - exponent, v);
    return StripTrailingZeros(buf);
}

std::string PrintedSingle(float value) {
    std::string text = PlainSingle(value);
    const bool negative = text.front() == '-';
    if (negative) text.erase(0, 1);
    if (text.size() > 1 && text[0] == '0' && text[1] == '.') text.erase(0, 1);
    return (negative ? "-" : " ") + text + " ";
}

std::string WholeText(double value) {
    return std::to_string(static_cast<std::int64_t>(std::nearbyint(value)));
}

std::string PrintedWhole(double value) {
    const auto whole = static_cast<std::int64_t>(std::nearbyint(value));
    return (whole < 0 ? "" : " ") + std::to_string(whole);
}

}  // namespace kvr
