// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calibration_report.h"

#include "core/calibration.h"
#include "core/comparison_table.h"
#include "core/numeric_text.h"

#include <array>
#include <cmath>

namespace quillet {

namespace {

std::optional<double> finite(double value)
{
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// What the fit saw, with each star's table row.
struct UsedRows
{
    int n = 0;
    std::array<double, TableRows> measured {};
    std::array<double, TableRows> catalogue {};
    std::array<int, TableRows> row {};
};

UsedRows usedRows(const QStringList &tableTexts)
{
    const TableNumbers numbers = ReadTableNumbers(tableTexts);
    std::array<double, TableRows> keys = numbers.measured;
    std::array<double, TableRows> rows {};
    for (int k = 0; k < TableRows; ++k)
        rows[k] = k; // moves with its key through the same exchange sort
    UsedRows used;
    used.n = SortAndCountBeforeVacant(keys, rows);
    for (int i = 0; i < used.n; ++i) {
        const int k = int(rows[i]);
        used.measured[i] = keys[i];
        used.catalogue[i] = numbers.catalogue[k];
        used.row[i] = k + 1;
    }
    return used;
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

ReportOutcome MakeCalibrationReport(
    const QStringList &tableTexts, const QStringList &variableTexts, std::optional<int> checkRow)
{
    ReportOutcome outcome;
    QStringList fitTexts = tableTexts;
    if (checkRow) {
        if (*checkRow < 1 || *checkRow > TableRows)
            return {ReportProblem::CheckRowOutOfRange, {}};
        if (ReadTableNumbers(tableTexts).measured[*checkRow - 1] == VacantMarker)
            return {ReportProblem::CheckRowVacant, {}};
        fitTexts.resize(2 * TableRows);
        fitTexts[2 * *checkRow - 2].clear(); // the check star takes no part
        fitTexts[2 * *checkRow - 1].clear();
    }
    const auto line = FitCalibrationLine(fitTexts);
    if (!line)
        return {ReportProblem::NoLine, {}};

    const UsedRows used = usedRows(fitTexts);
    const int n = used.n;
    CalibrationReport &report = outcome.report;
    report.n = n;
    report.slope = line->slope;
    report.constant = line->constant;
    report.rmsError = line->error;

    double sumX = 0;
    for (int i = 0; i < n; ++i)
        sumX = sumX + used.measured[i];
    const double meanX = sumX / n;
    double sxx = 0;
    double ssr = 0;
    std::array<double, TableRows> residuals {};
    for (int i = 0; i < n; ++i) {
        const double dx = used.measured[i] - meanX;
        sxx = sxx + dx * dx;
        residuals[i] = used.catalogue[i] - (line->slope * used.measured[i] + line->constant);
        ssr = ssr + residuals[i] * residuals[i];
    }
    if (n >= 3) {
        report.s = finite(std::sqrt(ssr / (n - 2)));
        if (report.s)
            report.slopeSe = finite(*report.s / std::sqrt(sxx));
    }

    for (int i = 0; i < n; ++i) {
        ReportRow row {used.row[i], used.measured[i], used.catalogue[i],
            line->slope * used.measured[i] + line->constant, residuals[i], std::nullopt,
            std::nullopt, false};
        const double dx = used.measured[i] - meanX;
        const double leverage = 1.0 / n + dx * dx / sxx;
        const double oneMinusLeverage = 1 - leverage;
        if (n >= 3 && oneMinusLeverage > 0)
            row.deletedResidual = finite(residuals[i] / oneMinusLeverage);
        if (n >= 4 && oneMinusLeverage > 0) {
            const double deletedVariance
                = (ssr - residuals[i] * residuals[i] / oneMinusLeverage) / (n - 3);
            if (deletedVariance > 0) {
                row.studentized = finite(
                    residuals[i] / (std::sqrt(deletedVariance) * std::sqrt(oneMinusLeverage)));
                row.flagged = !row.studentized || std::fabs(*row.studentized) > FlagLimit;
            } else {
                // The others lie exactly on a line: any distance from it is too far.
                row.flagged = residuals[i] != 0;
            }
        }
        report.rows.push_back(row);
    }

    // The prediction error at x: the star's own scatter and the line's uncertainty there.
    const auto predictionSe = [&](double x) -> std::optional<double> {
        if (!report.s)
            return std::nullopt;
        const double dx = x - meanX;
        return finite(*report.s * std::sqrt(1 + 1.0 / n + dx * dx / sxx));
    };

    for (const QString &text : variableTexts) {
        const double measured = ParseNumber(text);
        const double product = line->slope * measured;
        const double magnitude = product + line->constant;
        if (!std::isfinite(magnitude))
            return {ReportProblem::MagnitudeOutOfRange, {}};
        VariableEstimate estimate {
            measured, magnitude, predictionSe(measured), std::nullopt, std::nullopt};
        if (estimate.predictionSe) {
            const double half = StudentT975(n - 2) * *estimate.predictionSe;
            estimate.low95 = finite(magnitude - half);
            estimate.high95 = finite(magnitude + half);
        }
        report.variables.push_back(estimate);
    }

    if (checkRow) {
        const TableNumbers numbers = ReadTableNumbers(tableTexts);
        const double measured = numbers.measured[*checkRow - 1];
        const double catalogue = numbers.catalogue[*checkRow - 1];
        const double fitted = line->slope * measured + line->constant;
        CheckStarResult check {
            *checkRow, measured, catalogue, fitted, catalogue - fitted, std::nullopt};
        if (!std::isfinite(fitted) || !std::isfinite(check.oMinusC))
            return {ReportProblem::MagnitudeOutOfRange, {}};
        if (const auto se = predictionSe(measured))
            check.z = finite(check.oMinusC / *se);
        report.check = check;
    }
    return outcome;
}

} // namespace quillet
