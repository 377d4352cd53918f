// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The AAVSO Extended format's one home: the record this program writes, the
// limits of its fields, and the reader of what a file says.
#include "core/aavso_extended.h"
#include "core/calibration_report.h"
#include "test_support.h"

#include <QTest>

using namespace quillet;
using namespace quillet::test;
using AavsoExtended::Field;

namespace {

// The worked example's stars with a fifth, as the report-line dialog's tests use them.
QStringList fiveStars()
{
    return table({{"3", "12.25"}, {"1", "9.75"}, {"4", "14.25"}, {"2", "10.75"}, {"5", "12.2"}});
}

SubmissionRecord::Record record()
{
    SubmissionRecord::Record r = ssCygRecord();
    r.chart = QStringLiteral("X12345ABC");
    r.checkName = QStringLiteral("000-BCT-001");
    return r;
}

} // namespace

class TestAavsoExtended : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void header();
    void ensembleRecord();
    void fieldLimits_data();
    void fieldLimits();
    void reader_data();
    void reader();
};

void TestAavsoExtended::header()
{
    const QString text = AavsoExtended::headerText({QStringLiteral("XYZ"),
        QStringLiteral("quillet3 1.0.0"), QStringLiteral("DSLR"), AavsoExtended::DateKind::Hjd});
    QCOMPARE(text,
        QStringLiteral("#TYPE=Extended\n#OBSCODE=XYZ\n#SOFTWARE=quillet3 1.0.0\n#DELIM=,\n"
                       "#DATE=HJD\n#OBSTYPE=DSLR\n#NAME,DATE,MAG,MERR,FILT,TRANS,MTYPE,CNAME,"
                       "CMAG,KNAME,KMAG,AMASS,GROUP,CHART,NOTES\n"));
}

// Under ENSEMBLE the check star's KMAG is its magnitude from the same line
// (row 4, measured 2: 0.8042857 x 2 + 9.4985714 = 11.107), never its
// measured value; NOTES carry what the line was made of, without 17 digits.
void TestAavsoExtended::ensembleRecord()
{
    const ReportOutcome outcome = MakeCalibrationReport(fiveStars(), {QStringLiteral("2.5")}, 4);
    QVERIFY(!outcome.problem);
    const AavsoExtended::Fields f
        = AavsoExtended::ensembleRecord(record(), outcome.report, outcome.report.variables[0]);
    QCOMPARE(AavsoExtended::line(f),
        QStringLiteral("SS Cyg,2461382.51234,11.509,%1,V,NO,STD,ENSEMBLE,na,000-BCT-001,11.107,"
                       "na,na,X12345ABC,|SLOPE=0.804286|N=4|S=1.50278|VMAGINS=2.5|KMAGINS=2|"
                       "KREFMAG=10.75")
            .arg(*outcome.report.variables[0].predictionSe, 0, 'f', 3));

    // Without a check star's name, and without a chart or airmass: na.
    SubmissionRecord::Record bare = record();
    bare.checkName.clear();
    bare.chart.clear();
    const AavsoExtended::Fields g
        = AavsoExtended::ensembleRecord(bare, outcome.report, outcome.report.variables[0]);
    QCOMPARE((QStringList {at(g, Field::Kname), at(g, Field::Kmag), at(g, Field::Amass),
                 at(g, Field::Chart)}),
        (QStringList {"na", "na", "na", "na"}));
    QVERIFY(!at(g, Field::Notes).contains(QStringLiteral("KMAGINS")));
}

// Every limited field at its limit fits, one character more is named with
// its limit and length.
void TestAavsoExtended::fieldLimits_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<int>("limit");
    const std::pair<Field, int> limits[] = {{Field::StarId, 30}, {Field::Date, 16}, {Field::Mag, 8},
        {Field::Merr, 6}, {Field::Cname, 20}, {Field::Cmag, 8}, {Field::Kname, 20},
        {Field::Kmag, 8}, {Field::Amass, 7}, {Field::Group, 5}, {Field::Chart, 20}};
    for (const auto &[field, limit] : limits)
        QTest::newRow(qPrintable(AavsoExtended::fieldName(field))) << field << limit;
}

void TestAavsoExtended::fieldLimits()
{
    QFETCH(Field, field);
    QFETCH(int, limit);
    AavsoExtended::Fields f;
    f.fill(QStringLiteral("na"));
    at(f, field) = QString(limit, u'1');
    QVERIFY(!AavsoExtended::overlong(f));
    at(f, field) += u'1';
    const auto over = AavsoExtended::overlong(f);
    QVERIFY(over);
    QCOMPARE(over->field, field);
    QCOMPARE(over->limit, limit);
    QCOMPARE(over->length, qsizetype(limit + 1));
}

// What a file says, as other programs write it: the record's fields by the
// delimiter and columns in force, the parameters in any case.
void TestAavsoExtended::reader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("fields"); // the last record: STARID|DATE|MAG|FILT|KMAG
    QTest::addColumn<QString>("state"); // type obscode delimiter date obstype
    QTest::addColumn<QByteArray>("lineEnd");
    const QByteArray head("#TYPE=Extended\n#OBSCODE=XYZ\n#DATE=JD\n#OBSTYPE=CCD\n");
    QTest::newRow("ours") << head + "#DELIM=,\nX,2461382.5,9.1,0.1,V,NO,STD,ENSEMBLE,na,K,9.5\n"
                          << "X|2461382.5|9.1|V|9.5"
                          << "Extended XYZ , JD CCD" << QByteArray("\n");
    QTest::newRow("comma by name") << head + "#DELIM=comma\nX,2461382.5,9.1,0.1,V\n"
                                   << "X|2461382.5|9.1|V|"
                                   << "Extended XYZ , JD CCD" << QByteArray("\n");
    QTest::newRow("tab by name, CR LF") << QByteArray(
        "#TYPE=Extended\r\n#OBSCODE=XYZ\r\n#DELIM=tab\r\nX\t2461382.5\t9.1\tna\tB\r\n")
                                        << "X|2461382.5|9.1|B|"
                                        << "Extended XYZ \t  " << QByteArray("\r\n");
    QTest::newRow("semicolon by its code, CR alone")
        << QByteArray("#type=extended\r#obscode=abc\r#delim=59\rX;2461382.5;9.1;na;R\r")
        << "X|2461382.5|9.1|R|"
        << "Extended abc ;  " << QByteArray("\r");
    QTest::newRow("! as itself, byte-order mark")
        << QByteArray("\xEF\xBB\xBF#TYPE=Extended\n#DELIM=!\nX!2461382.5!9.1!na!I\n")
        << "X|2461382.5|9.1|I|"
        << "Extended  !  " << QByteArray("\n");
    QTest::newRow("columns named in another order, AIRMASS") << QByteArray(
        "#TYPE=Extended\n#NAME,FILT,DATE,MAG,AIRMASS,KMAG\nX,V,2461382.5,9.1,1.2,9.9\n")
                                                             << "X|2461382.5|9.1|V|9.9"
                                                             << "Extended  ,  " << QByteArray("\n");
    QTest::newRow("ASTAP's BAA form")
        << QByteArray("#TYPE=AAVSO EXT BAA V1.00\n#OBSCODE=XYZ\nX,2461382.5,9.1,na,V\n")
        << "X|2461382.5|9.1|V|"
        << "Extended XYZ ,  " << QByteArray("\n");
    QTest::newRow("visual file") << QByteArray("#TYPE=Visual\nX,2461382.5,9.1,na,V\n")
                                 << "X|2461382.5|9.1|V|"
                                 << "Other  ,  " << QByteArray("\n");
    QTest::newRow("HJD") << QByteArray("#TYPE=Extended\n#DATE=hjd\nX,2461382.5,9.1,na,V")
                         << "X|2461382.5|9.1|V|"
                         << "Extended  , hjd " << QByteArray("\n");
}

void TestAavsoExtended::reader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, fields);
    QFETCH(QString, state);
    QFETCH(QByteArray, lineEnd);
    AavsoExtended::Reader reader(bytes);
    QString last;
    while (reader.next()) {
        if (reader.line().kind != AavsoExtended::Line::Kind::Record)
            continue;
        const QStringList f = reader.fields();
        last = QStringList {reader.field(f, Field::StarId), reader.field(f, Field::Date),
            reader.field(f, Field::Mag), reader.field(f, Field::Filt), reader.field(f, Field::Kmag)}
                   .join(u'|');
    }
    QCOMPARE(last, fields);
    const AavsoExtended::State &s = reader.state();
    const char *types[] = {"Unnamed", "Extended", "Other"};
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5")
                 .arg(QLatin1String(types[int(s.type)]), s.obscode, QString(s.delimiter),
                     s.dateText, s.obstype),
        state);
    QCOMPARE(reader.lineEnd().toByteArray(),
        bytes.contains('\n') || bytes.contains('\r') ? lineEnd : QByteArray());
    QCOMPARE(reader.byteOrderMark(), bytes.startsWith("\xEF\xBB\xBF"));
}

QTEST_GUILESS_MAIN(TestAavsoExtended)
#include "tst_aavso_extended.moc"
