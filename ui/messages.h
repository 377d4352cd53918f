// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration.h"
#include "core/comparison_data_file.h"

#include <QString>

// The program's words for what core reports as values: shared by the windows and
// quillet3-report, which must say the same. Lines are separated by a carriage
// return, as the message boxes show them.
namespace quillet::messages {

// Why compdata.txt (or the file named) could not be read or written.
QString fileProblem(const ComparisonDataFile::Failure &failure,
    const QString &name = QString::fromLatin1(ComparisonDataFile::FileName));

// "The comparison-star data could not be read" and why.
QString loadFailed(const ComparisonDataFile::Failure &failure,
    const QString &name = QString::fromLatin1(ComparisonDataFile::FileName));

// "The comparison-star data could not be read": there is no such file.
QString fileMissing(const QString &name);

// Why a Measure shows no result.
QString measureProblem(MeasureProblem problem);

} // namespace quillet::messages
