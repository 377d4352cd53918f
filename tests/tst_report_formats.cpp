// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The report written for machines: JSON that reads back exactly.
#include "core/calibration_report.h"
#include "core/report_formats.h"
#include "test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace quillet;
using namespace quillet::test;

class TestReportFormats : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void jsonReadsBackExactly();
    void jsonNullWhereNoValue();
};

void TestReportFormats::jsonReadsBackExactly()
{
    const QStringList table = ::table({{"1.123", "9.71"}, {"2.37", "10.83"}, {"3.001", "12.2"},
        {"4.4", "14.31"}, {"5.05", "15.02"}});
    const ReportOutcome outcome = MakeCalibrationReport(table, {QStringLiteral("2.777")}, 2);
    QVERIFY(!outcome.problem);
    const CalibrationReport &r = outcome.report;
    const QJsonObject o = QJsonDocument::fromJson(ReportFormats::json(r)).object();
    QCOMPARE(o.keys(),
        (QStringList {"check", "constant", "left_out", "n", "rms_error", "rows", "s", "slope",
            "slope_se", "variables"}));
    QCOMPARE(o[u"n"].toInt(), r.n);
    QCOMPARE(o[u"slope"].toDouble(), r.slope);
    QCOMPARE(o[u"constant"].toDouble(), r.constant);
    QCOMPARE(o[u"s"].toDouble(), *r.s);
    const QJsonArray rows = o[u"rows"].toArray();
    QCOMPARE(rows.size(), qsizetype(r.rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonObject row = rows[i].toObject();
        QCOMPARE(row.keys(),
            (QStringList {"catalogue", "deleted_residual", "fitted", "flagged", "measured", "noted",
                "residual", "row", "studentized"}));
        QCOMPARE(row[u"residual"].toDouble(), r.rows[i].residual);
        QCOMPARE(row[u"studentized"].toDouble(), *r.rows[i].studentized);
    }
    const QJsonObject variable = o[u"variables"].toArray()[0].toObject();
    QCOMPARE(variable.keys(),
        (QStringList {"high95", "low95", "magnitude", "measured", "prediction_se"}));
    QCOMPARE(variable[u"magnitude"].toDouble(), r.variables[0].magnitude);
    QCOMPARE(variable[u"low95"].toDouble(), *r.variables[0].low95);
    const QJsonObject check = o[u"check"].toObject();
    QCOMPARE(check.keys(), (QStringList {"catalogue", "fitted", "o_minus_c", "row", "z"}));
    QCOMPARE(check[u"o_minus_c"].toDouble(), r.check->oMinusC);
}

// Two stars: the line, but no scatter, errors or intervals; no check star.
void TestReportFormats::jsonNullWhereNoValue()
{
    const ReportOutcome outcome
        = MakeCalibrationReport(table({{"1", "10"}, {"2", "11"}}), {QStringLiteral("3")});
    const QJsonObject o = QJsonDocument::fromJson(ReportFormats::json(outcome.report)).object();
    for (const char16_t *key : {u"s", u"slope_se", u"check"})
        QVERIFY(o[key].isNull());
    const QJsonObject variable = o[u"variables"].toArray()[0].toObject();
    QCOMPARE(variable[u"magnitude"].toDouble(), 12.0);
    for (const char16_t *key : {u"prediction_se", u"low95", u"high95"})
        QVERIFY(variable[key].isNull());
    QVERIFY(o[u"rows"].toArray()[0].toObject()[u"studentized"].isNull());
}

QTEST_GUILESS_MAIN(TestReportFormats)
#include "tst_report_formats.moc"
