// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/field_chart.h"

#include "core/comparison_data_file.h"
#include "core/numeric_text.h"
#include "platform/file_layer.h"
#include "platform/star_fields.h"
#include "report/messages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quillet::FieldChart {

QString problemText(const VspChart::Read &read)
{
    using VspChart::Problem;
    switch (read.problem) {
    case Problem::TooLarge:
        return QStringLiteral("チャートのファイルが大きすぎます（%1 MiB まで）")
            .arg(VspChart::ReadLimit >> 20);
    case Problem::NotUtf8:
        return QStringLiteral("UTF-8 ではないバイトがあります");
    case Problem::NotJson:
        return QStringLiteral("JSON ではありません（%1）").arg(messages::visible(read.detail));
    case Problem::NotAChart:
        return QStringLiteral("VSP のチャートではありません（chartid がありません）");
    case Problem::NoPhotometry:
        return QStringLiteral("測光表（photometry）がありません");
    case Problem::NoStars:
        return QStringLiteral("測光表に星が 1 つもありません");
    case Problem::StarWithoutLabel:
        return QStringLiteral("測光表の %1 番目の星にラベル（label）がありません").arg(read.detail);
    case Problem::StarWithoutAuid:
        return QStringLiteral("ラベル %1 の星に AUID がありません")
            .arg(messages::visible(read.detail));
    case Problem::MagnitudeNotANumber:
        return QStringLiteral("%1 の等級が数値ではありません").arg(messages::visible(read.detail));
    case Problem::DuplicateLabel:
        break;
    }
    return QStringLiteral("ラベル %1 の星が 2 つあります").arg(messages::visible(read.detail));
}

QString fillFromChart(submission::Typed &typed, const StarChart::FieldChart &chart,
    const QStringList &tableTexts, std::optional<int> checkRow)
{
    const QMap<int, const StarChart::RowStar *> now = StarChart::starsNow(chart, tableTexts);
    if (now.isEmpty())
        return {};
    if (typed.chart.trimmed().isEmpty())
        typed.chart = chart.chart.chartId;
    const StarChart::RowStar *check = checkRow ? now.value(*checkRow) : nullptr;
    if (!check)
        return {};
    if (typed.checkName.trimmed().isEmpty())
        typed.checkName = check->auid;
    return check->error && typed.checkName.trimmed() == check->auid ? PlainNumberText(*check->error)
                                                                    : QString();
}

Loaded readAnswer(const QByteArray &answer)
{
    const VspChart::Read read = VspChart::read(answer);
    if (!read.chart)
        return {std::nullopt, {}, problemText(read)};
    return {read.chart, answer, {}};
}

Loaded loadAnswer(const QString &path)
{
    const FileState::Read read = FileLayer::readFile(path, VspChart::ReadLimit);
    if (read.failure && read.failure->problem == FileState::Problem::ReadCutShort)
        return {std::nullopt, {}, problemText({std::nullopt, VspChart::Problem::TooLarge, {}})};
    if (read.failure)
        return {std::nullopt, {}, messages::fileProblem(*read.failure, path)};
    if (!read.snapshot.exists)
        return {std::nullopt, {}, QStringLiteral("%1 がありません").arg(path)};
    return readAnswer(read.snapshot.bytes);
}

std::optional<StarChart::FieldChart> kept(const QString &folder)
{
    const FileState::Read read = FileLayer::readFile(
        folder + u'/' + QLatin1String(StarChart::FileName), 2 * VspChart::ReadLimit);
    if (read.failure || !read.snapshot.exists)
        return std::nullopt;
    return StarChart::deserialize(read.snapshot.bytes);
}

QString keep(const QString &folder, const StarChart::FieldChart &chart,
    const QStringList &oldTableTexts, const std::optional<QStringList> &tableTexts)
{
    // The table replaced, first: never lost.
    const QString table = StarFields::tablePath(folder);
    QString aside = table + QStringLiteral(".before-chart");
    for (int n = 2; FileLayer::readFile(aside, 1).snapshot.exists; ++n) {
        if (n > FileState::KeptCopiesLimit)
            return messages::fileProblem({FileState::Problem::TooManyKeptCopies}, aside);
        aside = table + QStringLiteral(".before-chart-%1").arg(n);
    }
    const auto saved = FileLayer::replaceFile(aside, ComparisonDataFile::serialize(oldTableTexts));
    if (saved.failure)
        return messages::fileProblem(*saved.failure, aside);
    const QString chartFile = folder + u'/' + QLatin1String(StarChart::FileName);
    const auto written = FileLayer::replaceFile(chartFile, StarChart::serialize(chart));
    if (written.failure)
        return messages::fileProblem(*written.failure, chartFile);
    if (!tableTexts)
        return {};
    const auto replaced = FileLayer::replaceFile(table, ComparisonDataFile::serialize(*tableTexts));
    if (replaced.failure)
        return messages::fileProblem(*replaced.failure, table);
    return {};
}

QString text(const VspChart::Chart &chart, const QString &band)
{
    QString out = QStringLiteral("チャート %1　%2（%3）　バンド %4\n")
                      .arg(messages::visible(chart.chartId), messages::visible(chart.star),
                          messages::visible(chart.auid), band);
    out += QStringLiteral("ﾗﾍﾞﾙ  AUID         赤経          赤緯            等級   誤差  注記\n");
    for (const VspChart::Star &star : chart.stars) {
        const VspChart::Band *b = star.band(band);
        out += QStringLiteral("%1  %2  %3  %4  %5  %6  %7")
                   .arg(messages::visible(star.label), 4)
                   .arg(messages::visible(star.auid), -11)
                   .arg(messages::visible(star.ra), -12)
                   .arg(messages::visible(star.dec), -12)
                   .arg(b ? b->magText : QStringLiteral("—"), 7)
                   .arg(b && b->error ? QString::number(*b->error, 'f', 3) : QStringLiteral("—"), 5)
                   .arg(messages::visible(star.comments));
        while (out.endsWith(u' '))
            out.chop(1);
        out += u'\n';
    }
    return out;
}

QByteArray json(const VspChart::Chart &chart, const QString &band)
{
    QJsonArray stars;
    for (const VspChart::Star &star : chart.stars) {
        const VspChart::Band *b = star.band(band);
        stars.append(
            QJsonObject {{QStringLiteral("label"), star.label}, {QStringLiteral("auid"), star.auid},
                {QStringLiteral("ra"), star.ra}, {QStringLiteral("dec"), star.dec},
                {QStringLiteral("mag"), b ? QJsonValue(b->mag) : QJsonValue()},
                {QStringLiteral("error"), b && b->error ? QJsonValue(*b->error) : QJsonValue()},
                {QStringLiteral("comments"), star.comments}});
    }
    return QJsonDocument(
        QJsonObject {{QStringLiteral("chart"), chart.chartId}, {QStringLiteral("star"), chart.star},
            {QStringLiteral("auid"), chart.auid}, {QStringLiteral("band"), band},
            {QStringLiteral("stars"), stars}})
        .toJson(QJsonDocument::Indented);
}

} // namespace quillet::FieldChart
