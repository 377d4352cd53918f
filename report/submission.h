// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/aavso_extended.h"
#include "core/calibration_report.h"
#include "core/submission_record.h"

#include <QString>
#include <QStringList>

// The one validator for a submission: what quillet3-report's --aavso and
// --vsnet and the report-line dialog check before a line is written, so that
// neither writes a line WebObs or VSNET would refuse or misread. Problems and
// warnings come back in the program's words, each naming the field as the
// interface calls it.
namespace quillet::submission {

using SubmissionRecord::Format;

// Who asks: the command line names a field by its option, the dialog by its label.
enum class Interface { CommandLine, Dialog };

// What the observer gave, as given.
struct Typed
{
    QString star;
    QString jd;
    QString filter; // a code of the format (or, for the dialog's VSNET line, AAVSO's)
    QString obscode;
    QString chart;
    QString checkName;
    QString obstype = QStringLiteral("CCD");
    QString software;
    QString airmass; // AAVSO's AMASS; empty: na
    bool check = false; // a check star is chosen
};

struct Checked
{
    QString problem; // why no line can be written; empty when none
    SubmissionRecord::Record record; // every field trimmed, the filter the format's code
};

// The fields before any report: each trimmed; star, chart and check-star name
// neither beginning with "#" nor holding the delimiter, a line break, another
// control character or bytes that were not UTF-8; observer code and chart
// without inner blanks; the date a valid Julian date; the filter one of the
// format's codes (VSNET takes AAVSO's R, I and CV as Rc, Ic and C); for
// AAVSO, the observation type one of AAVSO's, a check star and its name only
// together, every field within AAVSO's limit and the airmass a number (or
// nothing).
Checked check(Format format, const Typed &typed, Interface asker);

// One variable's line in the format, and the first problem that keeps it
// from being written (a field of the AAVSO record over its limit); the AAVSO
// record's fields too.
struct Line
{
    QString problem;
    QString text; // empty when there is a problem
    AavsoExtended::Fields fields; // AAVSO's record
};
Line line(Format format, const SubmissionRecord::Record &record, const CalibrationReport &report,
    const VariableEstimate &variable);

// What the observer should know before sending one variable's line: an error
// of a magnitude or more (AAVSO refuses it).
QStringList lineWarnings(Format format, const VariableEstimate &variable);

// What the observer should know of every line: a star name VSNET will not
// recognise, comparison stars flagged as off the line.
QStringList reportWarnings(
    Format format, const SubmissionRecord::Record &record, const CalibrationReport &report);

} // namespace quillet::submission
