// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/calibration_plot.h"

#include "report/picture.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

namespace quillet::CalibrationPlot {

namespace {

QScatterSeries *points(const QString &name, const QColor &colour,
    QScatterSeries::MarkerShape shape = QScatterSeries::MarkerShapeCircle)
{
    auto *series = new QScatterSeries;
    series->setName(name);
    series->setColor(colour);
    series->setBorderColor(colour.darker());
    series->setMarkerShape(shape);
    series->setMarkerSize(11);
    return series;
}

QLineSeries *segment(QPointF from, QPointF to, const QColor &colour, qreal width)
{
    auto *series = new QLineSeries;
    series->append(from);
    series->append(to);
    series->setPen(QPen(colour, width));
    return series;
}

// The range the points take, widened as each is added.
struct Extent
{
    double lowX, highX, lowY, highY;
    void include(double x, double y)
    {
        lowX = std::min(lowX, x);
        highX = std::max(highX, x);
        lowY = std::min(lowY, y);
        highY = std::max(highY, y);
    }
};

// The chart, series by series: what each shows, then the axes around them all.
class ChartBuilder
{
public:
    ChartBuilder(const CalibrationReport &report, const PlotColours::Colours &colours)
        : m_report(report)
        , m_colours(colours)
        , m_extent {report.rows.front().measured, report.rows.front().measured,
              report.rows.front().catalogue, report.rows.front().catalogue}
    {
        m_chart->setTitle(QStringLiteral("比較星と近似直線　等級 = %1 × 測光値 + %2　(n = %3)")
                              .arg(report.slope, 0, 'g', 6)
                              .arg(report.constant, 0, 'g', 6)
                              .arg(report.n));
        m_chart->setBackgroundBrush(colours.background);
        m_chart->setTitleBrush(colours.text);
        m_chart->legend()->setLabelColor(colours.text);
    }

    // Each star with its residual as a bar; flagged stars in red.
    void addStars()
    {
        auto *stars = points(QStringLiteral("比較星"), m_colours.stars);
        auto *flagged = points(QStringLiteral("外れている比較星 (|t| > 3)"), m_colours.flagged);
        for (const ReportRow &row : m_report.rows) {
            (row.flagged ? flagged : stars)->append(row.measured, row.catalogue);
            m_bars.push_back(segment(
                {row.measured, row.fitted}, {row.measured, row.catalogue}, m_colours.bars, 2));
            m_extent.include(row.measured, row.catalogue);
            m_extent.include(row.measured, row.fitted);
        }
        m_points.push_back(stars);
        if (flagged->count() > 0)
            m_points.push_back(flagged);
        else
            delete flagged;
    }

    void addCheck()
    {
        if (!m_report.check)
            return;
        auto *check = points(QStringLiteral("チェック星（行 %1）").arg(m_report.check->row),
            m_colours.check, QScatterSeries::MarkerShapeRectangle);
        check->append(m_report.check->measured, m_report.check->catalogue);
        m_extent.include(m_report.check->measured, m_report.check->catalogue);
        m_points.push_back(check);
    }

    // Each variable with its 95 % interval as a bar.
    void addVariables()
    {
        if (m_report.variables.empty())
            return;
        auto *variables = points(QStringLiteral("変光星（95 % 区間）"), m_colours.variable,
            QScatterSeries::MarkerShapeRotatedRectangle);
        for (const VariableEstimate &variable : m_report.variables) {
            variables->append(variable.measured, variable.magnitude);
            m_extent.include(variable.measured, variable.magnitude);
            if (variable.low95 && variable.high95) {
                m_bars.push_back(segment({variable.measured, *variable.low95},
                    {variable.measured, *variable.high95}, m_colours.variable, 3));
                m_extent.include(variable.measured, *variable.low95);
                m_extent.include(variable.measured, *variable.high95);
            }
        }
        m_points.push_back(variables);
    }

    // The axes around everything, the line across them, and the series drawn
    // in order: bars under the line, the points on top.
    QChart *finish()
    {
        auto *axisX = axis(QStringLiteral("測光値"), m_extent.lowX, m_extent.highX);
        auto *axisY = axis(QStringLiteral("等級（カタログ値）"), m_extent.lowY, m_extent.highY);
        for (QValueAxis *each : {axisX, axisY}) {
            each->setLabelsColor(m_colours.text);
            each->setTitleBrush(m_colours.text);
            each->setLinePenColor(m_colours.frame);
            each->setGridLineColor(m_colours.grid);
        }
        axisY->setReverse(true); // brighter, smaller magnitudes at the top
        m_chart->addAxis(axisX, Qt::AlignBottom);
        m_chart->addAxis(axisY, Qt::AlignLeft);

        auto *line = new QLineSeries;
        line->setName(QStringLiteral("近似直線"));
        line->setPen(QPen(m_colours.stars, 2));
        for (const double x : {axisX->min(), axisX->max()})
            line->append(x, m_report.slope * x + m_report.constant);

        std::vector<QAbstractSeries *> drawn = m_bars;
        drawn.push_back(line);
        drawn.insert(drawn.end(), m_points.begin(), m_points.end());
        for (QAbstractSeries *series : drawn) {
            m_chart->addSeries(series);
            series->attachAxis(axisX);
            series->attachAxis(axisY);
        }
        for (QAbstractSeries *series : m_bars) {
            for (QLegendMarker *marker : m_chart->legend()->markers(series))
                marker->setVisible(false); // kept out of the legend
        }
        m_chart->legend()->setAlignment(Qt::AlignBottom);
        return m_chart;
    }

private:
    // Margins of a tenth of the span, and some room when the span is zero.
    static QValueAxis *axis(const QString &title, double low, double high)
    {
        auto *axis = new QValueAxis;
        axis->setTitleText(title);
        axis->setLabelFormat(QStringLiteral("%.2f"));
        const double margin = high > low ? (high - low) / 10 : 1;
        axis->setRange(low - margin, high + margin);
        axis->applyNiceNumbers();
        return axis;
    }

    const CalibrationReport &m_report;
    const PlotColours::Colours m_colours;
    QChart *m_chart = new QChart;
    Extent m_extent;
    std::vector<QAbstractSeries *> m_bars; // residuals and intervals
    std::vector<QAbstractSeries *> m_points;
};

} // namespace

QChart *chart(const CalibrationReport &report, const PlotColours::Colours &colours)
{
    ChartBuilder chart(report, colours);
    chart.addStars();
    chart.addCheck();
    chart.addVariables();
    return chart.finish();
}

QByteArray picture(const CalibrationReport &report, bool svg)
{
    // Off screen: the chart in a scene of its own, laid out and painted once.
    QGraphicsScene scene;
    QChart *chart = CalibrationPlot::chart(report, PlotColours::paper());
    scene.addItem(chart); // the scene owns it
    chart->setGeometry(QRectF(QPointF(0, 0), Picture::Size));
    chart->layout()->activate();
    const QRectF area(QPointF(0, 0), Picture::Size);
    scene.setSceneRect(area);

    return Picture::painted(Picture::Size, svg, chart->title(),
        [&scene, &area](QPainter &painter) { scene.render(&painter, area, area); });
}

} // namespace quillet::CalibrationPlot
