// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading any bytes as compdata.txt, then saving and reading again: no crash, 30
// texts always, and after one save and load the table is stable.
#include "core/comparison_data_file.h"
#include "core/numeric_text.h"
#include "fuzz/fuzz_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace quillet;

namespace {

bool isNumberText(const QString &text)
{
    return !text.isEmpty() && text == PlainNumberText(ParseNumber(text));
}

bool canonical(const QStringList &table)
{
    bool ended = false;
    for (int k = 0; k < 15; ++k) {
        const QString &m = table[2 * k];
        const QString &c = table[2 * k + 1];
        if (m.isEmpty() && c.isEmpty()) {
            ended = true;
        } else if (ended || !isNumberText(m) || !isNumberText(c)) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList loaded = ComparisonDataFile::deserialize(bytes);
    check(loaded.size() == 30, "thirty texts");

    const QByteArray saved = ComparisonDataFile::serialize(loaded);
    for (const char c : saved)
        check(std::strchr("0123456789.-+E ,\r\n", c) != nullptr, "the writer writes numbers only");
    check(saved.count("\r\n") <= 15, "at most fifteen lines");

    // Numeric fields keep their value through a save; text fields become numbers
    // once, and from then on the table no longer changes.
    const QStringList once = ComparisonDataFile::deserialize(saved);
    const QByteArray savedAgain = ComparisonDataFile::serialize(once);
    check(savedAgain == saved, "a loaded file saves to the same bytes");
    check(ComparisonDataFile::deserialize(savedAgain) == once, "stable after one save and load");
    // A table that holds only numbers in the reader's own form, in leading full
    // rows, comes back exactly as it was read.
    if (canonical(loaded))
        check(once == loaded, "deserialize(serialize(table)) == table for number tables");
    return 0;
}
