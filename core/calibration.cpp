#include "core/calibration.h"

#include "core/numeric_text.h"
#include "core/vacant_sort.h"

#include <array>
#include <cmath>

namespace quillet {

namespace {
constexpr int Slots = 5;
} // namespace

std::optional<CalibrationLine> FitCalibrationLine(const QStringList &tableTexts)
{
    auto [measured, catalogue] = ReadTableNumbers(tableTexts);
    const int n = SortAndCountBeforeVacant(measured, catalogue);
    // Fewer than two rows, or one measured value for all, leave no line to fit.
    if (n < 2 || measured[0] == measured[n - 1])
        return std::nullopt;

    double sumX = 0;
    double sumY = 0;
    double sumXY = 0;
    double sumXX = 0;
    for (int i = 0; i < n; ++i) {
        sumX = sumX + measured[i];
        sumY = sumY + catalogue[i];
        const double xy = measured[i] * catalogue[i];
        sumXY = sumXY + xy;
        const double xx = measured[i] * measured[i];
        sumXX = sumXX + xx;
    }
    const double sxy = sumXY - ((sumX * sumY) / n);
    const double sxx = sumXX - ((sumX * sumX) / n);
    const double slope = sxy / sxx;
    const double constant = (sumY - slope * sumX) / n;

    double squares = 0;
    for (int i = 0; i < n; ++i) {
        const double residual = catalogue[i] - (slope * measured[i] + constant);
        squares = squares + residual * residual;
    }
    const double error = std::sqrt(squares / n);
    if (!std::isfinite(slope) || !std::isfinite(constant) || !std::isfinite(error))
        return std::nullopt;
    return CalibrationLine{slope, constant, error, n};
}

std::optional<SlotAverage> AverageSlots(const QStringList &slotTexts)
{
    std::array<double, Slots> values{};
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
    return SlotAverage{mean, std::sqrt(squares / n), n};
}

} // namespace quillet
