// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/comparison_data_file.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A night's AAVSO Extended file, one record at a time. The file is rewritten as
// a whole, atomically: what it held stays byte for byte, and a record is either
// all there or not at all.
namespace quillet::AavsoFile {

enum class Refusal {
    NotAavso, // the file has text but is no AAVSO Extended file
    OtherObscode, // its #OBSCODE is not this observer's
    OtherDelimiter, // its #DELIM is not ","
};

struct Appended
{
    std::optional<ComparisonDataFile::Failure> failure; // could not read or write
    std::optional<Refusal> refusal; // nothing written: another kind of file
    QString fileObscode; // the #OBSCODE found, for OtherObscode
    int records = 0; // the records the file holds afterwards
};

// Appends record (one line) to the file at path; header ("#TYPE=Extended" ...,
// each line ending in "\n") only into a new or empty file. An existing file
// takes records only when it is an AAVSO Extended file with the same #OBSCODE
// and "#DELIM=,". Links are followed to a regular file; a folder, device or pipe
// is refused, as for compdata.txt.
Appended append(
    const QString &path, const QString &header, const QString &record, const QString &obscode);

// The data lines of an AAVSO file: neither empty nor comments.
int countRecords(const QByteArray &bytes);

} // namespace quillet::AavsoFile
