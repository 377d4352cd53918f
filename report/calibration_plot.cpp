// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/calibration_plot.h"

#include <QBuffer>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>

namespace quillet {

namespace {

constexpr QSize PlotSize(960, 640);

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

} // namespace

QChart *makeCalibrationChart(const CalibrationReport &report)
{
    auto *chart = new QChart;
    chart->setTitle(QStringLiteral("比較星と近似直線　等級 = %1 × 測光値 + %2　(n = %3)")
                        .arg(report.slope, 0, 'g', 6)
                        .arg(report.constant, 0, 'g', 6)
                        .arg(report.n));
    auto *axisX = new QValueAxis;
    axisX->setTitleText(QStringLiteral("測光値"));
    axisX->setLabelFormat(QStringLiteral("%.2f"));
    auto *axisY = new QValueAxis;
    axisY->setTitleText(QStringLiteral("等級（カタログ値）"));
    axisY->setLabelFormat(QStringLiteral("%.2f"));
    axisY->setReverse(true); // brighter, smaller magnitudes at the top
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);

    double lowX = report.rows.front().measured, highX = lowX;
    double lowY = report.rows.front().catalogue, highY = lowY;
    const auto include = [&](double x, double y) {
        lowX = std::min(lowX, x);
        highX = std::max(highX, x);
        lowY = std::min(lowY, y);
        highY = std::max(highY, y);
    };

    std::vector<QAbstractSeries *> unnamed; // kept out of the legend
    auto *stars = points(QStringLiteral("比較星"), QColor(0, 0, 128));
    auto *flagged = points(QStringLiteral("外れている比較星 (|t| > 3)"), QColor(200, 0, 0));
    for (const ReportRow &row : report.rows) {
        (row.flagged ? flagged : stars)->append(row.measured, row.catalogue);
        unnamed.push_back(segment(
            {row.measured, row.fitted}, {row.measured, row.catalogue}, QColor(120, 120, 120), 2));
        include(row.measured, row.catalogue);
        include(row.measured, row.fitted);
    }
    QScatterSeries *check = nullptr;
    if (report.check) {
        check = points(QStringLiteral("チェック星（行 %1）").arg(report.check->row),
            QColor(0, 140, 0), QScatterSeries::MarkerShapeRectangle);
        check->append(report.check->measured, report.check->catalogue);
        include(report.check->measured, report.check->catalogue);
    }
    QScatterSeries *variables = nullptr;
    if (!report.variables.empty()) {
        variables = points(QStringLiteral("変光星（95 % 区間）"), QColor(230, 120, 0),
            QScatterSeries::MarkerShapeRotatedRectangle);
        for (const VariableEstimate &variable : report.variables) {
            variables->append(variable.measured, variable.magnitude);
            include(variable.measured, variable.magnitude);
            if (variable.low95 && variable.high95) {
                unnamed.push_back(segment({variable.measured, *variable.low95},
                    {variable.measured, *variable.high95}, QColor(230, 120, 0), 3));
                include(variable.measured, *variable.low95);
                include(variable.measured, *variable.high95);
            }
        }
    }

    // Margins of a tenth of each span, and some room when a span is zero.
    const double marginX = highX > lowX ? (highX - lowX) / 10 : 1;
    const double marginY = highY > lowY ? (highY - lowY) / 10 : 1;
    axisX->setRange(lowX - marginX, highX + marginX);
    axisY->setRange(lowY - marginY, highY + marginY);
    axisX->applyNiceNumbers();
    axisY->applyNiceNumbers();

    auto *line = new QLineSeries;
    line->setName(QStringLiteral("近似直線"));
    line->setPen(QPen(QColor(0, 0, 128), 2));
    for (const double x : {axisX->min(), axisX->max()})
        line->append(x, report.slope * x + report.constant);

    // Drawn in this order: bars and intervals under the line, the points on top.
    std::vector<QAbstractSeries *> drawn = unnamed;
    drawn.insert(drawn.end(), {line, stars, flagged});
    if (check)
        drawn.push_back(check);
    if (variables)
        drawn.push_back(variables);
    for (QAbstractSeries *series : drawn) {
        chart->addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    for (QAbstractSeries *series : unnamed) {
        for (QLegendMarker *marker : chart->legend()->markers(series))
            marker->setVisible(false);
    }
    if (flagged->count() == 0) {
        for (QLegendMarker *marker : chart->legend()->markers(flagged))
            marker->setVisible(false);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QByteArray calibrationPlot(const CalibrationReport &report, bool svg)
{
    // Off screen: the chart in a scene of its own, laid out and painted once.
    QGraphicsScene scene;
    QChart *chart = makeCalibrationChart(report);
    scene.addItem(chart); // the scene owns it
    chart->setGeometry(QRectF(QPointF(0, 0), PlotSize));
    chart->layout()->activate();
    const QRectF area(QPointF(0, 0), PlotSize);
    scene.setSceneRect(area);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(PlotSize);
        generator.setViewBox(QRect(QPoint(0, 0), PlotSize));
        generator.setTitle(chart->title());
        QPainter painter(&generator);
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter, area, area);
    } else {
        QImage image(PlotSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter, area, area);
        painter.end();
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    return bytes;
}

} // namespace quillet
