// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// VSNET's report line: the date, the star's name constellation first.
#include "core/calibration_report.h"
#include "core/vsnet.h"
#include "test_support.h"

#include <QTest>

using namespace quillet;
using namespace quillet::test;

class TestVsnet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void date_data();
    void date();
    void line();
    void starName_data();
    void starName();
};

void TestVsnet::date_data()
{
    QTest::addColumn<double>("jd");
    QTest::addColumn<QString>("date");
    QTest::newRow("J2000.0") << 2451545.0 << "20000101.500";
    QTest::newRow("tonight") << 2461382.51234 << "20261208.012";
    QTest::newRow("leap day") << 2451603.5 << "20000229.000";
    QTest::newRow("evening of new year's eve") << 2451544.25 << "19991231.750";
    QTest::newRow("rounds into the next day") << 2451544.49999 << "20000101.000";
    QTest::newRow("first Gregorian day") << 2299160.5 << "15821015.000";
}

void TestVsnet::date()
{
    QFETCH(double, jd);
    QFETCH(QString, date);
    QCOMPARE(Vsnet::date(jd), date);
}

void TestVsnet::line()
{
    const ReportOutcome outcome = MakeCalibrationReport(workedTable(), {QStringLiteral("2.5")});
    SubmissionRecord::Record s = ssCygRecord();
    s.filter = QStringLiteral("Rc");
    QCOMPARE(Vsnet::line(s, outcome.report.variables[0]),
        QStringLiteral("CYGSS 20261208.012 11.750Rc XYZ"));
}

void TestVsnet::starName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("constellationFirst");
    QTest::newRow("SS Cyg") << "SS Cyg"
                            << "CYGSS" << true;
    QTest::newRow("V1039 Cen") << "V1039 Cen"
                               << "CENV1039" << true;
    QTest::newRow("alpha Her") << "alpha Her"
                               << "HERalpha" << true;
    QTest::newRow("Greek letter") << "\u03B1 Ori"
                                  << "ORIalpha" << true;
    QTest::newRow("capital Greek, index") << "\u0391 1 Cap"
                                          << "CAPalpha1" << true;
    QTest::newRow("constellation in any case") << "ss CYG"
                                               << "CYGss" << true;
    QTest::newRow("two-case constellation") << "R CrB"
                                            << "CRBR" << true;
    QTest::newRow("blanks around and between") << "  SS   Cyg "
                                               << "CYGSS" << true;
    QTest::newRow("nova") << "Nova Aql 1995"
                          << "AQLnova1995" << true;
    QTest::newRow("second nova") << "nova Aql 1995-2"
                                 << "AQLnova1995-2" << true;
    QTest::newRow("NSV") << "NSV 389"
                         << "NSV00389" << true;
    QTest::newRow("HIP") << "HIP 33789"
                         << "HIP033789" << true;
    QTest::newRow("already VSNET") << "CYGSS"
                                   << "CYGSS" << true;
    QTest::newRow("already VSNET, Greek") << "HERalpha"
                                          << "HERalpha" << true;
    QTest::newRow("no constellation") << "Foo Bar"
                                      << "FooBar" << false;
    QTest::newRow("constellation last, no blank") << "SSCyg"
                                                  << "SSCyg" << false;
}

void TestVsnet::starName()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(bool, constellationFirst);
    const Vsnet::Name vsnet = Vsnet::starName(typed);
    QCOMPARE(vsnet.name, name);
    QCOMPARE(vsnet.constellationFirst, constellationFirst);
}

QTEST_GUILESS_MAIN(TestVsnet)
#include "tst_vsnet.moc"
