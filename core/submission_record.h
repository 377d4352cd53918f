// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What both report formats (AAVSO Extended and VSNET) share: what the
// observer names for a line, and the filter codes each format writes.
namespace quillet::SubmissionRecord {

enum class Format { Aavso, Vsnet };

// What the observer names for a line, checked (report/submission) and trimmed.
struct Record
{
    QString star; // STARID
    QString jd; // DATE, as given (a valid Julian date): JD, or HJD when hjd
    bool hjd = false; // the date is heliocentric (AAVSO's #DATE=HJD)
    QString filter; // as filterCode gives it for the format
    QString obscode;
    QString chart; // empty: na
    QString checkName; // empty: na
    QString checkError; // the check star's catalogue error (KREFERR, from a chart); empty: none
    QString obstype = QStringLiteral("CCD"); // one of ObservationTypes
    QString software; // name and version of the writing program
    QString airmass; // AMASS; empty: na
};

// The filter code the format writes for what the observer typed, in any case:
// AAVSO's own codes as AAVSO spells them (Rc and Ic taken as R and I), VSNET's
// band letters V, B, Rc, Ic, C and CR (AAVSO's R, I and CV taken as Rc, Ic and
// C). Nothing for a code the format does not take; "C" alone is no AAVSO code
// (CV or CR is).
std::optional<QString> filterCode(Format format, const QString &typed);
// Every code the format writes, in the order people look for them.
QStringList filterCodes(Format format);
// The code for a filter as an image's header names it, where the name is
// unambiguous: "V", "Johnson V", "B", "R", "Rc", "Cousins R", "I", "Ic", a
// clear filter ("Clear", "L", "Luminance", "None": AAVSO's CV, VSNET's C), and
// Sloan's bands in lower case ("g", "gp", "g'", "sdss g": SG).
std::optional<QString> filterOfImage(Format format, const QString &name);

// AAVSO's kinds of observation (#OBSTYPE), and the one a typed text names, in any case.
QStringList observationTypes();
std::optional<QString> observationType(const QString &typed);

} // namespace quillet::SubmissionRecord
