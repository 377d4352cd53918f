// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/file_state.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// "compdata.txt": one line per table row whose measured-value box is not empty,
// "<FileNumberText(m)>,<FileNumberText(c)>" CR LF, rows moving up to close gaps;
// a row whose measured box is empty and whose catalogue box is not is written
// too, as ",<FileNumberText(c)>", so that no catalogue magnitude is lost.
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

// The table as start-up shows it after reading the file: the rows read before
// any failure, why the file could not be read in full, and what was found.
struct Loaded
{
    QStringList tableTexts; // 30 texts
    std::optional<FileState::Failure> failure; // why a file that is there could not be read
    FileState::Snapshot snapshot;
};
// No file at all is the normal first start: 30 empty texts and no failure.
Loaded loaded(const FileState::Read &read);

// How a save treats the file it replaces: one that was there at start-up but
// could not be read in full is kept beside the new one (unless an earlier
// attempt kept it already), and the new file then gets the mode new files get
// here, so that it can be read again.
FileState::ReplacePolicy replacePolicy(const FileState::Snapshot &readAtStart);

struct Change
{
    bool changed = false; // a save would replace what the user has not seen
    QString writesTo; // set when the path now leads to another file than before
};
// Whether the file as it is now (read again) is no longer what start-up saw:
// it has appeared, its contents differ, or the path now leads to another file
// (a new link). The same bytes, touched or written anew, are no change. A file
// that has disappeared, or is no regular file now, is none either: saving
// loses nothing there (and refuses what is not a regular file, saying why).
Change changedSince(
    const QString &path, const FileState::Snapshot &atStart, const FileState::Read &now);

} // namespace quillet::ComparisonDataFile
