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
// does not exist (or is infinite) is null.
QByteArray json(const CalibrationReport &report);
// The same text in pieces, for variables that arrive one at a time: the head
// (everything before the variables), each variable, the end.
QByteArray jsonHead(const CalibrationReport &report);
QByteArray jsonVariable(const VariableEstimate &variable, bool first);
QByteArray jsonEnd();

enum class Format { Aavso, Vsnet };

// The filter code the format writes for what the observer typed, in any case:
// AAVSO's own codes as AAVSO spells them (Rc and Ic taken as R and I), VSNET's
// band letters V, B, Rc, Ic, C and CR (AAVSO's R, I and CV taken as Rc, Ic and
// C). Nothing for a code the format does not take; "C" alone is no AAVSO code
// (CV or CR is).
std::optional<QString> filterCode(Format format, const QString &typed);
// Every code the format writes, in the order people look for them.
QStringList filterCodes(Format format);
// The code for a filter as an image's header names it, where the name is
// unambiguous: "V", "Johnson V", "B", "R", "Rc", "Cousins R", "I", "Ic", or a
// clear filter ("Clear", "L", "Luminance", "None": AAVSO's CV, VSNET's C).
std::optional<QString> filterOfImage(Format format, const QString &name);

// A star's name as VSNET writes it: the constellation's three letters in upper
// case, then the name in its own case without blanks ("SS Cyg" -> CYGSS,
// "alpha Her" or "α Her" -> HERalpha, "Nova Aql 1995" -> AQLnova1995), NSV and
// HIP numbers zero-padded (NSV00389, HIP033789); a name already in that form
// is kept. Any other name only loses its blanks and is not constellationFirst.
struct VsnetName
{
    QString name;
    bool constellationFirst = true;
};
VsnetName vsnetStarName(const QString &typed);

struct Submission
{
    QString star; // STARID
    QString jd; // DATE, as given (checked to be a Julian date): JD, or HJD when hjd
    bool hjd = false; // the date is heliocentric (AAVSO's #DATE=HJD)
    QString filter; // as filterCode gives it for the format
    QString obscode;
    QString chart; // empty: na
    QString checkName; // empty: na
    QString obstype = QStringLiteral("CCD");
    QString software; // name and version of the writing program
    QString airmass; // AMASS; empty: na
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
// The first field of that line longer than the format allows (STARID 30, MAG 8,
// MERR 6, KMAG 8 characters), which WebObs would refuse; empty when all fit.
QString aavsoOverlongField(const Submission &submission, const CalibrationReport &report,
    const VariableEstimate &variable);

// "YYYYMMDD.ddd": the UT date with the day's decimal fraction to three places.
QString vsnetDate(double julianDate);
// "STAR YYYYMMDD.ddd MAG<band> OBSCODE", the star as vsnetStarName writes it.
QString vsnetLine(const Submission &submission, const VariableEstimate &variable);

} // namespace quillet::ReportFormats
