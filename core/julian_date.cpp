// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/julian_date.h"

#include "core/numeric_text.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cmath>

namespace quillet::JulianDate {

bool inRange(double jd)
{
    return jd >= FirstGregorian && jd < EndOfYear9999;
}

std::optional<double> parse(QStringView text)
{
    const auto jd = ParseWholeNumber(text.trimmed());
    if (!jd || !inRange(*jd))
        return std::nullopt;
    return jd;
}

double midnight(const QDate &date)
{
    return double(date.toJulianDay()) - 0.5;
}

double now()
{
    return UnixEpoch + double(QDateTime::currentMSecsSinceEpoch()) / (SecondsPerDay * 1000);
}

std::optional<double> secondsOfTime(QStringView text)
{
    static const QRegularExpression Time(
        QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}(?:\\.\\d*)?))?$"));
    const auto match = Time.match(text.trimmed().toString());
    if (!match.hasMatch())
        return std::nullopt;
    const int hours = match.capturedView(1).toInt();
    const int minutes = match.capturedView(2).toInt();
    const double seconds = match.hasCaptured(3) ? match.captured(3).toDouble() : 0.0;
    // A leap second (60.x) is inserted only as the last second of a UT day.
    const bool leap = hours == 23 && minutes == 59;
    if (hours > 23 || minutes > 59 || seconds >= (leap ? 61 : 60))
        return std::nullopt;
    return hours * 3600.0 + minutes * 60.0 + seconds;
}

std::optional<Day> ofDate(QStringView text)
{
    static const QRegularExpression Iso(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    static const QRegularExpression Old(QStringLiteral("^(\\d{2})/(\\d{2})/(\\d{2})$"));
    const QString trimmed = text.trimmed().toString();
    QDate date;
    bool oldForm = false;
    if (const auto iso = Iso.match(trimmed); iso.hasMatch()) {
        date = QDate(
            iso.capturedView(1).toInt(), iso.capturedView(2).toInt(), iso.capturedView(3).toInt());
    } else if (const auto old = Old.match(trimmed); old.hasMatch()) {
        date = QDate(1900 + old.capturedView(3).toInt(), old.capturedView(2).toInt(),
            old.capturedView(1).toInt());
        oldForm = true;
    }
    if (!date.isValid() || !inRange(midnight(date)))
        return std::nullopt;
    return Day {midnight(date), oldForm};
}

std::optional<double> ofTime(QStringView text)
{
    // The date, "T" or blanks, the time; "Z" names UTC, which every time here is.
    static const QRegularExpression Parts(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})(?:T| +)(\\S+?)Z?$"));
    const auto match = Parts.match(text.trimmed().toString());
    if (!match.hasMatch())
        return std::nullopt;
    const auto day = ofDate(match.capturedView(1));
    const auto seconds = secondsOfTime(match.capturedView(2));
    if (!day || !seconds)
        return std::nullopt;
    const double jd = day->jd + *seconds / SecondsPerDay;
    return inRange(jd) ? std::optional(jd) : std::nullopt;
}

QString timeText(double jd)
{
    // Whole seconds since the day's start at noon, rounded once.
    const long long seconds = std::llround((jd + 0.5) * SecondsPerDay);
    const long long day = seconds / 86400;
    const long long inDay = seconds % 86400;
    const QDate date = QDate::fromJulianDay(day);
    return QStringLiteral("%1 %2:%3:%4")
        .arg(date.toString(u"yyyy-MM-dd"))
        .arg(inDay / 3600, 2, 10, QLatin1Char('0'))
        .arg(inDay / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(inDay % 60, 2, 10, QLatin1Char('0'));
}

QString eveningDate(double jd, int utcOffsetSeconds)
{
    // Local time, less half a day: any moment from noon to the next noon
    // falls on the evening's date.
    const double local = jd + utcOffsetSeconds / SecondsPerDay - 0.5;
    return QDate::fromJulianDay(qint64(std::floor(local + 0.5))).toString(u"yyyyMMdd");
}

} // namespace quillet::JulianDate
