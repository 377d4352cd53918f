// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"

#include <QString>

namespace quillet {

// Draws catalogue magnitude (downward) against measured value: the comparison
// stars with the fitted line and each star's residual as a bar, flagged stars and
// the check star in colours of their own, and each variable with its 95 %
// interval. FILE.png is a picture, FILE.svg a vector drawing. Needs a
// QApplication. Returns false when the file could not be written.
bool writeCalibrationPlot(const CalibrationReport &report, const QString &path);

} // namespace quillet
