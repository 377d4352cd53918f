// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"

#include <QMap>
#include <QString>

namespace quillet::ReportText {

// A chart star's label by its table row: the text names row 3 "3（109）".
using Labels = QMap<int, QString>;

// The calibration report for people: each comparison star with its residuals
// and judgement, the rows the fit left out, the line, its errors, each
// variable and the check star. What quillet3-report prints and the diagnosis
// window shows: readableHead, then readableVariable for each variable, then
// readableTail.
QString readableReport(const CalibrationReport &report, const Labels &labels = {});
QString readableHead(const CalibrationReport &report, const Labels &labels = {});
QString readableVariable(const VariableEstimate &variable);
QString readableTail(const CalibrationReport &report, const Labels &labels = {});

// "3", or "3（109）" for a chart star's row.
QString rowName(int row, const Labels &labels);

// A star's judgement in words: "外れ", "参考" (off by little) or nothing.
QString judgement(const ReportRow &row);

// A value to the decimals, never "-0.000".
QString fixed(double value, int decimals = 3);
// An error: at least three decimals and at least two significant digits.
QString errorText(double value);
// A value that may not exist, to the decimals, or "—"; an endless t as "∞".
QString optionalNumber(std::optional<double> value, int decimals = 3);
QString optionalError(std::optional<double> value);

} // namespace quillet::ReportText
