// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Records added to a night's AAVSO file in the file's own form, or refused
// with the reason: every file the light curve reads can be appended to.
#include "core/aavso_file.h"
#include "core/aavso_reader.h"
#include "test_support.h"

#include <QTest>

using namespace quillet;
using namespace quillet::test;
using AavsoExtended::Field;
using AavsoFile::Refusal;

namespace {

const QString Record = QStringLiteral(
    "SS Cyg,2461382.51234,11.750,0.040,V,NO,STD,ENSEMBLE,na,na,na,1.2,na,X1,|SLOPE=1.5");
const AavsoExtended::Header Ours {QStringLiteral("XYZ"), QStringLiteral("q 1"),
    QStringLiteral("CCD"), AavsoExtended::DateKind::Jd};
const QByteArray OurHeader = AavsoExtended::headerText(Ours).toUtf8();

} // namespace

class TestAavsoFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void append_data();
    void append();
    void readsBackWhatItAdds_data();
    void readsBackWhatItAdds();
    void duplicates_data();
    void duplicates();
};

void TestAavsoFile::append_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("addition"); // empty: refused
    QTest::addColumn<int>("refusal"); // -1: none
    QTest::addColumn<QString>("detail");
    const QByteArray head("#TYPE=Extended\n#OBSCODE=XYZ\n#DATE=JD\n#OBSTYPE=CCD\n");
    const QByteArray ours = Record.toUtf8();
    QTest::newRow("empty file: our header") << QByteArray() << OurHeader + ours + "\n" << -1 << "";
    QTest::newRow("blank lines: our header in their place") << QByteArray(
        "\n \r\n") << OurHeader + ours + "\n" << -1 << "";
    QTest::newRow("byte-order mark kept")
        << QByteArray("\xEF\xBB\xBF") << "\xEF\xBB\xBF" + OurHeader + ours + "\n"
        << -1 << "";
    QTest::newRow("ours") << OurHeader + "A,1,2\n" << ours + "\n" << -1 << "";
    QTest::newRow("comma by name") << head + "#DELIM=comma\nA,1,2\n" << ours + "\n" << -1 << "";
    QTest::newRow("tab by name, CR LF")
        << QByteArray("#TYPE=Extended\r\n#OBSCODE=xyz\r\n#DELIM=tab\r\nA\t1\t2\r\n")
        << QByteArray(ours).replace(',', '\t') + "\r\n"
        << -1 << "";
    QTest::newRow("; by its code, no line end at the end")
        << head + "#DELIM=59\nA;1;2"
        << "\n" + QByteArray(ours).replace(',', ';') + "\n"
        << -1 << "";
    QTest::newRow("! and CR alone") << QByteArray("#TYPE=Extended\r#OBSCODE=XYZ\r#DELIM=!\rA!1!2\r")
                                    << QByteArray(ours).replace(',', '!') + "\r" << -1 << "";
    QTest::newRow("columns of their own order")
        << head
            + "#NAME,FILT,DATE,MAG,MERR,TRANS,MTYPE,CNAME,CMAG,KNAME,KMAG,AIRMASS,GROUP,"
              "CHART,NOTES\n"
        << QByteArray("SS Cyg,V,2461382.51234,11.750,0.040,NO,STD,ENSEMBLE,na,na,na,1.2,na,X1,"
                      "|SLOPE=1.5\n")
        << -1 << "";
    QTest::newRow("five columns: TRANS would be lost")
        << head + "#NAME,DATE,MAG,MERR,FILT\n"
        << QByteArray() << int(Refusal::MissingColumn) << "TRANS";
    QTest::newRow("a column of no field")
        << head + "#NAME,DATE,MAG,COMMENT\n"
        << QByteArray() << int(Refusal::UnknownColumn) << "COMMENT";
    QTest::newRow("| is the delimiter, NOTES hold it")
        << head + "#DELIM=|\n"
        << QByteArray() << int(Refusal::DelimiterInField) << "NOTES";
    QTest::newRow("another observer") << QByteArray("#TYPE=Extended\n#OBSCODE=ABC\n")
                                      << QByteArray() << int(Refusal::OtherObscode) << "ABC";
    QTest::newRow("HJD dates") << QByteArray("#TYPE=Extended\n#OBSCODE=XYZ\n#DATE=HJD\n")
                               << QByteArray() << int(Refusal::OtherDateKind) << "HJD";
    QTest::newRow("DSLR") << QByteArray("#TYPE=Extended\n#OBSCODE=XYZ\n#OBSTYPE=DSLR\n")
                          << QByteArray() << int(Refusal::OtherObstype) << "DSLR";
    QTest::newRow("a delimiter that names nothing")
        << QByteArray("#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=#\n") << QByteArray()
        << int(Refusal::BadDelimiter) << "#";
    QTest::newRow("notes") << QByteArray("my notes\n") << QByteArray() << int(Refusal::NotAavso)
                           << "";
    QTest::newRow("visual") << QByteArray("#TYPE=Visual\n#OBSCODE=XYZ\n") << QByteArray()
                            << int(Refusal::NotAavso) << "Visual";
}

void TestAavsoFile::append()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, addition);
    QFETCH(int, refusal);
    QFETCH(QString, detail);
    const AavsoFile::Plan plan = AavsoFile::planAppend(before, Ours, {aavsoFields(Record)});
    QCOMPARE(plan.refusal ? int(*plan.refusal) : -1, refusal);
    QCOMPARE(plan.detail, detail);
    QCOMPARE(plan.addition, addition);
    QCOMPARE(plan.records, AavsoFile::countRecords(before) + (refusal < 0 ? 1 : 0));
}

// What the append adds to a file in another delimiter, line end and column
// order reads back with the light curve's reader as the record it was.
void TestAavsoFile::readsBackWhatItAdds_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::newRow("tab") << QByteArray("#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=tab\n");
    QTest::newRow(";, CR LF, columns")
        << QByteArray("#TYPE=Extended\r\n#OBSCODE=XYZ\r\n#DELIM=;\r\n#NAME;MAG;DATE;FILT;MERR;"
                      "TRANS;MTYPE;CNAME;CMAG;KNAME;KMAG;AMASS;GROUP;CHART;NOTES\r\n");
}

void TestAavsoFile::readsBackWhatItAdds()
{
    QFETCH(QByteArray, before);
    const AavsoFile::Plan plan = AavsoFile::planAppend(before, Ours, {aavsoFields(Record)});
    QVERIFY(!plan.refusal);
    const AavsoReader::Read read = AavsoReader::read(before + plan.addition);
    QCOMPARE(read.records.size(), 1);
    QVERIFY(read.skipped.isEmpty());
    const AavsoReader::Record &r = read.records.first();
    QCOMPARE(r.name, QStringLiteral("SS Cyg"));
    QCOMPARE(r.jd, 2461382.51234);
    QCOMPARE(r.mag, 11.75);
    QCOMPARE(r.filter, QStringLiteral("V"));
    QCOMPARE(*r.airmass, 1.2);
}

// A record of the same star, filter and date (at the precision of the less
// precise) is found, with the magnitude the file gives it.
void TestAavsoFile::duplicates_data()
{
    QTest::addColumn<QByteArray>("record"); // in the file
    QTest::addColumn<int>("found"); // -1: none; else 1 same magnitude, 0 another
    const QByteArray head = OurHeader;
    QTest::newRow("the same") << QByteArray(Record.toUtf8()) << 1;
    QTest::newRow("another magnitude")
        << QByteArray("SS Cyg,2461382.51234,11.709,0.040,V,NO,STD,ENSEMBLE,na") << 0;
    QTest::newRow("written with fewer decimals")
        << QByteArray("ss cyg,2461382.5123,11.709,0.040,v") << 0;
    QTest::newRow("another time") << QByteArray("SS Cyg,2461382.51334,11.750,0.040,V") << -1;
    QTest::newRow("another filter") << QByteArray("SS Cyg,2461382.51234,11.750,0.040,B") << -1;
}

void TestAavsoFile::duplicates()
{
    QFETCH(QByteArray, record);
    QFETCH(int, found);
    const QByteArray file = OurHeader + record + "\n";
    const AavsoFile::Plan refused = AavsoFile::planAppend(file, Ours, {aavsoFields(Record)});
    QCOMPARE(refused.duplicates.size(), found < 0 ? 0 : 1);
    if (found < 0) {
        QVERIFY(!refused.refusal);
        return;
    }
    QCOMPARE(*refused.refusal, Refusal::Duplicate);
    QVERIFY(refused.addition.isEmpty());
    QCOMPARE(refused.duplicates[0].sameMagnitude, found == 1);
    QCOMPARE(refused.duplicates[0].magnitude, QString::fromUtf8(record.split(',')[2]));
    QCOMPARE(refused.duplicates[0].line, 8);
    // Asked and confirmed: added; skipped: nothing to add, and no refusal.
    const AavsoFile::Plan added
        = AavsoFile::planAppend(file, Ours, {aavsoFields(Record)}, AavsoFile::Duplicates::Append);
    QVERIFY(!added.refusal);
    QCOMPARE(added.added, 1);
    const AavsoFile::Plan skipped
        = AavsoFile::planAppend(file, Ours, {aavsoFields(Record)}, AavsoFile::Duplicates::Skip);
    QVERIFY(!skipped.refusal);
    QCOMPARE(skipped.added, 0);
    QVERIFY(skipped.addition.isEmpty());
}

QTEST_GUILESS_MAIN(TestAavsoFile)
#include "tst_aavso_file.moc"
