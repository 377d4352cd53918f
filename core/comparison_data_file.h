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
    TooManyLinks, // a chain of links too long, or a loop
    OtherFileSystem, // a rename across file systems
    TooManyKeptCopies, // every name for keeping an unreadable file aside is taken
    ReadCutShort, // longer than ReadLimit: only its beginning was read
    Other, // see systemError
};

// How many copies of unreadable files a save keeps beside the file at most:
// "<name>.unreadable", "<name>.unreadable-2", ...
inline constexpr int KeptCopiesLimit = 9;

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
    bool read = false; // the whole file was read
    QString target; // the file a save replaces: the path, or where its links lead
    QString keptAs; // where an earlier save already kept the unread file
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
// opened, so a pipe cannot block start-up and a device is never touched. A file
// longer than ReadLimit fills the table from its beginning and fails with
// ReadCutShort: it was not read in full.
Loaded load(const QString &path);

struct Change
{
    bool changed = false; // a save would replace what the user has not seen
    QString writesTo; // set when the path now leads to another file than before
};
// Whether the file at path is no longer what the snapshot saw: it has appeared,
// its contents differ, or the path now leads to another file (a new link). The
// same bytes, touched or written anew, are no change. A file that has
// disappeared, or is no regular file now, is none either: saving loses nothing
// there (and refuses what is not a regular file, saying why).
Change changedSince(const QString &path, const Snapshot &snapshot);

struct Saved
{
    std::optional<Failure> failure; // the new file is not in place
    // In place, but the folder could not be synced: a power cut may still lose it.
    std::optional<Failure> syncFailure;
    QString keptAs; // where a file that could not be read was kept, or empty;
                    // also on failure, where the keeping moved it away
    bool defaultMode = false; // the new file has the mode new files get here
    Snapshot snapshot; // the file as written
};
// Writes the file atomically and durably (file and folder synced): on failure the
// earlier file is left as it was. Through a link the link stays and its target
// is replaced in its own folder, keeping its permissions (and always readable
// and writable by its owner). Anything but a regular file is never replaced. A
// regular file that was there at start-up but could not be read
// (readAtStart.regular && !readAtStart.read) is first kept beside it under the
// name "<name>.unreadable" (or "-2", ... up to KeptCopiesLimit), unless an
// earlier attempt kept it (readAtStart.keptAs), and the new file gets the mode
// new files get here (0666 less the umask).
Saved save(const QString &path, const QStringList &tableTexts, const Snapshot &readAtStart);

// Writes bytes to path as save writes the table: atomically, a regular file or a
// new one only, never a folder, device or pipe.
Saved writeFile(const QString &path, const QByteArray &bytes);

// A whole file as it is now, up to limit bytes (longer: ReadCutShort), with the
// same rules: only a regular file, or a link to one, is opened. No file is no
// failure (exists false).
struct WholeFile
{
    std::optional<Failure> failure;
    bool exists = false;
    QByteArray bytes;
};
WholeFile readWholeFile(const QString &path, qsizetype limit);

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

} // namespace quillet::ComparisonDataFile
