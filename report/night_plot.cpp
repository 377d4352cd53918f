// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/night_plot.h"

#include "report/picture.h"

#include <QPainter>

namespace quillet::NightPlot {

namespace {

// The upper panel's share of the height.
constexpr double CurveShare = 0.55;

} // namespace

struct View::Points
{
    QList<AavsoReader::Record> curve, residuals;
    QList<int> curveImages, residualImages;
};

View::Points View::pointsOf(const NightSeries::Night &night)
{
    Points p;
    // Each name made once and shared by its points.
    QStringList rows, checks;
    for (int row = 1; row <= 15; ++row) {
        rows << QStringLiteral("行 %1").arg(row);
        checks << QStringLiteral("チェック星 行 %1").arg(row);
    }
    const QString variable = QStringLiteral("変光星");
    p.curve.reserve(night.images.size());
    p.curveImages.reserve(night.images.size());
    for (const NightSeries::ImageResult &image : night.images) {
        if (image.leftOut != NightSeries::LeftOut::None)
            continue;
        const CalibrationReport &r = image.report;
        AavsoReader::Record point;
        point.jd = image.time;
        point.name = variable;
        point.mag = r.variables.front().magnitude;
        point.merr = r.variables.front().predictionSe;
        p.curve.append(point);
        p.curveImages.append(image.index - 1);
        point.merr.reset();
        if (r.check) {
            point.name = checks.value(r.check->row - 1);
            point.mag = r.check->oMinusC;
            p.residuals.append(point);
            p.residualImages.append(image.index - 1);
        }
        for (const ReportRow &row : r.rows) {
            point.name = rows.value(row.row - 1);
            point.mag = -row.residual; // fitted minus catalogue, as the check star's
            p.residuals.append(point);
            p.residualImages.append(image.index - 1);
        }
    }
    return p;
}

View::View(const SeriesTable::Table &table, const NightSeries::Night &night, QSizeF size,
    PlotColours::Colours colours)
    : View(table, pointsOf(night), size, std::move(colours))
{ }

View::View(
    const SeriesTable::Table &table, Points points, QSizeF size, PlotColours::Colours colours)
    : m_curveImages(std::move(points.curveImages))
    , m_residualImages(std::move(points.residualImages))
    , m_curve(std::move(points.curve), QSizeF(size.width(), size.height() * CurveShare), colours,
          {QStringLiteral("光度曲線（%1 枚）").arg(m_curveImages.size()), {}, true})
    , m_residuals(std::move(points.residuals),
          QSizeF(size.width(), size.height() * (1 - CurveShare)), colours,
          {QStringLiteral("チェック星と比較星の O − C"), QStringLiteral("O − C（等）"), true})
    , m_split(size.height() * CurveShare)
{
    for (const SeriesTable::Image &image : table.images)
        m_labels.append(image.label);
}

void View::paint(QPainter &painter) const
{
    m_curve.paint(painter);
    painter.save();
    painter.translate(0, m_split);
    m_residuals.paint(painter);
    painter.restore();
}

QString View::pointAt(const QPointF &point) const
{
    const bool below = point.y() >= m_split;
    const LightCurvePlot::View &panel = below ? m_residuals : m_curve;
    const qsizetype at = panel.recordAt(below ? point - QPointF(0, m_split) : point);
    if (at < 0)
        return {};
    const AavsoReader::Record &r = panel.records()[at];
    const int image = (below ? m_residualImages : m_curveImages)[at];
    return QStringLiteral("画像 %1 %2\nJD %3\n%4 %5")
        .arg(image + 1)
        .arg(m_labels.value(image), QString::number(r.jd, 'f', 5), r.name,
            QString::number(r.mag, 'f', 3));
}

QByteArray picture(const SeriesTable::Table &table, const NightSeries::Night &night, bool svg)
{
    const View view(table, night, Picture::Size);
    return Picture::painted(Picture::Size, svg, QStringLiteral("時系列"),
        [&view](QPainter &painter) { view.paint(painter); });
}

} // namespace quillet::NightPlot
