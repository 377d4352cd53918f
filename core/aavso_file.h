// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/aavso_extended.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A night's AAVSO Extended file, records added to it: what an append adds to
// the file as it is, decided from its bytes alone, in the file's own form.
// The file layer writes it.
namespace quillet::AavsoFile {

// A night's file stays far below this; anything larger is not one of ours.
inline constexpr qsizetype ReadLimit = 16 * 1024 * 1024;

// Why records cannot be added to a file; detail names what the file says.
enum class Refusal {
    NotAavso, // the file has text but is no AAVSO Extended file (detail: its #TYPE, if any)
    OtherObscode, // its #OBSCODE is another observer's (detail: that code)
    BadDelimiter, // its #DELIM names no character (detail: the value)
    OtherDateKind, // its #DATE is not the records' (detail: its value)
    OtherObstype, // its #OBSTYPE is not the records' (detail: its value)
    UnknownColumn, // its "#NAME,..." line names a column of no known field (detail: the name)
    MissingColumn, // its columns lack a field the records fill (detail: the field)
    DelimiterInField, // a record's field holds the file's delimiter (detail: the field)
    Duplicate, // it holds a record of the same star, date and filter already
};

// A record that is in the file already: the same star, filter and date (at
// the precision of the less precise of the two).
struct Duplicate
{
    int record = 0; // the new record's index
    int line = 0; // the line in the file
    QString magnitude; // MAG as the file writes it
    bool sameMagnitude = false; // the record is there as it is
};

struct Plan
{
    std::optional<Refusal> refusal; // nothing to add
    QString detail;
    QList<Duplicate> duplicates; // found, whether refused, skipped or added
    QByteArray addition; // what to write
    bool replacesAll = false; // the file held blank lines only: addition takes its place
    int added = 0; // the records in addition
    int records = 0; // the records the file holds with the addition (refused: without)
};

// What to do with records that are in the file already.
enum class Duplicates { Refuse, Append, Skip };

// What appending records adds to a file that holds existing: into a file that
// is empty or holds only blank lines, header and the records in this
// program's own form (nothing stands above the header; a byte-order mark
// stays); into an AAVSO Extended file of the same observer, date kind and
// observation type, the records alone, each written with the file's
// delimiter, in the columns its "#NAME,..." line names and with its own line
// ends. A file that cannot take them safely is refused with the reason.
Plan planAppend(const QByteArray &existing, const AavsoExtended::Header &header,
    const QList<AavsoExtended::Fields> &records, Duplicates duplicates = Duplicates::Refuse);

// The data lines of an AAVSO file: neither blank nor parameters or comments.
int countRecords(const QByteArray &bytes);

} // namespace quillet::AavsoFile
