// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/night_series.h"
#include "core/star_chart.h"
#include "core/submission_record.h"
#include "report/report_text.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// The night at once, as quillet3-report and the series window say it: a
// table read from its file, the mapping in words and as remembered, one line
// per image as it is computed, the night's stars and summary, JSON, and each
// used image's AAVSO or VSNET record.
namespace quillet::NightReport {

struct Loaded
{
    std::optional<SeriesTable::Table> table;
    QString problem; // naming the file, its line and column
};
Loaded load(const QString &path);
QString readProblem(const SeriesTable::Read &read, const QString &path);
QString mappingProblem(const NightSeries::Resolved &resolved);

// "C2=3", "C3=109" (a chart's label), "C4=000-BCP-185" (an AUID): the column
// and the table row; nothing when the row is none of these. A label or AUID
// names a row only while it still holds that chart star.
std::optional<QPair<QString, int>> comparisonOf(
    const QString &given, const StarChart::FieldChart *chart, const QStringList &tableTexts);

// The mapping as the window remembers it for a star field, and back.
QString mappingText(const NightSeries::Mapping &mapping);
NightSeries::Mapping mappingOf(const QString &text);

// "AstroImageJ の表、画像 5000 枚、時刻 JD_UTC".
QString sourceText(const SeriesTable::Table &table);
QString leftOutText(NightSeries::LeftOut reason);
const char *leftOutCode(NightSeries::LeftOut reason);

// One image's line; the night's comparison stars and summary.
QString imageLine(const SeriesTable::Table &table, const NightSeries::ImageResult &image);
QString summaryText(const NightSeries::Night &night, const ReportText::Labels &labels);

// JSON: source, images (each written as it is computed), comparison_stars, summary.
QByteArray jsonHead(const SeriesTable::Table &table);
QByteArray jsonImage(
    const SeriesTable::Table &table, const NightSeries::ImageResult &image, bool first);
QByteArray jsonTail(const NightSeries::Night &night, const ReportText::Labels &labels);

// The record of a used image: its time (JD, or HJD when the record is one)
// and, unless given, its airmass.
SubmissionRecord::Record recordOf(const SubmissionRecord::Record &given,
    const SeriesTable::Image &image, const NightSeries::ImageResult &result);

} // namespace quillet::NightReport
