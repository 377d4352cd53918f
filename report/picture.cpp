// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/picture.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace quillet::Picture {

QByteArray painted(
    QSize size, bool svg, const QString &title, const std::function<void(QPainter &)> &paint)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(title);
        QPainter painter(&generator);
        if (!painter.isActive())
            return {};
        painter.setRenderHint(QPainter::Antialiasing);
        paint(painter);
        if (!painter.end())
            return {};
        return bytes;
    }
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    painter.end();
    buffer.open(QIODevice::WriteOnly);
    // Nothing rather than part of a picture.
    return image.save(&buffer, "PNG") ? bytes : QByteArray();
}

} // namespace quillet::Picture
