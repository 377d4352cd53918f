// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>

// The program's settings: the user's own file ~/.config/Quillet3/quillet3.ini,
// read and written through a QSettings made on the stack where it is needed.
// The table never goes there (it lives in compdata.txt).
namespace quillet::settings {

// Names the file for every default-constructed QSettings: organisation
// "Quillet3", application "quillet3", INI format. Called once in main().
void useProgramFile();

// Every key, once.
inline constexpr char ReportStar[] = "report/star";
inline constexpr char ReportFilter[] = "report/filter";
inline constexpr char ReportObscode[] = "report/obscode";
inline constexpr char ReportChart[] = "report/chart";
inline constexpr char ReportObstype[] = "report/obstype";
inline constexpr char DiagnosisGeometry[] = "diagnosis/geometry";
inline constexpr char DiagnosisSplitter[] = "diagnosis/splitter";
inline constexpr char ReportLinesGeometry[] = "reportLines/geometry";
inline constexpr char LastField[]
    = "fields/last"; // the star field used last; empty: the data folder

QString key(const char *name);
// A report-line key of a star field: each field keeps its own star, filter,
// observer code and chart; outside a field, the report/ keys themselves.
QString fieldKey(const QString &field, const char *name);

// Writes what was set to the file now. The first time in a run that the file
// cannot be written (its path is a folder, say), the words to say so; empty
// otherwise, so that it is said once per run.
QString store(QSettings &settings);

} // namespace quillet::settings
