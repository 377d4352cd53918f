// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <cmath>
#include <optional>
#include <vector>

// A measuring program's table of a night: one row per image, one column per
// star. Two kinds, told apart by their content: AstroImageJ's Measurements
// table as it saves it (tab- or comma-separated, a first column headed by a
// blank, per aperture "Source-Sky_T1", "Source-Sky_C2", ...), and a plain
// table (comma-, tab- or blank-separated, a header row, a time column JD, HJD
// or DATE-OBS, optional label or file and airmass columns, every other column
// a star's instrumental magnitude).
namespace quillet::SeriesTable {

// Larger than any night's table; a larger file, or one of more rows, is refused.
inline constexpr qsizetype ReadLimit = 64 * 1024 * 1024;
inline constexpr int RowLimit = 100000;

enum class Format { Aij, Plain };

struct Image
{
    int line = 0; // in the file, from 1
    QString label; // AstroImageJ's Label, a plain table's label or file
    std::optional<double> jd; // the middle of the exposure, UTC
    std::optional<double> hjd;
    std::optional<double> airmass;
    bool saturated = false; // AstroImageJ's Saturated column is not 0
};

// A star's value in an image: its instrumental magnitude (AstroImageJ's
// -2.5 log10(Source-Sky)), NaN where the table holds none (an empty cell,
// NaN, na, 99.999), +infinity where AstroImageJ's flux is not positive.
inline bool noValue(double value)
{
    return std::isnan(value);
}
inline bool fluxNotPositive(double value)
{
    return std::isinf(value);
}

struct Table
{
    Format format = Format::Plain;
    QString timeColumn; // the column the times came from: JD_UTC, JD, DATE-OBS, ...
    QStringList stars; // the star columns: apertures (T1, C2, ...) or the plain table's names
    QList<Image> images;
    std::vector<double> values; // image by image, a value per star

    double value(qsizetype image, qsizetype star) const
    {
        return values[std::size_t(image * stars.size() + star)];
    }
};

enum class Problem {
    TooLarge, // over ReadLimit
    TooManyRows, // over RowLimit
    NotUtf8, // line
    NoHeader, // no line at all
    NoTimeColumn, // none of the columns a time is read from
    NoStarColumn, // nothing to measure
    DuplicateColumn, // column
    Ragged, // line: another number of fields than the header's; text: the counts
    NotANumber, // line, column, text: a cell that is neither a number nor a no-value form
};

struct Read
{
    std::optional<Table> table;
    Problem problem = Problem::NoHeader;
    int line = 0;
    QString column;
    QString text;
};

Read read(QByteArrayView bytes);

} // namespace quillet::SeriesTable
