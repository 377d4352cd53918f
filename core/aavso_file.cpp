// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/aavso_file.h"

#include "core/numeric_text.h"

#include <algorithm>

namespace quillet::AavsoFile {

namespace {

using AavsoExtended::at;
using AavsoExtended::DateKind;
using AavsoExtended::Field;
using AavsoExtended::Fields;
using AavsoExtended::Reader;
using AavsoExtended::State;

// Who a record is: its star, date and filter, and the magnitude it gives.
struct Identity
{
    int line;
    QString star;
    QString date;
    QString filter;
    QString magnitude;
};

int decimals(const QString &number)
{
    const qsizetype point = number.indexOf(u'.');
    if (point < 0)
        return 0;
    qsizetype end = point + 1;
    while (end < number.size() && number[end].isDigit())
        ++end;
    return int(end - point - 1);
}

// The same date at the precision the less precise of the two is written with.
bool sameDate(const QString &a, const QString &b)
{
    const auto x = ParseWholeNumber(a);
    const auto y = ParseWholeNumber(b);
    if (!x || !y)
        return a.compare(b, Qt::CaseInsensitive) == 0;
    const int places = std::min(decimals(a), decimals(b));
    return QString::number(*x, 'f', places) == QString::number(*y, 'f', places);
}

bool sameRecord(const Identity &in, const Fields &record)
{
    return in.star.compare(at(record, Field::StarId).simplified(), Qt::CaseInsensitive) == 0
        && in.filter.compare(at(record, Field::Filt).trimmed(), Qt::CaseInsensitive) == 0
        && sameDate(in.date, at(record, Field::Date).trimmed());
}

QString dateText(DateKind kind)
{
    return kind == DateKind::Hjd ? QStringLiteral("HJD") : QStringLiteral("JD");
}

// What the whole file says: the parameters in force at its end, its records,
// its form.
struct Scanned
{
    State end;
    QList<Identity> records;
    QString badDelimiter;
    bool mark = false;
    QByteArray lineEnd;
};

Scanned scan(const QByteArray &bytes)
{
    Scanned scanned;
    Reader reader(bytes);
    while (reader.next()) {
        const auto &line = reader.line();
        if (!line.badDelimiter.isEmpty())
            scanned.badDelimiter = line.badDelimiter;
        if (line.kind != AavsoExtended::Line::Kind::Record)
            continue;
        const QStringList fields = reader.fields();
        scanned.records.append({line.number, reader.field(fields, Field::StarId).simplified(),
            reader.field(fields, Field::Date), reader.field(fields, Field::Filt),
            reader.field(fields, Field::Mag)});
    }
    scanned.end = reader.state();
    scanned.mark = reader.byteOrderMark();
    scanned.lineEnd = reader.lineEnd().toByteArray();
    return scanned;
}

// Why the file, as its parameters stand at its end, cannot take records
// written under header; nothing when it can.
std::optional<std::pair<Refusal, QString>> refusalOf(
    const Scanned &file, const AavsoExtended::Header &header)
{
    const State &s = file.end;
    if (s.type != State::Type::Extended)
        return std::pair {Refusal::NotAavso, s.typeText};
    if (s.obscode.compare(header.obscode.trimmed(), Qt::CaseInsensitive) != 0)
        return std::pair {Refusal::OtherObscode, s.obscode};
    if (!file.badDelimiter.isEmpty())
        return std::pair {Refusal::BadDelimiter, file.badDelimiter};
    if (!s.dateText.isEmpty()
        && s.dateText.compare(dateText(header.date), Qt::CaseInsensitive) != 0)
        return std::pair {Refusal::OtherDateKind, s.dateText};
    if (!s.obstype.isEmpty() && s.obstype.compare(header.obstype, Qt::CaseInsensitive) != 0)
        return std::pair {Refusal::OtherObstype, s.obstype};
    if (!s.unknownColumns.isEmpty())
        return std::pair {Refusal::UnknownColumn, s.unknownColumns.first()};
    return std::nullopt;
}

// The record in the file's form: its delimiter, its columns. Empty, with the
// refusal set, when a field has no column or holds the delimiter.
QString written(const Fields &record, const State &s, Plan &plan)
{
    QStringList columns(s.columnCount, QStringLiteral("na"));
    for (int f = 0; f < AavsoExtended::FieldCount; ++f) {
        const QString &value = record[std::size_t(f)];
        const int column = s.columns[std::size_t(f)];
        if (column < 0) {
            if (value.compare(QLatin1String("na"), Qt::CaseInsensitive) == 0)
                continue;
            plan.refusal = Refusal::MissingColumn;
        } else if (value.contains(s.delimiter)) {
            plan.refusal = Refusal::DelimiterInField;
        } else {
            columns[column] = value;
            continue;
        }
        plan.detail = AavsoExtended::fieldName(Field(f));
        return {};
    }
    return columns.join(s.delimiter);
}

} // namespace

int countRecords(const QByteArray &bytes)
{
    int records = 0;
    Reader reader(bytes);
    while (reader.next())
        records += reader.line().kind == AavsoExtended::Line::Kind::Record;
    return records;
}

Plan planAppend(const QByteArray &existing, const AavsoExtended::Header &header,
    const QList<Fields> &records, Duplicates duplicates)
{
    Plan plan;
    const Scanned file = scan(existing);
    plan.records = int(file.records.size());
    const bool blank = plan.records == 0
        && QByteArrayView(existing).sliced(file.mark ? 3 : 0).trimmed().isEmpty();
    // Nothing above the header: a new file of this program's own form.
    const State own;
    const State &form = blank ? own : file.end;
    if (!blank) {
        if (const auto refused = refusalOf(file, header)) {
            plan.refusal = refused->first;
            plan.detail = refused->second;
            return plan;
        }
    }
    QList<QString> lines;
    for (int r = 0; r < records.size(); ++r) {
        bool found = false;
        for (const Identity &in : file.records) {
            if (sameRecord(in, records[r])) {
                plan.duplicates.append({r, in.line, in.magnitude,
                    in.magnitude == at(records[r], Field::Mag).trimmed()});
                found = true;
                break;
            }
        }
        if (found && duplicates == Duplicates::Refuse)
            plan.refusal = Refusal::Duplicate;
        if (found && duplicates == Duplicates::Skip)
            continue;
        const QString text = written(records[r], form, plan);
        if (plan.refusal && *plan.refusal != Refusal::Duplicate)
            return plan;
        lines.append(text);
    }
    if (plan.refusal)
        return plan;
    plan.added = int(lines.size());
    plan.records += plan.added;
    if (blank) {
        plan.addition = (file.mark ? QByteArray(AavsoExtended::ByteOrderMark) : QByteArray())
            + AavsoExtended::headerText(header).toUtf8();
        for (const QString &text : lines)
            plan.addition += text.toUtf8() + '\n';
        plan.replacesAll = !existing.isEmpty();
        return plan;
    }
    if (lines.isEmpty())
        return plan;
    // The file's own line ends, and one to end its last line where it has none.
    const QByteArray end = file.lineEnd.isEmpty() ? QByteArray("\n") : file.lineEnd;
    if (!existing.endsWith('\n') && !existing.endsWith('\r'))
        plan.addition = end;
    for (const QString &text : lines)
        plan.addition += text.toUtf8() + end;
    return plan;
}

} // namespace quillet::AavsoFile
