// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/plot_colours.h"

#include <cmath>

namespace quillet::PlotColours {

namespace {

double luminance(const QColor &colour)
{
    const auto channel
        = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF())
        + 0.0722 * channel(colour.blueF());
}

// Dark enough on white (Okabe and Ito's hues, deepened to 4.5:1).
Colours onLight(const QColor &background, const QColor &text)
{
    return {background, text, QColor(90, 90, 90), QColor(225, 225, 225), QColor(0, 0, 128),
        QColor(200, 0, 0), QColor(0, 120, 0), QColor(170, 80, 0), QColor(120, 120, 120),
        {QColor(0, 90, 160), QColor(170, 60, 0), QColor(0, 120, 80), QColor(150, 50, 120),
            QColor(130, 90, 0), QColor(0, 0, 0), QColor(80, 80, 80)}};
}

// Light enough on a dark background.
Colours onDark(const QColor &background, const QColor &text)
{
    return {background, text, QColor(170, 170, 170), QColor(70, 70, 70), QColor(120, 170, 255),
        QColor(255, 110, 110), QColor(90, 220, 90), QColor(255, 170, 60), QColor(150, 150, 150),
        {QColor(86, 180, 233), QColor(240, 170, 90), QColor(60, 210, 160), QColor(240, 150, 210),
            QColor(240, 228, 66), QColor(255, 255, 255), QColor(180, 180, 180)}};
}

} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const double x = luminance(a);
    const double y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

Colours paper()
{
    return onLight(Qt::white, QColor(40, 40, 40));
}

Colours window(const QColor &background, const QColor &text)
{
    return luminance(background) < 0.18 ? onDark(background, text) : onLight(background, text);
}

} // namespace quillet::PlotColours
