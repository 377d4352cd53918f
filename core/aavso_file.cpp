// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/aavso_file.h"

#include <QList>

namespace quillet::AavsoFile {

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

QByteArray withoutMark(const QByteArray &bytes)
{
    return bytes.startsWith(ByteOrderMark) ? bytes.mid(3) : bytes;
}

// The value of the last "#NAME=value" parameter line (the one that applies to
// records written after it), the format not being case sensitive.
std::optional<QByteArray> parameter(const QByteArray &bytes, const QByteArray &name)
{
    const QByteArray wanted = '#' + name.toUpper() + '=';
    std::optional<QByteArray> value;
    for (const QByteArray &line : bytes.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.toUpper().startsWith(wanted))
            value = trimmed.mid(wanted.size()).trimmed();
    }
    return value;
}

// NAME, DATE and FILT of a record written with "," between its fields.
QList<QByteArray> identity(const QByteArray &line)
{
    const QList<QByteArray> fields = line.trimmed().split(',');
    if (fields.size() < 5)
        return {};
    return {fields[0].trimmed(), fields[1].trimmed(), fields[4].trimmed()};
}

bool holdsRecord(const QByteArray &bytes, const QByteArray &record)
{
    const QList<QByteArray> wanted = identity(record);
    if (wanted.isEmpty())
        return false;
    for (const QByteArray &line : bytes.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith('#') && identity(trimmed) == wanted)
            return true;
    }
    return false;
}

} // namespace

int countRecords(const QByteArray &bytes)
{
    int records = 0;
    for (const QByteArray &line : withoutMark(bytes).split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith('#'))
            ++records;
    }
    return records;
}

Plan planAppend(const QByteArray &existing, const QString &header, const QString &record,
    const QString &obscode, bool allowDuplicate)
{
    Plan plan;
    const QByteArray bytes = withoutMark(existing);
    const QByteArray line = record.toUtf8();
    if (bytes.trimmed().isEmpty()) {
        // Nothing above the header, a byte-order mark aside.
        plan.addition = (existing.startsWith(ByteOrderMark) ? QByteArray(ByteOrderMark) : "")
            + header.toUtf8() + line + '\n';
        plan.replacesAll = !existing.isEmpty();
        plan.records = 1;
        return plan;
    }
    const auto type = parameter(bytes, "TYPE");
    const auto code = parameter(bytes, "OBSCODE");
    if (!type || type->toUpper() != "EXTENDED") {
        plan.refusal = Refusal::NotAavso;
    } else if (!code || code->toUpper() != obscode.trimmed().toUtf8().toUpper()) {
        plan.refusal = Refusal::OtherObscode;
        plan.fileObscode = code ? QString::fromUtf8(*code) : QString();
    } else if (parameter(bytes, "DELIM") != QByteArray(",")) {
        plan.refusal = Refusal::OtherDelimiter;
    } else if (!allowDuplicate && holdsRecord(bytes, line)) {
        plan.refusal = Refusal::Duplicate;
    }
    plan.records = countRecords(bytes);
    if (plan.refusal)
        return plan;
    // The file's own line ends.
    const QByteArray end = bytes.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    if (!bytes.endsWith('\n') && !bytes.endsWith('\r'))
        plan.addition = end;
    plan.addition += line + end;
    ++plan.records;
    return plan;
}

} // namespace quillet::AavsoFile
