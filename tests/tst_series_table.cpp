// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A measuring program's table of the night, as AstroImageJ saves its
// Measurements and as any other program or a spreadsheet writes a plain
// table: what each row gives, every form of no value, and every bad table
// refused with its line and column.
#include "core/series_table.h"

#include <QTest>

#include <cmath>

using namespace quillet;
using SeriesTable::Problem;

namespace {

// AstroImageJ's columns for two apertures, as it saves them (a blank heads
// the row numbers), with the delimiter given.
QByteArray aij(const QList<QByteArray> &rows, char delimiter = '\t')
{
    QByteArray text = " \tLabel\tslice\tSaturated\tJ.D.-2400000\tJD_UTC\tHJD_UTC\tAIRMASS\t"
                      "Source-Sky_T1\tSource_Error_T1\tSource-Sky_C2\tSource_Error_C2\n";
    for (const QByteArray &row : rows)
        text += row + '\n';
    return text.replace('\t', delimiter);
}

} // namespace

class TestSeriesTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("time"); // the time column
        QTest::addColumn<QString>("stars");
        QTest::addColumn<QString>("first"); // label|jd|hjd|airmass|saturated|value, value...
        const QByteArray row = "1\tss_001.fits\t1\t0\t61382.350000\t2461382.350000\t"
                               "2461382.353000\t1.200000\t10000.000000\t100.0\t1000.000000\t31.6";
        QTest::newRow("AstroImageJ, tabs") << aij({row}) << "JD_UTC"
                                           << "T1,C2"
                                           << "ss_001.fits|2461382.35|2461382.353|1.2|0|-10,-7.5";
        QTest::newRow("AstroImageJ, commas, CR LF")
            << aij({QByteArray(row).replace('\t', ',')}, ',').replace("\n", "\r\n") << "JD_UTC"
            << "T1,C2"
            << "ss_001.fits|2461382.35|2461382.353|1.2|0|-10,-7.5";
        QTest::newRow("AstroImageJ without JD_UTC")
            << aij({row}).replace("\tJD_UTC", "\tJD_XXX") << "J.D.-2400000"
            << "T1,C2"
            << "ss_001.fits|2461382.35|2461382.353|1.2|0|-10,-7.5";
        QTest::newRow("AstroImageJ: saturated, no flux, NaN")
            << aij({"1\ta\t1\t65535\t\t2461382.35\tNaN\tNaN\t0\t0\t-5\t1"}) << "JD_UTC"
            << "T1,C2"
            << "a|2461382.35|||1|inf,inf";
        QTest::newRow("plain, commas")
            << QByteArray("JD,file,airmass,V,C1,C2\n2461382.35,a.fits,1.1,-9.5,-11,-10\n") << "JD"
            << "V,C1,C2"
            << "a.fits|2461382.35||1.1|0|-9.5,-11,-10";
        QTest::newRow("plain, blanks, DATE-OBS, comments") << QByteArray(
            "# from a spreadsheet\nDATE-OBS  label  V  C1\n"
            "2026-12-07T20:24:00  a  -9.5  -11\n") << "DATE-OBS"
                                                           << "V,C1"
                                                           << "a|2461382.35|||0|-9.5,-11";
        QTest::newRow("plain, tabs, HJD, every no value")
            << QByteArray("HJD\tV\tC1\tC2\tC3\n2461382.35\t\"-9.5\"\tnan\tna\t99.999\n") << "HJD"
            << "V,C1,C2,C3"
            << "||2461382.35||0|-9.5,none,none,none";
        QTest::newRow("plain, an empty cell, a trailing delimiter")
            << QByteArray("JD,V,C1,\n2461382.35,,+1.5e1,\n") << "JD"
            << "V,C1"
            << "|2461382.35|||0|none,15";
    }

    void reads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, time);
        QFETCH(QString, stars);
        QFETCH(QString, first);
        const SeriesTable::Read read = SeriesTable::read(bytes);
        QVERIFY2(read.table,
            qPrintable(QStringLiteral("problem %1 line %2 column %3")
                           .arg(int(read.problem))
                           .arg(read.line)
                           .arg(read.column)));
        const SeriesTable::Table &t = *read.table;
        QCOMPARE(t.timeColumn, time);
        QCOMPARE(t.stars.join(u','), stars);
        const SeriesTable::Image &image = t.images.front();
        const auto text
            = [](std::optional<double> v) { return v ? QString::number(*v, 'g', 12) : QString(); };
        QStringList values;
        for (qsizetype s = 0; s < t.stars.size(); ++s) {
            const double v = t.value(0, s);
            values << (SeriesTable::noValue(v)        ? QStringLiteral("none")
                    : SeriesTable::fluxNotPositive(v) ? QStringLiteral("inf")
                                                      : QString::number(v, 'g', 12));
        }
        QCOMPARE(QStringList({image.label, text(image.jd), text(image.hjd), text(image.airmass),
                                 QString::number(image.saturated), values.join(u',')})
                     .join(u'|'),
            first);
    }

    // A magnitude is -2.5 log10 of the flux, computed as written.
    void magnitudeOfFlux()
    {
        const double flux = 123456.789;
        const auto read
            = SeriesTable::read(aij({"1\ta\t1\t0\t\t2461382.35\t\t\t123456.789\t1\t2\t1"}));
        QCOMPARE(read.table->value(0, 0), -2.5 * std::log10(flux));
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Problem>("problem");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("column");
        QTest::newRow("empty") << QByteArray("\n\n") << Problem::NoHeader << 0 << "";
        QTest::newRow("no time column")
            << QByteArray("X,V,C1\n1,2,3\n") << Problem::NoTimeColumn << 1 << "";
        QTest::newRow("no star column")
            << QByteArray("JD,label\n2461382.35,a\n") << Problem::NoStarColumn << 1 << "";
        QTest::newRow("duplicated column")
            << QByteArray("JD,V,C1,V\n") << Problem::DuplicateColumn << 1 << "V";
        QTest::newRow("ragged") << QByteArray("JD,V,C1\n2461382.35,1,2\n2461382.36,1\n")
                                << Problem::Ragged << 3 << "";
        QTest::newRow("infinite") << aij({"1\ta\t1\t0\t\t2461382.35\t\t\tInf\t1\t2\t1"})
                                  << Problem::NotANumber << 2 << "Source-Sky_T1";
        QTest::newRow("a word") << QByteArray("JD,V,C1\n2461382.35,-9.5,bright\n")
                                << Problem::NotANumber << 2 << "C1";
        QTest::newRow("a date that is none") << QByteArray("DATE-OBS V C1\n2026-13-07 1 2\n")
                                             << Problem::NotANumber << 2 << "DATE-OBS";
        QTest::newRow("invalid UTF-8")
            << QByteArray("JD,V,C1\n2461382.35,1,2\nx\xff,1,2\n") << Problem::NotUtf8 << 3 << "";
        QTest::newRow("over 64 MiB")
            << QByteArray("JD,V\n") + QByteArray(SeriesTable::ReadLimit, '\n') << Problem::TooLarge
            << 0 << "";
        QTest::newRow("over 100,000 rows")
            << QByteArray("JD,V\n")
                + QByteArray("2461382.35,1\n").repeated(SeriesTable::RowLimit + 1)
            << Problem::TooManyRows << SeriesTable::RowLimit + 2 << "";
    }

    void refuses()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Problem, problem);
        QFETCH(int, line);
        QFETCH(QString, column);
        const SeriesTable::Read read = SeriesTable::read(bytes);
        QVERIFY(!read.table);
        QCOMPARE(read.problem, problem);
        QCOMPARE(read.line, line);
        QCOMPARE(read.column, column);
    }
};

QTEST_GUILESS_MAIN(TestSeriesTable)
#include "tst_series_table.moc"
