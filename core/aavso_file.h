// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A night's AAVSO Extended file, one record at a time: what an append adds to
// the file as it is, decided from its bytes alone. The file layer writes it.
namespace quillet::AavsoFile {

// A night's file stays far below this; anything larger is not one of ours.
inline constexpr qsizetype ReadLimit = 16 * 1024 * 1024;

enum class Refusal {
    NotAavso, // the file has text but is no AAVSO Extended file
    OtherObscode, // its #OBSCODE is not this observer's
    OtherDelimiter, // its #DELIM is not ","
    Duplicate, // it holds a record of the same star, date and filter already
};

struct Plan
{
    std::optional<Refusal> refusal; // nothing to add
    QString fileObscode; // the #OBSCODE found, for OtherObscode
    QByteArray addition; // what to write
    bool replacesAll = false; // the file held blank lines only: addition takes its place
    int records = 0; // the records the file holds with the addition (without: refused)
};

// What appending record (one line, without its line end) adds to a file that
// holds existing: header (lines ending in "\n") and the record into a file
// that is empty or holds only blank lines, so that nothing stands above the
// header; otherwise the record alone, when the file is an AAVSO Extended file
// of the same observer (#OBSCODE, blanks around it and case aside) and "#DELIM=,".
// The file's own line ends are kept (CR LF or LF), and so is a byte-order mark.
// A record of the same star, date and filter is refused as Duplicate unless
// allowDuplicate.
Plan planAppend(const QByteArray &existing, const QString &header, const QString &record,
    const QString &obscode, bool allowDuplicate = false);

// The data lines of an AAVSO file: neither empty nor comments.
int countRecords(const QByteArray &bytes);

} // namespace quillet::AavsoFile
