// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ParseNumber on any text, then every formatter on what it gave: no crash, and
// every displayed finite number reads back to itself at its displayed precision.
#include "core/numeric_text.h"
#include "fuzz/fuzz_check.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace quillet;

namespace {

void formatAll(double x)
{
    const QString signedText = SignedNumberText(x);
    check(signedText.startsWith(u' ') || signedText.startsWith(u'-'), "sign position");
    check(FileNumberText(x) == signedText + u' ', "file number text");
    const QString plain = PlainNumberText(x);
    const QString hash2 = FormatPattern(x, u"##.00");
    check(FormatPattern(x, u"####.00") == hash2 && FormatPattern(x, u"#####.00") == hash2,
        "hash patterns agree");
    const QString zero = FormatPattern(x, u"#0.00");
    if (!std::isfinite(x))
        return;

    // 15 significant digits: the plain text is the value rounded to them.
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.14e", x);
    double x15 = std::strtod(digits, nullptr);
    if (std::isinf(x15)) // the largest doubles round up past the range; ParseNumber saturates
        x15 = std::copysign(std::numeric_limits<double>::max(), x15);
    check(ParseNumber(plain) == x15, "plain text reads back to 15 digits");
    check(ParseNumber(signedText) == x15, "signed text reads back to 15 digits");

    for (const QString &shown : {hash2, zero}) {
        check(shown.size() >= 3 && shown.at(shown.size() - 3) == u'.', "two decimals");
        const double back = ParseNumber(shown);
        check(std::fabs(back - x15) <= 0.005 + std::fabs(x15) * 1e-14, "within half a hundredth");
        check(FormatPattern(back, shown == zero ? u"#0.00" : u"##.00") == shown,
            "display reads back to itself");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double x = ParseNumber(text);
    check(std::isfinite(x), "ParseNumber never gives infinity or NaN");
    formatAll(x);
    // Any bit pattern, infinities and NaNs included, must format without harm.
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        formatAll(raw);
        check(FloorValue(raw) <= raw || std::isnan(raw), "floor");
    }
    return 0;
}
