// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"

#include <QByteArray>

// The report written for machines: JSON. (The lines for submission are
// AavsoExtended's and Vsnet's.)
namespace quillet::ReportFormats {

// Every number written so that it reads back as the same double; a value that
// does not exist (or is infinite) is null.
QByteArray json(const CalibrationReport &report);
// The same text in pieces, for variables that arrive one at a time: the head
// (everything before the variables), each variable, the end.
QByteArray jsonHead(const CalibrationReport &report);
QByteArray jsonVariable(const VariableEstimate &variable, bool first);
QByteArray jsonEnd();

} // namespace quillet::ReportFormats
