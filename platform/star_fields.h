// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/file_state.h"
#include "core/star_field.h"

#include <QList>
#include <QString>

#include <optional>

// The data folder and its star fields on the disk.
namespace quillet::StarFields {

// QUILLET3_HOME, or ~/Quillet3: where the desktop keeps its tables.
QString dataFolder();

// The folder of the field name in the data folder, and the table a folder
// holds (its compdata.txt).
QString fieldFolder(const QString &dataFolder, const QString &name);
QString tablePath(const QString &folder);

struct Listed
{
    QString name; // empty for the data folder itself, the default field
    QString path; // absolute
    int stars = 0; // the rows of its compdata.txt
    std::optional<qint64> savedMs; // when compdata.txt was last written (ms since 1970)
};
// The data folder first, then each folder in it (hidden ones aside), by name.
QList<Listed> list(const QString &dataFolder);

// Makes the field name in the data folder; its path, or why not (FolderExists
// when there is one already).
struct Made
{
    QString path;
    std::optional<FileState::Failure> failure;
    bool exists = false; // a folder or file of that name is there already
    bool isFolder = false; // and it is a folder (or a link to one): the field exists
};
Made make(const QString &dataFolder, const QString &name);

// Makes folder the working folder (and PWD, which the save's removed-folder
// handling reads); why not, or nothing.
std::optional<FileState::Failure> enter(const QString &folder);

// Where the desktop launcher starts: the data folder, made when missing, or
// the field used last when it is still there.
std::optional<FileState::Failure> enterForDesktop(const QString &lastField);

} // namespace quillet::StarFields
