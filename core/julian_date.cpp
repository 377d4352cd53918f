// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/julian_date.h"

#include <QDate>
#include <QRegularExpression>

#include <cmath>

namespace quillet {

namespace {

constexpr double SecondsPerDay = 86400.0;

// The Julian date at 0 h UT of a day: QDate counts days from noon.
double midnight(const QDate &date)
{
    return double(date.toJulianDay()) - 0.5;
}

} // namespace

std::optional<double> SecondsOfTime(QStringView text)
{
    static const QRegularExpression Time(
        QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}(?:\\.\\d*)?))?$"));
    const auto match = Time.match(text.trimmed().toString());
    if (!match.hasMatch())
        return std::nullopt;
    const int hours = match.capturedView(1).toInt();
    const int minutes = match.capturedView(2).toInt();
    const double seconds = match.hasCaptured(3) ? match.captured(3).toDouble() : 0.0;
    // A leap second (60.x) is a time that exists.
    if (hours > 23 || minutes > 59 || seconds >= 61)
        return std::nullopt;
    return hours * 3600.0 + minutes * 60.0 + seconds;
}

std::optional<double> JulianDateOfDate(QStringView text)
{
    static const QRegularExpression Iso(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    static const QRegularExpression Old(QStringLiteral("^(\\d{2})/(\\d{2})/(\\d{2})$"));
    const QStringView trimmed = text.trimmed();
    QDate date;
    if (const auto iso = Iso.match(trimmed.toString()); iso.hasMatch()) {
        date = QDate(
            iso.capturedView(1).toInt(), iso.capturedView(2).toInt(), iso.capturedView(3).toInt());
    } else if (const auto old = Old.match(trimmed.toString()); old.hasMatch()) {
        date = QDate(1900 + old.capturedView(3).toInt(), old.capturedView(2).toInt(),
            old.capturedView(1).toInt());
    }
    if (!date.isValid())
        return std::nullopt;
    return midnight(date);
}

std::optional<double> JulianDateOfTime(QStringView text)
{
    static const QRegularExpression Parts(QStringLiteral("^(\\S{10})(?:T| +)(\\S+)$"));
    const auto match = Parts.match(text.trimmed().toString());
    if (!match.hasMatch())
        return std::nullopt;
    const auto day = JulianDateOfDate(match.capturedView(1));
    const auto seconds = SecondsOfTime(match.capturedView(2));
    if (!day || !seconds || match.capturedView(1).contains(u'/'))
        return std::nullopt;
    return *day + *seconds / SecondsPerDay;
}

QString TimeOfJulianDate(double julianDate)
{
    // Whole seconds since the day's start at noon, rounded once.
    const long long seconds = std::llround((julianDate + 0.5) * SecondsPerDay);
    const long long day = seconds / 86400;
    const long long inDay = seconds % 86400;
    const QDate date = QDate::fromJulianDay(day);
    return QStringLiteral("%1 %2:%3:%4")
        .arg(date.toString(u"yyyy-MM-dd"))
        .arg(inDay / 3600, 2, 10, QLatin1Char('0'))
        .arg(inDay / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(inDay % 60, 2, 10, QLatin1Char('0'));
}

} // namespace quillet
