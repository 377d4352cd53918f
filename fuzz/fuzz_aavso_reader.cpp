// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as an AAVSO file: no crash, every line accounted for at most once
// and in order, no magnitude or date that is not a number, and each series
// within its brightest and faintest.
#include "core/aavso_reader.h"
#include "core/julian_date.h"
#include "fuzz/fuzz_check.h"

#include <cmath>
#include <cstdint>

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const AavsoReader::Read read = AavsoReader::read(bytes);
    // CR LF, LF and CR alone each end a line: at most one line per CR or LF.
    const int lines = int(bytes.count('\n') + bytes.count('\r')) + 1;
    int last = 0;
    for (const AavsoReader::Record &r : read.records) {
        check(r.line > last && r.line <= lines, "records in order, each on a line of its own");
        last = r.line;
        check(std::isfinite(r.jd) && std::isfinite(r.mag), "dates and magnitudes are numbers");
        check(JulianDate::inRange(r.jd) && AavsoExtended::magnitudeFits(r.mag),
            "dates and magnitudes within what the format holds");
        check(!r.name.isEmpty(), "a record has a name");
    }
    last = 0;
    for (const AavsoReader::Skipped &s : read.skipped) {
        check(s.line > last && s.line <= lines, "skipped lines in order, once each");
        last = s.line;
        for (const AavsoReader::Record &r : read.records)
            check(r.line != s.line, "no line both read and skipped");
    }
    qsizetype counted = 0;
    for (const AavsoReader::Series &s : AavsoReader::series(read.records)) {
        counted += s.count;
        const double slack = 1e-9 * std::max(std::fabs(s.min), std::fabs(s.max)) + 1e-300;
        check(s.min <= s.max && s.first <= s.last, "ranges in order");
        check((s.mean >= s.min - slack && s.mean <= s.max + slack) || !std::isfinite(s.mean),
            "the mean within the range");
    }
    check(counted <= read.records.size(), "series count records once");
    return 0;
}
