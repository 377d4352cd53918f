// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/aavso_reader.h"

#include "core/numeric_text.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace quillet::AavsoReader {

namespace {

enum Column { Name, Date, Mag, Merr, Filt, Kname, Kmag, Airmass, Columns };

// AAVSO's own order: NAME,DATE,MAG,MERR,FILT,TRANS,MTYPE,CNAME,CMAG,KNAME,KMAG,AMASS,...
constexpr int StandardPlace[Columns] = {0, 1, 2, 3, 4, 9, 10, 11};

bool isNa(const QString &field)
{
    return field.isEmpty() || field.compare(QLatin1String("na"), Qt::CaseInsensitive) == 0;
}

std::optional<double> numberOrNa(const QString &field, bool &bad)
{
    if (isNa(field))
        return std::nullopt;
    const auto value = ParseWholeNumber(field);
    bad = !value;
    return value;
}

// The delimiter a #DELIM= value names: the character, "tab", "comma", or its
// ASCII code number.
std::optional<QChar> delimiterOf(const QString &raw)
{
    if (raw.startsWith(u'\t'))
        return QChar(u'\t');
    const QString value = raw.trimmed();
    if (value.compare(QLatin1String("tab"), Qt::CaseInsensitive) == 0)
        return QChar(u'\t');
    if (value.compare(QLatin1String("comma"), Qt::CaseInsensitive) == 0)
        return QChar(u',');
    bool ok = false;
    const int code = value.toInt(&ok);
    if (ok && value.size() > 1)
        return (code == 9 || (code >= 32 && code <= 126 && code != '#'))
            ? std::optional(QChar(code))
            : std::nullopt;
    if (value.size() == 1 && value[0] != u'#' && value[0] != u' ')
        return value[0];
    return std::nullopt;
}

// Where each column stands in a record.
struct Layout
{
    int place[Columns];
    Layout() { std::copy(std::begin(StandardPlace), std::end(StandardPlace), place); }
};

// The "#NAME,DATE,MAG,..." line that names the columns.
std::optional<Layout> columnsNamed(const QString &line, QChar delimiter)
{
    const QStringList names = line.mid(1).split(delimiter);
    if (names.value(0).trimmed().compare(QLatin1String("NAME"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    static const QHash<QString, Column> Known {{QStringLiteral("NAME"), Name},
        {QStringLiteral("DATE"), Date}, {QStringLiteral("MAG"), Mag},
        {QStringLiteral("MERR"), Merr}, {QStringLiteral("FILT"), Filt},
        {QStringLiteral("KNAME"), Kname}, {QStringLiteral("KMAG"), Kmag},
        {QStringLiteral("AMASS"), Airmass}, {QStringLiteral("AIRMASS"), Airmass}};
    Layout layout;
    std::fill(std::begin(layout.place), std::end(layout.place), -1);
    for (int i = 0; i < names.size(); ++i) {
        const auto known = Known.constFind(names[i].trimmed().toUpper());
        if (known != Known.constEnd())
            layout.place[*known] = i;
    }
    if (layout.place[Date] < 0 || layout.place[Mag] < 0)
        return std::nullopt;
    return layout;
}

// What the lines before a record said: the parameters in force.
struct State
{
    QChar delimiter = u',';
    DateKind dateKind = DateKind::Jd;
    QString obscode;
    bool extended = true;
    Layout layout;
};

void readParameter(const QString &line, State &state, int number, QList<Skipped> &skipped)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) {
        if (const auto layout = columnsNamed(line, state.delimiter))
            state.layout = *layout;
        return; // a comment
    }
    const QString name = line.mid(1, equals - 1).trimmed().toUpper();
    const QString raw = line.mid(equals + 1);
    const QString value = raw.trimmed();
    if (name == QLatin1String("TYPE")) {
        state.extended = value.compare(QLatin1String("Extended"), Qt::CaseInsensitive) == 0;
    } else if (name == QLatin1String("OBSCODE")) {
        state.obscode = value;
    } else if (name == QLatin1String("DELIM")) {
        if (const auto delimiter = delimiterOf(raw))
            state.delimiter = *delimiter;
        else
            skipped.append({number, SkipReason::BadDelimiter, value});
    } else if (name == QLatin1String("DATE")) {
        const QString kind = value.toUpper();
        state.dateKind = kind == QLatin1String("HJD") ? DateKind::Hjd
            : kind == QLatin1String("EXCEL")          ? DateKind::Excel
                                                      : DateKind::Jd;
    }
}

std::optional<Skipped> readRecord(const QString &line, const State &state, int number, Record &r)
{
    const QStringList fields = line.split(state.delimiter);
    const auto field = [&fields, &state](Column column) {
        const int at = state.layout.place[column];
        return at < 0 ? QString() : fields.value(at).trimmed();
    };
    const int needed
        = std::max({state.layout.place[Name], state.layout.place[Date], state.layout.place[Mag]})
        + 1;
    if (fields.size() < needed)
        return Skipped {number, SkipReason::TooFewFields, QString::number(fields.size())};
    r.line = number;
    r.name = field(Name);
    if (r.name.isEmpty())
        return Skipped {number, SkipReason::NoName, {}};
    r.dateKind = state.dateKind;
    const QString date = field(Date);
    const auto jd = state.dateKind == DateKind::Excel ? excelDate(date) : ParseWholeNumber(date);
    if (!jd)
        return Skipped {number, SkipReason::BadDate, date};
    r.jd = *jd;
    QString mag = field(Mag);
    r.fainter = mag.startsWith(u'<');
    if (r.fainter)
        mag = mag.mid(1).trimmed();
    const auto magnitude = ParseWholeNumber(mag);
    if (!magnitude)
        return Skipped {number, SkipReason::BadMagnitude, field(Mag)};
    r.mag = *magnitude;
    bool bad = false;
    r.merr = numberOrNa(field(Merr), bad);
    if (bad)
        return Skipped {number, SkipReason::BadError, field(Merr)};
    r.filter = field(Filt);
    r.obscode = state.obscode;
    const QString kname = field(Kname);
    r.kname = isNa(kname) ? std::nullopt : std::optional(kname);
    bool ignored = false; // a check star's or airmass's bad value is no reason to drop the point
    r.kmag = numberOrNa(field(Kmag), ignored);
    r.airmass = numberOrNa(field(Airmass), ignored);
    return std::nullopt;
}

} // namespace

std::optional<double> excelDate(QStringView text)
{
    static const QRegularExpression Excel(QStringLiteral(
        "^(\\d{1,2})/(\\d{1,2})/(\\d{4})\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}(?:\\.\\d*)?))?"
        "\\s*(?:([aApP])\\.?\\s*[mM]\\.?)?$"));
    const auto match = Excel.match(text.trimmed().toString());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(
        match.captured(3).toInt(), match.captured(1).toInt(), match.captured(2).toInt());
    int hours = match.captured(4).toInt();
    const int minutes = match.captured(5).toInt();
    const double seconds = match.hasCaptured(6) ? match.captured(6).toDouble() : 0.0;
    if (match.hasCaptured(7)) {
        // 12:xx a.m. is just after midnight, 12:xx p.m. just after noon.
        if (hours < 1 || hours > 12)
            return std::nullopt;
        hours = hours % 12 + (match.captured(7).toLower() == QLatin1String("p") ? 12 : 0);
    }
    if (!date.isValid() || hours > 23 || minutes > 59 || seconds >= 60)
        return std::nullopt;
    return double(date.toJulianDay()) - 0.5 + (hours * 3600.0 + minutes * 60.0 + seconds) / 86400.0;
}

Read read(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    Read result;
    State state;
    int number = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        ++number;
        QByteArrayView raw = bytes.sliced(start, end - start);
        start = end + 1;
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromUtf8(raw);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (trimmed.startsWith(u'#')) {
            // From the "#": a tab after "#DELIM=" is the value.
            readParameter(line.mid(line.indexOf(u'#')), state, number, result.skipped);
            continue;
        }
        if (!state.extended) {
            result.skipped.append({number, SkipReason::NotExtended, {}});
            continue;
        }
        Record record;
        if (const auto skipped = readRecord(line, state, number, record))
            result.skipped.append(*skipped);
        else
            result.records.append(record);
    }
    return result;
}

QList<Series> series(const QList<Record> &records)
{
    QList<Series> all;
    QHash<QString, qsizetype> index; // name and filter -> place in all
    QList<double> sums;
    for (const Record &r : records) {
        if (r.fainter)
            continue;
        const QString key = r.name + QChar(0) + r.filter;
        auto found = index.constFind(key);
        if (found == index.constEnd()) {
            found = index.insert(key, all.size());
            all.append({r.name, r.filter, 0, r.jd, r.jd, 0, r.mag, r.mag});
            sums.append(0);
        }
        Series &s = all[*found];
        ++s.count;
        sums[*found] = sums[*found] + r.mag;
        s.first = std::min(s.first, r.jd);
        s.last = std::max(s.last, r.jd);
        s.min = std::min(s.min, r.mag);
        s.max = std::max(s.max, r.mag);
    }
    for (qsizetype i = 0; i < all.size(); ++i)
        all[i].mean = sums[i] / all[i].count;
    return all;
}

} // namespace quillet::AavsoReader
