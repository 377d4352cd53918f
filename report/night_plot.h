// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/night_series.h"
#include "report/light_curve_plot.h"
#include "report/plot_colours.h"

#include <QByteArray>
#include <QSizeF>

class QPainter;
class QPointF;

// The night at once in one picture: above, the variable's light curve with
// its prediction errors; below, the check star's O - C and each comparison
// star's (its fitted minus its catalogue magnitude) against the same time.
// The same in quillet3-report's --plot and in the series window.
namespace quillet::NightPlot {

class View
{
public:
    View(const SeriesTable::Table &table, const NightSeries::Night &night, QSizeF size,
        PlotColours::Colours colours = PlotColours::paper());
    void paint(QPainter &painter) const;
    // What is drawn nearest to point, in words (the image, its time and
    // value); empty when nothing is near.
    QString pointAt(const QPointF &point) const;

private:
    struct Points;
    static Points pointsOf(const NightSeries::Night &night);
    View(const SeriesTable::Table &table, Points points, QSizeF size, PlotColours::Colours colours);

    QList<int> m_curveImages; // the image of each of the curve's points
    QList<int> m_residualImages;
    LightCurvePlot::View m_curve;
    LightCurvePlot::View m_residuals;
    double m_split; // where the lower panel begins
    QStringList m_labels; // the images' labels
};

// 960 x 640, as PNG or SVG (svg).
QByteArray picture(const SeriesTable::Table &table, const NightSeries::Night &night, bool svg);

} // namespace quillet::NightPlot
