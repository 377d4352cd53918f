// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Julian dates: the one valid range, checked before any rounding, and times
// as people and headers write them.
#include "core/julian_date.h"

#include <QTest>

#include <cmath>

using namespace quillet;

namespace {

// The Julian date of a UT day and time, computed apart from the unit.
double jdOf(int y, int m, int d, double seconds)
{
    return double(QDate(y, m, d).toJulianDay()) - 0.5 + seconds / 86400.0;
}

} // namespace

class TestJulianDate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void ofTime_data();
    void ofTime();
    void ofDate();
    void timeText();
    void eveningDate_data();
    void eveningDate();
};

void TestJulianDate::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("decimal") << "2461382.51234" << true;
    QTest::newRow("whole") << "2461382" << true;
    QTest::newRow("blanks around") << " 2461382.5 " << true;
    QTest::newRow("exponent") << "2.46e6" << true; // the table's own number grammar
    QTest::newRow("first Gregorian day") << "2299160.5" << true;
    QTest::newRow("before the Gregorian calendar") << "2299160.4" << false;
    QTest::newRow("last day of 9999") << "5373484.49" << true;
    QTest::newRow("rounds into the year 10000") << "5373484.49999" << false;
    QTest::newRow("1e19: no rounding reaches it") << "1e19" << false;
    QTest::newRow("9.3e15") << "9.3e15" << false;
    QTest::newRow("beyond a double") << "1e999" << false;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("negative") << "-2461382.5" << false;
    QTest::newRow("word") << "tonight" << false;
    QTest::newRow("two points") << "2461.382.5" << false;
    QTest::newRow("full-width digits") << "\uFF12\uFF14\uFF16\uFF11\uFF13\uFF18\uFF12" << false;
    QTest::newRow("empty") << "" << false;
}

void TestJulianDate::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(bool(JulianDate::parse(text)), valid);
    if (valid)
        QVERIFY(JulianDate::inRange(*JulianDate::parse(text)));
}

void TestJulianDate::ofTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("jd"); // 0: refused
    const double evening = jdOf(2026, 12, 7, 21 * 3600 + 34 * 60 + 12);
    QTest::newRow("blank between") << "2026-12-07 21:34:12" << evening;
    QTest::newRow("T between") << "2026-12-07T21:34:12" << evening;
    QTest::newRow("blanks around and between") << "  2026-12-07   21:34:12 " << evening;
    QTest::newRow("INDI's trailing Z")
        << "2018-10-13T21:12:41.560Z" << jdOf(2018, 10, 13, 21 * 3600 + 12 * 60 + 41.56);
    QTest::newRow("no seconds") << "2026-12-07 21:34" << jdOf(2026, 12, 7, 21 * 3600 + 34 * 60);
    QTest::newRow("a leap second") << "2016-12-31T23:59:60.5" << jdOf(2016, 12, 31, 86400.5);
    QTest::newRow("60 s outside a leap second") << "2026-12-07 12:34:60.5" << 0.0;
    QTest::newRow("61 s") << "2016-12-31T23:59:61" << 0.0;
    QTest::newRow("hour 24") << "2026-12-07 24:00:00" << 0.0;
    QTest::newRow("30 February") << "2026-02-30 21:00:00" << 0.0;
    QTest::newRow("old form is a date alone") << "07/12/96 21:00:00" << 0.0;
    QTest::newRow("Z alone") << "Z" << 0.0;
    QTest::newRow("before the Gregorian calendar") << "1582-10-14 12:00:00" << 0.0;
}

void TestJulianDate::ofTime()
{
    QFETCH(QString, text);
    QFETCH(double, jd);
    const auto found = JulianDate::ofTime(text);
    QCOMPARE(found.has_value(), jd != 0);
    if (found)
        QVERIFY2(
            std::fabs(*found - jd) * 86400 < 1e-4, qPrintable(QString::number(*found, 'f', 8)));
}

void TestJulianDate::ofDate()
{
    const auto iso = JulianDate::ofDate(u"2026-12-07");
    QVERIFY(iso && !iso->oldForm);
    QCOMPARE(iso->jd, jdOf(2026, 12, 7, 0));
    // The old FITS form is of the 1900s, and says so.
    const auto old = JulianDate::ofDate(u"07/12/96");
    QVERIFY(old && old->oldForm);
    QCOMPARE(old->jd, jdOf(1996, 12, 7, 0));
    QVERIFY(!JulianDate::ofDate(u"31/02/96"));
}

void TestJulianDate::timeText()
{
    QCOMPARE(
        JulianDate::timeText(jdOf(2026, 12, 7, 77652.4)), QStringLiteral("2026-12-07 21:34:12"));
    // Rounded to the second, into the next day.
    QCOMPARE(
        JulianDate::timeText(jdOf(2026, 12, 31, 86399.6)), QStringLiteral("2027-01-01 00:00:00"));
    QCOMPARE(*JulianDate::ofTime(JulianDate::timeText(2461382.0)), 2461382.0);
}

// The night's file is named after the evening the night began, in local time.
void TestJulianDate::eveningDate_data()
{
    QTest::addColumn<double>("jd");
    QTest::addColumn<int>("offset"); // seconds east of UTC
    QTest::addColumn<QString>("evening");
    const int japan = 9 * 3600;
    QTest::newRow("21:00 in Japan") << jdOf(2026, 12, 7, 12 * 3600) << japan << "20261207";
    QTest::newRow("03:00 in Japan, the next morning")
        << jdOf(2026, 12, 7, 18 * 3600) << japan << "20261207";
    QTest::newRow("11:59 in Japan") << jdOf(2026, 12, 8, 2 * 3600 + 59 * 60) << japan << "20261207";
    QTest::newRow("12:01 in Japan") << jdOf(2026, 12, 8, 3 * 3600 + 60) << japan << "20261208";
    QTest::newRow("02:00 in New York") << jdOf(2026, 12, 8, 7 * 3600) << -5 * 3600 << "20261207";
}

void TestJulianDate::eveningDate()
{
    QFETCH(double, jd);
    QFETCH(int, offset);
    QFETCH(QString, evening);
    QCOMPARE(JulianDate::eveningDate(jd, offset), evening);
}

QTEST_GUILESS_MAIN(TestJulianDate)
#include "tst_julian_date.moc"
