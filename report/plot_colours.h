// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QList>

// The plots' colours: on paper (the pictures saved) and in a window, which
// follows its palette, dark under a dark scheme. Text and every point stand
// at a contrast of at least 4.5:1 against the background.
namespace quillet::PlotColours {

struct Colours
{
    QColor background;
    QColor text;
    QColor frame;
    QColor grid;
    QColor stars; // the comparison stars and the line
    QColor flagged;
    QColor check;
    QColor variable;
    QColor bars; // residuals
    QList<QColor>
        series; // the light curve's stars, told apart also with a colour vision deficiency
};

// On white, as the pictures are saved.
Colours paper();
// For a window whose palette draws text on background.
Colours window(const QColor &background, const QColor &text);

// WCAG's contrast ratio of two colours (1 to 21).
double contrast(const QColor &a, const QColor &b);

} // namespace quillet::PlotColours
