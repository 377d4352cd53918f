// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/aavso_reader.h"

#include "core/julian_date.h"
#include "core/numeric_text.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace quillet::AavsoReader {

namespace {

using AavsoExtended::Field;

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

std::optional<Skipped> readRecord(
    const AavsoExtended::Reader &reader, const QStringList &fields, Record &r)
{
    const AavsoExtended::State &state = reader.state();
    const int number = reader.line().number;
    const auto field = [&](Field f) { return reader.field(fields, f); };
    const int needed
        = std::max({state.columns[std::size_t(Field::StarId)],
              state.columns[std::size_t(Field::Date)], state.columns[std::size_t(Field::Mag)]})
        + 1;
    if (fields.size() < needed)
        return Skipped {number, SkipReason::TooFewFields, QString::number(fields.size())};
    r.line = number;
    r.name = field(Field::StarId);
    if (r.name.isEmpty())
        return Skipped {number, SkipReason::NoName, {}};
    r.dateKind = state.date;
    const QString date = field(Field::Date);
    const auto jd = state.date == DateKind::Excel ? excelDate(date) : ParseWholeNumber(date);
    if (!jd)
        return Skipped {number, SkipReason::BadDate, date};
    if (!JulianDate::inRange(*jd))
        return Skipped {number, SkipReason::DateOutOfRange, date};
    r.jd = *jd;
    QString mag = field(Field::Mag);
    r.fainter = mag.startsWith(u'<');
    if (r.fainter)
        mag = mag.mid(1).trimmed();
    const auto magnitude = ParseWholeNumber(mag);
    if (!magnitude)
        return Skipped {number, SkipReason::BadMagnitude, field(Field::Mag)};
    if (!AavsoExtended::magnitudeFits(*magnitude))
        return Skipped {number, SkipReason::MagnitudeOutOfRange, field(Field::Mag)};
    r.mag = *magnitude;
    bool bad = false;
    r.merr = numberOrNa(field(Field::Merr), bad);
    if (bad)
        return Skipped {number, SkipReason::BadError, field(Field::Merr)};
    if (r.merr && !AavsoExtended::errorFits(*r.merr))
        return Skipped {number, SkipReason::ErrorOutOfRange, field(Field::Merr)};
    r.filter = field(Field::Filt);
    r.obscode = state.obscode;
    const QString kname = field(Field::Kname);
    r.kname = isNa(kname) ? std::nullopt : std::optional(kname);
    bool ignored = false; // a check star's or airmass's bad value is no reason to drop the point
    r.kmag = numberOrNa(field(Field::Kmag), ignored);
    r.airmass = numberOrNa(field(Field::Amass), ignored);
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
    return JulianDate::midnight(date)
        + (hours * 3600.0 + minutes * 60.0 + seconds) / JulianDate::SecondsPerDay;
}

Read read(QByteArrayView bytes)
{
    Read result;
    // The same name, filter or code in a million records is one string,
    // shared: the records cost little more than their numbers.
    QSet<QString> texts;
    const auto shared = [&texts](QString &text) { text = *texts.insert(text); };
    AavsoExtended::Reader reader(bytes);
    while (reader.next()) {
        const AavsoExtended::Line &line = reader.line();
        if (!line.badDelimiter.isEmpty())
            result.skipped.append({line.number, SkipReason::BadDelimiter, line.badDelimiter});
        if (line.kind != AavsoExtended::Line::Kind::Record)
            continue;
        if (reader.state().type == AavsoExtended::State::Type::Other) {
            result.skipped.append({line.number, SkipReason::NotExtended, {}});
            continue;
        }
        Record record;
        if (const auto skipped = readRecord(reader, reader.fields(), record)) {
            result.skipped.append(*skipped);
            continue;
        }
        for (QString *text : {&record.name, &record.filter, &record.obscode})
            shared(*text);
        if (record.kname)
            shared(*record.kname);
        result.records.append(std::move(record));
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
