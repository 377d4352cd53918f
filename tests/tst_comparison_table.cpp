// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The procedure the fit, the averaging and the graph share: mark, sort, count.
#include "core/comparison_table.h"

#include <QTest>

using namespace quillet;

class TestComparisonTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sortAndCount_data();
    void sortAndCount();
};

void TestComparisonTable::sortAndCount_data()
{
    QTest::addColumn<QList<double>>("keys");
    QTest::addColumn<QList<double>>("partners");
    QTest::addColumn<QList<double>>("sortedKeys");
    QTest::addColumn<QList<double>>("sortedPartners");
    QTest::addColumn<int>("count");

    QTest::newRow("worked example") << QList<double> {3, 9999, 1, 9999, 4, 2}
                                    << QList<double> {12.25, 9999, 9.75, 9999, 14.25, 10.75}
                                    << QList<double> {1, 2, 3, 4, 9999, 9999}
                                    << QList<double> {9.75, 10.75, 12.25, 14.25, 9999, 9999} << 4;
    QTest::newRow("none vacant") << QList<double> {2, 1} << QList<double> {20, 10}
                                 << QList<double> {1, 2} << QList<double> {10, 20} << 2;
    QTest::newRow("all vacant") << QList<double> {9999, 9999} << QList<double> {9999, 9999}
                                << QList<double> {9999, 9999} << QList<double> {9999, 9999} << 0;
    QTest::newRow("above 9999 behind vacant")
        << QList<double> {10000, 9999, 5} << QList<double> {1, 9999, 2}
        << QList<double> {5, 9999, 10000} << QList<double> {2, 9999, 1} << 1;
    QTest::newRow("above 9999 counted without vacant")
        << QList<double> {10000, 5} << QList<double> {1, 2} << QList<double> {5, 10000}
        << QList<double> {2, 1} << 2;
    // The exchange sort is not stable: equal keys may change their partners' order.
    QTest::newRow("equal keys") << QList<double> {2, 1, 2, 1} << QList<double> {1, 2, 3, 4}
                                << QList<double> {1, 1, 2, 2} << QList<double> {2, 4, 3, 1} << 4;
}

void TestComparisonTable::sortAndCount()
{
    QFETCH(QList<double>, keys);
    QFETCH(QList<double>, partners);
    QFETCH(QList<double>, sortedKeys);
    QFETCH(QList<double>, sortedPartners);
    QFETCH(int, count);
    QCOMPARE(SortAndCountBeforeVacant(keys, partners), count);
    QCOMPARE(keys, sortedKeys);
    QCOMPARE(partners, sortedPartners);
}

QTEST_GUILESS_MAIN(TestComparisonTable)
#include "tst_comparison_table.moc"
