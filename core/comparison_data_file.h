// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// "compdata.txt": one line per table row whose measured-value box is not empty,
// "<FileNumberText(m)>,<FileNumberText(c)>" CR LF, rows moving up to close gaps.
namespace quillet::ComparisonDataFile {

inline constexpr char FileName[] = "compdata.txt";
// Fifteen rows of short numbers fit in far less; a larger file is read only this
// far, so neither a huge nor a binary file can slow start-up down.
inline constexpr qsizetype ReadLimit = 64 * 1024;

// The file's bytes for the 30 texts Text1..Text30 (row order).
QByteArray serialize(const QStringList &tableTexts);
// The 30 texts the table shows after start-up reads these bytes (rows not in the file empty).
// Fields are read in order and paired across lines: a blank line carries no field,
// a line of one field lends its row's second field from the next line. Blanks
// around a field are skipped; a numeric field shows as PlainNumberText, an empty
// field as empty text, any other field as its own text ("quotes" removed).
// Line ends may be CR LF, LF or CR; invalid UTF-8 shows as replacement characters.
QStringList deserialize(QByteArrayView bytes);

// Why the file could not be read or written; the window words it.
enum class Problem {
    Folder, // the name is a folder
    NotRegularFile, // a device, a pipe, a socket, or a link to one: never opened
    BrokenLink, // a link that leads nowhere
    NoPermission,
    ReadOnlyPlace, // a read-only file system
    DiskFull,
    TooLarge, // beyond the file size limit
    FolderMissing, // the working folder was removed or moved away
    Other, // see systemError
};

struct Failure
{
    Problem problem;
    int systemError = 0; // errno, 0 when the problem was found without one
};

// What the program found when it read the file, to notice later that another
// program (a second copy of this one, say) has written it since.
struct Snapshot
{
    bool exists = false;
    bool regular = false; // a regular file, or a link to one
    bool read = false; // the whole file (up to ReadLimit) was read
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    QByteArray bytes; // what was read
};

struct Loaded
{
    QStringList tableTexts; // 30 texts; the rows read before any failure
    std::optional<Failure> failure; // why a file that is there could not be read
    Snapshot snapshot;
};
// Reads the file at path. No file at all is the normal first start: 30 empty
// texts and no failure. Anything but a regular file (or a link to one) is never
// opened, so a pipe cannot block start-up and a device is never touched.
Loaded load(const QString &path);

// True when the file at path is no longer the one the snapshot describes: it has
// appeared, or its size, time, identity or contents differ. A file that has
// disappeared, or is no regular file now, is no change: saving loses nothing there.
bool changedSince(const QString &path, const Snapshot &snapshot);

struct Saved
{
    std::optional<Failure> failure;
    QString keptAs; // where a file that could not be read was kept, or empty
    Snapshot snapshot; // the file as written
};
// Writes the file atomically and durably (file and folder synced): on failure the
// earlier file is left as it was. Through a link the link stays and its target
// is replaced in its own folder, keeping its permissions. Anything but a regular
// file is never replaced. A regular file that was there at start-up but could not
// be read (readAtStart.regular && !readAtStart.read) is first kept beside it
// under the name "<name>.unreadable" (or "-2", "-3", … after it).
Saved save(const QString &path, const QStringList &tableTexts, const Snapshot &readAtStart);

} // namespace quillet::ComparisonDataFile
