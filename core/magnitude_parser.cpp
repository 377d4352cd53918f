#include "core/magnitude_parser.h"

namespace quillet {

namespace {
constexpr QStringView Keyword = u"Magnitude";
constexpr qsizetype Window = 100;
constexpr qsizetype ValueLength = 7;
} // namespace

QStringList MagnitudeTextParser(QStringView text)
{
    QStringList values;
    const qsizetype length = text.size();
    qsizetype i = 0; // 0-based scan position
    while (i < length) {
        i = text.indexOf(Keyword, i);
        if (i < 0)
            break;
        // Positions past the end hold no character; without a match j is Window + 1.
        const qsizetype mark = text.mid(i + 1, Window).indexOf(u'-');
        const qsizetype j = mark < 0 ? Window + 1 : mark + 1;
        const qsizetype start = i + j;
        values.append(start < length ? text.mid(start, ValueLength).toString() : QString());
        i = start + 1;
    }
    return values;
}

} // namespace quillet
