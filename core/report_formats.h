// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The report written for machines and for submission: JSON, the AAVSO Extended
// File Format 1.2 and a VSNET report line. Pure functions of the report and
// what the observer names; the words for people live with the program.
namespace quillet::ReportFormats {

// Every number written so that it reads back as the same double; a value that
// does not exist is null.
QByteArray json(const CalibrationReport &report);

// The filter codes both formats accept here.
bool isKnownFilter(const QString &filter);

struct Submission
{
    QString star; // STARID
    QString jd; // DATE, as given (checked to be a Julian date)
    QString filter; // V, B, Rc, Ic, C, CR
    QString obscode;
    QString chart; // empty: na
    QString checkName; // empty: na
    QString obstype = QStringLiteral("CCD");
    QString software; // name and version of the writing program
};

// A Julian date as the text gives it, when it is one: a number in full (blanks
// around it allowed) from the first Gregorian day to the last day whose VSNET
// date, rounded as vsnetDate rounds it, still has a four-digit year.
std::optional<double> julianDate(const QString &text);

// "#TYPE=Extended" ... "#OBSTYPE=", then the comment line naming the fields.
QString aavsoHeader(const Submission &submission);
// One data line for a variable's estimate; the check star comes from the report.
QString aavsoLine(const Submission &submission, const CalibrationReport &report,
    const VariableEstimate &variable);

// "YYYYMMDD.ddd": the UT date with the day's decimal fraction to three places.
QString vsnetDate(double julianDate);
// "STAR YYYYMMDD.ddd MAG<band> OBSCODE".
QString vsnetLine(const Submission &submission, const VariableEstimate &variable);

} // namespace quillet::ReportFormats
