// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/comparison_table.h"

#include "core/numeric_text.h"

#include <utility>

namespace quillet {

TableNumbers ReadTableNumbers(const QStringList &tableTexts)
{
    TableNumbers rows {};
    for (int k = 0; k < TableRows; ++k) {
        // The measured value is read before the catalogue magnitude.
        rows.measured[k] = ParseNumber(tableTexts.value(2 * k));
        rows.catalogue[k] = ParseNumber(tableTexts.value(2 * k + 1));
        if (rows.measured[k] == 0 && rows.catalogue[k] == 0) {
            rows.measured[k] = VacantMarker;
            rows.catalogue[k] = VacantMarker;
        }
    }
    return rows;
}

int SortAndCountBeforeVacant(std::span<double> keys, std::span<double> partners)
{
    const bool withPartners = !partners.empty();
    const std::size_t size = keys.size();
    for (std::size_t i = 0; i + 1 < size; ++i) {
        for (std::size_t j = i + 1; j < size; ++j) {
            if (keys[i] > keys[j]) {
                std::swap(keys[i], keys[j]);
                if (withPartners)
                    std::swap(partners[i], partners[j]);
            }
        }
    }
    for (std::size_t i = 0; i < size; ++i) {
        if (keys[i] == VacantMarker)
            return int(i);
    }
    return int(size);
}

} // namespace quillet
