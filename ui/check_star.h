// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <optional>

class QComboBox;

namespace quillet {

// The check-star choice: "なし", then each row with data as "行 k".
void fillCheckChoice(QComboBox *choice, const QStringList &tableTexts);
std::optional<int> checkRowOf(const QComboBox *choice);

} // namespace quillet
