// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quillet3-report --series on tables in AstroImageJ's layout (made by
// tests/data/aij_table.py): each image's fit identical to the single-image
// report on that image's values, the drifting star found, the outputs, and
// bad tables refused.
#include "test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

using namespace quillet::test;

namespace {

const QString Generator = QStringLiteral(QUILLET3_TEST_DATA "/aij_table.py");

Run shell(const QString &dir, const QString &script)
{
    return runProgram(QStringLiteral("sh"), dir,
        {QStringLiteral("-c"), QStringLiteral("R=\"$0\"; G=\"$1\"; ") + script,
            qEnvironmentVariable("QUILLET3_REPORT"), Generator});
}

} // namespace

class TestNightSeries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void equalsOneImage_data();
    void equalsOneImage();
    void night_data();
    void night();

private:
    QTemporaryDir m_dir;
    QJsonArray m_images; // --series --check 4 --format json
    QList<QStringList> m_rows; // the table's rows, split
    QStringList m_header;
};

void TestNightSeries::initTestCase()
{
    // Image 5 without C3's value, image 7 saturated.
    const Run made = shell(m_dir.path(),
        "python3 \"$G\" 8 6 > m.xls && python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); "
        "import aij_table; open(\"compdata.txt\", \"w\").write(aij_table.compdata(6))' "
        "\"$(dirname \"$G\")\" && awk -F'\\t' -v OFS='\\t' 'NR == 1 { for (i = 1; i <= NF; i++) "
        "c[$i] = i } NR == 6 { $c[\"Source-Sky_C3\"] = \"NaN\" } NR == 8 { $c[\"Saturated\"] = "
        "65535 } { print }' m.xls > n.xls && $R --series n.xls --check 4 --format json");
    QCOMPARE(made.status, 0);
    m_images = QJsonDocument::fromJson(made.out.toUtf8()).object().value("images").toArray();
    QCOMPARE(m_images.size(), 8);
    const QStringList lines = QString::fromUtf8(readFile(m_dir.filePath("n.xls"))).split(u'\n');
    m_header = lines.first().split(u'\t');
    for (const QString &line : lines.mid(1, 8))
        m_rows << line.split(u'\t');
}

void TestNightSeries::equalsOneImage_data()
{
    QTest::addColumn<int>("image");
    for (int i = 1; i <= 8; ++i)
        QTest::addRow("image %d", i) << i;
}

// The image's values as the single-image report reads them: each aperture's
// -2.5 log10(Source-Sky) in the table's measured boxes (C2 in row 1, ...), T1
// as the variable's value, each as a box shows it (15 significant digits); a
// value the table lacks leaves the row empty.
void TestNightSeries::equalsOneImage()
{
    QFETCH(int, image);
    const QJsonObject series = m_images[image - 1].toObject();
    const QStringList &row = m_rows[image - 1];
    const auto value = [&](const QString &aperture) {
        const QString flux = row[m_header.indexOf("Source-Sky_" + aperture)];
        return flux == QLatin1String("NaN")
            ? QString()
            : QString::number(-2.5 * std::log10(flux.toDouble()), 'g', 15);
    };
    if (row[m_header.indexOf("Saturated")] != QLatin1String("0")) {
        QCOMPARE(series.value("left_out").toString(), QStringLiteral("saturated"));
        return;
    }
    const QStringList catalogue = QString::fromUtf8(readFile(m_dir.filePath("compdata.txt")))
                                      .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QByteArray table;
    for (int k = 0; k < catalogue.size(); ++k) {
        const QString measured = value(QStringLiteral("C%1").arg(k + 2));
        table += (measured.isEmpty() ? QStringLiteral("0,0") : measured + catalogue[k]).toUtf8()
            + "\r\n"; // both 0: a vacant row
    }
    writeFile(m_dir.filePath("one.txt"), table);
    const Run one = runReport(m_dir.path(),
        {"--table", "one.txt", "--check", "4", "--format", "json", "--", value("T1")});
    QCOMPARE(one.status, 0);
    const QJsonObject single = QJsonDocument::fromJson(one.out.toUtf8()).object();
    const QJsonObject v = single.value("variables").toArray().first().toObject();
    // Bit for bit: the same doubles print the same.
    QCOMPARE(series.value("n"), single.value("n"));
    QCOMPARE(series.value("slope"), single.value("slope"));
    QCOMPARE(series.value("constant"), single.value("constant"));
    QCOMPARE(series.value("error"), single.value("rms_error"));
    QCOMPARE(series.value("s"), single.value("s"));
    QCOMPARE(series.value("magnitude"), v.value("magnitude"));
    QCOMPARE(series.value("prediction_error"), v.value("prediction_se"));
    QCOMPARE(series.value("check").toObject().value("o_minus_c"),
        single.value("check").toObject().value("o_minus_c"));
    QCOMPARE(series.value("n").toInt(), image == 5 ? 3 : 4); // C3 out of image 5 alone
}

void TestNightSeries::night_data()
{
    QTest::addColumn<QString>("script"); // $R the program, $G the generator; m.xls, n.xls made
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // in stdout, or stderr when the status is not 0
    const QString json = QStringLiteral(" --format json | python3 -c 'import json, sys; d = "
                                        "json.load(sys.stdin); print(%1)'");
    QTest::newRow("the drifting star found")
        << "python3 \"$G\" 40 6 C4 > d.xls && $R --series d.xls"
            + json.arg("[s[\"row\"] for s in d[\"comparison_stars\"] if s[\"drifts\"]]")
        << 0 << "[3]\n";
    QTest::newRow("JSON keys")
        << "$R --series n.xls --check 4"
            + json.arg("sorted(d), sorted(d[\"source\"]), sorted(d[\"images\"][0]), "
                       "sorted(d[\"comparison_stars\"][0]), sorted(d[\"summary\"]), d[\"source\"]")
        << 0
        << "['comparison_stars', 'images', 'source', 'summary'] ['format', 'images', "
           "'time_column'] ['airmass', 'check', 'constant', 'error', 'flagged', 'hjd', 'index', "
           "'jd', 'label', 'left_out', 'magnitude', 'n', 'prediction_error', 's', 'slope'] "
           "['column', 'drift_per_hour', 'drift_t', 'drifts', 'label', 'mean_residual', 'row', "
           "'sd'] ['check_mean', 'check_sd', 'left_out', 'slope_max', 'slope_median', "
           "'slope_min', 'used'] {'format': 'aij', 'images': 8, 'time_column': 'JD_UTC'}\n";
    QTest::newRow("left out and excluded")
        << "$R --series n.xls --exclude-image 2 --exclude-row 1,3"
            + json.arg("[i[\"left_out\"] for i in d[\"images\"]], [s[\"row\"] for s in "
                       "d[\"comparison_stars\"]], d[\"summary\"][\"used\"]")
        << 0 << "[None, 'excluded', None, None, None, None, 'saturated', None] [2, 4, 5] 6\n";
    QTest::newRow("text, a line per image, then the night")
        << "$R --series n.xls --check 4 | sed -n '1p;8p;10p;19p'" << 0
        << "AstroImageJ の表、画像 8 枚、時刻 JD_UTC\n"
           "    7  ss_cyg_00007.fits     使わない: 飽和\n\n"
           "  5  C6";
    QTest::newRow("AAVSO: one header, a record per used image")
        << "$R --series n.xls --aavso --star 'SS Cyg' --filter V --obscode XYZ | "
           "grep -c -e '^#TYPE' -e '^SS Cyg,2461382.3[0-9]*,'"
        << 0 << "8\n";
    QTest::newRow("VSNET") << "$R --series n.xls --vsnet --star 'SS Cyg' --filter V --obscode XYZ "
                              "| sed -n 1p"
                           << 0 << "CYGSS 20261207.850 ";
    QTest::newRow("a plain table and its mapping")
        << "printf 'JD,V,A,B,C\\n2461382.35,-9,-11,-10,-9.5\\n2461382.36,-9.1,-11,-10,-9.5\\n' > "
           "p.csv && $R --series p.csv --target V --comp A=1 --comp B=2 --comp C=3 | sed -n 2p"
        << 0 << "    1                        2461382.35000  等級 11.000 ± 0.211";
    QTest::newRow("a plain table needs --comp")
        << "printf 'JD,V,A\\n2461382.35,-9,-11\\n' > p.csv && $R --series p.csv --target V" << 2
        << "比較星の列を --comp 列=行 で割り当てて下さい";
    QTest::newRow("a column that is not there")
        << "$R --series n.xls --comp C9=1" << 2 << "n.xls: 表に列 C9 がありません";
    QTest::newRow("ragged") << "head -3 n.xls > r.xls && printf '9\\tx\\n' >> r.xls && "
                               "$R --series r.xls"
                            << 2 << "r.xls:4: 欄の数が見出しと違います（2 / 150）";
    QTest::newRow("a plot") << "$R --series n.xls --plot n.png > /dev/null && test -s n.png && "
                               "echo drawn"
                            << 0 << "drawn";
}

void TestNightSeries::night()
{
    QFETCH(QString, script);
    QFETCH(int, status);
    QFETCH(QString, output);
    const Run run = shell(m_dir.path(), script);
    QVERIFY2(run.status == status, qPrintable(run.out + run.err));
    QVERIFY2((status == 0 ? run.out : run.err).contains(output), qPrintable(run.out + run.err));
}

QTEST_GUILESS_MAIN(TestNightSeries)
#include "tst_night_series.moc"
