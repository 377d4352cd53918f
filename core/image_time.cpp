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

// The parts of a sexagesimal text: a sign and up to three numbers separated
// by blanks or colons, only the last with a fraction.
std::optional<std::pair<double, QList<double>>> sexagesimal(const QString &text)
{
    static const QRegularExpression Parts(
        QStringLiteral("^([+-]?)(\\d+)(?:(?: +|:)(\\d+))?(?:(?: +|:)(\\d+))?(\\.\\d*)?$"));
    const QString trimmed = text.trimmed();
    const auto match = Parts.match(trimmed);
    if (!match.hasMatch() || (!trimmed.contains(u':') && !trimmed.contains(u' ')))
        return std::nullopt;
    QList<double> values;
    int last = 2;
    for (int i = 2; i <= 4; ++i) {
        values << (match.hasCaptured(i) ? match.captured(i).toDouble() : 0.0);
        if (match.hasCaptured(i))
            last = i;
    }
    // The fraction belongs to the last part written.
    if (match.hasCaptured(5))
        values[last - 2] += match.captured(5).toDouble();
    if (values[1] >= 60 || values[2] >= 60)
        return std::nullopt;
    return std::pair {match.captured(1) == QLatin1String("-") ? -1.0 : 1.0, values};
}

std::optional<double> card(const Cards &cards, const char *name)
{
    const auto found = cards.constFind(QLatin1String(name));
    return found == cards.constEnd() ? std::nullopt : number(found->value);
}

// The exposure in seconds, and which keyword gave it; a card that is there
// but gives no exposure time is a problem, never passed over.
struct Exposure
{
    std::optional<double> seconds;
    QString keyword;
    bool bad = false;
};

Exposure exposureOf(const Cards &cards)
{
    for (const char *name : {"EXPTIME", "EXPOSURE", "EXP"}) {
        const auto found = cards.constFind(QLatin1String(name));
        if (found == cards.constEnd())
            continue;
        const auto seconds = number(found->value);
        if (!seconds || !(*seconds >= 0))
            return {std::nullopt, QLatin1String(name), true};
        return {seconds, QLatin1String(name), false};
    }
    return {};
}

// DATE-HP (MaxIm DL with ACP: DATE-OBS to the millisecond) where it names the
// same second as DATE-OBS.
QString preciseDateObs(const Cards &cards, QString &keyword)
{
    const QString date = value(cards, QStringLiteral("DATE-OBS")).trimmed();
    const QString precise = value(cards, QStringLiteral("DATE-HP")).trimmed();
    const auto coarse = JulianDate::ofTime(date);
    const auto fine = JulianDate::ofTime(precise);
    keyword = QStringLiteral("DATE-OBS");
    if (coarse && fine
        && std::floor(*coarse * SecondsPerDay + 1e-6) == std::floor(*fine * SecondsPerDay + 1e-6)) {
        keyword = QStringLiteral("DATE-HP");
        return precise;
    }
    return date;
}

// What DATE-OBS's comment says when it is not the exposure's start.
QString startDoubt(const Cards &cards)
{
    const QString comment = cards.value(QStringLiteral("DATE-OBS")).comment.trimmed();
    static const QRegularExpression Start(
        QStringLiteral("start|begin"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression Other(QStringLiteral("grab|end|mid|download|receiv|readout"),
        QRegularExpression::CaseInsensitiveOption);
    return !Start.match(comment).hasMatch() && Other.match(comment).hasMatch() ? comment
                                                                               : QString();
}

// DATE-OBS with its time, or a date alone with the time in another keyword.
std::optional<std::pair<double, QString>> dateObs(
    const Cards &cards, TimeFound &found, bool &oldForm)
{
    QString keyword;
    const QString date = preciseDateObs(cards, keyword);
    if (const auto jd = JulianDate::ofTime(date))
        return std::pair {*jd, keyword};
    const auto day = JulianDate::ofDate(date);
    if (!day) {
        found = {std::nullopt, TimeProblem::NotATime, QStringLiteral("DATE-OBS"), date};
        return std::nullopt;
    }
    oldForm = day->oldForm;
    for (const char *name : {"TIME-OBS", "UT", "UTSTART"}) {
        if (!cards.contains(QLatin1String(name)))
            continue;
        const QString time = value(cards, QLatin1String(name));
        if (const auto seconds = JulianDate::secondsOfTime(time))
            return std::pair {day->jd + *seconds / SecondsPerDay,
                QStringLiteral("DATE-OBS + %1").arg(QLatin1String(name))};
        found = {std::nullopt, TimeProblem::NotATime, QLatin1String(name), time};
        return std::nullopt;
    }
    found = {std::nullopt, TimeProblem::DateWithoutTime, QStringLiteral("DATE-OBS"), date};
    return std::nullopt;
}

// The time found, or why it is none: outside the valid range.
TimeFound checked(const Time &time)
{
    if (!JulianDate::inRange(time.jd))
        return {
            std::nullopt, TimeProblem::OutOfRange, time.from, QString::number(time.jd, 'g', 12)};
    return {time, {}, {}, {}};
}

} // namespace

QString value(const Cards &cards, const QString &keyword)
{
    return cards.value(keyword).value;
}

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
    const QString system = value(cards, QStringLiteral("TIMESYS")).trimmed().toUpper();
    if (system.isEmpty() || system == QLatin1String("UTC"))
        time.scale = TimeScale::Utc;
    else if (system == QLatin1String("TT"))
        time.scale = TimeScale::Tt;
    else if (system == QLatin1String("TAI"))
        time.scale = TimeScale::Tai;
    else
        return {std::nullopt, TimeProblem::UnknownTimeScale, QStringLiteral("TIMESYS"),
            value(cards, QStringLiteral("TIMESYS")).trimmed()};
    const Exposure exposure = exposureOf(cards);
    if (exposure.bad)
        return {std::nullopt, TimeProblem::BadExposure, exposure.keyword,
            value(cards, exposure.keyword).trimmed()};
    time.exposure = exposure.seconds;

    // Already the middle of the exposure.
    if (const auto avg = JulianDate::ofTime(value(cards, QStringLiteral("DATE-AVG")))) {
        time.jd = *avg;
        time.from = QStringLiteral("DATE-AVG");
        return checked(time);
    }
    if (const auto mjd = card(cards, "MJD-AVG")) {
        time.jd = *mjd + ModifiedZero;
        time.from = QStringLiteral("MJD-AVG");
        return checked(time);
    }

    // The start, and half the exposure after it.
    std::optional<std::pair<double, QString>> start;
    if (cards.contains(QStringLiteral("DATE-OBS"))) {
        start = dateObs(cards, found, time.oldDateForm);
        time.startDoubt = start ? startDoubt(cards) : QString();
    }
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
    if (exposure.seconds) {
        time.jd = time.jd + *exposure.seconds / 2 / SecondsPerDay;
        time.from += QStringLiteral(" + %1/2").arg(exposure.keyword);
    }
    time.startOnly = !exposure.seconds;
    return checked(time);
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
    static const QRegularExpression Hours(QStringLiteral("\\[h\\]|\\bhours?\\b|\\bhrs?\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const std::pair<const char *, const char *> pairs[] = {{"OBJCTRA", "OBJCTDEC"}, {"RA", "DEC"}};
    for (const auto &[raName, decName] : pairs) {
        if (!cards.contains(QLatin1String(raName)) || !cards.contains(QLatin1String(decName)))
            continue;
        const Card ra = cards.value(QLatin1String(raName));
        // OBJCTRA is hours, minutes and seconds; RA is written in degrees
        // unless its comment says hours.
        std::optional<double> degrees;
        if (QLatin1String(raName) == QLatin1String("RA") && Hours.match(ra.comment).hasMatch()) {
            const auto hours = number(ra.value);
            if (hours && *hours >= 0 && *hours < 24)
                degrees = *hours * 15;
            else
                degrees = rightAscension(ra.value, false);
        } else {
            degrees = rightAscension(ra.value, QLatin1String(raName) == QLatin1String("RA"));
        }
        const auto dec = declination(value(cards, QLatin1String(decName)));
        if (degrees && dec)
            return SkyPosition {*degrees, *dec};
    }
    return std::nullopt;
}

} // namespace quillet::ImageTime
