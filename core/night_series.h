// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"
#include "core/series_table.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

// A night at once: each image of a measuring program's table calibrated by
// exactly what the Measure and the report do for one image (the image's
// values in the table's measured boxes, its variable's value as Text31), and
// over the night, how each comparison star's residual drifts with time.
namespace quillet::NightSeries {

// Which column is which: the variable's, and the comparison stars' onto table
// rows 1..15; the check star is one of those rows.
struct Mapping
{
    QString target; // empty: AstroImageJ's T1
    QList<QPair<QString, int>> comps; // column, row; none: AstroImageJ's C2, C3, ... onto 1, 2, ...
    std::optional<int> check;
    QList<int> excludedImages; // from 1, in the table's order
    QList<int> excludedRows;
    double flagMagnitude = DefaultFlagMagnitude;
    bool hjd = false; // the images' times are their HJD
};

enum class MappingProblem {
    NoTarget, // a plain table names no variable's column
    NoColumn, // detail: the column the table lacks
    RowOutOfRange, // detail: the row given
    RowTwice, // detail: the row
    ColumnTwice, // detail: the column
    TargetCompared, // detail: the variable's column, mapped as a comparison star
    NoComparison, // a plain table without --comp, or none left
    NoCatalogue, // detail: the mapped row whose catalogue box is empty
    CheckNotMapped, // detail: the check row, onto which no column is mapped
};

struct Resolved
{
    std::optional<MappingProblem> problem;
    QString detail;
    int target = -1; // the variable's star column
    std::array<int, 15> columns; // the star column of rows 1..15; -1: none
};

// The mapping checked against the table and the catalogue magnitudes (Text1..Text30).
Resolved resolve(
    const SeriesTable::Table &table, const Mapping &mapping, const QStringList &catalogueTexts);

enum class LeftOut {
    None,
    Excluded, // by the user
    Saturated, // AstroImageJ says so
    NoTime,
    NoVariable,
    FluxNotPositive,
    TooFewStars, // fewer comparison values than the Measure needs
    NotANumber, // a magnitude that would not be a number
};

struct ImageResult
{
    int index = 0; // from 1
    LeftOut leftOut = LeftOut::None;
    double time = 0; // JD or HJD, when used
    CalibrationReport report; // when used: the single-image report, the variable first
};

// The texts the single-image path reads for the image: the table's measured
// boxes hold the image's values, the catalogue boxes the field's magnitudes,
// rows without a value (or left out) empty; and Text31, the variable's value.
QStringList imageTexts(const SeriesTable::Table &table, const Resolved &resolved,
    const Mapping &mapping, const QStringList &catalogueTexts, qsizetype image,
    QString &variableText);

ImageResult image(const SeriesTable::Table &table, const Resolved &resolved, const Mapping &mapping,
    const QStringList &catalogueTexts, qsizetype index);

// A comparison star over the night: its residuals against time (hours).
struct StarDrift
{
    int row = 0;
    QString column;
    int count = 0; // images it took part in
    std::optional<double> meanResidual;
    std::optional<double> sd; // divisor count - 1
    std::optional<double> driftPerHour; // least-squares slope of residual against time
    std::optional<double> driftT; // its t statistic; infinite on an exact line
    bool drifts = false; // |t| > 3 and the drift over the night at least the flag size
};

struct Summary
{
    int used = 0;
    int leftOut = 0;
    std::optional<double> checkMean; // of the check star's O - C
    std::optional<double> checkSd;
    std::optional<double> slopeMedian;
    std::optional<double> slopeMin;
    std::optional<double> slopeMax;
};

struct Night
{
    QList<ImageResult> images;
    QList<StarDrift> stars;
    Summary summary;
};

// Every image in the table's order, each handed to visit as soon as it is
// computed, then the night's stars and summary.
Night compute(const SeriesTable::Table &table, const Resolved &resolved, const Mapping &mapping,
    const QStringList &catalogueTexts, const std::function<void(const ImageResult &)> &visit = {});

} // namespace quillet::NightSeries
