// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QStringView>

namespace quillet {

// The value texts the scan finds, in order: all of them (there may be more than
// 15), or the first maxCount when it is not negative.
// After each keyword "Magnitude" (case-sensitive), the first "-" among the 100
// positions that follow the keyword's first character begins a 7-character value
// (shorter, or empty, where the text ends); without a "-" the value starts 101
// positions after the keyword's first character. The scan resumes right after
// the value's first character, so keywords inside a window are passed over.
// Line breaks are ordinary characters: callers hand in CR LF for each break.
QStringList MagnitudeTextParser(QStringView text, qsizetype maxCount = -1);

} // namespace quillet
