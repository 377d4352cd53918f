// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"

#include <QString>

namespace quillet::messages {

// The calibration report for people: each comparison star with its residuals
// and flag, the line, its errors, each variable and the check star. What
// quillet3-report prints and the diagnosis window shows.
QString readableReport(const CalibrationReport &report);

// A value that may not exist, to three decimals (or decimals), or "—".
QString optionalNumber(std::optional<double> value, int decimals = 3);

} // namespace quillet::messages
