// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The report's statistics against numbers found without this code.
#include "core/calibration.h"
#include "core/calibration_report.h"
#include "core/numeric_text.h"
#include "report/report_text.h"
#include "test_support.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using namespace quillet;
using namespace quillet::test;

namespace {

bool near(std::optional<double> value, double expected, double tolerance)
{
    return value && std::fabs(*value - expected) <= tolerance;
}

} // namespace

class TestCalibrationReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void handCheckedTable();
    void textbookRegression();
    void outlierRule_data();
    void outlierRule();
    void numberTexts_data();
    void numberTexts();
    void checkStar();
    void tooFewRows_data();
    void tooFewRows();
    void problems_data();
    void problems();
    void sameAsTheWindowsOnRandomTables();
};

// Worked by hand: slope 1.5, constant 8, residuals .25 -.25 -.25 .25, SSR 1/4,
// mean x 2.5, Sxx 5; s = sqrt(1/8); slope error sqrt(1/40); leverages .7 .3 .3 .7;
// deleted residuals .25/.3 and -.25/.7; studentized sqrt(5) and -sqrt(5)/3.
// At x = 2.5: magnitude 11.75, prediction error sqrt(1/8) sqrt(5/4) = sqrt(5/32),
// 95 % half width 4.30265 sqrt(5/32).
void TestCalibrationReport::handCheckedTable()
{
    const ReportOutcome outcome = MakeCalibrationReport(workedTable(), {QStringLiteral("2.5")});
    QVERIFY(!outcome.problem);
    const CalibrationReport &r = outcome.report;
    QCOMPARE(r.n, 4);
    QCOMPARE(r.slope, 1.5);
    QCOMPARE(r.constant, 8.0);
    QCOMPARE(r.rmsError, 0.25);
    QVERIFY(near(r.s, std::sqrt(1.0 / 8), 1e-12));
    QVERIFY(near(r.slopeSe, std::sqrt(1.0 / 40), 1e-12));
    QCOMPARE(r.rows.size(), std::size_t(4));
    const int rows[] = {3, 6, 1, 5};
    const double deleted[] = {0.25 / 0.3, -0.25 / 0.7, -0.25 / 0.7, 0.25 / 0.3};
    const double studentized[]
        = {std::sqrt(5.0), -std::sqrt(5.0) / 3, -std::sqrt(5.0) / 3, std::sqrt(5.0)};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(r.rows[i].row, rows[i]);
        QCOMPARE(r.rows[i].measured, double(i + 1));
        QVERIFY(near(r.rows[i].deletedResidual, deleted[i], 1e-12));
        QVERIFY(near(r.rows[i].studentized, studentized[i], 1e-12));
        QVERIFY(!r.rows[i].flagged);
    }
    QCOMPARE(r.variables.size(), std::size_t(1));
    QCOMPARE(r.variables[0].magnitude, 11.75);
    QVERIFY(near(r.variables[0].predictionSe, std::sqrt(5.0 / 32), 1e-12));
    QVERIFY(near(r.variables[0].low95, 11.75 - 4.30265 * std::sqrt(5.0 / 32), 1e-12));
    QVERIFY(near(r.variables[0].high95, 11.75 + 4.30265 * std::sqrt(5.0 / 32), 1e-12));
}

// Anscombe's first data set (F. J. Anscombe, "Graphs in Statistical Analysis",
// The American Statistician 27 (1973) 17-21), whose least-squares fit is printed
// in every statistics package's examples: y = 3.0001 + 0.5001 x, residual
// standard error 1.237 on 9 degrees of freedom, slope standard error 0.1179.
void TestCalibrationReport::textbookRegression()
{
    const QStringList anscombe = table({{"10", "8.04"}, {"8", "6.95"}, {"13", "7.58"},
        {"9", "8.81"}, {"11", "8.33"}, {"14", "9.96"}, {"6", "7.24"}, {"4", "4.26"},
        {"12", "10.84"}, {"7", "4.82"}, {"5", "5.68"}});
    const ReportOutcome outcome = MakeCalibrationReport(anscombe, {});
    QVERIFY(!outcome.problem);
    QCOMPARE(outcome.report.n, 11);
    QVERIFY(std::fabs(outcome.report.slope - 0.5001) < 5e-5);
    QVERIFY(std::fabs(outcome.report.constant - 3.0001) < 5e-5);
    QVERIFY(near(outcome.report.s, 1.237, 5e-4));
    QVERIFY(near(outcome.report.slopeSe, 0.1179, 5e-5));
}

// A star is flagged when it is off the line by a magnitude that matters: |t|
// above 3 and a deleted residual of at least the flag magnitude. |t| above 3
// alone only notes it.
void TestCalibrationReport::outlierRule_data()
{
    QTest::addColumn<QStringList>("stars");
    QTest::addColumn<double>("flagMagnitude");
    QTest::addColumn<int>("flagged"); // the row flagged, or 0
    QTest::addColumn<int>("noted"); // the row only noted, or 0
    const QStringList magnitudeOff = table({{"1", "10.01"}, {"2", "11.99"}, {"3", "14.02"},
        {"4", "17.00"}, {"5", "17.99"}, {"6", "20.01"}, {"7", "21.98"}});
    const QStringList hundredthOff = table({{"1", "11.000"}, {"2", "12.002"}, {"3", "12.999"},
        {"4", "14.001"}, {"5", "15.010"}, {"6", "15.999"}, {"7", "17.001"}});
    QTest::newRow("a magnitude off") << magnitudeOff << DefaultFlagMagnitude << 4 << 0;
    QTest::newRow("a hundredth off a tight line") << hundredthOff << DefaultFlagMagnitude << 0 << 5;
    QTest::newRow("a hundredth, flag at 0.005") << hundredthOff << 0.005 << 5 << 0;
    // The others exactly on a line: t is endless, the distance decides.
    QTest::newRow("a thousandth off an exact line")
        << table({{"1", "10"}, {"2", "11"}, {"3", "12"}, {"4", "13.001"}}) << DefaultFlagMagnitude
        << 0 << 4;
    QTest::newRow("a magnitude off an exact line")
        << table({{"1", "10"}, {"2", "11"}, {"3", "12"}, {"4", "14"}}) << DefaultFlagMagnitude << 4
        << 0;
}

void TestCalibrationReport::outlierRule()
{
    QFETCH(QStringList, stars);
    QFETCH(double, flagMagnitude);
    QFETCH(int, flagged);
    QFETCH(int, noted);
    const ReportOutcome outcome = MakeCalibrationReport(stars, {}, std::nullopt, flagMagnitude);
    QVERIFY(!outcome.problem);
    for (const ReportRow &row : outcome.report.rows) {
        QCOMPARE(row.flagged, row.row == flagged);
        QCOMPARE(row.noted, row.row == noted);
        QVERIFY(row.studentized);
        QCOMPARE(std::fabs(*row.studentized) > 3, row.row == flagged || row.row == noted);
    }
}

// Numbers as the report prints them: no "-0.000", errors with two significant
// digits, an endless t in words.
void TestCalibrationReport::numberTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tiny negative residual") << ReportText::fixed(-0.0004) << "0.000";
    QTest::newRow("small negative residual") << ReportText::fixed(-0.0006) << "-0.001";
    QTest::newRow("small error") << ReportText::errorText(0.00012345) << "0.00012";
    QTest::newRow("hundredths error") << ReportText::errorText(0.0123) << "0.012";
    QTest::newRow("ordinary error") << ReportText::errorText(0.25) << "0.250";
    QTest::newRow("endless t") << ReportText::optionalNumber(-INFINITY, 2) << "-∞";
    QTest::newRow("no value") << ReportText::optionalError(std::nullopt) << "—";
}

void TestCalibrationReport::numberTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

// Row 6 (2, 10.75) as the check star. By hand, the line through (1, 9.75),
// (3, 12.25), (4, 14.25): mean x 8/3, mean y 145/12, Sxy 41/6, Sxx 14/3, slope
// 41/28, constant 145/12 - 41/28 x 8/3.
void TestCalibrationReport::checkStar()
{
    const ReportOutcome outcome = MakeCalibrationReport(workedTable(), {}, 6);
    QVERIFY(!outcome.problem);
    const CalibrationReport &r = outcome.report;
    QCOMPARE(r.n, 3);
    const double slope = 41.0 / 28;
    const double constant = 145.0 / 12 - slope * 8 / 3;
    QVERIFY(std::fabs(r.slope - slope) < 1e-12);
    QVERIFY(r.check);
    QCOMPARE(r.check->row, 6);
    QCOMPARE(r.check->catalogue, 10.75);
    QVERIFY(std::fabs(r.check->fitted - (2 * slope + constant)) < 1e-12);
    QVERIFY(std::fabs(r.check->oMinusC - (2 * slope + constant - 10.75))
        < 1e-12); // observed - catalogue
    QVERIFY(r.check->z);
    for (const ReportRow &row : r.rows)
        QVERIFY(row.row != 6);
    // The line is the one the windows fit with row 6 cleared.
    QStringList cleared = workedTable();
    cleared[10].clear();
    cleared[11].clear();
    QCOMPARE(r.slope, FitCalibrationLine(cleared)->slope);

    // Rows at 9999 (and above it, behind a vacant row) are left out, and named.
    QStringList marked = workedTable();
    marked[14] = QStringLiteral("9999");
    marked[15] = QStringLiteral("12");
    marked[16] = QStringLiteral("10000");
    marked[17] = QStringLiteral("13");
    QCOMPARE(MakeCalibrationReport(marked, {}, 6).report.leftOut, (std::vector<int> {8, 9}));
}

// With two stars the line exists but no scatter can be estimated; with three no
// star can be judged against the others.
void TestCalibrationReport::tooFewRows_data()
{
    QTest::addColumn<QStringList>("stars");
    QTest::addColumn<bool>("scatter");
    QTest::addColumn<bool>("studentized");
    QTest::newRow("two") << table({{"1", "10"}, {"2", "11"}}) << false << false;
    QTest::newRow("three") << table({{"1", "10"}, {"2", "11.1"}, {"3", "11.9"}}) << true << false;
}

void TestCalibrationReport::tooFewRows()
{
    QFETCH(QStringList, stars);
    QFETCH(bool, scatter);
    QFETCH(bool, studentized);
    const ReportOutcome outcome = MakeCalibrationReport(stars, {QStringLiteral("1.5")});
    QVERIFY(!outcome.problem);
    const CalibrationReport &r = outcome.report;
    QCOMPARE(bool(r.s), scatter);
    QCOMPARE(bool(r.slopeSe), scatter);
    QCOMPARE(bool(r.variables[0].predictionSe), scatter);
    QCOMPARE(bool(r.variables[0].low95), scatter);
    for (const ReportRow &row : r.rows) {
        QCOMPARE(bool(row.deletedResidual), scatter);
        QCOMPARE(bool(row.studentized), studentized);
        QVERIFY(!row.flagged);
    }
}

void TestCalibrationReport::problems_data()
{
    QTest::addColumn<QStringList>("stars");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<int>("check"); // 0: none
    QTest::addColumn<ReportProblem>("problem");
    const QString v = QStringLiteral("1");
    QTest::newRow("one row") << table({{"1", "10"}}) << v << 0 << ReportProblem::NoLine;
    QTest::newRow("check leaves one row")
        << table({{"1", "10"}, {"2", "11"}}) << v << 2 << ReportProblem::NoLine;
    QTest::newRow("check row 16") << workedTable() << v << 16 << ReportProblem::CheckRowOutOfRange;
    QTest::newRow("check row vacant") << workedTable() << v << 2 << ReportProblem::CheckRowVacant;
    QTest::newRow("magnitude overflows")
        << workedTable() << QStringLiteral("1.7e308") << 0 << ReportProblem::MagnitudeOutOfRange;
    QStringList farCheck = workedTable();
    farCheck[2] = QStringLiteral("1.7e308");
    QTest::newRow("check star's magnitude overflows")
        << farCheck << v << 2 << ReportProblem::CheckMagnitudeOutOfRange;
}

void TestCalibrationReport::problems()
{
    QFETCH(QStringList, stars);
    QFETCH(QString, variable);
    QFETCH(int, check);
    QFETCH(ReportProblem, problem);
    const auto outcome = MakeCalibrationReport(
        stars, {variable}, check ? std::optional<int>(check) : std::nullopt);
    QCOMPARE(outcome.problem, problem);
}

// Slope, constant and magnitude are the windows' own, bit for bit.
void TestCalibrationReport::sameAsTheWindowsOnRandomTables()
{
    QRandomGenerator random(2026);
    for (int t = 0; t < 2000; ++t) {
        QStringList texts(30);
        const int rows = 2 + int(random.bounded(14));
        for (int k = 0; k < rows; ++k) {
            texts[2 * random.bounded(15)]
                = QString::number(random.bounded(40.0) - 20, 'f', 1 + t % 4);
            texts[2 * random.bounded(15) + 1] = QString::number(random.bounded(10.0) + 5, 'f', 2);
        }
        const QString variable = QString::number(random.bounded(40.0) - 20, 'f', 3);
        const auto line = FitCalibrationLine(texts);
        const ReportOutcome outcome = MakeCalibrationReport(texts, {variable});
        QCOMPARE(bool(outcome.problem), !line);
        if (!line)
            continue;
        QCOMPARE(outcome.report.slope, line->slope);
        QCOMPARE(outcome.report.constant, line->constant);
        QCOMPARE(outcome.report.n, line->count);
        const Measurement shown = MeasureVariable(texts, variable);
        QCOMPARE(FormatPattern(outcome.report.variables[0].magnitude, u"##.00"), shown.magnitude);
        QCOMPARE(outcome.report.variables[0].magnitude,
            line->slope * ParseNumber(variable) + line->constant);
    }
}

QTEST_GUILESS_MAIN(TestCalibrationReport)
#include "tst_calibration_report.moc"
