// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/comparison_graph.h"

#include <QTest>

using namespace quillet;

namespace {

QStringList tableAt(std::initializer_list<std::tuple<int, const char *, const char *>> rows)
{
    QStringList texts(30);
    for (const auto &[row, measured, magnitude] : rows) {
        texts[2 * row - 2] = QString::fromUtf8(measured);
        texts[2 * row - 1] = QString::fromUtf8(magnitude);
    }
    return texts;
}

} // namespace

class TestComparisonGraph : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scale_data();
    void scale();
    void readout_data();
    void readout();
};

void TestComparisonGraph::scale_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<double>>("edges"); // left, right, top, bottom
    QTest::addColumn<QList<QPoint>>("dots");

    const QList<QPoint> workedDots {{374, 375}, {2249, 1875}, {4125, 4125}};
    QTest::newRow("worked example") << tableAt({{1, "1", "10"}, {2, "2", "11"}, {3, "3", "12.5"}})
                                    << QList<double> {0.8, 3.2, 9.75, 12.75} << workedDots;
    QTest::newRow("gaps and order irrelevant")
        << tableAt({{4, "3", "12.5"}, {7, "1", "10"}, {12, "2", "11"}})
        << QList<double> {0.8, 3.2, 9.75, 12.75} << workedDots;
    QTest::newRow("negative measured values")
        << tableAt(
               {{1, "-8.5", "9.2"}, {2, "-7.9", "10.1"}, {3, "-7.0", "11.4"}, {4, "-6.2", "12.0"}})
        << QList<double> {-8.73, -5.970000000000001, 8.92, 12.28}
        << QList<QPoint> {{375, 374}, {1353, 1580}, {2820, 3321}, {4125, 4125}};
    QTest::newRow("empty table") << QStringList(30)
                                 << QList<double> {11998.8, -11998.8, 11998.8, -11998.8}
                                 << QList<QPoint> {};
    QTest::newRow("zero rows are vacant")
        << tableAt({{1, "0", "0"}, {2, "abc", ""}})
        << QList<double> {11998.8, -11998.8, 11998.8, -11998.8} << QList<QPoint> {};
    // One value 0: plotted at 0 on that axis.
    QTest::newRow("empty catalogue drawn at 0")
        << tableAt({{1, "1", "10"}, {2, "3", ""}}) << QList<double> {0.8, 3.2, -1.0, 11.0}
        << QList<QPoint> {{374, 4125}, {4125, 375}};
    // Zero span: the axis puts its dots in the middle.
    QTest::newRow("single row") << tableAt({{5, "2", "11"}}) << QList<double> {2, 2, 11, 11}
                                << QList<QPoint> {{2250, 2250}};
    QTest::newRow("same magnitude")
        << tableAt({{1, "1", "10"}, {2, "3", "10"}}) << QList<double> {0.8, 3.2, 10, 10}
        << QList<QPoint> {{374, 2250}, {4125, 2250}};
    QTest::newRow("9999 vacant, above 9999 hidden")
        << tableAt({{1, "1", "10"}, {2, "9999", "5"}, {3, "3", "12"}, {4, "10000", "1"}})
        << QList<double> {0.8, 3.2, 9.8, 12.2} << QList<QPoint> {{374, 374}, {4125, 4125}};
    QTest::newRow("span too wide for a double")
        << tableAt({{1, "-1.7e308", "1"}, {2, "1000", "2"}})
        << QList<double> {-qInf(), 1000 + (1000 + 1.7e308) / 10, 0.9, 2.1}
        << QList<QPoint> {{2250, 374}, {2250, 4125}};
    QTest::newRow("magnitudes too far apart for a double")
        << tableAt({{1, "1", "1e308"}, {2, "2", "-1e308"}})
        << QList<double> {0.9, 2.1, -qInf(), qInf()} << QList<QPoint> {{374, 2250}, {4125, 2250}};
}

void TestComparisonGraph::scale()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<double>, edges);
    QFETCH(QList<QPoint>, dots);
    const ComparisonGraph graph = ScaleComparisonGraph(texts);
    QCOMPARE(graph.edges.PlotLeft, edges[0]);
    QCOMPARE(graph.edges.PlotRight, edges[1]);
    QCOMPARE(graph.edges.PlotTop, edges[2]);
    QCOMPARE(graph.edges.PlotBottom, edges[3]);
    QCOMPARE(graph.dots, dots);
    // Whatever the edges, the read-out shows numbers or "--.--", never NaN or Infinity.
    for (const float corner : {0.f, 4500.f}) {
        const QString readout = CursorReadout(graph.edges, corner, corner);
        QVERIFY2(!readout.contains(QLatin1String("NaN")) && !readout.contains(QLatin1String("Inf")),
            qPrintable(readout));
    }
}

void TestComparisonGraph::readout_data()
{
    QTest::addColumn<QList<double>>("edges");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<QString>("text");

    const QList<double> worked {0.8, 3.2, 9.75, 12.75};
    QTest::newRow("worked 1000,3000") << worked << 1000.f << 3000.f << "X=1.33 / Y=11.75";
    QTest::newRow("worked 375,375") << worked << 375.f << 375.f << "X=1.00 / Y=10.00";
    QTest::newRow("worked origin") << worked << 0.f << 0.f << "X=.80 / Y=9.75";
    QTest::newRow("worked far corner") << worked << 4500.f << 4500.f << "X=3.20 / Y=12.75";
    const QList<double> empty {11998.8, -11998.8, 11998.8, -11998.8};
    QTest::newRow("empty origin") << empty << 0.f << 0.f << "X=11998.80 / Y=11998.80";
    QTest::newRow("empty far corner") << empty << 4500.f << 4500.f << "X=-11998.80 / Y=-11998.80";
    QTest::newRow("negative values") << QList<double> {-8.73, -5.970000000000001, 8.92, 12.28}
                                     << 0.f << 4500.f << "X=-8.73 / Y=12.28";
    QTest::newRow("many integer digits") << QList<double> {123456.789, 123456.789, -0.5, 0.5}
                                         << 10.f << 2250.f << "X=123456.79 / Y=.00";
    QTest::newRow("outside the plot") << worked << -4500.f << 9000.f << "X=-1.60 / Y=15.75";
    QTest::newRow("fractional twips") << worked << 7.5f << 22.5f << "X=.80 / Y=9.77";
    QTest::newRow("infinite span")
        << QList<double> {-qInf(), qInf(), 0, 1} << 0.f << 0.f << "X=--.-- / Y=.00";
}

void TestComparisonGraph::readout()
{
    QFETCH(QList<double>, edges);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(QString, text);
    QCOMPARE(CursorReadout(PlotEdges {edges[0], edges[1], edges[2], edges[3]}, x, y), text);
}

QTEST_GUILESS_MAIN(TestComparisonGraph)
#include "tst_comparison_graph.moc"
