// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/comparison_graph.h"

#include "core/comparison_table.h"
#include "core/numeric_text.h"

#include <array>
#include <cmath>

namespace quillet {

namespace {

// The edges start beyond any magnitude or measured value a table holds (entries
// of 9999 are vacant), so the first row moves all four.
constexpr double StartLow = 9999;
constexpr double StartHigh = -9999;

// A coordinate beyond this many twips lies far outside the picture; larger
// values would overflow the conversion to int, which is undefined.
constexpr double CoordinateLimit = 1e9;

QString readoutValue(double value, QStringView pattern)
{
    return std::isfinite(value) ? FormatPattern(value, pattern) : QString::fromUtf16(NoValueText);
}

// One coordinate of a dot: the difference first, then the division by the
// widened span, then the multiplication by the extent, then the floor.
int plotCoordinate(double value, double low, double high)
{
    const double position = FloorValue((value - low) / (high - low) * PlotExtent);
    if (!std::isfinite(position) || position < -CoordinateLimit || position > CoordinateLimit)
        return PlotExtent / 2;
    return int(position);
}

} // namespace

ComparisonGraph ScaleComparisonGraph(const QStringList &tableTexts)
{
    auto [measured, magnitude] = ReadTableNumbers(tableTexts);
    const int count = SortAndCountBeforeVacant(measured, magnitude);

    PlotEdges e {StartLow, StartHigh, StartLow, StartHigh};
    for (int i = 0; i < count; ++i) {
        if (e.PlotRight < measured[i])
            e.PlotRight = measured[i];
        if (e.PlotLeft > measured[i])
            e.PlotLeft = measured[i];
        if (e.PlotBottom < magnitude[i])
            e.PlotBottom = magnitude[i];
        if (e.PlotTop > magnitude[i])
            e.PlotTop = magnitude[i];
    }
    // Margins of a tenth of the span, both taken from the span before either edge moved.
    const double spanX = e.PlotRight - e.PlotLeft;
    e.PlotRight = e.PlotRight + spanX / 10;
    e.PlotLeft = e.PlotLeft - spanX / 10;
    const double spanY = e.PlotBottom - e.PlotTop;
    e.PlotBottom = e.PlotBottom + spanY / 10;
    e.PlotTop = e.PlotTop - spanY / 10;

    ComparisonGraph graph {e, {}};
    graph.dots.reserve(count);
    for (int i = 0; i < count; ++i) {
        graph.dots.append(QPoint(plotCoordinate(measured[i], e.PlotLeft, e.PlotRight),
            plotCoordinate(magnitude[i], e.PlotTop, e.PlotBottom)));
    }
    return graph;
}

QString CursorReadout(const PlotEdges &edges, float x, float y)
{
    const double xValue
        = (edges.PlotRight - edges.PlotLeft) / PlotExtent * double(x) + edges.PlotLeft;
    const double yValue
        = (edges.PlotBottom - edges.PlotTop) / PlotExtent * double(y) + edges.PlotTop;
    return QStringLiteral("X=") + readoutValue(xValue, u"#####.00") + QStringLiteral(" / Y=")
        + readoutValue(yValue, u"####.00");
}

} // namespace quillet
