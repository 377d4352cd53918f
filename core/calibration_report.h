// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <optional>
#include <vector>

// Beyond the windows: how far each comparison star is from the line the others
// give, an error that includes the uncertainty of the line itself, and a check
// star left out of the fit. Built on the same reading, vacancy and sort rules and
// the same FitCalibrationLine, so slope, constant and magnitudes are bit for bit
// the windows' ones. A value that cannot exist for the number of stars (or that
// would not be a finite number) is empty, never NaN; only a star's t is
// infinite, when the other stars lie exactly on a line and it does not.
namespace quillet {

// A comparison star that took part in the fit, in the fit's order (by measured value).
struct ReportRow
{
    int row; // 1..15 in the table
    double measured;
    double catalogue;
    double fitted; // slope x measured + constant
    double residual; // catalogue - fitted
    std::optional<double> deletedResidual; // residual / (1 - leverage); n >= 3
    std::optional<double> studentized; // externally studentized residual; n >= 4, may be infinite
    // Off the line by a magnitude that matters: |t| > FlagLimit and the deleted
    // residual at least the flag magnitude.
    bool flagged;
    bool noted; // |t| > FlagLimit, but its deleted residual is smaller
};

inline constexpr double FlagLimit = 3.0;
inline constexpr double DefaultFlagMagnitude = 0.05;

struct VariableEstimate
{
    double measured;
    double magnitude; // what the Measure command shows for it
    std::optional<double> predictionSe; // n >= 3
    std::optional<double> low95; // magnitude -/+ t(0.975, n - 2) x predictionSe
    std::optional<double> high95;
};

// The check star: left out of the fit, then compared with it.
struct CheckStarResult
{
    int row;
    double measured;
    double catalogue;
    double fitted;
    double oMinusC; // observed minus catalogue: fitted - catalogue
    std::optional<double> z; // oMinusC / its prediction standard error; n >= 3
};

struct CalibrationReport
{
    int n = 0;
    double slope = 0;
    double constant = 0;
    double rmsError = 0; // the windows' photometric error (divisor n)
    std::optional<double> s; // residual scatter, divisor n - 2; n >= 3
    std::optional<double> slopeSe; // n >= 3
    double meanX = 0; // of the measured values that took part
    double sxx = 0; // their sum of squared deviations
    std::vector<ReportRow> rows;
    // Rows with data that the fit left out: a measured value of 9999 (the
    // vacant marker), or above it behind a vacant row.
    std::vector<int> leftOut;
    std::vector<VariableEstimate> variables;
    std::optional<CheckStarResult> check;
};

enum class ReportProblem {
    NoLine, // as the Measure command: no line through the stars
    MagnitudeOutOfRange, // a variable's magnitude is not a number
    CheckMagnitudeOutOfRange, // the check star's fitted magnitude is not a number
    CheckRowOutOfRange, // not 1..15
    CheckRowVacant, // the check star's row holds no data
};

struct ReportOutcome
{
    std::optional<ReportProblem> problem; // set: no report
    CalibrationReport report;
};

// tableTexts: Text1..Text30; variableTexts: each read as Text31 is read;
// checkRow: the table row (1..15) of the check star, left out of the fit;
// flagMagnitude: the smallest deleted residual that flags a star.
ReportOutcome MakeCalibrationReport(const QStringList &tableTexts, const QStringList &variableTexts,
    std::optional<int> checkRow = std::nullopt, double flagMagnitude = DefaultFlagMagnitude);

// One more variable for the report's line; empty when its magnitude is not a number.
std::optional<VariableEstimate> EstimateVariable(const CalibrationReport &report, double measured);

// Student's t quantile t(0.975, df) for df 1..13 (published tables, 6 digits);
// n <= 15 stars leave at most 13 degrees of freedom.
double StudentT975(int degreesOfFreedom);

} // namespace quillet
