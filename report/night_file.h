// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/aavso_file.h"
#include "core/file_state.h"

#include <QString>

#include <optional>

// The night's AAVSO Extended file that the report-line dialog appends to.
namespace quillet::AavsoFile {

struct Appended
{
    std::optional<files::Failure> failure; // could not read or write
    std::optional<Refusal> refusal; // nothing written: another kind of file, or a duplicate
    QString fileObscode; // the #OBSCODE found, for OtherObscode
    int records = 0; // the records the file holds afterwards
};

// Appends record to the file at path as planAppend decides, in place and under
// a lock (see files::appendLocked): two writers never lose each other's
// records, and the file keeps its owner, mode and links. Links are followed to
// a regular file; a folder, device or pipe is refused, as for compdata.txt.
Appended append(const QString &path, const QString &header, const QString &record,
    const QString &obscode, bool allowDuplicate = false);

} // namespace quillet::AavsoFile
