// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report_formats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace quillet::ReportFormats {

namespace {

QJsonValue value(std::optional<double> number)
{
    return number && std::isfinite(*number) ? QJsonValue(*number) : QJsonValue(QJsonValue::Null);
}

} // namespace

QByteArray jsonHead(const CalibrationReport &report)
{
    QJsonArray rows;
    for (const ReportRow &row : report.rows) {
        rows.append(QJsonObject {{QStringLiteral("row"), row.row},
            {QStringLiteral("measured"), row.measured},
            {QStringLiteral("catalogue"), row.catalogue}, {QStringLiteral("fitted"), row.fitted},
            {QStringLiteral("residual"), row.residual},
            {QStringLiteral("deleted_residual"), value(row.deletedResidual)},
            {QStringLiteral("studentized"), value(row.studentized)},
            {QStringLiteral("flagged"), row.flagged}, {QStringLiteral("noted"), row.noted}});
    }
    QJsonArray leftOut;
    for (const int row : report.leftOut)
        leftOut.append(row);
    QJsonValue check(QJsonValue::Null);
    if (report.check) {
        check = QJsonObject {{QStringLiteral("row"), report.check->row},
            {QStringLiteral("catalogue"), report.check->catalogue},
            {QStringLiteral("fitted"), report.check->fitted},
            {QStringLiteral("o_minus_c"), report.check->oMinusC},
            {QStringLiteral("z"), value(report.check->z)}};
    }
    // "variables" sorts last of the keys: the text up to its "[" is the head.
    const QJsonObject root {{QStringLiteral("n"), report.n},
        {QStringLiteral("slope"), report.slope}, {QStringLiteral("constant"), report.constant},
        {QStringLiteral("rms_error"), report.rmsError}, {QStringLiteral("s"), value(report.s)},
        {QStringLiteral("slope_se"), value(report.slopeSe)}, {QStringLiteral("rows"), rows},
        {QStringLiteral("left_out"), leftOut}, {QStringLiteral("check"), check},
        {QStringLiteral("variables"), QJsonArray()}};
    const QByteArray whole = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return whole.left(whole.lastIndexOf('[') + 1);
}

QByteArray jsonVariable(const VariableEstimate &variable, bool first)
{
    const QJsonObject object {{QStringLiteral("measured"), variable.measured},
        {QStringLiteral("magnitude"), variable.magnitude},
        {QStringLiteral("prediction_se"), value(variable.predictionSe)},
        {QStringLiteral("low95"), value(variable.low95)},
        {QStringLiteral("high95"), value(variable.high95)}};
    QByteArray text = first ? "\n" : ",\n";
    // Indented as the array's elements are.
    for (const QByteArray &line :
        QJsonDocument(object).toJson(QJsonDocument::Indented).split('\n')) {
        if (!line.isEmpty())
            text += "        " + line + '\n';
    }
    text.chop(1);
    return text;
}

QByteArray jsonEnd()
{
    return "\n    ]\n}\n";
}

QByteArray json(const CalibrationReport &report)
{
    QByteArray text = jsonHead(report);
    for (std::size_t i = 0; i < report.variables.size(); ++i)
        text += jsonVariable(report.variables[i], i == 0);
    return text + jsonEnd();
}

} // namespace quillet::ReportFormats
