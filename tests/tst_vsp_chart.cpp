// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A chart's photometry table as VSP answers it, the band for each filter, and
// what a star field keeps of the chart: rows that know their star as long as
// their catalogue text is the chart's.
#include "core/star_chart.h"
#include "core/vsp_chart.h"
#include "report/field_chart.h"
#include "test_support.h"

using namespace quillet;
using VspChart::Problem;

namespace {

QByteArray realAnswer()
{
    return test::readFile(QStringLiteral(QUILLET3_TEST_DATA "/vsp-ss-cyg.json"));
}

// The chart's first n stars by V, as "表に入れる" puts them into rows 1..n.
StarChart::FieldChart importedFirst(int n)
{
    const VspChart::Chart chart = *VspChart::read(realAnswer()).chart;
    return StarChart::import(chart, realAnswer(), QStringLiteral("V"),
        VspChart::byMagnitude(chart, QStringLiteral("V")).mid(0, n))
        .chart;
}

} // namespace

class TestVspChart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Order, bands and comments are the windows' and the command line's
    // tests; here what only the reader sees.
    void readsTheRealAnswer()
    {
        const VspChart::Read read = VspChart::read(realAnswer());
        QVERIFY(read.chart);
        QCOMPARE(read.chart->chartId + read.chart->auid, QStringLiteral("X28092AFQ000-BCM-129"));
        QCOMPARE(*read.chart->stars[0].band(QStringLiteral("V"))->error, 0.015);
        QVERIFY(!read.chart->stars[4].band(QStringLiteral("B"))->error); // "error": null
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Problem>("problem");
        QTest::addColumn<QString>("detail");
        const QByteArray star = R"({"auid":"A-1","label":"82","bands":[{"band":"V","mag":8.2}]})";
        const auto chart = [](const QByteArray &stars) {
            return QByteArray(R"({"chartid":"X1","photometry":[)") + stars + "]}";
        };
        QTest::newRow("not JSON") << QByteArray("<html>502</html>") << Problem::NotJson << "";
        QTest::newRow("cut short") << chart(star).chopped(3) << Problem::NotJson << "";
        QTest::newRow("VSP's error answer")
            << QByteArray(R"({"errors":["Unknown star"]})") << Problem::NotAChart << "";
        QTest::newRow("no photometry")
            << QByteArray(R"({"chartid":"X1","photometry":{}})") << Problem::NoPhotometry << "";
        QTest::newRow("0 stars") << chart("") << Problem::NoStars << "";
        QTest::newRow("no label") << chart(star + R"(,{"auid":"A-2"})") << Problem::StarWithoutLabel
                                  << "2";
        QTest::newRow("no AUID") << chart(R"({"label":"95"})") << Problem::StarWithoutAuid << "95";
        QTest::newRow("magnitude a word")
            << chart(R"({"auid":"A-1","label":"82","bands":[{"band":"B","mag":"bright"}]})")
            << Problem::MagnitudeNotANumber << "82 B";
        QTest::newRow("duplicated label")
            << chart(star + R"(,{"auid":"A-2","label":"82"})") << Problem::DuplicateLabel << "82";
        QTest::newRow("invalid UTF-8")
            << chart(R"({"auid":"A-1","label":")" + QByteArray("\xff") + R"("})")
            << Problem::NotUtf8 << "";
        QTest::newRow("over 4 MiB")
            << chart(star) + QByteArray(VspChart::ReadLimit, ' ') << Problem::TooLarge << "";
    }

    void refuses()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Problem, problem);
        QFETCH(QString, detail);
        const VspChart::Read read = VspChart::read(bytes);
        QVERIFY(!read.chart);
        QCOMPARE(read.problem, problem);
        if (!detail.isEmpty())
            QCOMPARE(read.detail, detail);
    }

    void bandForFilter()
    {
        const QStringList filters {"V", "cv", "TG", "B", "TB", "R", "CR", "TR", "I", "J", "SG"};
        QStringList bands;
        for (const QString &filter : filters)
            bands << VspChart::bandFor(filter);
        QCOMPARE(bands, QStringList({"V", "V", "V", "B", "B", "Rc", "Rc", "Rc", "Ic", "J", "SG"}));
    }

    void rowsKnowTheirStar()
    {
        const StarChart::FieldChart chart = importedFirst(3);
        QStringList texts = test::table({{"", " 8.559 "}, {"2.5", "9.212"}, {"3", "10.07"}});
        QCOMPARE(StarChart::labels(chart, texts),
            (QMap<int, QString> {{1, QStringLiteral("86")}, {2, QStringLiteral("92")}}));
        QCOMPARE(StarChart::changedRows(chart, texts), QList<int>({3}));
        // Emptied, a row is no star, and nothing was changed by hand.
        texts[3].clear();
        QCOMPARE(StarChart::changedRows(chart, texts), QList<int>({3}));
        QCOMPARE(StarChart::labels(chart, texts).keys(), QList<int>({1}));
        QVERIFY(!StarChart::deserialize(R"({"chart":{},"rows":[]})"));
    }

    // KNAME, KREFERR and CHART come from the chart only where nothing is
    // typed, and only while the check row is the chart's star.
    void recordFromChart_data()
    {
        QTest::addColumn<QString>("catalogues"); // rows 1..3
        QTest::addColumn<int>("checkRow");
        QTest::addColumn<QString>("typedName");
        QTest::addColumn<QString>("typedChart");
        QTest::addColumn<QString>("given"); // KNAME|CHART|KREFERR
        const char *rows[][6] = {
            {"nothing typed", "8.559,9.212,10.069", "3", "", "", "000-BCM-156|X28092AFQ|0.041"},
            {"name typed", "8.559,9.212,10.069", "3", "K", "", "K|X28092AFQ|"},
            {"chart typed", "8.559,9.212,10.069", "3", "", "X9", "000-BCM-156|X9|0.041"},
            {"the AUID typed", "8.559,9.212,10.069", "3", " 000-BCM-156", "",
                " 000-BCM-156|X28092AFQ|0.041"},
            {"check row changed by hand", "8.559,9.212,10.1", "3", "", "", "|X28092AFQ|"},
            {"no check star", "8.559,9.212,10.069", "0", "", "", "|X28092AFQ|"},
            {"check row not charted", "8.559,9.212,10.069", "4", "", "", "|X28092AFQ|"},
            {"no chart star left", "8.5,9.2,10.1", "1", "", "", "||"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QByteArray(row[2]).toInt()
                                  << QString::fromUtf8(row[3]) << QString::fromUtf8(row[4])
                                  << QString::fromUtf8(row[5]);
    }

    void recordFromChart()
    {
        QFETCH(QString, catalogues);
        QFETCH(int, checkRow);
        QFETCH(QString, typedName);
        QFETCH(QString, typedChart);
        QFETCH(QString, given);
        QStringList texts = test::table({{"1", ""}, {"2", ""}, {"3", ""}, {"4", "12.5"}});
        for (int k = 0; k < 3; ++k)
            texts[2 * k + 1] = catalogues.section(u',', k, k);
        submission::Typed typed;
        typed.checkName = typedName;
        typed.chart = typedChart;
        const QString error = FieldChart::fillFromChart(
            typed, importedFirst(3), texts, checkRow ? std::optional(checkRow) : std::nullopt);
        QCOMPARE(QStringList({typed.checkName, typed.chart, error}).join(u'|'), given);
    }
};

QTEST_GUILESS_MAIN(TestVspChart)
#include "tst_vsp_chart.moc"
