// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/star_chart.h"
#include "report/submission.h"

#include <QString>
#include <QStringList>

#include <optional>

// A star field's chart on the disk: read from a VSP answer's file, kept
// beside the field's compdata.txt, and the chart's stars put into the table.
namespace quillet::FieldChart {

// A VSP answer's file read and checked; the chart, or why not in words.
struct Loaded
{
    std::optional<VspChart::Chart> chart;
    QByteArray answer;
    QString problem;
};
Loaded loadAnswer(const QString &path);
// The same for an answer at hand (the fetch's).
Loaded readAnswer(const QByteArray &answer);
QString problemText(const VspChart::Read &read);

// The chart the field in folder keeps, if any (a file that is not one is none).
std::optional<StarChart::FieldChart> kept(const QString &folder);

// The chosen stars into the table of the field in folder: the table it
// replaces kept aside first (compdata.txt.before-chart, or -2 ... after it),
// the chart kept beside compdata.txt, and, with a table, compdata.txt
// written (the windows put it into the main window's boxes instead, for the
// close's save). Why not, in words; empty when done.
QString keep(const QString &folder, const StarChart::FieldChart &chart,
    const QStringList &oldTableTexts, const std::optional<QStringList> &tableTexts);

// What the field's chart gives a record where the observer typed nothing:
// the check star's AUID as its name (KNAME) when the check row is still that
// chart star, and the chart's ID (CHART) while any row is. Returns the chart's
// error of the check star, for KREFERR, when the name is that AUID; else empty.
QString fillFromChart(submission::Typed &typed, const StarChart::FieldChart &chart,
    const QStringList &tableTexts, std::optional<int> checkRow);

// quillet3-report --vsp: the chart's stars in band, for people or as JSON
// (chart, star, auid, band, stars: label, auid, ra, dec, mag, error, comments).
QString text(const VspChart::Chart &chart, const QString &band);
QByteArray json(const VspChart::Chart &chart, const QString &band);

} // namespace quillet::FieldChart
