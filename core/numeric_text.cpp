// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quillet {
namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isRemovedBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// from_chars reports a value outside the range of a double without a result;
// whether it overflowed or underflowed follows from the decimal exponent of the
// first significant digit. Overflow saturates at the largest double, so no text
// ever parses to infinity and every number written back reads the same again.
double outOfRange(const std::string &mantissa, long long exponent)
{
    const auto point = mantissa.find('.');
    const std::string integer = mantissa.substr(0, point);
    const auto firstInteger = integer.find_first_not_of('0');
    long long magnitude = 0; // the first significant digit stands for 10^(magnitude - 1)
    if (firstInteger != std::string::npos) {
        magnitude = static_cast<long long>(integer.size() - firstInteger);
    } else if (point != std::string::npos) {
        const auto firstFraction = mantissa.find_first_not_of('0', point + 1);
        magnitude = -static_cast<long long>(firstFraction - point - 1);
    }
    return magnitude + exponent > 0 ? std::numeric_limits<double>::max() : 0.0;
}

// The digits of |value| correctly rounded to 15 significant digits, and the
// decimal exponent of the first one: value ~ d.dddddddddddddd x 10^exponent.
struct Digits15
{
    std::string digits; // exactly 15 characters '0'..'9'
    int exponent = 0;
};

Digits15 digits15(double magnitude)
{
    char buffer[64];
    const auto result = std::to_chars(
        buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
    const std::string text(buffer, result.ptr);
    Digits15 d;
    const auto e = text.find('e');
    d.digits = text.substr(0, 1) + text.substr(2, e - 2);
    d.exponent = std::stoi(text.substr(e + 1));
    return d;
}

QString nonFiniteText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
}

// Adds one unit in the last place of a string of decimal digits.
void incrementDigits(std::string &digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

namespace {

// The one number grammar: an optional sign, digits with at most one point and an
// optional exponent ("E" or "e", an optional sign, digits). As the boxes read it
// (Leading), blanks, tabs and line feeds are left out wherever they stand and the
// number ends at the first character that cannot continue it; as a whole text
// (Whole), nothing but the number may stand there. No value: no number.
enum class Reading { Leading, Whole };

std::optional<double> readNumber(QStringView text, Reading reading)
{
    // The number's characters in the form from_chars reads, the blanks left out;
    // the exponent is summed up directly and written back after the mantissa.
    std::string number;
    bool negative = false;
    bool signAllowed = true;
    bool seenPoint = false;
    bool seenDigit = false;
    bool negativeExponent = false;
    bool exponentDigits = false;
    long long exponent = 0;
    enum class Phase { Mantissa, ExponentSign, ExponentDigits } phase = Phase::Mantissa;

    qsizetype used = 0;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (reading == Reading::Leading && isRemovedBlank(c)) {
            ++used;
            continue;
        }
        if (phase == Phase::Mantissa) {
            if (signAllowed && (c == u'+' || c == u'-')) {
                negative = c == u'-';
                signAllowed = false;
            } else if (isDigit(c)) {
                number += char(c);
                seenDigit = true;
                signAllowed = false;
            } else if (c == u'.' && !seenPoint) {
                number += '.';
                seenPoint = true;
                signAllowed = false;
            } else if ((c == u'E' || c == u'e') && seenDigit) {
                phase = Phase::ExponentSign;
            } else {
                break;
            }
        } else if (phase == Phase::ExponentSign && (c == u'+' || c == u'-')) {
            negativeExponent = c == u'-';
            phase = Phase::ExponentDigits;
        } else if (isDigit(c)) {
            // An exponent far beyond any double saturates; from_chars then reports the range.
            exponent = std::min<long long>(exponent * 10 + (c - u'0'), 1'000'000'000LL);
            exponentDigits = true;
            phase = Phase::ExponentDigits;
        } else {
            break;
        }
        ++used;
    }
    if (!seenDigit)
        return std::nullopt;
    if (reading == Reading::Whole
        && (used != text.size() || (phase != Phase::Mantissa && !exponentDigits)))
        return std::nullopt;
    if (negativeExponent)
        exponent = -exponent;

    const std::size_t mantissaSize = number.size();
    if (exponentDigits)
        number += 'e' + std::to_string(exponent);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = outOfRange(number.substr(0, mantissaSize), exponentDigits ? exponent : 0);
    return negative ? -value : value;
}

} // namespace

double ParseNumber(QStringView text)
{
    return readNumber(text, Reading::Leading).value_or(0.0);
}

std::optional<double> ParseWholeNumber(QStringView text)
{
    return readNumber(text, Reading::Whole);
}

bool IsEmptyText(QStringView text)
{
    return text.isEmpty();
}

QString FormatPattern(double value, QStringView pattern)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    const bool leadingZero = !pattern.startsWith(u"##");

    const Digits15 d = digits15(std::fabs(value));
    const int pointPos = d.exponent + 1; // digits before the decimal point
    std::string integer;
    std::string fraction;
    if (pointPos <= 0) {
        fraction = std::string(std::size_t(-pointPos), '0') + d.digits;
    } else if (pointPos >= int(d.digits.size())) {
        integer = d.digits + std::string(std::size_t(pointPos) - d.digits.size(), '0');
    } else {
        integer = d.digits.substr(0, std::size_t(pointPos));
        fraction = d.digits.substr(std::size_t(pointPos));
    }
    fraction.resize(std::max<std::size_t>(fraction.size(), 3), '0');

    // Two decimals, a third decimal of 5 or more raising the second.
    std::string kept = integer + fraction.substr(0, 2);
    if (fraction[2] >= '5')
        incrementDigits(kept);
    integer = kept.substr(0, kept.size() - 2);
    const std::string decimals = kept.substr(kept.size() - 2);

    const auto firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? std::string() : integer.substr(firstNonZero);
    if (integer.empty() && leadingZero)
        integer.assign(1, '0');

    const bool showsZero = integer.find_first_not_of('0') == std::string::npos && decimals == "00";
    std::string text = (value < 0 && !showsZero) ? "-" : "";
    text += integer + '.' + decimals;
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QString SignedNumberText(double value)
{
    if (!std::isfinite(value))
        return std::signbit(value) && !std::isnan(value) ? nonFiniteText(value)
                                                         : u' ' + nonFiniteText(value);
    if (value == 0.0)
        return QStringLiteral(" 0");

    const Digits15 d = digits15(std::fabs(value));
    std::string significant = d.digits;
    significant.erase(significant.find_last_not_of('0') + 1);

    std::string text = value < 0 ? "-" : " ";
    if (d.exponent >= 15 || d.exponent < -5) {
        text += significant.substr(0, 1);
        if (significant.size() > 1)
            text += '.' + significant.substr(1);
        const int e = std::abs(d.exponent);
        text += d.exponent < 0 ? "E-" : "E+";
        if (e < 10)
            text += '0';
        text += std::to_string(e);
    } else {
        const int pointPos = d.exponent + 1;
        if (pointPos <= 0) {
            text += "0.";
            text.append(std::size_t(-pointPos), '0');
            text += significant;
        } else if (std::size_t(pointPos) >= significant.size()) {
            text += significant + std::string(std::size_t(pointPos) - significant.size(), '0');
        } else {
            text += significant.substr(0, std::size_t(pointPos)) + '.'
                + significant.substr(std::size_t(pointPos));
        }
    }
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QString FileNumberText(double value)
{
    return SignedNumberText(value) + u' ';
}

QString PlainNumberText(double value)
{
    QString text = SignedNumberText(value);
    if (text.startsWith(u' '))
        text.remove(0, 1);
    return text;
}

double FloorValue(double value)
{
    return std::floor(value);
}

} // namespace quillet
