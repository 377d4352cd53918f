// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>

#include <optional>

// What an image's header says of when it was taken and what it shows, by the
// rules observers' programs follow: the header's cards as keyword, value text
// and comment, nothing read here. Turning a time scale into another one and
// the heliocentric correction are the night library's (ERFA).
namespace quillet::ImageTime {

struct Card
{
    QString value; // a string's value without its quotes and trailing blanks, any other as written
    QString comment;
};
// Keywords in upper case.
using Cards = QMap<QString, Card>;

// A card's value; empty when there is no such card.
QString value(const Cards &cards, const QString &keyword);

enum class TimeScale { Utc, Tt, Tai };

// The mid-exposure time the header gives, in its own time scale.
struct Time
{
    double jd; // Julian date of the exposure's middle (or start, without an exposure)
    TimeScale scale = TimeScale::Utc;
    std::optional<double> exposure; // seconds
    QString from; // the keywords used: "DATE-OBS + EXPTIME/2"
    bool startOnly = false; // no exposure time: the start stands for the middle
    bool oldDateForm = false; // DATE-OBS was "DD/MM/YY", taken as 19YY
    // DATE-OBS's comment says it is not the start of the exposure (SharpCap's
    // "System Clock-Frame Grabbed"): the comment, read as the start all the same.
    QString startDoubt;
};

enum class TimeProblem {
    NoTimeKeyword, // none of the keywords that give a time
    NotATime, // keyword's value is no date or time
    DateWithoutTime, // DATE-OBS holds a date alone, and no keyword gives the time
    UnknownTimeScale, // TIMESYS is value
    BadExposure, // keyword (EXPTIME, EXPOSURE or EXP) is no exposure time: value
    OutOfRange, // keyword (the keywords used, "DATE-OBS + EXPTIME/2") give a time
                // outside the valid range: value is the Julian date, or its text
};

struct TimeFound
{
    std::optional<Time> time;
    TimeProblem problem = TimeProblem::NoTimeKeyword; // why there is none
    QString keyword;
    QString value;
};

// First match wins: DATE-AVG; MJD-AVG; DATE-OBS (DATE-HP instead when it names
// the same second to the millisecond; with the time in TIME-OBS, UT or
// UTSTART when it holds a date alone; "DD/MM/YY" meaning 19YY) plus half of
// EXPTIME, EXPOSURE or EXP; MJD-OBS plus half the exposure; JD plus half the
// exposure. TIMESYS UTC (or none), TT or TAI; any other is refused. An
// exposure time that is not a number of seconds, or a time outside
// JulianDate::inRange, gives no time.
TimeFound midExposure(const Cards &cards);

// A position on the sky, degrees (J2000).
struct SkyPosition
{
    double ra;
    double dec;
};
// OBJCTRA/OBJCTDEC (sexagesimal) or RA/DEC (degrees; RA in hours when its
// comment says so: "[h]", "hours").
std::optional<SkyPosition> position(const Cards &cards);

// Right ascension as hours, minutes and seconds ("19 50 47.0", "19:50:47")
// or, when degrees is allowed, as degrees ("297.6958"); declination as
// degrees, minutes and seconds ("+08 52 06", "-08:52:06.5") or degrees. Only
// the last part may have a fraction, and no part may be empty.
std::optional<double> rightAscension(const QString &text, bool degreesAllowed);
std::optional<double> declination(const QString &text);

// A number as a header writes it (FITS allows "D" for the exponent).
std::optional<double> number(const QString &text);

} // namespace quillet::ImageTime
