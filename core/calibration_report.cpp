// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calibration_report.h"

#include "core/calibration.h"
#include "core/comparison_table.h"
#include "core/numeric_text.h"

#include <array>
#include <cmath>
#include <span>

namespace quillet {

namespace {

std::optional<double> finite(double value)
{
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// The table read once: the rows that take part, in the order the fit sorts
// them, each with its table row, and the rows with data the fit leaves out.
struct UsedRows
{
    int n = 0;
    std::array<double, TableRows> measured {};
    std::array<double, TableRows> catalogue {};
    std::array<int, TableRows> row {};
    std::vector<int> leftOut;
};

UsedRows usedRows(const TableNumbers &numbers, std::optional<int> checkRow)
{
    std::array<double, TableRows> keys = numbers.measured;
    std::array<double, TableRows> rows {};
    for (int k = 0; k < TableRows; ++k)
        rows[k] = k; // moves with its key through the same exchange sort as the fit's
    if (checkRow)
        keys[*checkRow - 1] = VacantMarker; // the check star takes no part
    UsedRows used;
    used.n = SortAndCountBeforeVacant(keys, rows);
    std::array<bool, TableRows> taken {};
    for (int i = 0; i < used.n; ++i) {
        const int k = int(rows[i]);
        used.measured[i] = keys[i];
        used.catalogue[i] = numbers.catalogue[k];
        used.row[i] = k + 1;
        taken[k] = true;
    }
    for (int k = 0; k < TableRows; ++k) {
        const bool vacant
            = numbers.measured[k] == VacantMarker && numbers.catalogue[k] == VacantMarker;
        if (!taken[k] && !vacant && checkRow != k + 1)
            used.leftOut.push_back(k + 1);
    }
    return used;
}

// The line's scatter and the spread of the measured values, from the fit's rows.
void addScatter(CalibrationReport &report, const UsedRows &used, std::span<double> residuals)
{
    const int n = used.n;
    double sumX = 0;
    for (int i = 0; i < n; ++i)
        sumX = sumX + used.measured[i];
    report.meanX = sumX / n;
    double ssr = 0;
    for (int i = 0; i < n; ++i) {
        const double dx = used.measured[i] - report.meanX;
        report.sxx = report.sxx + dx * dx;
        residuals[i] = used.catalogue[i] - (report.slope * used.measured[i] + report.constant);
        ssr = ssr + residuals[i] * residuals[i];
    }
    if (n >= 3) {
        report.s = finite(std::sqrt(ssr / (n - 2)));
        if (report.s)
            report.slopeSe = finite(*report.s / std::sqrt(report.sxx));
    }
}

// Each star against the line the others give.
void addRows(CalibrationReport &report, const UsedRows &used, std::span<const double> residuals,
    double flagMagnitude)
{
    const int n = used.n;
    double ssr = 0;
    for (int i = 0; i < n; ++i)
        ssr = ssr + residuals[i] * residuals[i];
    for (int i = 0; i < n; ++i) {
        ReportRow row {used.row[i], used.measured[i], used.catalogue[i],
            report.slope * used.measured[i] + report.constant, residuals[i], std::nullopt,
            std::nullopt, false, false};
        const double dx = used.measured[i] - report.meanX;
        const double leverage = 1.0 / n + dx * dx / report.sxx;
        const double oneMinusLeverage = 1 - leverage;
        if (n >= 3 && oneMinusLeverage > 0)
            row.deletedResidual = finite(residuals[i] / oneMinusLeverage);
        if (n >= 4 && oneMinusLeverage > 0) {
            const double deletedVariance
                = (ssr - residuals[i] * residuals[i] / oneMinusLeverage) / (n - 3);
            if (deletedVariance > 0) {
                row.studentized = finite(
                    residuals[i] / (std::sqrt(deletedVariance) * std::sqrt(oneMinusLeverage)));
            } else if (residuals[i] != 0) {
                // The others lie exactly on a line: any distance from it is endless t.
                row.studentized = std::copysign(INFINITY, residuals[i]);
            }
        }
        if (row.studentized && std::fabs(*row.studentized) > FlagLimit) {
            row.flagged = row.deletedResidual && std::fabs(*row.deletedResidual) >= flagMagnitude;
            row.noted = !row.flagged;
        }
        report.rows.push_back(row);
    }
}

// The prediction error at x: the star's own scatter and the line's uncertainty there.
std::optional<double> predictionSe(const CalibrationReport &report, double x)
{
    if (!report.s)
        return std::nullopt;
    const double dx = x - report.meanX;
    return finite(*report.s * std::sqrt(1 + 1.0 / report.n + dx * dx / report.sxx));
}

} // namespace

double StudentT975(int degreesOfFreedom)
{
    static constexpr double Quantiles[] = {12.7062, 4.30265, 3.18245, 2.77645, 2.57058, 2.44691,
        2.36462, 2.30600, 2.26216, 2.22814, 2.20099, 2.17881, 2.16037};
    if (degreesOfFreedom < 1 || degreesOfFreedom > 13)
        return std::nan("");
    return Quantiles[degreesOfFreedom - 1];
}

std::optional<VariableEstimate> EstimateVariable(const CalibrationReport &report, double measured)
{
    const double product = report.slope * measured;
    const double magnitude = product + report.constant;
    if (!std::isfinite(magnitude))
        return std::nullopt;
    VariableEstimate estimate {
        measured, magnitude, predictionSe(report, measured), std::nullopt, std::nullopt};
    if (estimate.predictionSe) {
        const double half = StudentT975(report.n - 2) * *estimate.predictionSe;
        estimate.low95 = finite(magnitude - half);
        estimate.high95 = finite(magnitude + half);
    }
    return estimate;
}

ReportOutcome MakeCalibrationReport(const QStringList &tableTexts, const QStringList &variableTexts,
    std::optional<int> checkRow, double flagMagnitude)
{
    const TableNumbers numbers = ReadTableNumbers(tableTexts);
    if (checkRow) {
        if (*checkRow < 1 || *checkRow > TableRows)
            return {ReportProblem::CheckRowOutOfRange, {}};
        if (numbers.measured[*checkRow - 1] == VacantMarker)
            return {ReportProblem::CheckRowVacant, {}};
    }
    const UsedRows used = usedRows(numbers, checkRow);
    const auto line = FitSortedRows(
        std::span(used.measured).first(used.n), std::span(used.catalogue).first(used.n));
    if (!line)
        return {ReportProblem::NoLine, {}};

    ReportOutcome outcome;
    CalibrationReport &report = outcome.report;
    report.n = used.n;
    report.slope = line->slope;
    report.constant = line->constant;
    report.rmsError = line->error;
    report.leftOut = used.leftOut;
    std::array<double, TableRows> residuals {};
    addScatter(report, used, residuals);
    addRows(report, used, residuals, flagMagnitude);

    for (const QString &text : variableTexts) {
        const auto estimate = EstimateVariable(report, ParseNumber(text));
        if (!estimate)
            return {ReportProblem::MagnitudeOutOfRange, {}};
        report.variables.push_back(*estimate);
    }

    if (checkRow) {
        const double measured = numbers.measured[*checkRow - 1];
        const double catalogue = numbers.catalogue[*checkRow - 1];
        const double fitted = report.slope * measured + report.constant;
        CheckStarResult check {
            *checkRow, measured, catalogue, fitted, fitted - catalogue, std::nullopt};
        if (!std::isfinite(fitted) || !std::isfinite(check.oMinusC))
            return {ReportProblem::CheckMagnitudeOutOfRange, {}};
        if (const auto se = predictionSe(report, measured))
            check.z = finite(check.oMinusC / *se);
        report.check = check;
    }
    return outcome;
}

} // namespace quillet
