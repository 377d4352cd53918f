// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/night_file.h"

#include "platform/file_layer.h"

namespace quillet::NightFile {

Appended append(const QString &path, const AavsoExtended::Header &header,
    const QList<AavsoExtended::Fields> &records, AavsoFile::Duplicates duplicates)
{
    Appended appended;
    AavsoFile::Plan plan;
    const FileLayer::Appended written = FileLayer::appendLocked(path, AavsoFile::ReadLimit,
        [&](const QByteArray &existing) -> std::optional<FileLayer::Addition> {
            plan = AavsoFile::planAppend(existing, header, records, duplicates);
            if (plan.refusal || plan.addition.isEmpty())
                return std::nullopt;
            return FileLayer::Addition {plan.addition, plan.replacesAll};
        });
    appended.failure = written.failure;
    appended.incomplete = written.rollbackFailed;
    appended.refusal = plan.refusal;
    appended.detail = plan.detail;
    appended.duplicates = plan.duplicates;
    appended.added = written.added ? plan.added : 0;
    appended.records = written.added ? plan.records : AavsoFile::countRecords(written.before);
    return appended;
}

} // namespace quillet::NightFile
