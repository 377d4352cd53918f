#include "core/vacant_sort.h"

#include "core/numeric_text.h"

#include <utility>

namespace quillet {

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
