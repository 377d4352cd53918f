// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/check_star.h"

#include "core/comparison_table.h"

#include <QComboBox>

namespace quillet {

std::optional<int> checkRowOf(const QComboBox *choice)
{
    const QVariant row = choice->currentData();
    return row.isValid() ? std::optional<int>(row.toInt()) : std::nullopt;
}

void fillCheckChoice(QComboBox *choice, const QStringList &tableTexts)
{
    const std::optional<int> kept = checkRowOf(choice);
    const QSignalBlocker blocker(choice);
    choice->clear();
    choice->addItem(QStringLiteral("なし"));
    const TableNumbers numbers = ReadTableNumbers(tableTexts);
    for (int k = 1; k <= TableRows; ++k) {
        if (numbers.measured[k - 1] != VacantMarker)
            choice->addItem(QStringLiteral("行 %1").arg(k), k);
    }
    if (kept) {
        const int at = choice->findData(*kept);
        choice->setCurrentIndex(at < 0 ? 0 : at);
    }
}

} // namespace quillet
