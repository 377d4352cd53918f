// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a measuring program's table: no crash; a table read has a
// value for every image and star, no more images than lines, each image on a
// line of its own in order, and times and airmasses that are numbers; a
// refusal names a line within the bytes.
#include "core/series_table.h"
#include "fuzz/fuzz_check.h"

#include <cmath>
#include <cstdint>

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const SeriesTable::Read read = SeriesTable::read(bytes);
    const int lines = int(bytes.count('\n') + bytes.count('\r')) + 1;
    if (!read.table) {
        check(read.line >= 0 && read.line <= lines, "a refusal names a line of the bytes");
        return 0;
    }
    const SeriesTable::Table &table = *read.table;
    check(!table.stars.isEmpty() && !table.timeColumn.isEmpty(), "a table has stars and a time");
    check(table.values.size() == std::size_t(table.images.size() * table.stars.size()),
        "a value for every image and star");
    int last = 0;
    for (const SeriesTable::Image &image : table.images) {
        check(image.line > last && image.line <= lines, "images in order, a line each");
        last = image.line;
        check(!image.jd || std::isfinite(*image.jd), "times are numbers");
        check(!image.airmass || std::isfinite(*image.airmass), "airmasses are numbers");
    }
    for (const double value : table.values)
        check(!std::isinf(value) || value > 0, "no flux is read as a bright infinity");
    return 0;
}
