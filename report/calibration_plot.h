// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"
#include "report/plot_colours.h"

#include <QByteArray>

class QChart;

namespace quillet::CalibrationPlot {

// Draws catalogue magnitude (downward) against measured value: the comparison
// stars with the fitted line and each star's residual as a bar, flagged stars and
// the check star in colours of their own, and each variable with its 95 %
// interval, as a PNG picture or an SVG drawing (svg). Needs a QApplication.
QByteArray picture(const CalibrationReport &report, bool svg);

// The same chart, for a view of its own (the caller owns it), in colours.
QChart *chart(const CalibrationReport &report, const PlotColours::Colours &colours);

} // namespace quillet::CalibrationPlot
