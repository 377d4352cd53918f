// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"
#include "core/submission_record.h"

#include <QString>

// A VSNET report line: "STAR YYYYMMDD.ddd MAG<band> OBSCODE", as VSNET's
// archive parses it.
namespace quillet::Vsnet {

// A star's name as VSNET writes it: the constellation's three letters in upper
// case, then the name in its own case without blanks ("SS Cyg" -> CYGSS,
// "alpha Her" or "α Her" -> HERalpha, "Nova Aql 1995" -> AQLnova1995), NSV and
// HIP numbers zero-padded (NSV00389, HIP033789); a name already in that form
// is kept. Any other name only loses its blanks and is not constellationFirst.
struct Name
{
    QString name;
    bool constellationFirst = true;
};
Name starName(const QString &typed);

// "YYYYMMDD.ddd": the UT date with the day's decimal fraction to three places,
// for a date within JulianDate::inRange.
QString date(double julianDate);

// The line for one variable's estimate; the record's date must be valid.
QString line(const SubmissionRecord::Record &record, const VariableEstimate &variable);

} // namespace quillet::Vsnet
