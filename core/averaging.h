// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quillet {

// The five averaging slots: mean and spread (standard deviation, divisor n).
struct SlotAverage
{
    double mean;
    double error;
    int count;
};

// slotTexts: the 5 texts Text32..Text36. Empty when no slot is occupied.
// The mean and error are returned as computed, also when not finite.
std::optional<SlotAverage> AverageSlots(const QStringList &slotTexts);

// Why the averaging shows no result; the window words it.
enum class AverageProblem {
    NoOccupiedSlot,
    OutOfRange, // the mean or the error is not a number (the sum overflows)
};

// The texts the averaging shows, both "#0.00".
struct AverageTexts
{
    std::optional<AverageProblem> problem; // set: nothing is shown
    QString mean;
    QString error;
};
AverageTexts AverageSlotTexts(const QStringList &slotTexts);

} // namespace quillet
