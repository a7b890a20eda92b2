// The number texts every writer of the program uses: fixed decimals, the plain single text and
// the printed single. "." is the decimal point whatever the locale.
#pragma once

#include <string>
#include <string_view>

namespace kvr {

// value with exactly `digits` decimals. digits 0 rounds halves to even (72.5 -> 72); otherwise a
// tiny bias of 10^-(digits+2) is added before the half-to-even rounding, so positive halves go up.
std::string FormatDecimals(double value, int digits);

// A single-precision value with at most 7 significant digits and no trailing zeros: 0.5, 1,
// 0.6666667, 95.12; exponent form (1.24975E+07, 8.333334E-08) at 10^7 and above or below 10^-4.
std::string PlainSingle(float value);

// An identity in percent, the decimal point of PlainSingle(identity) moved two places: the
// percent every command writes from the same stored identity ("0.9855072" -> "98.55072").
std::string PercentText(float identity);

// 1 - identity from the same text, for distance matrices ("0.9855072" -> "0.0144928").
std::string DistanceText(float identity);

// "1 second", "0.5 seconds", "30 seconds": a time in PlainSingle's form with its unit.
std::string SecondsText(float seconds);

// The shortest text that reads back as exactly this single-precision value: 0.95, 94.99999,
// 0.050000012. For files that other programs compute with.
std::string ExactSingle(float value);

// As the plain single text, without the "0" before the point, with a space (or "-") before the
// number and a space after it: " .5 ", " 0 ", "-.25 ".
std::string PrintedSingle(float value);

// A whole number rounded half to even, with the blank that non-negative numbers carry: " 100".
std::string PrintedWhole(double value);

// The value rounded half to even to a whole number, as text: "7", "-2".
std::string WholeText(double value);

// A double with at most 15 significant digits, no "0" before the point and no trailing zeros,
// after a space when it is not negative: " 73", " .05", " 72.46", "-.5", " 1E-05".
std::string ShortSignedText(double value);

// The number a text starts with ("." decimal point, whatever the locale), 0 when it starts with
// none: "0.72" -> 0.72, " 12abc" -> 12, "x" -> 0.
double NumberValue(std::string_view text);

}  // namespace kvr
