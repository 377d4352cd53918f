// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Conversions between the texts of the text boxes and doubles. Every number the
// program works with lives as text in a box; these are the only places where a
// text becomes a number or a number becomes a text, so the same text gives the
// same number everywhere. "." is the decimal separator in both directions,
// whatever the user's locale.
namespace quillet {

// Leading-number parse. Blanks, tabs and line feeds are removed everywhere first;
// then an optional sign, digits with at most one point and an optional exponent
// are read up to the first character that cannot continue the number (a carriage
// return among them). No digit read gives 0.
// Choices of this implementation: only "E"/"e" begin an exponent ("D" does not);
// "&H"/"&O" prefixes and full-width characters are not numbers (they give 0);
// an exponent letter not followed by digits ends the number before it; a number
// beyond the range of a double gives the largest double of its sign (never
// infinity), one too small for it gives 0.
double ParseNumber(QStringView text);

// The same grammar for a text that must be a number in full: the sign, digits,
// point and exponent and nothing else, no blank inside or around it ("1O.5",
// "2,5", "1 2" and full-width digits are no number). Its value is ParseNumber's.
std::optional<double> ParseWholeNumber(QStringView text);

// True exactly when the text has length 0 (a single blank is not empty).
bool IsEmptyText(QStringView text);

// The display patterns "#0.00", "##.00", "####.00" and "#####.00": the value's
// 15-significant-digit decimal taken to two decimals, halves away from zero; "#0"
// shows at least one integer digit, the "#"-only patterns none below 1.
// Choices: a negative value that shows as zero has no "-" (-0.001 gives "0.00");
// a pattern other than these four is treated as "##.00" when it starts with "##"
// and as "#0.00" otherwise; infinity and NaN show as "Infinity", "-Infinity" and
// "NaN" (none of them parses back to a number other than 0).
QString FormatPattern(double value, QStringView pattern);

// A blank (value >= 0) or "-", then up to 15 significant digits without trailing
// zeros or a bare point. Choices: values between -1 and 1 keep their 0 before the
// point (" 0.5"); values of magnitude 1e15 and above, or below 1e-5, use exponent
// form ("1.5E+20", "2E-07").
QString SignedNumberText(double value);

// SignedNumberText followed by one blank: a field of the comparison data file.
QString FileNumberText(double value);

// SignedNumberText without the sign position: no leading blank.
QString PlainNumberText(double value);

// The greatest whole number not above the value.
double FloorValue(double value);

// What a result label shows before the first result, and where a number
// cannot be shown.
inline constexpr char16_t NoValueText[] = u"--.--";

} // namespace quillet
