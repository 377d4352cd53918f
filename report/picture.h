// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

namespace quillet {

// What paint draws on a surface of size, as a PNG picture on white or an SVG
// drawing titled title (svg), antialiased. Needs a QGuiApplication.
QByteArray paintedPicture(
    QSize size, bool svg, const QString &title, const std::function<void(QPainter &)> &paint);

} // namespace quillet
