// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The light curve's records: AAVSO Extended files as other programs write
// them, every line a record, a parameter, a blank or a line skipped with its
// number and reason.
#include "core/aavso_reader.h"

#include <QRegularExpression>
#include <QTest>

using namespace quillet;

class TestAavsoReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data();
    void read();
};

// AAVSO Extended files as other programs write them: every line a record, a
// parameter, a blank or a line skipped with its number and reason.
void TestAavsoReader::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("first"); // "jd mag fainter merr filter obscode kind airmass"
    QTest::addColumn<QString>("skipped"); // "line:reason ..."
    const QByteArray head("#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=,\n#DATE=JD\n");
    const QByteArray record(
        "SS Cyg,2461382.5,11.750,0.040,V,NO,STD,ENSEMBLE,na,na,na,1.2,na,na,na");
    QTest::newRow("ours") << head + record + "\n" + record + "\n"
                          << 2 << "2461382.5 11.75 0 0.04 V XYZ 0 1.2"
                          << "";
    QTest::newRow("lower case, ; as itself")
        << QByteArray("#type=extended\n#obscode=abc\n#delim=;\nRZ Cas;2461382.6;6.4;na;V\n") << 1
        << "2461382.6 6.4 0 - V abc 0 -"
        << "";
    QTest::newRow("delimiter by its code, CR LF, byte-order mark") << QByteArray(
        "\xEF\xBB\xBF#TYPE=Extended\r\n#OBSCODE=XYZ\r\n#DELIM=124\r\nX|2461382.5|9|0.1|B\r\n")
                                                                   << 1
                                                                   << "2461382.5 9 0 0.1 B XYZ 0 -"
                                                                   << "";
    QTest::newRow("tab, as a word and as itself") << QByteArray(
        "#TYPE=Extended\n#DELIM=tab\nX\t2461382.5\t9\tna\tV\n#DELIM=\t\nY\t2461383.5\t8\tna\tV\n")
                                                  << 2 << "2461382.5 9 0 - V  0 -"
                                                  << "";
    QTest::newRow("HJD, a limit, na in any case")
        << QByteArray("#TYPE=Extended\n#OBSCODE=XYZ\n#DATE=HJD\nX,2461382.5,<13.2,NA,V\n") << 1
        << "2461382.5 13.2 1 - V XYZ 1 -"
        << "";
    QTest::newRow("Excel time, and a later #DATE= and #OBSCODE=")
        << QByteArray("#TYPE=Extended\n#OBSCODE=A\n#DATE=EXCEL\nX,12/31/2007 12:59:59 a.m.,9,na,V\n"
                      "#DATE=JD\n#OBSCODE=B\nX,2461382.5,9,na,V\nX,12/31/2007 1:00:00 PM,9,na,V\n")
        << 2 << "2454465.54166 9 0 - V A 2 -"
        << "8:BadDate";
    QTest::newRow("columns named, AIRMASS")
        << QByteArray("#TYPE=Extended\n#NAME,DATE,MAG,AIRMASS,FILT\nX,2461382.5,9,1.5,V\n") << 1
        << "2461382.5 9 0 - V  0 1.5"
        << "";
    QTest::newRow("lines that are no records")
        << head
            + "garbage\nX,tomorrow,9,na,V\nX,2461382.5,bright,na,V\n,2461382.5,9,na,V\n"
              "X,2461382.5,9,big,V\n"
        << 0 << ""
        << "5:TooFewFields 6:BadDate 7:BadMagnitude 8:NoName 9:BadError";
    QTest::newRow("numbers no observation has")
        << head
            + "X,0,9,na,V\nX,1e12,9,na,V\nX,2461382.5,1e999,na,V\nX,2461382.5,1e16,na,V\n"
              "X,2461382.5,9,-0.1,V\nX,2461382.5,9,1e300,V\nX,2461382.5,-999.999,99.999,V\n"
        << 1 << "2461382.5 -999.999 0 99.999 V XYZ 0 -"
        << "5:DateOutOfRange 6:DateOutOfRange 7:MagnitudeOutOfRange 8:MagnitudeOutOfRange "
           "9:ErrorOutOfRange 10:ErrorOutOfRange";
    QTest::newRow("CR alone ends the lines")
        << QByteArray("#TYPE=Extended\r#OBSCODE=XYZ\rX,2461382.5,9,na,V\rY,2461382.6,9,na,V\r") << 2
        << "2461382.5 9 0 - V XYZ 0 -"
        << "";
    QTest::newRow("a visual file") << QByteArray("#TYPE=Visual\nX,2461382.5,9,na,V\n") << 0 << ""
                                   << "2:NotExtended";
}

void TestAavsoReader::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, records);
    QFETCH(QString, first);
    QFETCH(QString, skipped);
    const AavsoReader::Read read = AavsoReader::read(bytes);
    QCOMPARE(read.records.size(), records);
    if (records > 0) {
        const AavsoReader::Record &r = read.records.first();
        const auto optional = [](const std::optional<double> &v) {
            return v ? QString::number(*v, 'g', 12) : QStringLiteral("-");
        };
        QCOMPARE(
            QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                .arg(
                    QString::number(r.jd, 'f', 5).remove(QRegularExpression(QStringLiteral("0+$"))),
                    QString::number(r.mag, 'g', 12))
                .arg(int(r.fainter))
                .arg(optional(r.merr), r.filter, r.obscode)
                .arg(int(r.dateKind))
                .arg(optional(r.airmass)),
            first);
    }
    static const char *const Reasons[]
        = {"NotExtended", "TooFewFields", "NoName", "BadDate", "BadMagnitude", "BadError",
            "BadDelimiter", "DateOutOfRange", "MagnitudeOutOfRange", "ErrorOutOfRange"};
    QStringList found;
    for (const AavsoReader::Skipped &s : read.skipped)
        found << QStringLiteral("%1:%2").arg(s.line).arg(QLatin1String(Reasons[int(s.reason)]));
    QCOMPARE(found.join(u' '), skipped);
}

QTEST_GUILESS_MAIN(TestAavsoReader)
#include "tst_aavso_reader.moc"
