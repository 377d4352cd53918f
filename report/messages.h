// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/aavso_extended.h"
#include "core/calibration.h"
#include "core/calibration_report.h"
#include "core/comparison_data_file.h"
#include "core/file_state.h"
#include "core/image_time.h"
#include "core/table_doubts.h"
#include "report/night_file.h"

#include <QMap>
#include <QString>

// The program's words for what core reports as values: shared by the windows and
// quillet3-report, which must say the same. Lines are separated by a carriage
// return, as the message boxes show them.
namespace quillet::messages {

// Why compdata.txt (or the file named) could not be read or written.
QString fileProblem(const FileState::Failure &failure,
    const QString &name = QString::fromLatin1(ComparisonDataFile::FileName));

// "The comparison-star data could not be read" and why.
QString loadFailed(const FileState::Failure &failure,
    const QString &name = QString::fromLatin1(ComparisonDataFile::FileName));

// "The comparison-star data could not be read": there is no such file.
QString fileMissing(const QString &name);

// The working folder was removed before start-up: the table cannot be saved.
QString folderRemovedAtStart(const QString &path);

// compdata.txt changed since start-up, or the name now leads to writesTo.
QString changedSinceStart(const QString &name, const QString &writesTo);

// The save failed, and why; where an unreadable file was kept, when it was.
QString saveFailed(const FileState::Failure &failure, const QString &keptAs,
    const QString &name = QString::fromLatin1(ComparisonDataFile::FileName));

// The file that could not be read was kept under keptAs; the new one has the
// mode new files get (defaultMode) rather than the unreadable one's.
QString keptAside(const QString &name, const QString &keptAs, bool defaultMode);

// The table is in place, but the folder could not be synced.
QString savedButNotSynced(const FileState::Failure &failure);

// Why a calibration report has no result.
QString reportProblem(ReportProblem problem);

// The words quillet3-report and the report-line dialog share.
QString notANumber(const QString &value); // a measured value that is not a number in full
QString aavsoUnfiltered(); // "C" is no AAVSO filter
QString aavsoOverlong(const AavsoExtended::Overlong &over); // a field longer than AAVSO takes
QString aavsoErrorTooLarge(double measured, double error); // 1 mag or more
QString notVsnetForm(const QString &star); // no constellation first
QString flaggedRows(const QStringList &rows); // comparison stars off the line

// The text with what cannot be seen made visible, and nothing a terminal
// would act on: C0 and C1 control characters as "\0", "\r", "\t", "\n" or
// "\xNN", and a file name's byte that was not UTF-8 as "\xNN".
QString visible(const QString &text);

// An image whose header could not be read, and why (CFITSIO's words).
QString notFits(const QString &path, const QString &why);
// Why an image's header gives no time.
QString imageTimeProblem(const ImageTime::TimeFound &found);
// Where the time came from: the keywords, and that it is the start when the
// exposure time is missing.
QString imageTimeFrom(const ImageTime::Time &time);

// A row the Measure reads as something else than it shows.
// A chart star's row is named with its label.
QString tableDoubt(const TableDoubts::Doubt &doubt, const QMap<int, QString> &labels = {});
// Rows that were a chart's stars and whose catalogue magnitude was changed by hand.
QString changedChartRows(const QList<int> &rows);

// What the design's import did last: how many values, which rows still hold
// one from before it.
QString importResult(int found, const std::vector<int> &keptRows);

// Why a Measure shows no result.
QString measureProblem(MeasureProblem problem);

// Why the night's file took no record, in words.
QString appendRefused(
    const QString &path, const NightFile::Appended &appended, const AavsoExtended::Header &header);

} // namespace quillet::messages
