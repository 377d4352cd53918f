// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/magnitude_text_parser.h"

#include <vector>

namespace quillet {

namespace {
constexpr QStringView Keyword = u"Magnitude";
constexpr qsizetype Window = 100;
constexpr qsizetype ValueLength = 7;
} // namespace

QStringList MagnitudeTextParser(QStringView text, qsizetype maxCount)
{
    // First the start of every value (-1: past the end of the text), then the texts,
    // so the list is allocated once for a paste of any size.
    std::vector<qsizetype> starts;
    const qsizetype length = text.size();
    qsizetype i = 0; // 0-based scan position
    while (i < length && qsizetype(starts.size()) != maxCount) {
        i = text.indexOf(Keyword, i);
        if (i < 0)
            break;
        // Positions past the end hold no character; without a match j is Window + 1.
        const qsizetype mark = text.mid(i + 1, Window).indexOf(u'-');
        const qsizetype j = mark < 0 ? Window + 1 : mark + 1;
        const qsizetype start = i + j;
        starts.push_back(start < length ? start : -1);
        i = start + 1;
    }

    QStringList values;
    values.reserve(qsizetype(starts.size()));
    for (const qsizetype start : starts)
        values.append(start < 0 ? QString() : text.mid(start, ValueLength).toString());
    return values;
}

} // namespace quillet
