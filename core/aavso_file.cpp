// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/aavso_file.h"

#include <QList>

namespace quillet::AavsoFile {

namespace {

// A night's file stays far below this; anything larger is not one of ours.
constexpr qsizetype ReadLimit = 16 * 1024 * 1024;

// The value of a "#NAME=value" parameter line, the format not being case sensitive.
std::optional<QByteArray> parameter(const QByteArray &bytes, const QByteArray &name)
{
    const QByteArray wanted = '#' + name.toUpper() + '=';
    for (const QByteArray &line : bytes.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.toUpper().startsWith(wanted))
            return trimmed.mid(wanted.size()).trimmed();
    }
    return std::nullopt;
}

} // namespace

int countRecords(const QByteArray &bytes)
{
    int records = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith('#'))
            ++records;
    }
    return records;
}

Appended append(
    const QString &path, const QString &header, const QString &record, const QString &obscode)
{
    Appended appended;
    const auto old = ComparisonDataFile::readWholeFile(path, ReadLimit);
    if (old.failure) {
        appended.failure = old.failure;
        return appended;
    }
    QByteArray bytes = old.bytes;
    if (bytes.trimmed().isEmpty()) {
        bytes += header.toUtf8();
    } else {
        const auto type = parameter(bytes, "TYPE");
        const auto code = parameter(bytes, "OBSCODE");
        if (!type || type->toUpper() != "EXTENDED") {
            appended.refusal = Refusal::NotAavso;
        } else if (!code || code->toUpper() != obscode.toUtf8().toUpper()) {
            appended.refusal = Refusal::OtherObscode;
            appended.fileObscode = code ? QString::fromUtf8(*code) : QString();
        } else if (parameter(bytes, "DELIM") != QByteArray(",")) {
            appended.refusal = Refusal::OtherDelimiter;
        }
        if (appended.refusal) {
            appended.records = countRecords(bytes);
            return appended;
        }
        if (!bytes.endsWith('\n'))
            bytes += '\n';
    }
    bytes += record.toUtf8() + '\n';
    const auto saved = ComparisonDataFile::writeFile(path, bytes);
    appended.failure = saved.failure;
    appended.records = countRecords(saved.failure ? old.bytes : bytes);
    return appended;
}

} // namespace quillet::AavsoFile
