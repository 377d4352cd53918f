// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/night_file.h"

#include "platform/file_layer.h"

namespace quillet::AavsoFile {

Appended append(const QString &path, const QString &header, const QString &record,
    const QString &obscode, bool allowDuplicate)
{
    Appended appended;
    Plan plan;
    const files::Appended written = files::appendLocked(
        path, ReadLimit, [&](const QByteArray &existing) -> std::optional<files::Addition> {
            plan = planAppend(existing, header, record, obscode, allowDuplicate);
            if (plan.refusal)
                return std::nullopt;
            return files::Addition {plan.addition, plan.replacesAll};
        });
    appended.failure = written.failure;
    appended.refusal = plan.refusal;
    appended.fileObscode = plan.fileObscode;
    appended.records = written.added ? plan.records : countRecords(written.before);
    return appended;
}

} // namespace quillet::AavsoFile
