// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/star_field.h"

namespace quillet::StarField {

namespace {

// A name's length in the file system's bytes (UTF-8).
constexpr qsizetype NameBytes = 255;

QString withoutTrailingSlashes(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

} // namespace

std::optional<NameProblem> nameProblem(const QString &typed)
{
    const QString name = typed.trimmed();
    if (name.isEmpty())
        return NameProblem::Empty;
    if (name.contains(u'/'))
        return NameProblem::Slash;
    if (name.startsWith(u'.'))
        return NameProblem::LeadingDot;
    if (name.toUtf8().size() > NameBytes || name.contains(QChar::ReplacementCharacter))
        return NameProblem::NotAFolderName;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return NameProblem::NotAFolderName;
    }
    return std::nullopt;
}

std::optional<QString> fieldOf(const QString &folder, const QString &dataFolder)
{
    const QString path = withoutTrailingSlashes(folder);
    const QString data = withoutTrailingSlashes(dataFolder);
    const qsizetype slash = path.lastIndexOf(u'/');
    if (data.isEmpty() || slash <= 0 || path.left(slash) != data)
        return std::nullopt;
    const QString name = path.mid(slash + 1);
    if (nameProblem(name))
        return std::nullopt;
    return name;
}

} // namespace quillet::StarField
