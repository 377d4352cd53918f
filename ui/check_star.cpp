// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/check_star.h"

#include "core/comparison_table.h"
#include "report/report_text.h"
#include "ui/settings.h"

#include <QComboBox>
#include <QSettings>

namespace quillet {

void CheckStar::setRow(std::optional<int> row)
{
    if (row == m_row)
        return;
    m_row = row;
    QSettings settings;
    settings.setValue(settings::fieldKey(m_field, settings::ReportCheckRow), row.value_or(0));
    Q_EMIT changed();
}

void CheckStar::setField(const QString &field)
{
    m_field = field;
    const int row = QSettings().value(settings::fieldKey(field, settings::ReportCheckRow)).toInt();
    const std::optional<int> kept
        = row >= 1 && row <= TableRows ? std::optional(row) : std::nullopt;
    if (kept != m_row) {
        m_row = kept;
        Q_EMIT changed();
    }
}

std::optional<int> checkRowOf(const QComboBox *choice)
{
    const QVariant row = choice->currentData();
    return row.isValid() ? std::optional<int>(row.toInt()) : std::nullopt;
}

void fillCheckChoice(QComboBox *choice, const QStringList &tableTexts, std::optional<int> chosen,
    const QMap<int, QString> &labels)
{
    const QSignalBlocker blocker(choice);
    choice->clear();
    choice->addItem(QStringLiteral("なし"));
    const TableNumbers numbers = ReadTableNumbers(tableTexts);
    for (int k = 1; k <= TableRows; ++k) {
        if (numbers.measured[k - 1] != VacantMarker)
            choice->addItem(QStringLiteral("行 ") + ReportText::rowName(k, labels), k);
    }
    const int at = chosen ? choice->findData(*chosen) : 0;
    choice->setCurrentIndex(at < 0 ? 0 : at);
}

} // namespace quillet
