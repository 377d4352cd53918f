#pragma once

// The thirty texts Text1..Text30 of a table, written row by row.
#include <QStringList>

#include <initializer_list>
#include <utility>

namespace quillet::test {

// Rows from the top as (measured value, catalogue magnitude) texts; the rest empty.
inline QStringList table(std::initializer_list<std::pair<const char *, const char *>> rows)
{
    QStringList texts(30);
    int k = 0;
    for (const auto &[measured, catalogue] : rows) {
        texts[2 * k] = QString::fromUtf8(measured);
        texts[2 * k + 1] = QString::fromUtf8(catalogue);
        ++k;
    }
    return texts;
}

} // namespace quillet::test
