// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kept_chart.h"

#include "report/field_chart.h"

#include <QDateTime>
#include <QFileInfo>

namespace quillet {

const StarChart::FieldChart *keptChart(const QString &folder)
{
    struct Kept
    {
        QString folder;
        QDateTime modified;
        qint64 size = -1;
        std::optional<StarChart::FieldChart> chart;
    };
    static Kept kept;
    const QFileInfo file(folder + u'/' + QLatin1String(StarChart::FileName));
    const QDateTime modified = file.exists() ? file.lastModified() : QDateTime();
    const qint64 size = file.exists() ? file.size() : -1;
    if (kept.folder != folder || kept.modified != modified || kept.size != size)
        kept = {folder, modified, size, size < 0 ? std::nullopt : FieldChart::kept(folder)};
    return kept.chart ? &*kept.chart : nullptr;
}

} // namespace quillet
