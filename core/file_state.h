// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What the program knows of a file it read or wrote, as plain values: the file
// layer (platform/) finds them, the formats decide with them, and the program's
// words name them. Nothing here touches a file.
namespace quillet::FileState {

// Why a file could not be read or written.
enum class Problem {
    Folder, // the name is a folder
    NotRegularFile, // a device, a pipe, a socket, or a link to one: never opened
    BrokenLink, // a link that leads nowhere
    NoPermission, // on the file itself
    FolderNoPermission, // no right to make a file in the folder (Failure::folder)
    ReadOnlyPlace, // a read-only file system
    DiskFull,
    TooLarge, // beyond the file size limit
    WorkingFolderMissing, // the working folder was removed or moved away
    FolderMissing, // another folder on the way does not exist (Failure::folder)
    TooManyLinks, // a chain of links too long, or a loop
    OtherFileSystem, // a rename across file systems
    TooManyKeptCopies, // every name for keeping an unreadable file aside is taken
    ReadCutShort, // longer than the read limit (Failure::limit): only its beginning was read
    OverLimit, // longer than the limit a whole file must stay within (Failure::limit): refused
    Other, // see systemError
};

// How many copies of unreadable files a save keeps beside the file at most:
// "<name>.unreadable", "<name>.unreadable-2", ...
inline constexpr int KeptCopiesLimit = 9;

struct Failure
{
    Problem problem;
    int systemError = 0; // errno, 0 when the problem was found without one
    QString folder = {}; // the folder FolderMissing and FolderNoPermission name
    qint64 limit = 0; // the limit ReadCutShort and OverLimit name, in bytes
};

// What the program found when it read a file, to notice later that another
// program (a second copy of this one, say) has written it since.
struct Snapshot
{
    bool exists = false;
    bool regular = false; // a regular file, or a link to one
    bool read = false; // the whole file was read
    QString target; // the file a save replaces: the path, or where its links lead
    QString keptAs; // where an earlier save already kept the unread file
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    QByteArray bytes; // what was read
};

// A file read whole, up to a limit: failure says why it was not read in full.
struct Read
{
    std::optional<Failure> failure;
    Snapshot snapshot;
};

// How a replacement treats the file it replaces.
struct ReplacePolicy
{
    bool keepAside = false; // keep the old file beside the new one first
    bool defaultMode = false; // the new file gets the mode new files get here
};

} // namespace quillet::FileState
