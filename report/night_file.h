// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/aavso_file.h"
#include "core/file_state.h"

#include <QList>
#include <QString>

#include <optional>

// The night's AAVSO Extended file that the windows and quillet3-report append to.
namespace quillet::NightFile {

struct Appended
{
    std::optional<FileState::Failure> failure; // could not read or write
    // A write failed part-way and could not be undone: the file may end in
    // part of a record.
    bool incomplete = false;
    std::optional<AavsoFile::Refusal> refusal; // nothing written: why
    QString detail; // what the file says, for the refusal
    QList<AavsoFile::Duplicate> duplicates;
    int added = 0; // the records written
    int records = 0; // the records the file holds afterwards
};

// Appends records to the file at path as AavsoFile::planAppend decides, in
// place and under a lock (see FileLayer::appendLocked): two writers never
// lose each other's records, and the file keeps its owner, mode and links.
// Links are followed to a regular file; a folder, device or pipe is refused,
// as for compdata.txt.
Appended append(const QString &path, const AavsoExtended::Header &header,
    const QList<AavsoExtended::Fields> &records,
    AavsoFile::Duplicates duplicates = AavsoFile::Duplicates::Refuse);

} // namespace quillet::NightFile
