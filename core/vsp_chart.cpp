// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/vsp_chart.h"

#include "core/numeric_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

namespace quillet::VspChart {

namespace {

QString textOf(const QJsonValue &value)
{
    if (value.isString())
        return value.toString().trimmed();
    if (value.isDouble())
        return PlainNumberText(value.toDouble());
    return {};
}

// A number as JSON gives it, or a number in a string; the text it shows.
std::optional<std::pair<double, QString>> numberOf(const QJsonValue &value)
{
    if (value.isDouble() && std::isfinite(value.toDouble()))
        return std::pair {value.toDouble(), PlainNumberText(value.toDouble())};
    if (value.isString()) {
        const QString text = value.toString().trimmed();
        if (const auto number = ParseWholeNumber(text); number && std::isfinite(*number))
            return std::pair {*number, text};
    }
    return std::nullopt;
}

Read refused(Problem problem, const QString &detail = {})
{
    return {std::nullopt, problem, detail};
}

} // namespace

const Band *Star::band(const QString &name) const
{
    for (const Band &b : bands) {
        if (b.band == name)
            return &b;
    }
    return nullptr;
}

Read read(QByteArrayView bytes)
{
    if (bytes.size() > ReadLimit)
        return refused(Problem::TooLarge);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        return refused(Problem::NotUtf8);
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return refused(Problem::NotJson,
            error.error != QJsonParseError::NoError
                ? QStringLiteral("%1 (%2)").arg(error.errorString()).arg(error.offset)
                : QString());
    const QJsonObject root = document.object();
    if (!root.contains(QLatin1String("chartid")))
        return refused(Problem::NotAChart);
    const QJsonValue photometry = root.value(QLatin1String("photometry"));
    if (!photometry.isArray())
        return refused(Problem::NoPhotometry);
    Chart chart {textOf(root.value(QLatin1String("chartid"))),
        textOf(root.value(QLatin1String("star"))), textOf(root.value(QLatin1String("auid"))),
        textOf(root.value(QLatin1String("ra"))), textOf(root.value(QLatin1String("dec"))), {}};
    QSet<QString> labels;
    const QJsonArray stars = photometry.toArray();
    for (qsizetype i = 0; i < stars.size(); ++i) {
        const QJsonObject object = stars[i].toObject();
        Star star;
        star.label = textOf(object.value(QLatin1String("label")));
        if (star.label.isEmpty())
            return refused(Problem::StarWithoutLabel, QString::number(i + 1));
        star.auid = textOf(object.value(QLatin1String("auid")));
        if (star.auid.isEmpty())
            return refused(Problem::StarWithoutAuid, star.label);
        if (labels.contains(star.label))
            return refused(Problem::DuplicateLabel, star.label);
        labels.insert(star.label);
        star.ra = textOf(object.value(QLatin1String("ra")));
        star.dec = textOf(object.value(QLatin1String("dec")));
        star.comments = textOf(object.value(QLatin1String("comments")));
        for (const QJsonValue &entry : object.value(QLatin1String("bands")).toArray()) {
            const QJsonObject b = entry.toObject();
            const QString name = textOf(b.value(QLatin1String("band")));
            const QJsonValue mag = b.value(QLatin1String("mag"));
            // A band without a magnitude is no band of the star's.
            if (name.isEmpty() || mag.isNull() || mag.isUndefined())
                continue;
            const auto magnitude = numberOf(mag);
            if (!magnitude)
                return refused(
                    Problem::MagnitudeNotANumber, QStringLiteral("%1 %2").arg(star.label, name));
            const auto uncertainty = numberOf(b.value(QLatin1String("error")));
            star.bands.append({name, magnitude->first, magnitude->second,
                uncertainty ? std::optional(uncertainty->first) : std::nullopt});
        }
        chart.stars.append(star);
    }
    if (chart.stars.isEmpty())
        return refused(Problem::NoStars);
    return {chart, {}, {}};
}

QString bandFor(const QString &filter)
{
    const QString code = filter.trimmed().toUpper();
    if (code == QLatin1String("V") || code == QLatin1String("CV") || code == QLatin1String("TG"))
        return QStringLiteral("V");
    if (code == QLatin1String("B") || code == QLatin1String("TB"))
        return QStringLiteral("B");
    if (code == QLatin1String("R") || code == QLatin1String("CR") || code == QLatin1String("TR")
        || code == QLatin1String("RC"))
        return QStringLiteral("Rc");
    if (code == QLatin1String("I") || code == QLatin1String("IC"))
        return QStringLiteral("Ic");
    return filter.trimmed();
}

QList<int> byMagnitude(const Chart &chart, const QString &band)
{
    QList<int> order;
    for (int i = 0; i < chart.stars.size(); ++i) {
        if (chart.stars[i].band(band))
            order.append(i);
    }
    std::stable_sort(order.begin(), order.end(), [&chart, &band](int a, int b) {
        return chart.stars[a].band(band)->mag < chart.stars[b].band(band)->mag;
    });
    return order;
}

} // namespace quillet::VspChart
