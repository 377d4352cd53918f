// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

namespace quillet {

// Measured values (x) and catalogue magnitudes (y) at the edges of the plot.
struct PlotEdges
{
    double PlotLeft; // measured value at x = 0
    double PlotRight; // measured value at x = PlotExtent
    double PlotTop; // magnitude at y = 0
    double PlotBottom; // magnitude at y = PlotExtent
};

struct ComparisonGraph
{
    PlotEdges edges;
    QList<QPoint> dots; // in twips, in drawing order
};

// The plot maps the data onto 0..PlotExtent twips in both directions.
inline constexpr int PlotExtent = 4500;

// tableTexts: the 30 texts Text1..Text30 in row order. Vacant rows (both values
// 0) are not drawn; the others, sorted by measured value, are scaled so that the
// data fill the middle ten twelfths of each axis. An axis whose span is zero (one
// dot, or all dots alike on it), or too wide for a double, puts its dots in the
// middle, PlotExtent / 2.
ComparisonGraph ScaleComparisonGraph(const QStringList &tableTexts);

// x, y: pointer position on Picture1 in twips. "X=<#####.00> / Y=<####.00>";
// a value that is not a number (edges of huge magnitudes overflow) shows as "--.--".
QString CursorReadout(const PlotEdges &edges, float x, float y);

} // namespace quillet
