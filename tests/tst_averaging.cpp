// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The averaging of the five result slots.
#include "core/averaging.h"

#include <QTest>

#include <cmath>

using namespace quillet;

class TestAveraging : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void average_data();
    void average();
    void noResult();
};

void TestAveraging::average_data()
{
    QTest::addColumn<QStringList>("slotTexts");
    QTest::addColumn<double>("mean");
    QTest::addColumn<double>("error");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("meanText");
    QTest::addColumn<QString>("errorText");

    const auto s = [](std::initializer_list<const char *> texts) {
        QStringList list;
        for (const char *t : texts)
            list.append(QString::fromUtf8(t));
        return list;
    };
    QTest::newRow("worked example")
        << s({"11.75", "", "11.50", "12.00", ""}) << 11.75 << std::sqrt(0.125 / 3) << 3 << "11.75"
        << "0.20";
    QTest::newRow("one slot") << s({"", "", "12.34", "", ""}) << 12.34 << 0.0 << 1 << "12.34"
                              << "0.00";
    QTest::newRow("position does not matter")
        << s({"", "12.00", "", "", "11.50"}) << 11.75 << 0.25 << 2 << "11.75"
        << "0.25";
    QTest::newRow("slot written as .50") << s({".50", "", "", "", ""}) << 0.5 << 0.0 << 1 << "0.50"
                                         << "0.00";
    QTest::newRow("blank and abc count as 0")
        << s({" ", "abc", "3", "", ""}) << 1.0 << std::sqrt(6.0 / 3) << 3 << "1.00"
        << "1.41";
    QTest::newRow("9999 counts as empty")
        << s({"9999", "2", "4", "", ""}) << 3.0 << 1.0 << 2 << "3.00"
        << "1.00";
    QTest::newRow("above 9999 behind empty")
        << s({"10000", "2", "4", "", ""}) << 3.0 << 1.0 << 2 << "3.00"
        << "1.00";
    QTest::newRow("above 9999 with five occupied")
        << s({"10000", "2", "4", "6", "8"}) << 2004.0
        << std::sqrt(
               (2002.0 * 2002 + 2000.0 * 2000 + 1998.0 * 1998 + 1996.0 * 1996 + 7996.0 * 7996) / 5)
        << 5 << "2004.00"
        << "3998.00";
}

void TestAveraging::average()
{
    QFETCH(QStringList, slotTexts);
    QFETCH(double, mean);
    QFETCH(double, error);
    QFETCH(int, count);
    QFETCH(QString, meanText);
    QFETCH(QString, errorText);
    const auto result = AverageSlots(slotTexts);
    QVERIFY(result);
    QCOMPARE(result->count, count);
    QCOMPARE(result->mean, mean);
    QCOMPARE(result->error, error);
    const AverageTexts shown = AverageSlotTexts(slotTexts);
    QVERIFY(!shown.problem);
    QCOMPARE(shown.mean, meanText);
    QCOMPARE(shown.error, errorText);
}

// Nothing to show: no slot occupied, or a sum beyond the range of a double.
void TestAveraging::noResult()
{
    QCOMPARE(AverageSlotTexts(QStringList(5)).problem, AverageProblem::NoOccupiedSlot);
    const QStringList huge {"11.75", "12.00", "1e308", "1e308", "1"}; // none vacant: all count
    QCOMPARE(AverageSlotTexts(huge).problem, AverageProblem::OutOfRange);
}

QTEST_GUILESS_MAIN(TestAveraging)
#include "tst_averaging.moc"
