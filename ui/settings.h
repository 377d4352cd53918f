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
inline constexpr char ReportCheckRow[] = "report/checkRow"; // the check star (0: none)
inline constexpr char ReportImageFolder[] = "report/imageFolder";
inline constexpr char ReportDateKind[] = "report/dateKind"; // "JD" or "HJD"
inline constexpr char ReportRa[] = "report/ra";
inline constexpr char ReportDec[] = "report/dec";
inline constexpr char NightFile[] = "night/file"; // the night's AAVSO file
inline constexpr char NightEvening[] = "night/evening"; // the evening it is for
inline constexpr char AppendOnImage[] = "night/appendOnImage";
inline constexpr char LightCurveFile[] = "lightCurve/file";
inline constexpr char SeriesMapping[] = "series/mapping"; // the columns of the rows
inline constexpr char DiagnosisGeometry[] = "diagnosis/geometry";
inline constexpr char DiagnosisSplitter[] = "diagnosis/splitter";
inline constexpr char ReportLinesGeometry[] = "reportLines/geometry";
inline constexpr char LastField[]
    = "fields/last"; // the star field used last; empty: the data folder

QString key(const char *name);
// A report-line key of a star field: each field keeps its own star, filter,
// observer code and chart; outside a field, the report/ keys themselves.
QString fieldKey(const QString &field, const char *name);

// The night's AAVSO file: the one chosen for the evening of now, or else
// aavso-YYYYMMDD.txt (that evening's date, local time) in dataFolder; one for
// every star field. chooseNightFile keeps another for the evening.
QString nightFile(const QString &dataFolder);
void chooseNightFile(const QString &path);

// Writes what was set to the file now. The first time in a run that the file
// cannot be written (its path is a folder, say), the words to say so; empty
// otherwise, so that it is said once per run.
QString store(QSettings &settings);

} // namespace quillet::settings
