// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <array>
#include <span>

// The comparison-star table as the computations see it, and the procedure the
// fit, the averaging and the graph share to drop entries without data.
namespace quillet {

inline constexpr int TableRows = 15;

// Put into working arrays for a table row or averaging slot without data, and
// recognised by exact equality (a typed 9999 is therefore vacant too).
inline constexpr double VacantMarker = 9999.0;

// The comparison-star table as numbers: row k's measured value and catalogue
// magnitude, parsed from Text(2k-1) and Text(2k). A row whose both values are 0
// holds no data: both entries are VacantMarker.
struct TableNumbers
{
    std::array<double, TableRows> measured;
    std::array<double, TableRows> catalogue;
};
TableNumbers ReadTableNumbers(const QStringList &tableTexts);

// The procedure the fit, the averaging and the graph share, each on its own
// copy: the caller has already put VacantMarker into the entries without data;
// this sorts the entries ascending by key with a plain exchange sort (for each
// i, every later j with key(i) > key(j) strictly is exchanged with i; the partner
// entry, when given, moves with its key) and returns how many entries stand
// before the first one whose key equals VacantMarker.
// Keys above 9999 therefore sort behind the vacant entries and are not counted
// whenever at least one entry is vacant.
int SortAndCountBeforeVacant(std::span<double> keys, std::span<double> partners = {});

} // namespace quillet
