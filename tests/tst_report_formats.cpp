// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The report's formats for machines and for submission.
#include "core/aavso_reader.h"
#include "core/calibration_report.h"
#include "core/report_formats.h"
#include "report/night_file.h"
#include "test_support.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillet;
using namespace quillet::test;

namespace {

QStringList workedTable()
{
    return table(
        {{"3", "12.25"}, {"", ""}, {"1", "9.75"}, {"0", "0"}, {"4", "14.25"}, {"2", "10.75"}});
}

ReportFormats::Submission submission()
{
    ReportFormats::Submission s;
    s.star = QStringLiteral("SS Cyg");
    s.jd = QStringLiteral("2461382.51234");
    s.filter = QStringLiteral("V");
    s.obscode = QStringLiteral("XYZ");
    s.chart = QStringLiteral("X12345ABC");
    s.checkName = QStringLiteral("000-BBC-123");
    s.software = QStringLiteral("quillet3-report 1.0.0");
    return s;
}

} // namespace

class TestReportFormats : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aavsoFollowsTheFormat();
    void vsnetDate_data();
    void vsnetDate();
    void vsnetLine();
    void vsnetStarName_data();
    void vsnetStarName();
    void filterCode_data();
    void filterCode();
    void aavsoAppend_data();
    void aavsoAppend();
    void aavsoAppendTogether();
    void aavsoRead_data();
    void aavsoRead();
    void julianDate_data();
    void julianDate();
    void jsonReadsBackExactly();
    void jsonNullWhereNoValue();
};

// AAVSO Extended File Format 1.2: the parameter lines, then fifteen fields
// separated by the declared delimiter, "na" for what is not given.
void TestReportFormats::aavsoFollowsTheFormat()
{
    const ReportOutcome outcome = MakeCalibrationReport(workedTable(), {QStringLiteral("2.5")}, 6);
    QVERIFY(!outcome.problem);
    const QStringList header
        = ReportFormats::aavsoHeader(submission()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(header.mid(0, 6),
        (QStringList {"#TYPE=Extended", "#OBSCODE=XYZ", "#SOFTWARE=quillet3-report 1.0.0",
            "#DELIM=,", "#DATE=JD", "#OBSTYPE=CCD"}));
    QVERIFY(header.mid(6).join(QString()).startsWith(u'#')); // the rest are comments

    const QString line
        = ReportFormats::aavsoLine(submission(), outcome.report, outcome.report.variables[0]);
    const QStringList f = line.split(u',');
    QCOMPARE(f.size(), 15);
    QCOMPARE(f[0], QStringLiteral("SS Cyg")); // STARID
    QCOMPARE(f[1], QStringLiteral("2461382.51234")); // DATE: JD as given
    QVERIFY(
        QRegularExpression(QStringLiteral("^\\d+\\.\\d{3}$")).match(f[2]).hasMatch()); // MAGNITUDE
    QVERIFY(qAbs(f[2].toDouble() - outcome.report.variables[0].magnitude) <= 0.0005);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d{3}$")).match(f[3]).hasMatch()); // MAGERR
    QVERIFY(qAbs(f[3].toDouble() - *outcome.report.variables[0].predictionSe) <= 0.0005);
    QCOMPARE(f[4], QStringLiteral("V"));
    QCOMPARE(f.mid(5, 4), (QStringList {"NO", "STD", "ENSEMBLE", "na"})); // TRANS MTYPE CNAME CMAG
    QCOMPARE(f[9], QStringLiteral("000-BBC-123")); // KNAME
    QCOMPARE(f[10], QStringLiteral("2.000")); // KMAG: the check star's measured value
    QCOMPARE(f.mid(11, 2), (QStringList {"na", "na"})); // AIRMASS GROUP
    QCOMPARE(f[13], QStringLiteral("X12345ABC")); // CHART
    QVERIFY(QRegularExpression(
        QStringLiteral("^\\|SLOPE=[-0-9.e]+\\|N=3\\|S=[0-9.e]+\\|VMAGINS=2\\.5$"))
                .match(f[14])
                .hasMatch());

    // Nothing given for the check star or the chart: na.
    ReportFormats::Submission bare = submission();
    bare.chart.clear();
    bare.checkName.clear();
    const QStringList g
        = ReportFormats::aavsoLine(bare, outcome.report, outcome.report.variables[0]).split(u',');
    QCOMPARE((QStringList {g[9], g[10], g[13]}), (QStringList {"na", "na", "na"}));
}

void TestReportFormats::vsnetDate_data()
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

void TestReportFormats::vsnetDate()
{
    QFETCH(double, jd);
    QFETCH(QString, date);
    QCOMPARE(ReportFormats::vsnetDate(jd), date);
}

void TestReportFormats::vsnetLine()
{
    const ReportOutcome outcome = MakeCalibrationReport(workedTable(), {QStringLiteral("2.5")});
    ReportFormats::Submission s = submission();
    s.filter = QStringLiteral("Rc");
    QCOMPARE(ReportFormats::vsnetLine(s, outcome.report.variables[0]),
        QStringLiteral("CYGSS 20261208.012 11.750Rc XYZ"));
}

void TestReportFormats::vsnetStarName_data()
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

void TestReportFormats::vsnetStarName()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(bool, constellationFirst);
    const ReportFormats::VsnetName vsnet = ReportFormats::vsnetStarName(typed);
    QCOMPARE(vsnet.name, name);
    QCOMPARE(vsnet.constellationFirst, constellationFirst);
}

void TestReportFormats::filterCode_data()
{
    using ReportFormats::Format;
    QTest::addColumn<Format>("format");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("code"); // empty: refused
    QTest::newRow("AAVSO any case") << Format::Aavso << "cv"
                                    << "CV";
    QTest::newRow("AAVSO Rc is R") << Format::Aavso << "Rc"
                                   << "R";
    QTest::newRow("AAVSO ic is I") << Format::Aavso << "ic"
                                   << "I";
    QTest::newRow("AAVSO Sloan") << Format::Aavso << "sg"
                                 << "SG";
    QTest::newRow("AAVSO C refused") << Format::Aavso << "C"
                                     << "";
    QTest::newRow("AAVSO unknown") << Format::Aavso << "Q"
                                   << "";
    QTest::newRow("VSNET Rc") << Format::Vsnet << "rc"
                              << "Rc";
    QTest::newRow("VSNET R is Rc") << Format::Vsnet << "R"
                                   << "Rc";
    QTest::newRow("VSNET I is Ic") << Format::Vsnet << "i"
                                   << "Ic";
    QTest::newRow("VSNET CV is C") << Format::Vsnet << "CV"
                                   << "C";
    QTest::newRow("VSNET SG unknown") << Format::Vsnet << "SG"
                                      << "";
}

void TestReportFormats::filterCode()
{
    QFETCH(ReportFormats::Format, format);
    QFETCH(QString, typed);
    QFETCH(QString, code);
    QCOMPARE(ReportFormats::filterCode(format, typed).value_or(QString()), code);
}

void TestReportFormats::julianDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("decimal") << "2461382.51234" << true;
    QTest::newRow("whole") << "2461382" << true;
    QTest::newRow("blanks around") << " 2461382.5 " << true;
    QTest::newRow("word") << "tonight" << false;
    QTest::newRow("negative") << "-2461382.5" << false;
    QTest::newRow("exponent") << "2.46e6" << true; // the table's own number grammar
    QTest::newRow("last day of 9999") << "5373484.49" << true;
    QTest::newRow("rounds into the year 10000") << "5373484.49999" << false;
    QTest::newRow("two points") << "2461.382.5" << false;
    QTest::newRow("before the Gregorian calendar") << "2299160.4" << false;
    QTest::newRow("empty") << "" << false;
}

void TestReportFormats::julianDate()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(bool(ReportFormats::julianDate(text)), valid);
}

void TestReportFormats::jsonReadsBackExactly()
{
    const QStringList table = ::table({{"1.123", "9.71"}, {"2.37", "10.83"}, {"3.001", "12.2"},
        {"4.4", "14.31"}, {"5.05", "15.02"}});
    const ReportOutcome outcome = MakeCalibrationReport(table, {QStringLiteral("2.777")}, 2);
    QVERIFY(!outcome.problem);
    const CalibrationReport &r = outcome.report;
    const QJsonObject o = QJsonDocument::fromJson(ReportFormats::json(r)).object();
    QCOMPARE(o.keys(),
        (QStringList {"check", "constant", "left_out", "n", "rms_error", "rows", "s", "slope",
            "slope_se", "variables"}));
    QCOMPARE(o[u"n"].toInt(), r.n);
    QCOMPARE(o[u"slope"].toDouble(), r.slope);
    QCOMPARE(o[u"constant"].toDouble(), r.constant);
    QCOMPARE(o[u"s"].toDouble(), *r.s);
    const QJsonArray rows = o[u"rows"].toArray();
    QCOMPARE(rows.size(), qsizetype(r.rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonObject row = rows[i].toObject();
        QCOMPARE(row.keys(),
            (QStringList {"catalogue", "deleted_residual", "fitted", "flagged", "measured", "noted",
                "residual", "row", "studentized"}));
        QCOMPARE(row[u"residual"].toDouble(), r.rows[i].residual);
        QCOMPARE(row[u"studentized"].toDouble(), *r.rows[i].studentized);
    }
    const QJsonObject variable = o[u"variables"].toArray()[0].toObject();
    QCOMPARE(variable.keys(),
        (QStringList {"high95", "low95", "magnitude", "measured", "prediction_se"}));
    QCOMPARE(variable[u"magnitude"].toDouble(), r.variables[0].magnitude);
    QCOMPARE(variable[u"low95"].toDouble(), *r.variables[0].low95);
    const QJsonObject check = o[u"check"].toObject();
    QCOMPARE(check.keys(), (QStringList {"catalogue", "fitted", "o_minus_c", "row", "z"}));
    QCOMPARE(check[u"o_minus_c"].toDouble(), r.check->oMinusC);
}

// Two stars: the line, but no scatter, errors or intervals; no check star.
void TestReportFormats::jsonNullWhereNoValue()
{
    const ReportOutcome outcome
        = MakeCalibrationReport(table({{"1", "10"}, {"2", "11"}}), {QStringLiteral("3")});
    const QJsonObject o = QJsonDocument::fromJson(ReportFormats::json(outcome.report)).object();
    for (const char16_t *key : {u"s", u"slope_se", u"check"})
        QVERIFY(o[key].isNull());
    const QJsonObject variable = o[u"variables"].toArray()[0].toObject();
    QCOMPARE(variable[u"magnitude"].toDouble(), 12.0);
    for (const char16_t *key : {u"prediction_se", u"low95", u"high95"})
        QVERIFY(variable[key].isNull());
    QVERIFY(o[u"rows"].toArray()[0].toObject()[u"studentized"].isNull());
}

// A night's file: the header once, what was there byte for byte, nothing written
// to another observer's file, another kind of file or a device.
void TestReportFormats::aavsoAppend_data()
{
    QTest::addColumn<QByteArray>("before"); // "-": no file
    QTest::addColumn<QString>("path"); // empty: the test's own file
    QTest::addColumn<QByteArray>("after"); // empty: unchanged
    QTest::addColumn<int>("records");
    const QByteArray header("#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=,\n");
    QTest::newRow("new file") << QByteArray("-") << QString() << header + "REC\n" << 1;
    QTest::newRow("empty file") << QByteArray() << QString() << header + "REC\n" << 1;
    QTest::newRow("second record") << header + "OLD" << QString() << header + "OLD\nREC\n" << 2;
    QTest::newRow("another case, CR LF")
        << QByteArray("#type=EXTENDED\r\n#obscode=xyz\r\n#DELIM=,\r\nOLD\r\n") << QString()
        << QByteArray("#type=EXTENDED\r\n#obscode=xyz\r\n#DELIM=,\r\nOLD\r\nREC\r\n") << 2;
    QTest::newRow("not AAVSO") << QByteArray("my notes\n") << QString() << QByteArray() << 1;
    QTest::newRow("other observer")
        << QByteArray("#TYPE=Extended\n#OBSCODE=ABC\n#DELIM=,\n") << QString() << QByteArray() << 0;
    QTest::newRow("other delimiter")
        << QByteArray("#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=;\n") << QString() << QByteArray() << 0;
    QTest::newRow("device") << QByteArray("-") << QStringLiteral("/dev/null") << QByteArray() << 0;
    QTest::newRow("byte-order mark kept") << "\xEF\xBB\xBF" + header + "OLD\n"
                                          << QString() << "\xEF\xBB\xBF" + header + "OLD\nREC\n"
                                          << 2;
    QTest::newRow("blank lines only: the header on top") << QByteArray(
        "\n  \n\n") << QString() << header + "REC\n" << 1;
    QTest::newRow("observer code with blanks")
        << QByteArray("#TYPE=Extended\n#OBSCODE= xyz \n#DELIM=,\n") << QString()
        << QByteArray("#TYPE=Extended\n#OBSCODE= xyz \n#DELIM=,\nREC\n") << 1;
    QTest::newRow("over the night file's limit")
        << header + QByteArray(AavsoFile::ReadLimit, '#') << QString() << QByteArray() << 0;
}

void TestReportFormats::aavsoAppend()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, path);
    QFETCH(QByteArray, after);
    QFETCH(int, records);
    QTemporaryDir dir;
    if (path.isEmpty())
        path = dir.filePath(QStringLiteral("night.txt"));
    if (before != "-")
        writeFile(path, before);
    const auto appended
        = AavsoFile::append(path, QStringLiteral("#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=,\n"),
            QStringLiteral("REC"), QStringLiteral("XYZ "));
    QCOMPARE(appended.records, records);
    if (after.isEmpty()) {
        QVERIFY(appended.refusal || appended.failure);
        if (path == QLatin1String("/dev/null"))
            QCOMPARE(appended.failure->problem, files::Problem::NotRegularFile);
        else
            QCOMPARE(readFile(path), before);
        if (before.size() > AavsoFile::ReadLimit)
            QCOMPARE(appended.failure->limit, AavsoFile::ReadLimit);
    } else {
        QVERIFY(!appended.refusal && !appended.failure);
        QCOMPARE(readFile(path), after);
    }
    // No temporary file is left beside it.
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() <= 1);
}

// Two writers appending at once while a shell appends with >>: every record
// stays, in the same file, with its owner and mode.
void TestReportFormats::aavsoAppendTogether()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("night.txt"));
    writeFile(path, "#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=,\n");
    QVERIFY(QFile::setPermissions(
        path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup));
    struct stat before
    {
    };
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
    QProcess shell;
    shell.start(QStringLiteral("sh"),
        {QStringLiteral("-c"),
            QStringLiteral("for i in $(seq 300); do echo \"SHELL$i\" >> \"$1\"; done"),
            QStringLiteral("sh"), path});
    std::vector<pid_t> writers;
    for (int w = 0; w < 2; ++w) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 0; i < 200; ++i) {
                const auto appended = AavsoFile::append(path, {},
                    QStringLiteral("W%1-%2,1,2,3,V").arg(w).arg(i), QStringLiteral("XYZ"));
                if (appended.failure || appended.refusal)
                    ::_exit(1);
            }
            ::_exit(0);
        }
        writers.push_back(pid);
    }
    for (const pid_t pid : writers) {
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    QVERIFY(shell.waitForFinished(60000));
    const QByteArray after = readFile(path);
    QCOMPARE(AavsoFile::countRecords(after), 400 + 300);
    QCOMPARE(after.count("SHELL"), 300);
    struct stat now
    {
    };
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &now), 0);
    QCOMPARE(now.st_ino, before.st_ino);
    QCOMPARE(now.st_mode, before.st_mode);
    QCOMPARE(now.st_uid, before.st_uid);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// AAVSO Extended files as other programs write them: every line a record, a
// parameter, a blank or a line skipped with its number and reason.
void TestReportFormats::aavsoRead_data()
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
    QTest::newRow("a visual file") << QByteArray("#TYPE=Visual\nX,2461382.5,9,na,V\n") << 0 << ""
                                   << "2:NotExtended";
}

void TestReportFormats::aavsoRead()
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
    static const char *const Reasons[] = {"NotExtended", "TooFewFields", "NoName", "BadDate",
        "BadMagnitude", "BadError", "BadDelimiter"};
    QStringList found;
    for (const AavsoReader::Skipped &s : read.skipped)
        found << QStringLiteral("%1:%2").arg(s.line).arg(QLatin1String(Reasons[int(s.reason)]));
    QCOMPARE(found.join(u' '), skipped);
}

QTEST_GUILESS_MAIN(TestReportFormats)
#include "tst_report_formats.moc"
