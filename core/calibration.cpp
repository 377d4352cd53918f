// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calibration.h"

#include "core/comparison_table.h"
#include "core/numeric_text.h"

#include <cmath>

namespace quillet {

std::optional<CalibrationLine> FitCalibrationLine(const QStringList &tableTexts)
{
    auto [measured, catalogue] = ReadTableNumbers(tableTexts);
    const int n = SortAndCountBeforeVacant(measured, catalogue);
    return FitSortedRows(std::span(measured).first(n), std::span(catalogue).first(n));
}

std::optional<CalibrationLine> FitSortedRows(
    std::span<const double> measured, std::span<const double> catalogue)
{
    const int n = int(measured.size());
    // Fewer than two rows, or one measured value for all, leave no line to fit.
    if (n < 2 || measured[0] == measured[n - 1])
        return std::nullopt;

    double sumX = 0;
    double sumY = 0;
    double sumXY = 0;
    double sumXX = 0;
    for (int i = 0; i < n; ++i) {
        sumX = sumX + measured[i];
        sumY = sumY + catalogue[i];
        const double xy = measured[i] * catalogue[i];
        sumXY = sumXY + xy;
        const double xx = measured[i] * measured[i];
        sumXX = sumXX + xx;
    }
    const double sxy = sumXY - ((sumX * sumY) / n);
    const double sxx = sumXX - ((sumX * sumX) / n);
    const double slope = sxy / sxx;
    const double constant = (sumY - slope * sumX) / n;

    double squares = 0;
    for (int i = 0; i < n; ++i) {
        const double residual = catalogue[i] - (slope * measured[i] + constant);
        squares = squares + residual * residual;
    }
    const double error = std::sqrt(squares / n);
    if (!std::isfinite(slope) || !std::isfinite(constant) || !std::isfinite(error))
        return std::nullopt;
    return CalibrationLine {slope, constant, error, n};
}

Measurement MeasureVariable(const QStringList &tableTexts, const QString &variableText)
{
    if (IsEmptyText(variableText))
        return {MeasureProblem::NoVariableValue, {}, {}, {}, {}};
    const auto line = FitCalibrationLine(tableTexts);
    if (!line)
        return {MeasureProblem::NoLine, {}, {}, {}, {}};
    const double product = line->slope * ParseNumber(variableText);
    const double magnitude = product + line->constant;
    if (!std::isfinite(magnitude))
        return {MeasureProblem::MagnitudeOutOfRange, {}, {}, {}, {}};
    return {std::nullopt, SignedNumberText(line->slope), SignedNumberText(line->constant),
        FormatPattern(magnitude, u"##.00"), FormatPattern(line->error, u"#0.00")};
}

} // namespace quillet
