// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/aavso_reader.h"
#include "report/plot_colours.h"

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QSizeF>

class QPainter;
class QPointF;

namespace quillet::LightCurvePlot {

// Magnitude against date, bright up: one colour per star and filter, error
// bars from MERR, limits (fainter than) as arrows pointing down. Drawn with
// QPainter, so that a night of 100,000 records draws in a moment, the same
// in quillet3-report's --plot and in the light-curve window.
// The title and the magnitude axis's name; empty: the light curve's.
struct Titles
{
    QString title;
    QString axis;
    bool compact = false; // less room around the plot, for a panel of a picture
};

class View
{
public:
    View(QList<AavsoReader::Record> records, QSizeF size,
        PlotColours::Colours colours = PlotColours::paper(), Titles titles = {});

    void paint(QPainter &painter) const;
    // The record drawn nearest to point, within radius pixels; -1 when none.
    qsizetype recordAt(const QPointF &point, qreal radius = 8) const;
    const QList<AavsoReader::Record> &records() const { return m_records; }

private:
    QPointF place(double jd, double mag) const;
    void paintAxes(QPainter &painter) const;
    void paintLegend(QPainter &painter) const;

    QList<AavsoReader::Record> m_records;
    QList<int> m_seriesOf; // each record's series
    QList<QString> m_seriesNames;
    QSizeF m_size;
    PlotColours::Colours m_colours;
    Titles m_titles;
    QRectF m_area; // the plot inside the margins
    double m_base = 0; // the whole day the date axis counts from
    double m_left = 0, m_right = 1; // dates at the area's edges
    double m_top = 0, m_bottom = 1; // magnitudes at the area's edges (bright up)
};

// The plot of the records as a PNG picture or an SVG drawing (svg), 960 x 640.
QByteArray picture(const QList<AavsoReader::Record> &records, bool svg);

} // namespace quillet::LightCurvePlot
