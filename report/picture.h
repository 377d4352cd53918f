// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

namespace quillet::Picture {

// The size of every picture the program saves (quillet3-report's --plot, the
// windows' "save" buttons).
inline constexpr QSize Size(960, 640);

// What paint draws on a surface of size, as a PNG picture on white or an SVG
// drawing titled title (svg), antialiased; empty when it could not be made.
// Needs a QGuiApplication.
QByteArray painted(
    QSize size, bool svg, const QString &title, const std::function<void(QPainter &)> &paint);

} // namespace quillet::Picture
