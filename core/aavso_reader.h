// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// AAVSO Extended files as other programs write them: the records of a night
// (or of many), for the light curve. Every line is accounted for: a record, a
// parameter or comment, a blank line, or a line skipped with its reason.
namespace quillet::AavsoReader {

enum class DateKind { Jd, Hjd, Excel };

struct Record
{
    int line = 0; // 1-based
    QString name;
    DateKind dateKind = DateKind::Jd;
    double jd = 0; // the date as a Julian day number (EXCEL converted from its UT text)
    double mag = 0;
    bool fainter = false; // "<" before the magnitude: a limit, not a point
    std::optional<double> merr;
    QString filter;
    QString obscode; // the #OBSCODE in force at this line
    std::optional<QString> kname;
    std::optional<double> kmag;
    std::optional<double> airmass;
};

enum class SkipReason {
    NotExtended, // #TYPE names another format
    TooFewFields, // fewer than NAME, DATE and MAG (detail: the count)
    NoName,
    BadDate, // detail: the text; for EXCEL, not month/day/year and time
    BadMagnitude, // detail: the text
    BadError, // MERR neither a number nor na
    BadDelimiter, // #DELIM names no character (detail: the value)
};

struct Skipped
{
    int line = 0;
    SkipReason reason;
    QString detail;
};

struct Read
{
    QList<Record> records;
    QList<Skipped> skipped;
};

// Parameters in any case; #DELIM= as the character itself, "tab", "comma" or its
// ASCII code number; CR LF or LF; a byte-order mark; #DATE=JD, HJD or EXCEL
// (Excel's NOW() text); a later #DATE= or #OBSCODE= applies to the records
// after it; "na" for a missing field; the columns named by the "#NAME,DATE,..."
// line when there is one (AIRMASS or AMASS), AAVSO's order otherwise.
Read read(QByteArrayView bytes);

// Excel's NOW() text, month/day/year hours:minutes[:seconds] with "a.m."/"p.m."
// or "AM"/"PM" (or a 24-hour time without), as a Julian date (UT).
std::optional<double> excelDate(QStringView text);

// Per star and filter, over the records that are not limits, in the order met.
struct Series
{
    QString name;
    QString filter;
    int count = 0;
    double first = 0; // earliest date (JD)
    double last = 0;
    double mean = 0;
    double min = 0; // brightest
    double max = 0; // faintest
};
QList<Series> series(const QList<Record> &records);

} // namespace quillet::AavsoReader
