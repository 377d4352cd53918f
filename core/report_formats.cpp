// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report_formats.h"

#include "core/numeric_text.h"

#include <QDate>
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

// Thousandths of a day since the Julian day's start at noon, rounded once, so
// that .9996 of a day carries into the next date.
long long vsnetThousandths(double julianDate)
{
    return std::llround((julianDate + 0.5) * 1000);
}

// The day (a Julian day number, counted from midnight) whose date vsnetDate writes.
qint64 vsnetDay(double julianDate)
{
    return vsnetThousandths(julianDate) / 1000;
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
    const auto jd = ParseWholeNumber(text.trimmed());
    // From the first Gregorian day to the last one whose date vsnetDate writes
    // with a four-digit year, its rounding included.
    if (!jd || *jd < 2299160.5 || QDate::fromJulianDay(vsnetDay(*jd)).year() > 9999)
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
    const long long thousandths = vsnetThousandths(julianDate);
    const QDate date = QDate::fromJulianDay(thousandths / 1000);
    return QStringLiteral("%1%2%3.%4")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(thousandths % 1000, 3, 10, QLatin1Char('0'));
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
