// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Times as people and image headers write them, and Julian dates.
namespace quillet {

// The Julian date of a UT date and time as ISO 8601 writes it, the date and the
// time separated by "T" or blanks: "2026-12-07 21:34", "2026-12-07T21:34:12",
// "2026-12-07 21:34:12.5" (any number of decimals), with blanks around it
// allowed. Nothing for anything else, or a date or time that does not exist.
std::optional<double> JulianDateOfTime(QStringView text);

// The Julian date of a date alone at 0 h: "2026-12-07", or the old FITS form
// "07/12/96" (day, month, year of the 1900s).
std::optional<double> JulianDateOfDate(QStringView text);

// Seconds since 0 h of a time of day "21:34:12[.5]" (or "21:34"); nothing for
// anything else.
std::optional<double> SecondsOfTime(QStringView text);

// "YYYY-MM-DD hh:mm:ss", the UT of a Julian date rounded to the second.
QString TimeOfJulianDate(double julianDate);

} // namespace quillet
