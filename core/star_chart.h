// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/vsp_chart.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// What a star field knows of its chart, kept beside its compdata.txt (which
// stays as it is): the chart as VSP gave it, the band taken, and which table
// row holds which chart star with the magnitude put into it. A row is that
// star while its catalogue box holds that magnitude's text; changed by hand,
// it is no longer.
namespace quillet::StarChart {

inline constexpr char FileName[] = "chart.json";

struct RowStar
{
    int row = 0; // 1..15
    QString label;
    QString auid;
    QString magText; // what went into the catalogue box
    std::optional<double> error;
};

struct FieldChart
{
    VspChart::Chart chart;
    QByteArray answer; // VSP's answer as read
    QString band;
    QList<RowStar> rows;
};

QByteArray serialize(const FieldChart &chart);
// Nothing for bytes that are not such a file.
std::optional<FieldChart> deserialize(QByteArrayView bytes);

// The table "表に入れる" makes of the stars chosen (indexes into the chart,
// brightest first): row k their catalogue magnitude as VSP writes it and an
// empty measured box, every other row empty; and what the field keeps of it.
struct Imported
{
    QStringList tableTexts; // Text1..Text30
    FieldChart chart;
};
Imported import(const VspChart::Chart &chart, const QByteArray &answer, const QString &band,
    const QList<int> &stars);

// The rows that are chart stars now (catalogue text unchanged), and the rows
// that were and hold another magnitude now.
QMap<int, const RowStar *> starsNow(const FieldChart &chart, const QStringList &tableTexts);
QList<int> changedRows(const FieldChart &chart, const QStringList &tableTexts);
// Row numbers with their labels, for the report's text: row 3 as "3（109）".
QMap<int, QString> labels(const FieldChart &chart, const QStringList &tableTexts);

} // namespace quillet::StarChart
