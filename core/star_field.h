// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// A star field: a folder of the data folder holding its own compdata.txt, named
// after the field ("SS Cyg", "かに座 TT"). The data folder itself is the
// default field. Names and paths only; the file layer lists and makes them.
namespace quillet::StarField {

enum class NameProblem {
    Empty,
    Slash, // holds "/" (it would be a folder inside a folder)
    LeadingDot, // begins with "." (hidden, or "." and "..")
    NotAFolderName, // a control character, or longer than a folder name may be
};

// Why a name cannot be a field's folder, or nothing. Blanks around it are
// dropped first (as the name is used).
std::optional<NameProblem> nameProblem(const QString &name);

// The field a folder is: its name when it stands directly in the data folder;
// nothing for the data folder itself or any other folder. Both absolute.
std::optional<QString> fieldOf(const QString &folder, const QString &dataFolder);

} // namespace quillet::StarField
