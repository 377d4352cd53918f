// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <optional>
#include <span>

namespace quillet {

// The least-squares line magnitude = slope x measured value + constant through
// the comparison stars, with the photometric error of the fit.
struct CalibrationLine
{
    double slope;
    double constant;
    double error; // square root of the mean squared residual (divisor n)
    int count; // n, the number of table rows that took part
};

// tableTexts: the 30 texts Text1..Text30 in row order. Empty when no line can be
// fitted: fewer than two rows take part, every used row has the same measured
// value, or the slope, constant or error is not a finite number.
std::optional<CalibrationLine> FitCalibrationLine(const QStringList &tableTexts);

// The same fit over the rows that take part, already read, sorted by measured
// value and counted (ReadTableNumbers, SortAndCountBeforeVacant).
std::optional<CalibrationLine> FitSortedRows(
    std::span<const double> measured, std::span<const double> catalogue);

// Why a Measure shows no result; the window words it.
enum class MeasureProblem {
    NoVariableValue, // Text31 is empty
    NoLine, // FitCalibrationLine found none
    MagnitudeOutOfRange, // the line is there, the variable's magnitude is not a number
};

// The texts a Measure shows: the slope and constant as SignedNumberText, the
// magnitude as "##.00" (also the text for the averaging slot), the error as "#0.00".
struct Measurement
{
    std::optional<MeasureProblem> problem; // set: nothing is shown
    QString slope;
    QString constant;
    QString magnitude;
    QString error;
};

// tableTexts: Text1..Text30; variableText: Text31.
Measurement MeasureVariable(const QStringList &tableTexts, const QString &variableText);

} // namespace quillet
