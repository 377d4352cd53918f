// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/star_chart.h"

#include <QString>

namespace quillet {

// The chart the star field in folder keeps (see FieldChart::kept), read again
// only when its file changed: the windows ask for it at every keystroke.
// nullptr when the field has none.
const StarChart::FieldChart *keptChart(const QString &folder);

} // namespace quillet
