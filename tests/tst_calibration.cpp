// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calibration.h"
#include "core/numeric_text.h"
#include "test_support.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

using namespace quillet;
using quillet::test::table;

namespace {

QStringList lineOfFifteen(double lastMeasured)
{
    QStringList texts(30);
    for (int k = 1; k <= 15; ++k) {
        const double x = k == 15 ? lastMeasured : k;
        texts[2 * k - 2] = PlainNumberText(x);
        texts[2 * k - 1] = PlainNumberText(2 * x + 1);
    }
    return texts;
}

} // namespace

class TestCalibration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fit_data();
    void fit();
    void degenerate_data();
    void degenerate();
    void rowOrderDoesNotMatter();
    void valuesAbove9999();
};

void TestCalibration::fit_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<double>("slope");
    QTest::addColumn<double>("constant");
    QTest::addColumn<double>("error");
    QTest::addColumn<int>("count");

    QTest::newRow("worked example") << table(
        {{"3", "12.25"}, {"", ""}, {"1", "9.75"}, {"0", "0"}, {"4", "14.25"}, {"2", "10.75"}})
                                    << 1.5 << 8.0 << 0.25 << 4;
    QTest::newRow("vacant rows between used rows")
        << table({{"", ""}, {"2", "10.75"}, {"", ""}, {"", ""}, {"abc", "abc"}, {"1", "9.75"},
               {"0", "0"}, {"4", "14.25"}, {" ", ""}, {"3", "12.25"}})
        << 1.5 << 8.0 << 0.25 << 4;
    QTest::newRow("two rows pass through both")
        << table({{"1", "10"}, {"3", "14"}}) << 2.0 << 8.0 << 0.0 << 2;
    QTest::newRow("all fifteen rows") << lineOfFifteen(15) << 2.0 << 1.0 << 0.0 << 15;
    QTest::newRow("row with measured 0 takes part")
        << table({{"0", "10"}, {"2", "14"}}) << 2.0 << 10.0 << 0.0 << 2;
    QTest::newRow("negative slope")
        << table({{"1", "14"}, {"3", "10"}}) << -2.0 << 16.0 << 0.0 << 2;
    QTest::newRow("9999 is vacant")
        << table({{"9999", "5"}, {"1", "10"}, {"3", "14"}}) << 2.0 << 8.0 << 0.0 << 2;
    QTest::newRow("texts with blanks and CR")
        << table({{"1 \r\n", "1 0"}, {"- 3", "2"}}) << 2.0 << 8.0 << 0.0 << 2;
}

void TestCalibration::fit()
{
    QFETCH(QStringList, texts);
    QFETCH(double, slope);
    QFETCH(double, constant);
    QFETCH(double, error);
    QFETCH(int, count);
    const auto line = FitCalibrationLine(texts);
    QVERIFY(line.has_value());
    QCOMPARE(line->count, count);
    QCOMPARE(line->slope, slope);
    QCOMPARE(line->constant, constant);
    QCOMPARE(line->error, error);
}

void TestCalibration::degenerate_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("empty table") << QStringList(30);
    QTest::newRow("only zero rows") << table({{"0", "0"}, {"0", "0"}});
    QTest::newRow("one row") << table({{"1", "10"}});
    QTest::newRow("one row and vacant rows") << table({{"", ""}, {"5", "10"}, {"abc", ""}});
    QTest::newRow("same measured value") << table({{"2", "10"}, {"2", "11"}, {"2.0", "12"}});
    QTest::newRow("overflowing values") << table({{"1e308", "1e308"}, {"-1e308", "1"}, {"1", "2"}});
    QTest::newRow("infinite value") << table({{"1e999", "1"}, {"1", "2"}});
    QTest::newRow("short list") << QStringList {QStringLiteral("1"), QStringLiteral("2")};
}

void TestCalibration::degenerate()
{
    QFETCH(QStringList, texts);
    QVERIFY(!FitCalibrationLine(texts).has_value());
}

// Sorting makes the result independent of where the rows stand (with distinct
// measured values), bit for bit.
void TestCalibration::rowOrderDoesNotMatter()
{
    QRandomGenerator random(42);
    for (int round = 0; round < 500; ++round) {
        const int used = int(random.bounded(2, 16));
        QList<int> rows(15);
        std::iota(rows.begin(), rows.end(), 0);
        QStringList ordered(30);
        for (int k = 0; k < used; ++k) {
            ordered[2 * k] = PlainNumberText(
                std::round(random.generateDouble() * 4e6 - 2e6) / 1000 + k * 1e-9);
            ordered[2 * k + 1]
                = PlainNumberText(std::round(random.generateDouble() * 15000) / 1000);
        }
        std::shuffle(rows.begin(), rows.end(), std::mt19937(round));
        QStringList shuffled(30);
        for (int k = 0; k < 15; ++k) {
            shuffled[2 * rows[k]] = ordered[2 * k];
            shuffled[2 * rows[k] + 1] = ordered[2 * k + 1];
        }
        const auto a = FitCalibrationLine(ordered);
        const auto b = FitCalibrationLine(shuffled);
        QVERIFY(a && b);
        QCOMPARE(a->count, used);
        QCOMPARE(b->slope, a->slope);
        QCOMPARE(b->constant, a->constant);
        QCOMPARE(b->error, a->error);
    }
}

void TestCalibration::valuesAbove9999()
{
    // Behind a vacant row a measured value above 9999 is left out ...
    const auto withVacant = FitCalibrationLine(table({{"10000", "20001"}, {"1", "3"}, {"3", "7"}}));
    QVERIFY(withVacant);
    QCOMPARE(withVacant->count, 2);
    QCOMPARE(withVacant->slope, 2.0);
    // ... and takes part when all fifteen rows hold data.
    const auto full = FitCalibrationLine(lineOfFifteen(10000));
    QVERIFY(full);
    QCOMPARE(full->count, 15);
    QVERIFY(std::fabs(full->slope - 2.0) < 1e-9);
    // A row with an empty catalogue box takes part as magnitude 0 and pulls the line down.
    const auto pulled = FitCalibrationLine(table({{"1", "10"}, {"3", "14"}, {"12.3", ""}}));
    QVERIFY(pulled);
    QCOMPARE(pulled->count, 3);
    QVERIFY(pulled->slope < 0);
}

QTEST_GUILESS_MAIN(TestCalibration)
#include "tst_calibration.moc"
