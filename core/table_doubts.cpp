// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/table_doubts.h"

#include "core/comparison_table.h"
#include "core/numeric_text.h"

namespace quillet::TableDoubts {

bool isNumberText(const QString &text)
{
    // Blanks around it and the line end a paste brings are no part of it.
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() || ParseWholeNumber(trimmed).has_value();
}

std::vector<Doubt> find(const QStringList &tableTexts)
{
    std::vector<Doubt> doubts;
    const TableNumbers numbers = ReadTableNumbers(tableTexts);
    for (int k = 1; k <= TableRows; ++k) {
        // A row the fit leaves out is read as nothing at all.
        if (numbers.measured[k - 1] >= VacantMarker)
            continue;
        const QString measured = tableTexts.value(2 * k - 2);
        const QString catalogue = tableTexts.value(2 * k - 1);
        if (!isNumberText(measured))
            doubts.push_back({k, Kind::MeasuredNotANumber, measured});
        else if (!isNumberText(catalogue))
            doubts.push_back({k, Kind::CatalogueNotANumber, catalogue});
        else if (measured.trimmed().isEmpty())
            doubts.push_back({k, Kind::NotMeasured, {}});
        else if (catalogue.trimmed().isEmpty())
            doubts.push_back({k, Kind::NoCatalogue, {}});
    }
    return doubts;
}

} // namespace quillet::TableDoubts
