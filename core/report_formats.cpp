// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report_formats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>

namespace quillet::ReportFormats {

namespace {

QJsonValue value(std::optional<double> number)
{
    return number ? QJsonValue(*number) : QJsonValue(QJsonValue::Null);
}

// Shortest text that reads back as the same double.
QString shortest(double number)
{
    return QString::number(number, 'g', QLocale::FloatingPointShortest);
}

QString threeDecimals(double number)
{
    return QString::number(number, 'f', 3);
}

QString orNa(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("na") : text;
}

} // namespace

QByteArray json(const CalibrationReport &report)
{
    QJsonArray rows;
    for (const ReportRow &row : report.rows) {
        rows.append(QJsonObject {{QStringLiteral("row"), row.row},
            {QStringLiteral("measured"), row.measured},
            {QStringLiteral("catalogue"), row.catalogue}, {QStringLiteral("fitted"), row.fitted},
            {QStringLiteral("residual"), row.residual},
            {QStringLiteral("deleted_residual"), value(row.deletedResidual)},
            {QStringLiteral("studentized"), value(row.studentized)},
            {QStringLiteral("flagged"), row.flagged}});
    }
    QJsonArray variables;
    for (const VariableEstimate &variable : report.variables) {
        variables.append(QJsonObject {{QStringLiteral("measured"), variable.measured},
            {QStringLiteral("magnitude"), variable.magnitude},
            {QStringLiteral("prediction_se"), value(variable.predictionSe)},
            {QStringLiteral("low95"), value(variable.low95)},
            {QStringLiteral("high95"), value(variable.high95)}});
    }
    QJsonValue check(QJsonValue::Null);
    if (report.check) {
        check = QJsonObject {{QStringLiteral("row"), report.check->row},
            {QStringLiteral("catalogue"), report.check->catalogue},
            {QStringLiteral("fitted"), report.check->fitted},
            {QStringLiteral("o_minus_c"), report.check->oMinusC},
            {QStringLiteral("z"), value(report.check->z)}};
    }
    const QJsonObject root {{QStringLiteral("n"), report.n},
        {QStringLiteral("slope"), report.slope}, {QStringLiteral("constant"), report.constant},
        {QStringLiteral("rms_error"), report.rmsError}, {QStringLiteral("s"), value(report.s)},
        {QStringLiteral("slope_se"), value(report.slopeSe)}, {QStringLiteral("rows"), rows},
        {QStringLiteral("variables"), variables}, {QStringLiteral("check"), check}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool isKnownFilter(const QString &filter)
{
    static const QStringList Known {QStringLiteral("V"), QStringLiteral("B"), QStringLiteral("Rc"),
        QStringLiteral("Ic"), QStringLiteral("C"), QStringLiteral("CR")};
    return Known.contains(filter);
}

std::optional<double> julianDate(const QString &text)
{
    // Digits with at most one point: no sign, no exponent, no blanks inside.
    const QString trimmed = text.trimmed();
    bool digits = false;
    int points = 0;
    for (const QChar c : trimmed) {
        if (c.isDigit() && c.unicode() < 128)
            digits = true;
        else if (c == u'.')
            ++points;
        else
            return std::nullopt;
    }
    if (!digits || points > 1)
        return std::nullopt;
    bool ok = false;
    const double jd = QLocale::c().toDouble(trimmed, &ok);
    // 2299160.5: 15 October 1582, the first Gregorian day; 5373484.5: the year 10000.
    if (!ok || jd < 2299160.5 || jd >= 5373484.5)
        return std::nullopt;
    return jd;
}

QString aavsoHeader(const Submission &submission)
{
    return QStringLiteral(
        "#TYPE=Extended\n#OBSCODE=%1\n#SOFTWARE=%2\n#DELIM=,\n#DATE=JD\n#OBSTYPE=%3\n"
        "#NAME,DATE,MAG,MERR,FILT,TRANS,MTYPE,CNAME,CMAG,KNAME,KMAG,AMASS,GROUP,"
        "CHART,NOTES\n")
        .arg(submission.obscode, submission.software, submission.obstype);
}

QString aavsoLine(
    const Submission &submission, const CalibrationReport &report, const VariableEstimate &variable)
{
    const bool check = report.check && !submission.checkName.isEmpty();
    const QString notes = QStringLiteral("|SLOPE=%1|N=%2|S=%3|VMAGINS=%4")
                              .arg(shortest(report.slope))
                              .arg(report.n)
                              .arg(report.s ? shortest(*report.s) : QStringLiteral("na"))
                              .arg(shortest(variable.measured));
    const QStringList fields {
        submission.star,
        submission.jd.trimmed(),
        threeDecimals(variable.magnitude),
        variable.predictionSe ? threeDecimals(*variable.predictionSe) : QStringLiteral("na"),
        submission.filter,
        QStringLiteral("NO"),
        QStringLiteral("STD"),
        QStringLiteral("ENSEMBLE"),
        QStringLiteral("na"),
        check ? submission.checkName : QStringLiteral("na"),
        check ? threeDecimals(report.check->measured) : QStringLiteral("na"),
        QStringLiteral("na"),
        QStringLiteral("na"),
        orNa(submission.chart),
        notes,
    };
    return fields.join(u',');
}

QString vsnetDate(double julianDate)
{
    // Thousandths of a day since the Julian day's start at noon, rounded once, so
    // that .9996 of a day carries into the next date.
    const long long thousandths = std::llround((julianDate + 0.5) * 1000);
    const long long z = thousandths / 1000; // the day, counted from midnight
    const long long fraction = thousandths % 1000;
    // Gregorian calendar date of day z (J. Meeus, Astronomical Algorithms, ch. 7).
    const long long alpha = (z * 100 - 186721625) / 3652425;
    const long long a = z + 1 + alpha - alpha / 4;
    const long long b = a + 1524;
    const long long c = (b * 100 - 12210) / 36525;
    const long long d = 36525 * c / 100;
    const long long e = (b - d) * 10000 / 306001;
    const long long day = b - d - 306001 * e / 10000;
    const long long month = e < 14 ? e - 1 : e - 13;
    const long long year = month > 2 ? c - 4716 : c - 4715;
    return QStringLiteral("%1%2%3.%4")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(fraction, 3, 10, QLatin1Char('0'));
}

QString vsnetLine(const Submission &submission, const VariableEstimate &variable)
{
    QString star = submission.star.toUpper();
    star.remove(u' ');
    const double jd = julianDate(submission.jd).value_or(0);
    return QStringLiteral("%1 %2 %3%4 %5")
        .arg(star, vsnetDate(jd), threeDecimals(variable.magnitude), submission.filter,
            submission.obscode);
}

} // namespace quillet::ReportFormats
