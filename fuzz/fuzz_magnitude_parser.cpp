// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// MagnitudeTextParser on any text: no crash, no hang, and every value text is at
// most 7 characters taken from the text, one per recognised keyword at most.
#include "core/magnitude_text_parser.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Half the inputs as UTF-8, half as raw UTF-16 (any code unit, lone surrogates too).
    QString text;
    if (size > 0 && data[0] & 1)
        text = QString(reinterpret_cast<const QChar *>(data + 1), qsizetype((size - 1) / 2));
    else
        text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    const QStringList values = MagnitudeTextParser(text);
    const qsizetype keywords = text.count(QStringLiteral("Magnitude"));
    if (values.size() > keywords) {
        std::fprintf(stderr, "more values than keywords\n");
        std::abort();
    }
    for (const QString &value : values) {
        if (value.size() > 7 || (!value.isEmpty() && !text.contains(value))) {
            std::fprintf(stderr, "value text not a piece of at most 7 characters\n");
            std::abort();
        }
    }
    return 0;
}
