// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/light_curve.h"

#include "platform/file_layer.h"
#include "report/messages.h"
#include "report/report_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quillet::LightCurve {

namespace {

using AavsoReader::DateKind;
using AavsoReader::SkipReason;

QString dateKindName(DateKind kind)
{
    switch (kind) {
    case DateKind::Hjd:
        return QStringLiteral("HJD");
    case DateKind::Excel:
        return QStringLiteral("EXCEL");
    case DateKind::Jd:
        break;
    }
    return QStringLiteral("JD");
}

template<typename T> QJsonValue orNull(const std::optional<T> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

} // namespace

Night read(const QStringList &files)
{
    Night night;
    for (const QString &file : files) {
        const FileState::Read read = FileLayer::readFile(file, ReadLimit);
        if (read.failure) {
            night.problems << messages::fileProblem(*read.failure, file);
            continue;
        }
        if (!read.snapshot.exists) {
            night.problems << QStringLiteral("%1 がありません").arg(file);
            continue;
        }
        AavsoReader::Read parsed = AavsoReader::read(read.snapshot.bytes);
        const int index = int(night.files.size());
        night.files.append(file);
        if (night.records.isEmpty()) {
            night.records = std::move(parsed.records);
        } else {
            night.records.reserve(night.records.size() + parsed.records.size());
            night.records.append(parsed.records);
        }
        night.fileOf.resize(night.records.size(), index);
        for (const AavsoReader::Skipped &s : parsed.skipped)
            night.skipped.append({file, s});
    }
    return night;
}

QString skipReason(const AavsoReader::Skipped &skipped)
{
    switch (skipped.reason) {
    case SkipReason::NotExtended:
        return QStringLiteral("AAVSO Extended の記録ではありません（#TYPE）");
    case SkipReason::TooFewFields:
        return QStringLiteral("欄が足りません（%1 個）").arg(skipped.detail);
    case SkipReason::NoName:
        return QStringLiteral("星名がありません");
    case SkipReason::BadDate:
        return QStringLiteral("日付が読めません: %1").arg(messages::visible(skipped.detail));
    case SkipReason::BadMagnitude:
        return QStringLiteral("等級が数値ではありません: %1")
            .arg(messages::visible(skipped.detail));
    case SkipReason::BadError:
        return QStringLiteral("誤差（MERR）が数値でも na でもありません: %1")
            .arg(messages::visible(skipped.detail));
    case SkipReason::DateOutOfRange:
        return QStringLiteral(
            "日付が観測の日付の範囲（1582 年 10 月 15 日 から 9999 年）の外です: %1")
            .arg(messages::visible(skipped.detail));
    case SkipReason::MagnitudeOutOfRange:
        return QStringLiteral("等級が AAVSO の MAG 欄に入る範囲の外です: %1")
            .arg(messages::visible(skipped.detail));
    case SkipReason::ErrorOutOfRange:
        return QStringLiteral("誤差（MERR）が負か、AAVSO の MERR 欄に入る範囲の外です: %1")
            .arg(messages::visible(skipped.detail));
    case SkipReason::BadDelimiter:
        break;
    }
    return QStringLiteral("#DELIM= が区切り文字を示していません: %1")
        .arg(messages::visible(skipped.detail));
}

QString text(const Night &night)
{
    QString out;
    for (const AavsoReader::Series &s : AavsoReader::series(night.records)) {
        // Names from the file, shown: they could hold a terminal's escapes.
        out += QStringLiteral("%1 %2: %3 点　JD %4 ～ %5　平均 %6　最も明るい %7　最も暗い %8\n")
                   .arg(messages::visible(s.name),
                       s.filter.isEmpty() ? QStringLiteral("—") : messages::visible(s.filter))
                   .arg(s.count)
                   .arg(QString::number(s.first, 'f', 5), QString::number(s.last, 'f', 5),
                       ReportText::fixed(s.mean), ReportText::fixed(s.min),
                       ReportText::fixed(s.max));
    }
    int limits = 0;
    for (const AavsoReader::Record &r : night.records)
        limits += r.fainter;
    if (limits > 0)
        out += QStringLiteral("限界等級（<）の記録 %1 件は平均に入れていません\n").arg(limits);
    if (!night.skipped.isEmpty())
        out += QStringLiteral("\n読まなかった行 %1 行:\n").arg(night.skipped.size());
    for (const FileSkipped &s : night.skipped) {
        out += QStringLiteral("  %1 %2 行目: %3\n")
                   .arg(messages::visible(s.file))
                   .arg(s.skipped.line)
                   .arg(skipReason(s.skipped));
    }
    return out;
}

namespace {

// One object of an array, indented as its array's elements are.
QByteArray element(const QJsonObject &object, bool first)
{
    return (first ? "\n        " : ",\n        ")
        + QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

bool writeJson(const Night &night, const std::function<bool(const QByteArray &)> &put)
{
    // Record by record, so that the text is never all in memory at once.
    if (!put("{\n    \"records\": ["))
        return false;
    QByteArray chunk;
    for (qsizetype i = 0; i < night.records.size(); ++i) {
        const AavsoReader::Record &r = night.records[i];
        chunk += element(
            QJsonObject {{QStringLiteral("file"), night.files[night.fileOf[i]]},
                {QStringLiteral("line"), r.line}, {QStringLiteral("name"), r.name},
                {QStringLiteral("date_kind"), dateKindName(r.dateKind)},
                {QStringLiteral("jd"), r.jd}, {QStringLiteral("mag"), r.mag},
                {QStringLiteral("fainter"), r.fainter}, {QStringLiteral("merr"), orNull(r.merr)},
                {QStringLiteral("filter"), r.filter}, {QStringLiteral("obscode"), r.obscode},
                {QStringLiteral("kname"), orNull(r.kname)},
                {QStringLiteral("kmag"), orNull(r.kmag)}},
            i == 0);
        if (chunk.size() > 64 * 1024) {
            if (!put(chunk))
                return false;
            chunk.clear();
        }
    }
    chunk += "\n    ],\n    \"skipped\": [";
    for (qsizetype i = 0; i < night.skipped.size(); ++i) {
        const FileSkipped &s = night.skipped[i];
        chunk += element(
            QJsonObject {{QStringLiteral("file"), s.file}, {QStringLiteral("line"), s.skipped.line},
                {QStringLiteral("reason"), skipReason(s.skipped)}},
            i == 0);
    }
    chunk += "\n    ],\n    \"series\": [";
    const QList<AavsoReader::Series> all = AavsoReader::series(night.records);
    for (qsizetype i = 0; i < all.size(); ++i) {
        const AavsoReader::Series &s = all[i];
        chunk += element(
            QJsonObject {{QStringLiteral("name"), s.name}, {QStringLiteral("filter"), s.filter},
                {QStringLiteral("count"), s.count}, {QStringLiteral("first"), s.first},
                {QStringLiteral("last"), s.last}, {QStringLiteral("mean"), s.mean},
                {QStringLiteral("min"), s.min}, {QStringLiteral("max"), s.max}},
            i == 0);
    }
    return put(chunk + "\n    ]\n}\n");
}

} // namespace quillet::LightCurve
