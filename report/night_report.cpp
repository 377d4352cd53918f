// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/night_report.h"

#include "core/comparison_table.h"
#include "platform/file_layer.h"
#include "report/messages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace quillet::NightReport {

using NightSeries::LeftOut;

namespace {

QJsonValue number(std::optional<double> value)
{
    return value && std::isfinite(*value) ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QString fixed(std::optional<double> value, int decimals = 3)
{
    return value && std::isfinite(*value) ? QString::number(*value, 'f', decimals)
                                          : QStringLiteral("—");
}

} // namespace

QString readProblem(const SeriesTable::Read &read, const QString &path)
{
    using SeriesTable::Problem;
    const QString where = read.line > 0 ? QStringLiteral("%1:%2: ").arg(path).arg(read.line)
                                        : path + QStringLiteral(": ");
    const QString column = messages::visible(read.column);
    switch (read.problem) {
    case Problem::TooLarge:
        return where
            + QStringLiteral("表が大きすぎます（%1 MiB まで）").arg(SeriesTable::ReadLimit >> 20);
    case Problem::TooManyRows:
        return where + QStringLiteral("行が多すぎます（%1 行まで）").arg(SeriesTable::RowLimit);
    case Problem::NotUtf8:
        return where + QStringLiteral("UTF-8 ではないバイトがあります");
    case Problem::NoHeader:
        return where + QStringLiteral("見出しの行がありません");
    case Problem::NoTimeColumn:
        return where
            + QStringLiteral("時刻の列がありません（AstroImageJ の JD_UTC か J.D.-2400000、"
                             "表なら JD、HJD か DATE-OBS）");
    case Problem::NoStarColumn:
        return where + QStringLiteral("星の列がありません");
    case Problem::DuplicateColumn:
        return where + QStringLiteral("列 %1 が 2 つあります").arg(column);
    case Problem::Ragged:
        return where + QStringLiteral("欄の数が見出しと違います（%1）").arg(read.text);
    case Problem::NotANumber:
        break;
    }
    return where
        + QStringLiteral("列 %1 の「%2」は数値ではありません")
              .arg(column, messages::visible(read.text));
}

Loaded load(const QString &path)
{
    const FileState::Read file = FileLayer::readFile(path, SeriesTable::ReadLimit);
    if (file.failure && file.failure->problem == FileState::Problem::ReadCutShort)
        return {std::nullopt,
            readProblem({std::nullopt, SeriesTable::Problem::TooLarge, 0, {}, {}}, path)};
    if (file.failure)
        return {std::nullopt, messages::fileProblem(*file.failure, path)};
    if (!file.snapshot.exists)
        return {std::nullopt, QStringLiteral("%1 がありません").arg(path)};
    SeriesTable::Read read = SeriesTable::read(file.snapshot.bytes);
    if (!read.table)
        return {std::nullopt, readProblem(read, path)};
    return {std::move(read.table), {}};
}

QString mappingProblem(const NightSeries::Resolved &resolved)
{
    using NightSeries::MappingProblem;
    const QString detail = messages::visible(resolved.detail);
    switch (*resolved.problem) {
    case MappingProblem::NoTarget:
        return QStringLiteral("変光星の列を --target で選んで下さい");
    case MappingProblem::NoColumn:
        return QStringLiteral("表に列 %1 がありません").arg(detail);
    case MappingProblem::RowOutOfRange:
        return QStringLiteral("行 %1 は 1 から 15 の外です").arg(detail);
    case MappingProblem::RowTwice:
        return QStringLiteral("行 %1 に 2 つの列を割り当てています").arg(detail);
    case MappingProblem::ColumnTwice:
        return QStringLiteral("列 %1 を 2 つの行に割り当てています").arg(detail);
    case MappingProblem::TargetCompared:
        return QStringLiteral("列 %1 は変光星の列です").arg(detail);
    case MappingProblem::NoComparison:
        return QStringLiteral("比較星の列を --comp 列=行 で割り当てて下さい");
    case MappingProblem::NoCatalogue:
        return QStringLiteral("行 %1 のｶﾀﾛｸﾞ値が空です").arg(detail);
    case MappingProblem::CheckNotMapped:
        break;
    }
    return QStringLiteral("チェック星の行 %1 にはどの列も割り当てていません").arg(detail);
}

std::optional<QPair<QString, int>> comparisonOf(
    const QString &given, const StarChart::FieldChart *chart, const QStringList &tableTexts)
{
    const qsizetype equals = given.lastIndexOf(u'=');
    if (equals <= 0)
        return std::nullopt;
    const QString column = given.left(equals).trimmed();
    const QString row = given.mid(equals + 1).trimmed();
    bool number = false;
    const int k = row.toInt(&number);
    if (number)
        return QPair<QString, int>(column, k);
    if (!chart)
        return std::nullopt;
    for (const StarChart::RowStar *star : StarChart::starsNow(*chart, tableTexts)) {
        if (star->label == row || star->auid == row)
            return QPair<QString, int>(column, star->row);
    }
    return std::nullopt;
}

QString mappingText(const NightSeries::Mapping &mapping)
{
    QStringList parts {mapping.target};
    for (const auto &[column, row] : mapping.comps)
        parts << QStringLiteral("%1=%2").arg(column).arg(row);
    if (mapping.check)
        parts << QStringLiteral("check=%1").arg(*mapping.check);
    return parts.join(u'\t');
}

NightSeries::Mapping mappingOf(const QString &text)
{
    NightSeries::Mapping mapping;
    const QStringList parts = text.split(u'\t');
    mapping.target = parts.value(0);
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString column = parts[i].section(u'=', 0, -2);
        const int row = parts[i].section(u'=', -1).toInt();
        if (column == QLatin1String("check"))
            mapping.check = row;
        else if (!column.isEmpty() && row > 0)
            mapping.comps.append({column, row});
    }
    return mapping;
}

QString sourceText(const SeriesTable::Table &table)
{
    return QStringLiteral("%1、画像 %2 枚、時刻 %3")
        .arg(table.format == SeriesTable::Format::Aij ? QStringLiteral("AstroImageJ の表")
                                                      : QStringLiteral("表"))
        .arg(table.images.size())
        .arg(messages::visible(table.timeColumn));
}

QString leftOutText(LeftOut reason)
{
    switch (reason) {
    case LeftOut::None:
        return {};
    case LeftOut::Excluded:
        return QStringLiteral("除外");
    case LeftOut::Saturated:
        return QStringLiteral("飽和");
    case LeftOut::NoTime:
        return QStringLiteral("時刻なし");
    case LeftOut::NoVariable:
        return QStringLiteral("変光星の値なし");
    case LeftOut::FluxNotPositive:
        return QStringLiteral("光量が 0 以下");
    case LeftOut::TooFewStars:
        return QStringLiteral("比較星が足りない");
    case LeftOut::NotANumber:
        break;
    }
    return QStringLiteral("等級が数値にならない");
}

const char *leftOutCode(LeftOut reason)
{
    switch (reason) {
    case LeftOut::None:
        return "";
    case LeftOut::Excluded:
        return "excluded";
    case LeftOut::Saturated:
        return "saturated";
    case LeftOut::NoTime:
        return "no_time";
    case LeftOut::NoVariable:
        return "no_variable";
    case LeftOut::FluxNotPositive:
        return "flux_not_positive";
    case LeftOut::TooFewStars:
        return "too_few_stars";
    case LeftOut::NotANumber:
        break;
    }
    return "magnitude_not_a_number";
}

QString imageLine(const SeriesTable::Table &table, const NightSeries::ImageResult &image)
{
    const SeriesTable::Image &source = table.images[image.index - 1];
    const QString head
        = QStringLiteral("%1  %2  ").arg(image.index, 5).arg(messages::visible(source.label), -20);
    if (image.leftOut != LeftOut::None)
        return head + QStringLiteral("使わない: %1\n").arg(leftOutText(image.leftOut));
    const CalibrationReport &r = image.report;
    const VariableEstimate &v = r.variables.front();
    QString line = head
        + QStringLiteral("%1  等級 %2 ± %3  比較星 %4  傾き %5")
              .arg(QString::number(image.time, 'f', 5), ReportText::fixed(v.magnitude),
                  fixed(v.predictionSe))
              .arg(r.n)
              .arg(QString::number(r.slope, 'f', 4));
    if (r.check)
        line += QStringLiteral("  O - C %1").arg(ReportText::fixed(r.check->oMinusC));
    QStringList flagged;
    for (const ReportRow &row : r.rows) {
        if (row.flagged)
            flagged << QString::number(row.row);
    }
    if (!flagged.isEmpty())
        line += QStringLiteral("  ✕ 行 %1").arg(flagged.join(QStringLiteral(", ")));
    return line + u'\n';
}

QString summaryText(const NightSeries::Night &night, const ReportText::Labels &labels)
{
    const NightSeries::Summary &s = night.summary;
    QString out
        = QStringLiteral("\n使った画像 %1 枚、使わなかった画像 %2 枚\n").arg(s.used).arg(s.leftOut);
    out += QStringLiteral("傾き: 中央値 %1（%2 ～ %3）\n")
               .arg(fixed(s.slopeMedian, 4), fixed(s.slopeMin, 4), fixed(s.slopeMax, 4));
    if (s.checkMean)
        out += QStringLiteral("チェック星の O - C: 平均 %1　標準偏差 %2\n")
                   .arg(fixed(s.checkMean), fixed(s.checkSd));
    out += QStringLiteral("\n 行  列        残差平均  標準偏差  ドリフト（等/時）      t\n");
    for (const NightSeries::StarDrift &star : night.stars) {
        out += QStringLiteral("%1  %2  %3  %4  %5  %6%7\n")
                   .arg(ReportText::rowName(star.row, labels), 3)
                   .arg(messages::visible(star.column), -8)
                   .arg(fixed(star.meanResidual), 8)
                   .arg(fixed(star.sd), 8)
                   .arg(fixed(star.driftPerHour, 4), 18)
                   .arg(
                       star.driftT ? QString::number(*star.driftT, 'f', 2) : QStringLiteral("—"), 7)
                   .arg(star.drifts ? QStringLiteral("  ドリフト") : QString());
    }
    return out;
}

QByteArray jsonHead(const SeriesTable::Table &table)
{
    const QJsonObject source {
        {QStringLiteral("format"),
            table.format == SeriesTable::Format::Aij ? QStringLiteral("aij")
                                                     : QStringLiteral("table")},
        {QStringLiteral("images"), int(table.images.size())},
        {QStringLiteral("time_column"), table.timeColumn}};
    return "{\n\"source\": " + QJsonDocument(source).toJson(QJsonDocument::Compact)
        + ",\n\"images\": [";
}

QByteArray jsonImage(
    const SeriesTable::Table &table, const NightSeries::ImageResult &image, bool first)
{
    const SeriesTable::Image &source = table.images[image.index - 1];
    const bool used = image.leftOut == LeftOut::None;
    const CalibrationReport &r = image.report;
    const VariableEstimate *v = used ? &r.variables.front() : nullptr;
    QJsonArray flagged;
    for (const ReportRow &row : r.rows) {
        if (row.flagged)
            flagged.append(row.row);
    }
    const QJsonObject object {{QStringLiteral("index"), image.index},
        {QStringLiteral("label"), source.label}, {QStringLiteral("jd"), number(source.jd)},
        {QStringLiteral("hjd"), number(source.hjd)},
        {QStringLiteral("airmass"), number(source.airmass)},
        {QStringLiteral("magnitude"), number(v ? std::optional(v->magnitude) : std::nullopt)},
        {QStringLiteral("prediction_error"), number(v ? v->predictionSe : std::nullopt)},
        {QStringLiteral("error"), number(used ? std::optional(r.rmsError) : std::nullopt)},
        {QStringLiteral("n"), used ? QJsonValue(r.n) : QJsonValue()},
        {QStringLiteral("slope"), number(used ? std::optional(r.slope) : std::nullopt)},
        {QStringLiteral("constant"), number(used ? std::optional(r.constant) : std::nullopt)},
        {QStringLiteral("s"), number(used ? r.s : std::nullopt)},
        {QStringLiteral("check"),
            used && r.check ? QJsonValue(QJsonObject {{QStringLiteral("row"), r.check->row},
                {QStringLiteral("o_minus_c"), r.check->oMinusC}})
                            : QJsonValue()},
        {QStringLiteral("flagged"), flagged},
        {QStringLiteral("left_out"),
            used ? QJsonValue() : QJsonValue(QLatin1String(leftOutCode(image.leftOut)))}};
    return (first ? "\n" : ",\n") + QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray jsonTail(const NightSeries::Night &night, const ReportText::Labels &labels)
{
    QJsonArray stars;
    for (const NightSeries::StarDrift &star : night.stars) {
        stars.append(
            QJsonObject {{QStringLiteral("row"), star.row}, {QStringLiteral("column"), star.column},
                {QStringLiteral("label"),
                    labels.contains(star.row) ? QJsonValue(labels.value(star.row)) : QJsonValue()},
                {QStringLiteral("mean_residual"), number(star.meanResidual)},
                {QStringLiteral("sd"), number(star.sd)},
                {QStringLiteral("drift_per_hour"), number(star.driftPerHour)},
                {QStringLiteral("drift_t"), number(star.driftT)},
                {QStringLiteral("drifts"), star.drifts}});
    }
    const NightSeries::Summary &s = night.summary;
    const QJsonObject summary {{QStringLiteral("used"), s.used},
        {QStringLiteral("left_out"), s.leftOut},
        {QStringLiteral("check_mean"), number(s.checkMean)},
        {QStringLiteral("check_sd"), number(s.checkSd)},
        {QStringLiteral("slope_median"), number(s.slopeMedian)},
        {QStringLiteral("slope_min"), number(s.slopeMin)},
        {QStringLiteral("slope_max"), number(s.slopeMax)}};
    return "\n],\n\"comparison_stars\": " + QJsonDocument(stars).toJson(QJsonDocument::Compact)
        + ",\n\"summary\": " + QJsonDocument(summary).toJson(QJsonDocument::Compact) + "\n}\n";
}

SubmissionRecord::Record recordOf(const SubmissionRecord::Record &given,
    const SeriesTable::Image &image, const NightSeries::ImageResult &result)
{
    SubmissionRecord::Record record = given;
    record.jd = QString::number(result.time, 'f', 5);
    if (record.airmass.isEmpty() && image.airmass && *image.airmass >= 1)
        record.airmass = QString::number(*image.airmass, 'f', 4);
    return record;
}

} // namespace quillet::NightReport
