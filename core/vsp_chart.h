// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A chart's photometry table as AAVSO's Variable Star Plotter (VSP) gives it:
// the answer of https://apps.aavso.org/vsp/api/chart/?star=…&format=json,
// read whole and checked, nothing guessed.
namespace quillet::VspChart {

// Larger than any chart's table; a larger file is refused.
inline constexpr qsizetype ReadLimit = 4 * 1024 * 1024;

struct Band
{
    QString band; // "V", "B", "Rc", "Ic", "J", ...
    double mag = 0;
    QString magText; // as VSP writes the number (8.204)
    std::optional<double> error;
};

struct Star
{
    QString auid; // 000-BBC-123
    QString label; // the label on the chart, "82" (a tenth of the V magnitude)
    QString ra; // as VSP writes it, "19:31:18.38"
    QString dec;
    QList<Band> bands;
    QString comments; // empty when VSP has none
    // The band of that name, or nothing.
    const Band *band(const QString &name) const;
};

struct Chart
{
    QString chartId; // X12345ABC
    QString star; // the variable, as VSP names it
    QString auid; // the variable's
    QString ra;
    QString dec;
    QList<Star> stars; // in the answer's order
};

enum class Problem {
    TooLarge, // beyond ReadLimit
    NotUtf8,
    NotJson, // detail: the parser's words and offset
    NotAChart, // no chartid
    NoPhotometry, // no "photometry" array
    NoStars, // an empty one
    StarWithoutLabel, // detail: the star's place (1-based)
    StarWithoutAuid, // detail: its label
    MagnitudeNotANumber, // detail: label and band
    DuplicateLabel, // detail: the label
};

struct Read
{
    std::optional<Chart> chart;
    Problem problem = Problem::NotJson;
    QString detail;
};

Read read(QByteArrayView bytes);

// The chart's band for a filter code: V, CV and TG read V; B and TB read B;
// R, CR and TR read Rc; I reads Ic; any other code the band of the same name.
QString bandFor(const QString &filter);

// The stars with a magnitude in band, brightest first, ties in the chart's order.
QList<int> byMagnitude(const Chart &chart, const QString &band);

} // namespace quillet::VspChart
