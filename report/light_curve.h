// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/aavso_reader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The night's light curve: the records of AAVSO Extended files, read as the
// windows and quillet3-report read them, and what is printed of them.
namespace quillet::LightCurve {

// Larger than any file of observations; a longer file is refused, not cut.
inline constexpr qsizetype ReadLimit = 512 * 1024 * 1024;

struct FileSkipped
{
    QString file;
    AavsoReader::Skipped skipped;
};

// Each record once, with the file it came from by index: a night of a
// million records costs no more than a few times its files.
struct Night
{
    QStringList files;
    QList<AavsoReader::Record> records;
    QList<int> fileOf; // each record's file, an index into files
    QList<FileSkipped> skipped;
    QStringList problems; // files that could not be read at all, in words
};

// Reads each file through the file layer (a regular file only, at most
// ReadLimit bytes) and gathers its records and skipped lines.
Night read(const QStringList &files);

// Why a line is no record, in words.
QString skipReason(const AavsoReader::Skipped &skipped);

// quillet3-report --light-curve: per star and filter the count, the dates and
// the magnitudes, then every skipped line; or the same as JSON, written to
// put piece by piece (false from put stops it: false).
QString text(const Night &night);
bool writeJson(const Night &night, const std::function<bool(const QByteArray &)> &put);

} // namespace quillet::LightCurve
