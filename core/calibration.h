#pragma once

#include <QStringList>

#include <optional>

namespace quillet {

// The least-squares line magnitude = slope x measured value + constant through
// the comparison stars, with the photometric error of the fit.
struct CalibrationLine
{
    double slope;
    double constant;
    double error;  // square root of the mean squared residual (divisor n)
    int count;     // n, the number of table rows that took part
};

// tableTexts: the 30 texts Text1..Text30 in row order. Empty when no line can be
// fitted: fewer than two rows take part, every used row has the same measured
// value, or the slope, constant or error is not a finite number.
std::optional<CalibrationLine> FitCalibrationLine(const QStringList &tableTexts);

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

} // namespace quillet
