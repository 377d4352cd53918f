// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/averaging.h"

#include "core/comparison_table.h"
#include "core/numeric_text.h"

#include <array>
#include <cmath>

namespace quillet {

namespace {
constexpr int Slots = 5;
} // namespace

std::optional<SlotAverage> AverageSlots(const QStringList &slotTexts)
{
    std::array<double, Slots> values {};
    for (int k = 0; k < Slots; ++k) {
        const QString text = slotTexts.value(k);
        values[k] = IsEmptyText(text) ? VacantMarker : ParseNumber(text);
    }
    const int n = SortAndCountBeforeVacant(values);
    if (n == 0)
        return std::nullopt;

    double sum = 0;
    for (int i = 0; i < n; ++i)
        sum = sum + values[i];
    const double mean = sum / n;
    double squares = 0;
    for (int i = 0; i < n; ++i) {
        // The square as one correctly rounded product.
        const double deviation = values[i] - mean;
        squares = squares + deviation * deviation;
    }
    return SlotAverage {mean, std::sqrt(squares / n), n};
}

AverageTexts AverageSlotTexts(const QStringList &slotTexts)
{
    const auto average = AverageSlots(slotTexts);
    if (!average)
        return {AverageProblem::NoOccupiedSlot, {}, {}};
    if (!std::isfinite(average->mean) || !std::isfinite(average->error))
        return {AverageProblem::OutOfRange, {}, {}};
    return {std::nullopt, FormatPattern(average->mean, u"#0.00"),
        FormatPattern(average->error, u"#0.00")};
}

} // namespace quillet
