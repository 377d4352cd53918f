// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/image_time.h"

#include "core/julian_date.h"
#include "core/numeric_text.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace quillet::ImageTime {

namespace {

using JulianDate::ModifiedZero;
using JulianDate::SecondsPerDay;

// The parts of a sexagesimal text: a sign and up to three numbers, separated
// by blanks or colons.
std::optional<std::pair<double, QList<double>>> sexagesimal(const QString &text)
{
    static const QRegularExpression Parts(QStringLiteral(
        "^([+-]?)(\\d+(?:\\.\\d*)?)(?:[ :]+(\\d+(?:\\.\\d*)?))?(?:[ :]+(\\d+(?:\\.\\d*)?))?$"));
    const auto match = Parts.match(text.trimmed());
    if (!match.hasMatch() || (!text.contains(u':') && !text.trimmed().contains(u' ')))
        return std::nullopt;
    QList<double> values;
    for (int i = 2; i <= 4; ++i)
        values << (match.hasCaptured(i) ? match.captured(i).toDouble() : 0.0);
    if (values[1] >= 60 || values[2] >= 60)
        return std::nullopt;
    return std::pair {match.captured(1) == QLatin1String("-") ? -1.0 : 1.0, values};
}

std::optional<double> card(const Cards &cards, const char *name)
{
    const auto found = cards.constFind(QLatin1String(name));
    return found == cards.constEnd() ? std::nullopt : number(*found);
}

// The exposure in seconds, and which keyword gave it.
std::pair<std::optional<double>, QString> exposureOf(const Cards &cards)
{
    for (const char *name : {"EXPTIME", "EXPOSURE"}) {
        const auto seconds = card(cards, name);
        if (seconds && *seconds >= 0)
            return {seconds, QLatin1String(name)};
    }
    return {std::nullopt, {}};
}

// DATE-OBS with its time, or a date alone with the time in another keyword.
std::optional<std::pair<double, QString>> dateObs(const Cards &cards, TimeFound &found)
{
    const QString date = cards.value(QStringLiteral("DATE-OBS")).trimmed();
    if (const auto jd = JulianDate::ofTime(date))
        return std::pair {*jd, QStringLiteral("DATE-OBS")};
    const auto day = JulianDate::ofDate(date);
    if (!day) {
        found = {std::nullopt, TimeProblem::NotATime, QStringLiteral("DATE-OBS"), date};
        return std::nullopt;
    }
    for (const char *name : {"TIME-OBS", "UT", "UTSTART"}) {
        if (!cards.contains(QLatin1String(name)))
            continue;
        if (const auto seconds = JulianDate::secondsOfTime(cards.value(QLatin1String(name))))
            return std::pair {day->jd + *seconds / SecondsPerDay,
                QStringLiteral("DATE-OBS + %1").arg(QLatin1String(name))};
        found = {std::nullopt, TimeProblem::NotATime, QLatin1String(name),
            cards.value(QLatin1String(name))};
        return std::nullopt;
    }
    found = {std::nullopt, TimeProblem::DateWithoutTime, QStringLiteral("DATE-OBS"), date};
    return std::nullopt;
}

} // namespace

std::optional<double> number(const QString &text)
{
    QString value = text.trimmed();
    value.replace(u'D', u'E').replace(u'd', u'e');
    return ParseWholeNumber(value);
}

TimeFound midExposure(const Cards &cards)
{
    TimeFound found;
    Time time;
    const QString system = cards.value(QStringLiteral("TIMESYS")).trimmed().toUpper();
    if (system.isEmpty() || system == QLatin1String("UTC"))
        time.scale = TimeScale::Utc;
    else if (system == QLatin1String("TT"))
        time.scale = TimeScale::Tt;
    else if (system == QLatin1String("TAI"))
        time.scale = TimeScale::Tai;
    else
        return {std::nullopt, TimeProblem::UnknownTimeScale, QStringLiteral("TIMESYS"),
            cards.value(QStringLiteral("TIMESYS")).trimmed()};
    const auto [exposure, exposureName] = exposureOf(cards);
    time.exposure = exposure;

    // Already the middle of the exposure.
    if (const auto avg = JulianDate::ofTime(cards.value(QStringLiteral("DATE-AVG")))) {
        time.jd = *avg;
        time.from = QStringLiteral("DATE-AVG");
        found.time = time;
        return found;
    }
    if (const auto mjd = card(cards, "MJD-AVG")) {
        time.jd = *mjd + ModifiedZero;
        time.from = QStringLiteral("MJD-AVG");
        found.time = time;
        return found;
    }

    // The start, and half the exposure after it.
    std::optional<std::pair<double, QString>> start;
    if (cards.contains(QStringLiteral("DATE-OBS")))
        start = dateObs(cards, found);
    if (!start) {
        if (const auto mjd = card(cards, "MJD-OBS"))
            start = std::pair {*mjd + ModifiedZero, QStringLiteral("MJD-OBS")};
        else if (const auto jd = card(cards, "JD"))
            start = std::pair {*jd, QStringLiteral("JD")};
    }
    if (!start)
        return found;
    time.jd = start->first;
    time.from = start->second;
    if (exposure) {
        time.jd = time.jd + *exposure / 2 / SecondsPerDay;
        time.from += QStringLiteral(" + %1/2").arg(exposureName);
    }
    time.startOnly = !exposure;
    return {time, {}, {}, {}};
}

std::optional<double> rightAscension(const QString &text, bool degreesAllowed)
{
    if (const auto parts = sexagesimal(text)) {
        const auto &[sign, v] = *parts;
        const double hours = v[0] + v[1] / 60 + v[2] / 3600;
        if (sign < 0 || hours >= 24)
            return std::nullopt;
        return hours * 15;
    }
    const auto degrees = degreesAllowed ? number(text) : std::nullopt;
    if (!degrees || *degrees < 0 || *degrees >= 360)
        return std::nullopt;
    return degrees;
}

std::optional<double> declination(const QString &text)
{
    std::optional<double> degrees;
    if (const auto parts = sexagesimal(text)) {
        const auto &[sign, v] = *parts;
        degrees = sign * (v[0] + v[1] / 60 + v[2] / 3600);
    } else {
        degrees = number(text);
    }
    if (!degrees || std::fabs(*degrees) > 90)
        return std::nullopt;
    return degrees;
}

std::optional<SkyPosition> position(const Cards &cards)
{
    const std::pair<const char *, const char *> pairs[] = {{"OBJCTRA", "OBJCTDEC"}, {"RA", "DEC"}};
    for (const auto &[raName, decName] : pairs) {
        if (!cards.contains(QLatin1String(raName)) || !cards.contains(QLatin1String(decName)))
            continue;
        // OBJCTRA is hours, minutes and seconds; RA is written in degrees.
        const auto ra = rightAscension(
            cards.value(QLatin1String(raName)), QLatin1String(raName) == QLatin1String("RA"));
        const auto dec = declination(cards.value(QLatin1String(decName)));
        if (ra && dec)
            return SkyPosition {*ra, *dec};
    }
    return std::nullopt;
}

} // namespace quillet::ImageTime
