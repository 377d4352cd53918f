// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/light_curve_plot.h"

#include "report/picture.h"

#include <QHash>
#include <QImage>
#include <QPaintEngine>
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

View::View(
    QList<AavsoReader::Record> records, QSizeF size, PlotColours::Colours colours, Titles titles)
    : m_records(std::move(records))
    , m_size(size)
    , m_colours(std::move(colours))
    , m_titles(std::move(titles))
    // A panel of a taller picture (compact) keeps less room around it.
    , m_area(QPointF(80, m_titles.compact ? 28 : 40),
          QPointF(size.width() - 24, size.height() - (m_titles.compact ? 80 : 96)))
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

QPointF View::place(double jd, double mag) const
{
    return {m_area.left() + (jd - m_left) / (m_right - m_left) * m_area.width(),
        m_area.top() + (mag - m_top) / (m_bottom - m_top) * m_area.height()};
}

void View::paintAxes(QPainter &painter) const
{
    painter.setPen(QPen(m_colours.frame, 1));
    painter.drawRect(m_area);
    const QFontMetrics metrics = painter.fontMetrics();
    // Each tick counted, never stepped: a step below the numbers' own
    // precision would not advance.
    // Grid lines no closer than the labels need, however small the plot.
    const double stepX = niceStep(m_right - m_left, std::clamp(int(m_area.width() / 90), 2, 8));
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
    const double stepY = niceStep(m_bottom - m_top, std::clamp(int(m_area.height() / 30), 2, 8));
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
    const QString yTitle
        = m_titles.axis.isEmpty() ? QStringLiteral("等級（明るいほど上）") : m_titles.axis;
    painter.drawText(QPointF(-metrics.horizontalAdvance(yTitle) / 2.0, 0), yTitle);
    painter.restore();
    const QString title = m_titles.title.isEmpty()
        ? QStringLiteral("光度曲線（%1 件）").arg(m_records.size())
        : m_titles.title;
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
    // Whatever pen and brush the painter had, and leaves them as they were:
    // a picture of two views draws the second as the first.
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.fillRect(QRectF(QPointF(0, 0), m_size), m_colours.background);
    paintAxes(painter);
    painter.save();
    painter.setClipRect(m_area);
    // A series at a time: its error bars in one call, then its dots.
    std::vector<std::vector<QLineF>> bars(std::size_t(m_seriesNames.size()));
    std::vector<std::vector<QPointF>> dots(bars.size());
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        const AavsoReader::Record &r = m_records[i];
        const std::size_t series = std::size_t(m_seriesOf[i]);
        const QPointF at = place(r.jd, r.mag);
        if (r.fainter) {
            // Fainter than this: an arrow pointing down, to fainter magnitudes.
            painter.setPen(QPen(m_colours.series[m_seriesOf[i] % m_colours.series.size()], 1.5));
            QPainterPath arrow;
            arrow.moveTo(at);
            arrow.lineTo(at + QPointF(0, 14));
            arrow.moveTo(at + QPointF(-4, 9));
            arrow.lineTo(at + QPointF(0, 14));
            arrow.lineTo(at + QPointF(4, 9));
            painter.drawPath(arrow);
            painter.drawLine(at + QPointF(-4, 0), at + QPointF(4, 0));
            continue;
        }
        if (r.merr && *r.merr > 0)
            bars[series].emplace_back(place(r.jd, r.mag - *r.merr), place(r.jd, r.mag + *r.merr));
        dots[series].push_back(at);
    }
    // On a raster surface each dot is one small picture drawn again and
    // again, so that a night of many thousands draws in a moment; into an
    // SVG drawing each stays a circle.
    const bool raster
        = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1;
    for (std::size_t series = 0; series < bars.size(); ++series) {
        const QColor colour = m_colours.series[qsizetype(series) % m_colours.series.size()];
        painter.setPen(QPen(colour, 1.5));
        painter.drawLines(bars[series].data(), int(bars[series].size()));
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        if (!raster) {
            for (const QPointF &at : dots[series])
                painter.drawEllipse(at, 3.5, 3.5);
            continue;
        }
        QImage dot(QSize(9, 9) * ratio, QImage::Format_ARGB32_Premultiplied);
        dot.setDevicePixelRatio(ratio);
        dot.fill(Qt::transparent);
        QPainter sprite(&dot);
        sprite.setRenderHint(QPainter::Antialiasing);
        sprite.setPen(Qt::NoPen);
        sprite.setBrush(colour);
        sprite.drawEllipse(QPointF(4.5, 4.5), 3.5, 3.5);
        sprite.end();
        for (const QPointF &at : dots[series])
            painter.drawImage(at - QPointF(4.5, 4.5), dot);
    }
    painter.restore();
    paintLegend(painter);
    painter.restore();
}

qsizetype View::recordAt(const QPointF &point, qreal radius) const
{
    qsizetype nearest = -1;
    qreal best = radius * radius;
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        const QPointF d = place(m_records[i].jd, m_records[i].mag) - point;
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
