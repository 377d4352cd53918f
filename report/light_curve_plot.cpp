// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/light_curve_plot.h"

#include "report/picture.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace quillet::LightCurvePlot {

namespace {

// At most this many grid lines on an axis, whatever the data.
constexpr int MostTicks = 40;

// A step of 1, 2 or 5 times a power of ten that cuts the span into about n parts.
double niceStep(double span, int n)
{
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double raw = span / n;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (raw <= factor * power)
            return factor * power;
    }
    return 10 * power;
}

} // namespace

View::View(QList<AavsoReader::Record> records, QSizeF size, PlotColours::Colours colours)
    : m_records(std::move(records))
    , m_size(size)
    , m_colours(std::move(colours))
    , m_area(QPointF(80, 40), QPointF(size.width() - 24, size.height() - 96))
{
    QHash<QString, int> series;
    m_seriesOf.reserve(m_records.size());
    double lowX = 0, highX = 0, lowY = 0, highY = 0;
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        const AavsoReader::Record &r = m_records[i];
        const QString key = r.name + u' ' + r.filter;
        auto found = series.constFind(key);
        if (found == series.constEnd()) {
            found = series.insert(key, int(m_seriesNames.size()));
            m_seriesNames.append(key);
        }
        m_seriesOf.append(*found);
        const double error = r.merr.value_or(0);
        if (i == 0) {
            lowX = highX = r.jd;
            lowY = r.mag - error;
            highY = r.mag + error;
        }
        lowX = std::min(lowX, r.jd);
        highX = std::max(highX, r.jd);
        lowY = std::min(lowY, r.mag - error);
        highY = std::max(highY, r.mag + error);
    }
    // Margins of a twentieth of each span, and some room when a span is zero.
    const double marginX = highX > lowX ? (highX - lowX) / 20 : 0.05;
    const double marginY = highY > lowY ? (highY - lowY) / 20 : 0.25;
    m_left = lowX - marginX;
    m_right = highX + marginX;
    m_top = lowY - marginY;
    m_bottom = highY + marginY;
    // Room below for a limit's arrow, which points to fainter magnitudes.
    if (std::any_of(m_records.cbegin(), m_records.cend(), [](const auto &r) { return r.fainter; }))
        m_bottom = m_bottom + (m_bottom - m_top) / 10;
    m_base = std::floor(m_left);
}

QPointF View::place(const AavsoReader::Record &record) const
{
    return {m_area.left() + (record.jd - m_left) / (m_right - m_left) * m_area.width(),
        m_area.top() + (record.mag - m_top) / (m_bottom - m_top) * m_area.height()};
}

void View::paintAxes(QPainter &painter) const
{
    painter.setPen(QPen(m_colours.frame, 1));
    painter.drawRect(m_area);
    const QFontMetrics metrics = painter.fontMetrics();
    // Each tick counted, never stepped: a step below the numbers' own
    // precision would not advance.
    const double stepX = niceStep(m_right - m_left, 8);
    const double firstX = std::ceil((m_left - m_base) / stepX);
    for (int tick = 0; tick < MostTicks; ++tick) {
        const double x = (firstX + tick) * stepX;
        if (!(x + m_base <= m_right))
            break;
        const double at
            = m_area.left() + (x + m_base - m_left) / (m_right - m_left) * m_area.width();
        painter.setPen(QPen(m_colours.grid, 1));
        painter.drawLine(QPointF(at, m_area.top()), QPointF(at, m_area.bottom()));
        painter.setPen(m_colours.text);
        const QString label = QString::number(x, 'f', stepX < 0.01 ? 3 : stepX < 0.1 ? 2 : 1);
        painter.drawText(QPointF(at - metrics.horizontalAdvance(label) / 2.0,
                             m_area.bottom() + metrics.height() + 2),
            label);
    }
    const double stepY = niceStep(m_bottom - m_top, 8);
    const double firstY = std::ceil(m_top / stepY);
    for (int tick = 0; tick < MostTicks; ++tick) {
        const double y = (firstY + tick) * stepY;
        if (!(y <= m_bottom))
            break;
        const double at = m_area.top() + (y - m_top) / (m_bottom - m_top) * m_area.height();
        painter.setPen(QPen(m_colours.grid, 1));
        painter.drawLine(QPointF(m_area.left(), at), QPointF(m_area.right(), at));
        painter.setPen(m_colours.text);
        const QString label = QString::number(y, 'f', stepY < 0.1 ? 2 : 1);
        painter.drawText(QPointF(m_area.left() - metrics.horizontalAdvance(label) - 6,
                             at + metrics.ascent() / 2.0),
            label);
    }
    const QString xTitle = QStringLiteral("JD − %1").arg(QString::number(m_base, 'f', 0));
    painter.drawText(QPointF(m_area.center().x() - metrics.horizontalAdvance(xTitle) / 2.0,
                         m_area.bottom() + 2 * metrics.height() + 6),
        xTitle);
    painter.save();
    painter.translate(m_area.left() - 58, m_area.center().y());
    painter.rotate(-90);
    const QString yTitle = QStringLiteral("等級（明るいほど上）");
    painter.drawText(QPointF(-metrics.horizontalAdvance(yTitle) / 2.0, 0), yTitle);
    painter.restore();
    const QString title = QStringLiteral("光度曲線（%1 件）").arg(m_records.size());
    painter.drawText(
        QPointF(m_area.center().x() - metrics.horizontalAdvance(title) / 2.0, 24), title);
}

void View::paintLegend(QPainter &painter) const
{
    const QFontMetrics metrics = painter.fontMetrics();
    double x = m_area.left();
    double y = m_size.height() - metrics.height() - 8;
    for (qsizetype s = 0; s < m_seriesNames.size(); ++s) {
        const double width = 18 + metrics.horizontalAdvance(m_seriesNames[s]) + 18;
        if (x + width > m_area.right() && x > m_area.left()) {
            if (y - metrics.height() < m_area.bottom() + 2 * metrics.height() + 10)
                break; // no more room: the rest are in the plot all the same
            x = m_area.left();
            y -= metrics.height() + 4;
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_colours.series[s % m_colours.series.size()]);
        painter.drawEllipse(QPointF(x + 6, y + metrics.height() / 2.0), 5, 5);
        painter.setPen(m_colours.text);
        painter.drawText(QPointF(x + 16, y + metrics.ascent()), m_seriesNames[s]);
        x += width;
    }
}

void View::paint(QPainter &painter) const
{
    painter.fillRect(QRectF(QPointF(0, 0), m_size), m_colours.background);
    paintAxes(painter);
    painter.save();
    painter.setClipRect(m_area);
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        const AavsoReader::Record &r = m_records[i];
        const QColor colour = m_colours.series[m_seriesOf[i] % m_colours.series.size()];
        const QPointF at = place(r);
        painter.setPen(QPen(colour, 1.5));
        if (r.fainter) {
            // Fainter than this: an arrow pointing down, to fainter magnitudes.
            QPainterPath arrow;
            arrow.moveTo(at);
            arrow.lineTo(at + QPointF(0, 14));
            arrow.moveTo(at + QPointF(-4, 9));
            arrow.lineTo(at + QPointF(0, 14));
            arrow.lineTo(at + QPointF(4, 9));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(arrow);
            painter.drawLine(at + QPointF(-4, 0), at + QPointF(4, 0));
            continue;
        }
        if (r.merr && *r.merr > 0) {
            AavsoReader::Record low = r, high = r;
            low.mag -= *r.merr;
            high.mag += *r.merr;
            painter.drawLine(place(low), place(high));
        }
        painter.setBrush(colour);
        painter.drawEllipse(at, 3.5, 3.5);
    }
    painter.restore();
    paintLegend(painter);
}

qsizetype View::recordAt(const QPointF &point, qreal radius) const
{
    qsizetype nearest = -1;
    qreal best = radius * radius;
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        const QPointF d = place(m_records[i]) - point;
        const qreal distance = d.x() * d.x() + d.y() * d.y();
        if (distance <= best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

QByteArray picture(const QList<AavsoReader::Record> &records, bool svg)
{
    const View view(records, Picture::Size);
    return Picture::painted(Picture::Size, svg, QStringLiteral("光度曲線"),
        [&view](QPainter &painter) { view.paint(painter); });
}

} // namespace quillet::LightCurvePlot
