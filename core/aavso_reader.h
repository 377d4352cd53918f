// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/aavso_extended.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// AAVSO Extended files as other programs write them: the records of a night
// (or of many), for the light curve. Every line is accounted for: a record, a
// parameter or comment, a blank line, or a line skipped with its reason.
namespace quillet::AavsoReader {

using AavsoExtended::DateKind;

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
    DateOutOfRange, // a date no observation can have (detail: the text)
    MagnitudeOutOfRange, // beyond what the format's MAG holds (detail: the text)
    ErrorOutOfRange, // negative, or beyond what MERR holds (detail: the text)
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

// The file as AavsoExtended::Reader reads it (parameters in any case, any
// delimiter, line ends and columns); #DATE=JD, HJD or EXCEL (Excel's NOW()
// text); "na" for a missing field. Dates, magnitudes and errors outside what
// the format holds (the ranges the validator checks) are skipped.
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
