// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>

#include <optional>

class QComboBox;

namespace quillet {

// The one check star of a star field: chosen in the diagnosis window or in
// the report-line dialog, it is the same choice in both, kept for the field.
class CheckStar : public QObject
{
    Q_OBJECT

public:
    std::optional<int> row() const { return m_row; }
    // A new choice (nothing: none); said to both windows, and kept.
    void setRow(std::optional<int> row);
    // The field whose choice this is now (empty: the data folder's own).
    void setField(const QString &field);

Q_SIGNALS:
    void changed();

private:
    QString m_field;
    std::optional<int> m_row;
};

// The check-star choice: "なし", then each row with data as "行 k", the row
// chosen selected when it still has data.
// A chart star's row is listed with its label: "行 3（109）".
void fillCheckChoice(QComboBox *choice, const QStringList &tableTexts, std::optional<int> chosen,
    const QMap<int, QString> &labels = {});
std::optional<int> checkRowOf(const QComboBox *choice);

} // namespace quillet
