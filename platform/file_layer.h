// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/file_state.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// The checked file layer: every file the program reads or writes goes through
// here. Only a regular file, or a link to one, is ever opened; a folder, device
// or pipe is refused without being touched, so a pipe cannot block and a device
// is never written. Failures come back as values (FileState::Failure).
namespace quillet::FileLayer {

// File names as the system has them: any bytes, also ones that are not
// UTF-8. decodeName keeps every byte that is not part of valid UTF-8 as a
// character of its own (U+DC80 to U+DCFF), so that encodeName gives the same
// bytes back; every path the program is given goes through them, never
// through a conversion that loses such a byte.
QString decodeName(const QByteArray &name);
QByteArray encodeName(const QString &name);

// Why an operation on path failed, errno given: the problem, and the folder
// it names where a folder is missing.
FileState::Failure failureFor(int error, const QString &path);

// The whole file at path as it is now, up to limit bytes. No file at all is no
// failure (snapshot.exists false). A longer file gives its first limit bytes
// and fails with ReadCutShort: it counts as not read. A link is followed; the
// snapshot's target is where it leads.
FileState::Read readFile(const QString &path, qsizetype limit);

struct Replaced
{
    std::optional<FileState::Failure> failure; // the new file is not in place
    // In place, but the folder could not be synced: a power cut may still lose it.
    std::optional<FileState::Failure> syncFailure;
    QString keptAs; // where the old file was kept (policy.keepAside), or empty;
                    // also on failure, where the keeping moved it away
    FileState::Snapshot snapshot; // the file as written
};
// Writes bytes to path atomically and durably (file and folder synced): a new
// file beside the old one, renamed over it, so that on failure the earlier file
// is left as it was. Through a link the link stays and its target is replaced
// in its own folder. The new file keeps the old one's permissions (and is
// always readable and writable by its owner), or gets the mode new files get
// here (0666 less the umask) when it is new or policy.defaultMode says so.
// With policy.keepAside the old file is first kept beside it as
// "<name>.unreadable" (or "-2", ... up to FileState::KeptCopiesLimit).
Replaced replaceFile(
    const QString &path, const QByteArray &bytes, const FileState::ReplacePolicy &policy = {});

// What an append adds: bytes at the end, or, for a file that holds nothing
// worth keeping (blank lines only), bytes that take its place.
struct Addition
{
    QByteArray bytes;
    bool replacesAll = false;
};
struct Appended
{
    std::optional<FileState::Failure> failure; // nothing was added
    QByteArray before; // the file as it was read under the lock
    bool added = false;
    // A write failed part-way and the file could not be cut back to what it
    // was: part of the addition may be left at its end.
    bool rollbackFailed = false;
};
// Appends to the file at path in place (a new file when there is none): under
// an exclusive lock it reads the whole file (at most limit bytes; a longer one
// fails with OverLimit), asks plan what to add (nothing: no addition) and
// writes that with one append, so that other writers' lines stay and the
// file's owner, group, mode, ACL and other hard links stay as they are. A
// write that fails part-way is cut back: the file is left as it was read.
Appended appendLocked(const QString &path, qsizetype limit,
    const std::function<std::optional<Addition>(const QByteArray &existing)> &plan);

// The working folder as start-up found it. A folder removed before or after
// start-up can still be recreated under its old path: shellPath (the shell's
// PWD) names it when the system no longer can.
struct WorkingFolder
{
    QString path; // absolute, or empty when unknown
    bool removed = false;
};
WorkingFolder workingFolder(const QString &shellPath);
// Where a save writes the file named name: in the working folder, or, once that
// folder has been removed, under its path as start-up found it.
QString pathInWorkingFolder(const QString &name, const WorkingFolder &atStart);

} // namespace quillet::FileLayer
