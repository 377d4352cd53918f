// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/star_chart.h"

#include "core/comparison_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quillet::StarChart {

QByteArray serialize(const FieldChart &chart)
{
    QJsonArray rows;
    for (const RowStar &r : chart.rows) {
        QJsonObject row {{QStringLiteral("row"), r.row}, {QStringLiteral("label"), r.label},
            {QStringLiteral("auid"), r.auid}, {QStringLiteral("mag"), r.magText}};
        row.insert(QStringLiteral("error"), r.error ? QJsonValue(*r.error) : QJsonValue());
        rows.append(row);
    }
    const QJsonObject root {
        {QStringLiteral("chart"), QJsonDocument::fromJson(chart.answer).object()},
        {QStringLiteral("band"), chart.band}, {QStringLiteral("rows"), rows}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<FieldChart> deserialize(QByteArrayView bytes)
{
    const QJsonDocument document = QJsonDocument::fromJson(bytes.toByteArray());
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    FieldChart chart;
    chart.answer = QJsonDocument(root.value(QLatin1String("chart")).toObject()).toJson();
    const VspChart::Read read = VspChart::read(chart.answer);
    if (!read.chart)
        return std::nullopt;
    chart.chart = *read.chart;
    chart.band = root.value(QLatin1String("band")).toString();
    for (const QJsonValue &value : root.value(QLatin1String("rows")).toArray()) {
        const QJsonObject row = value.toObject();
        RowStar r {row.value(QLatin1String("row")).toInt(),
            row.value(QLatin1String("label")).toString(),
            row.value(QLatin1String("auid")).toString(), row.value(QLatin1String("mag")).toString(),
            std::nullopt};
        if (row.value(QLatin1String("error")).isDouble())
            r.error = row.value(QLatin1String("error")).toDouble();
        if (r.row < 1 || r.row > TableRows || r.magText.isEmpty())
            return std::nullopt;
        chart.rows.append(r);
    }
    return chart;
}

Imported import(const VspChart::Chart &chart, const QByteArray &answer, const QString &band,
    const QList<int> &stars)
{
    Imported made {QStringList(2 * TableRows), {chart, answer, band, {}}};
    for (int k = 1; k <= TableRows && k <= stars.size(); ++k) {
        const VspChart::Star &star = chart.stars[stars[k - 1]];
        const VspChart::Band *b = star.band(band);
        if (!b)
            continue;
        made.tableTexts[2 * k - 1] = b->magText;
        made.chart.rows.append({k, star.label, star.auid, b->magText, b->error});
    }
    return made;
}

QMap<int, const RowStar *> starsNow(const FieldChart &chart, const QStringList &tableTexts)
{
    QMap<int, const RowStar *> now;
    for (const RowStar &r : chart.rows) {
        if (tableTexts.value(2 * r.row - 1).trimmed() == r.magText)
            now.insert(r.row, &r);
    }
    return now;
}

QList<int> changedRows(const FieldChart &chart, const QStringList &tableTexts)
{
    QList<int> changed;
    for (const RowStar &r : chart.rows) {
        // A row emptied holds no star at all, which needs no word.
        const QString now = tableTexts.value(2 * r.row - 1).trimmed();
        if (!now.isEmpty() && now != r.magText)
            changed.append(r.row);
    }
    return changed;
}

QMap<int, QString> labels(const FieldChart &chart, const QStringList &tableTexts)
{
    QMap<int, QString> labels;
    for (const RowStar *r : starsNow(chart, tableTexts))
        labels.insert(r->row, r->label);
    return labels;
}

} // namespace quillet::StarChart
