// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

// Julian dates, and times as people and image headers write them. Every date
// the program writes passes through inRange first, before any rounding: a
// date outside it has no text in any of the formats.
namespace quillet::JulianDate {

inline constexpr double SecondsPerDay = 86400.0;
// MJD 0, and 1970-01-01 0 h UT (the system clock's zero).
inline constexpr double ModifiedZero = 2400000.5;
inline constexpr double UnixEpoch = 2440587.5;
// 1582-10-15 0 h, the first day of the Gregorian calendar.
inline constexpr double FirstGregorian = 2299160.5;
// 10000-01-01 0 h less half a thousandth of a day: every date before it keeps a
// four-digit year when rounded to the thousandths VSNET writes.
inline constexpr double EndOfYear9999 = 5373484.5 - 0.0005;

// The valid range: from the first Gregorian day up to (not including) the
// end of the year 9999. NaN and infinities are outside.
bool inRange(double jd);

// A Julian date as typed: a number in full in the project's grammar, blanks
// around it allowed, within inRange.
std::optional<double> parse(QStringView text);

// The Julian date at 0 h UT of a day (QDate counts days from noon).
double midnight(const QDate &date);

// The system clock's time now, as a Julian date (UT).
double now();

// The Julian date of a UT date and time as ISO 8601 writes it, the date and
// the time separated by "T" or blanks: "2026-12-07 21:34", "2026-12-07T21:34:12",
// "2026-12-07 21:34:12.5" (any number of decimals), with blanks around it
// allowed and a trailing "Z" (UTC) too. Nothing for anything else, or a date
// or time that does not exist.
std::optional<double> ofTime(QStringView text);

// The date of a date alone at 0 h: "2026-12-07", or the old FITS form
// "07/12/96" (day, month, year of the 1900s; oldForm says it was that one).
struct Day
{
    double jd;
    bool oldForm = false;
};
std::optional<Day> ofDate(QStringView text);

// Seconds since 0 h of a time of day "21:34:12[.5]" (or "21:34"); a leap
// second (60.x) only as 23:59:60. Nothing for anything else.
std::optional<double> secondsOfTime(QStringView text);

// "YYYY-MM-DD hh:mm:ss", the UT of a Julian date rounded to the second; the
// date must be inRange.
QString timeText(double jd);

// The date of the evening a night began: the local calendar day of the
// moment twelve hours before jd (UT), with the local offset from UTC given in
// seconds. "20261207" for any time of the night of 7 to 8 December.
QString eveningDate(double jd, int utcOffsetSeconds);

} // namespace quillet::JulianDate
