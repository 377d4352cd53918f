// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/series_table.h"

#include "core/julian_date.h"

#include <charconv>
#include <limits>

namespace quillet::SeriesTable {

namespace {

constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

// Where the first byte that is not UTF-8 is; -1 when all are.
qsizetype firstInvalidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned min = 0;
        unsigned code = 0;
        if ((c & 0xE0) == 0xC0) {
            more = 1, min = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, min = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, min = 0x10000, code = c & 0x07;
        } else {
            return i;
        }
        for (int k = 1; k <= more; ++k) {
            if (i + k >= size || (p[i + k] & 0xC0) != 0x80)
                return i;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return i;
        i += more + 1;
    }
    return -1;
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    // A spreadsheet's quotes around a whole cell.
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.sliced(1, text.size() - 2);
    return text;
}

enum class Cell { Number, None, Bad };

// A number in full, or one of the forms that hold no value.
Cell cellOf(QByteArrayView text, double &value)
{
    text = trimmed(text);
    if (text.isEmpty() || text.compare("nan", Qt::CaseInsensitive) == 0
        || text.compare("na", Qt::CaseInsensitive) == 0) {
        value = NoValue;
        return Cell::None;
    }
    if (text.front() == '+')
        text = text.sliced(1);
    // from_chars reads "inf" and "nan" too, and no leading sign of its own
    // but "-": anything not finite is no number here.
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return Cell::Bad;
    return Cell::Number;
}

// The fields of a line: split at each delimiter, or at runs of blanks when
// the delimiter is a blank.
void split(QByteArrayView line, char delimiter, std::vector<QByteArrayView> &fields)
{
    fields.clear();
    if (delimiter == ' ') {
        qsizetype i = 0;
        while (i < line.size()) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
                ++i;
            if (i == line.size())
                break;
            const qsizetype start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                ++i;
            fields.push_back(line.sliced(start, i - start));
        }
        return;
    }
    qsizetype start = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == delimiter) {
            fields.push_back(line.sliced(start, i - start));
            start = i + 1;
        }
    }
}

// The lines of the bytes, CR LF, LF or CR alone ending each, with their numbers.
template<typename Visit> void eachLine(QByteArrayView bytes, Visit visit)
{
    int number = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        ++number;
        if (!visit(bytes.sliced(start, end - start), number))
            return;
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

bool blank(QByteArrayView line)
{
    return trimmed(line).isEmpty();
}

Read refused(Problem problem, int line = 0, const QString &column = {}, const QString &text = {})
{
    return {std::nullopt, problem, line, column, text};
}

// Where the columns a table's rows are read from stand.
struct Columns
{
    qsizetype jd = -1, jdOffset = -1, hjd = -1, dateObs = -1, label = -1, airmass = -1,
              saturated = -1;
    std::vector<qsizetype> stars;
};

qsizetype indexOf(const QStringList &names, const char *name)
{
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i].compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

Read read(QByteArrayView bytes)
{
    if (bytes.size() > ReadLimit)
        return refused(Problem::TooLarge);
    if (const qsizetype bad = firstInvalidUtf8(bytes); bad >= 0)
        return refused(Problem::NotUtf8, int(bytes.first(bad).count('\n') + 1));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);

    Table table;
    Columns at;
    QStringList names;
    char delimiter = ' ';
    std::vector<QByteArrayView> fields;
    std::optional<Read> problem;
    const auto readHeader = [&](QByteArrayView line, int number) -> std::optional<Read> {
        delimiter = line.contains('\t') ? '\t' : line.contains(',') ? ',' : ' ';
        split(line, delimiter, fields);
        for (const QByteArrayView field : fields)
            names << QString::fromUtf8(trimmed(field));
        // AstroImageJ heads its first column, the row's number, with a blank.
        const bool aij = delimiter != ' ' && names.size() > 1 && names.front().isEmpty()
            && line.contains("Source-Sky_");
        table.format = aij ? Format::Aij : Format::Plain;
        while (!names.isEmpty() && names.back().isEmpty() && !aij)
            names.removeLast();
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (!names[i].isEmpty() && names.indexOf(names[i], i + 1) > 0)
                return refused(Problem::DuplicateColumn, number, names[i]);
        }
        if (aij) {
            at.jd = indexOf(names, "JD_UTC");
            at.jdOffset = indexOf(names, "J.D.-2400000");
            at.hjd = indexOf(names, "HJD_UTC");
            at.airmass = indexOf(names, "AIRMASS");
            at.saturated = indexOf(names, "Saturated");
            at.label = indexOf(names, "Label");
            for (qsizetype i = 0; i < names.size(); ++i) {
                if (names[i].startsWith(QLatin1String("Source-Sky_"))) {
                    at.stars.push_back(i);
                    table.stars << names[i].mid(11);
                }
            }
            table.timeColumn = at.jd >= 0 ? names[at.jd]
                : at.jdOffset >= 0        ? names[at.jdOffset]
                                          : QString();
        } else {
            at.jd = indexOf(names, "JD");
            at.hjd = indexOf(names, "HJD");
            at.dateObs = indexOf(names, "DATE-OBS");
            at.label
                = indexOf(names, "label") >= 0 ? indexOf(names, "label") : indexOf(names, "file");
            at.airmass = indexOf(names, "airmass");
            for (qsizetype i = 0; i < names.size(); ++i) {
                if (i != at.jd && i != at.hjd && i != at.dateObs && i != at.label
                    && i != at.airmass) {
                    at.stars.push_back(i);
                    table.stars << names[i];
                }
            }
            table.timeColumn = at.jd >= 0 ? names[at.jd]
                : at.hjd >= 0             ? names[at.hjd]
                : at.dateObs >= 0         ? names[at.dateObs]
                                          : QString();
        }
        if (table.timeColumn.isEmpty())
            return refused(Problem::NoTimeColumn, number);
        if (table.stars.isEmpty())
            return refused(Problem::NoStarColumn, number);
        return std::nullopt;
    };

    const auto readRow = [&](QByteArrayView line, int number) -> std::optional<Read> {
        split(line, delimiter, fields);
        // A delimiter after the last field is no field of its own.
        if (qsizetype(fields.size()) == names.size() + 1 && trimmed(fields.back()).isEmpty())
            fields.pop_back();
        if (qsizetype(fields.size()) != names.size())
            return refused(Problem::Ragged, number, {},
                QStringLiteral("%1 / %2").arg(fields.size()).arg(names.size()));
        if (table.images.size() >= RowLimit)
            return refused(Problem::TooManyRows, number);
        Image image;
        image.line = number;
        double value = 0;
        const auto optional = [&](qsizetype column, std::optional<double> &into) -> bool {
            if (column < 0)
                return true;
            const Cell cell = cellOf(fields[std::size_t(column)], value);
            if (cell == Cell::Number)
                into = value;
            return cell != Cell::Bad;
        };
        const auto bad = [&](qsizetype column) {
            return refused(Problem::NotANumber, number, names[column],
                QString::fromUtf8(trimmed(fields[std::size_t(column)])));
        };
        for (const qsizetype column : {at.jd, at.hjd, at.airmass}) {
            if (!optional(column,
                    column == at.jd        ? image.jd
                        : column == at.hjd ? image.hjd
                                           : image.airmass))
                return bad(column);
        }
        if (!image.jd && at.jd < 0 && at.jdOffset >= 0) {
            std::optional<double> offset;
            if (!optional(at.jdOffset, offset))
                return bad(at.jdOffset);
            if (offset)
                image.jd = *offset + 2400000;
        }
        if (at.dateObs >= 0 && !image.jd) {
            const QByteArrayView text = trimmed(fields[std::size_t(at.dateObs)]);
            if (!text.isEmpty()) {
                image.jd = JulianDate::ofTime(QString::fromUtf8(text));
                if (!image.jd)
                    return bad(at.dateObs);
            }
        }
        if (at.saturated >= 0) {
            std::optional<double> peak;
            if (!optional(at.saturated, peak))
                return bad(at.saturated);
            image.saturated = peak && *peak != 0;
        }
        if (at.label >= 0)
            image.label = QString::fromUtf8(trimmed(fields[std::size_t(at.label)]));
        for (const qsizetype column : at.stars) {
            const Cell cell = cellOf(fields[std::size_t(column)], value);
            if (cell == Cell::Bad)
                return bad(column);
            if (cell == Cell::None || (table.format == Format::Plain && value == 99.999))
                value = NoValue;
            else if (table.format == Format::Aij)
                value = value > 0 ? -2.5 * std::log10(value)
                                  : std::numeric_limits<double>::infinity();
            table.values.push_back(value);
        }
        table.images.append(image);
        return std::nullopt;
    };

    bool header = true;
    eachLine(bytes, [&](QByteArrayView line, int number) {
        // Blank lines, and a plain table's comments, are no rows.
        if (blank(line) || ((header || table.format == Format::Plain) && line.startsWith('#')))
            return true;
        problem = header ? readHeader(line, number) : readRow(line, number);
        header = false;
        return !problem;
    });
    if (problem)
        return *problem;
    if (header)
        return refused(Problem::NoHeader);
    return {std::move(table), {}, 0, {}, {}};
}

} // namespace quillet::SeriesTable
