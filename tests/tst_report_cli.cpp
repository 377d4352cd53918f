// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quillet3-report as a user runs it: each output form, and bad input.
#include "fits_support.h"
#include "test_support.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace quillet::test;

namespace {

// Runs the report in dir; "--stdin=TEXT" first is no option of the program:
// TEXT goes to its standard input.
Run report(const QString &dir, QStringList arguments, QByteArray input = {})
{
    if (!arguments.isEmpty() && arguments.first().startsWith(QLatin1String("--stdin=")))
        input = arguments.takeFirst().mid(8).toUtf8();
    return runReport(dir, arguments, input);
}

} // namespace

class TestReportCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void readableReport();
    void streamsStandardInput();
    void jsonFromStandardInput();
    void aavsoLines();
    void vsnetLine();
    void plots();
    void badInput_data();
    void badInput();
    void nightOptions_data();
    void nightOptions();
    void hostileFiles_data();
    void hostileFiles();
    void lightCurveMemory();
    void charts_data();
    void charts();
    void everyOptionInTheManual();
    void neverWritesTheTable();

private:
    QTemporaryDir m_dir;
    QDateTime m_written;
};

void TestReportCli::initTestCase()
{
    QVERIFY2(
        !qEnvironmentVariable("QUILLET3_REPORT").isEmpty(), "QUILLET3_REPORT names the program");
    writeFile(m_dir.filePath(QStringLiteral("compdata.txt")), WorkedFile);
    m_written = QFileInfo(m_dir.filePath(QStringLiteral("compdata.txt"))).lastModified();
}

void TestReportCli::readableReport()
{
    const Run run = report(
        m_dir.path(), {QStringLiteral("2.5"), QStringLiteral("--check"), QStringLiteral("4")});
    QCOMPARE(run.status, 0);
    QVERIFY(run.err.isEmpty());
    const QStringList lines = run.out.split(u'\n');
    // One row per star in the fit's order, with its table row first.
    QVERIFY(lines.contains(
        QStringLiteral("  2      1.000     9.750     9.643     0.107     1.500         —")));
    QVERIFY(run.out.contains(QStringLiteral("傾き = 1.46428571428571")));
    QVERIFY(run.out.contains(
        QStringLiteral("（比較星が 3 個なので、t（外部スチューデント化残差）はありません）")));
    QVERIFY(run.out.contains(QStringLiteral("変光星 2.5: 等級 11.839 ± 0.464（予測誤差）")));
    // O - C is observed minus catalogue: the line puts the check star 0.357 fainter.
    QVERIFY(run.out.contains(
        QStringLiteral("チェック星（行 4）: ｶﾀﾛｸﾞ値 10.750　近似値 11.107　O - C 0.357")));

    // A row at 9999 is left out, and said to be; a tiny error keeps two digits.
    writeFile(m_dir.filePath(QStringLiteral("tight.txt")),
        "1,10\r\n2,11.0001\r\n3,12\r\n4,13.0001\r\n9999,12\r\n");
    const Run tight = report(m_dir.path(), {"--table", "tight.txt", "2.5"});
    QCOMPARE(tight.status, 0);
    QVERIFY(
        tight.out.contains(QStringLiteral("行 5 は近似に使っていません（測光値が 9999 以上）")));
    QVERIFY2(QRegularExpression(QStringLiteral("傾きの標準誤差: 0\\.0+[1-9]\\d\n"))
                 .match(tight.out)
                 .hasMatch(),
        qPrintable(tight.out));
    QVERIFY(!tight.out.contains(QStringLiteral("-0.000")));
}

// Each value's result comes as its line is read, also into a pipe, and memory
// stays the same however long the input.
void TestReportCli::streamsStandardInput()
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(qEnvironmentVariable("QUILLET3_REPORT"),
        {QStringLiteral("--vsnet"), QStringLiteral("--star"), QStringLiteral("SS Cyg"),
            QStringLiteral("--jd"), QStringLiteral("2461382.5"), QStringLiteral("--filter"),
            QStringLiteral("V"), QStringLiteral("--obscode"), QStringLiteral("XYZ")});
    QVERIFY(process.waitForStarted());
    process.write("2.5\n3\n");
    QByteArray out;
    while (out.count('\n') < 2 && process.waitForReadyRead(20000))
        out += process.readAllStandardOutput();
    QCOMPARE(out, QByteArray("CYGSS 20261208.000 11.750V XYZ\nCYGSS 20261208.000 12.500V XYZ\n"));
    const QByteArray chunk = QByteArray("2.5\n").repeated(100000);
    for (int i = 0; i < 20; ++i) {
        process.write(chunk);
        while (process.bytesToWrite() > 0 && process.waitForBytesWritten(20000))
            process.readAllStandardOutput();
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
    QVERIFY(status.open(QIODevice::ReadOnly));
    const QByteArray text = status.readAll();
    const QByteArray peak = text.mid(text.indexOf("VmHWM:") + 6).split('\n').value(0).trimmed();
    QVERIFY2(peak.split(' ').value(0).toLongLong() < 64 * 1024, peak.constData()); // KiB
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
}

void TestReportCli::jsonFromStandardInput()
{
    const Run run
        = report(m_dir.path(), {QStringLiteral("--format"), QStringLiteral("json")}, "2.5\n\n-1\n");
    QCOMPARE(run.status, 0);
    const QJsonObject o = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(o[u"slope"].toDouble(), 1.5);
    QCOMPARE(o[u"constant"].toDouble(), 8.0);
    const QJsonArray variables = o[u"variables"].toArray();
    QCOMPARE(variables.size(), 2); // the empty line is no value
    QCOMPARE(variables[0].toObject()[u"magnitude"].toDouble(), 11.75);
    QCOMPARE(variables[1].toObject()[u"magnitude"].toDouble(), 6.5);
    QVERIFY(o[u"check"].isNull());
}

void TestReportCli::aavsoLines()
{
    const QStringList arguments {"--aavso", "--star", "SS Cyg", "--jd", "2461382.51234", "--filter",
        "V", "--obscode", "XYZ", "2.5", "-40"};
    const Run run = report(m_dir.path(), arguments);
    QCOMPARE(run.status, 0);
    // WebObs refuses a file with a blank line that is not a comment.
    QVERIFY(run.out.endsWith(u'\n') && !run.out.contains(QStringLiteral("\n\n")));
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.first(), QStringLiteral("#TYPE=Extended"));
    QCOMPARE(lines.size(), 7 + 2);
    QCOMPARE(lines[7].section(u',', 0, 4), QStringLiteral("SS Cyg,2461382.51234,11.750,0.395,V"));
    // Far from the stars the error passes 1 mag, which AAVSO refuses: a warning.
    QCOMPARE(lines[8].section(u',', 2, 2), QStringLiteral("-52.000"));
    QVERIFY(lines[8].section(u',', 3, 3).toDouble() >= 1.0);
    QCOMPARE(run.err.count(QStringLiteral("警告")), 1);
    QVERIFY(run.err.contains(QStringLiteral("-40")));

    // Under ENSEMBLE, KMAG is the check star's magnitude from the same line
    // (row 4, catalogue 10.75, on the line 11.107), its values in NOTES; the
    // observation type in any case.
    const Run checked = report(m_dir.path(),
        arguments.mid(0, 9)
            + QStringList {
                "--check", "4", "--check-name", "000-BCT-001", "--obstype", "dslr", "2.5"});
    QCOMPARE(checked.status, 0);
    QVERIFY(checked.out.contains(QStringLiteral("\n#OBSTYPE=DSLR\n")));
    const QStringList fields = checked.out.split(u'\n', Qt::SkipEmptyParts).last().split(u',');
    QCOMPARE(fields.mid(7, 4), (QStringList {"ENSEMBLE", "na", "000-BCT-001", "11.107"}));
    QVERIFY(fields[14].endsWith(QStringLiteral("|VMAGINS=2.5|KMAGINS=2|KREFMAG=10.75")));
}

void TestReportCli::vsnetLine()
{
    const QStringList arguments {"--vsnet", "--star", "SS Cyg", "--jd", "2461382.51234", "--filter",
        "C", "--obscode", "XYZ", "2.5"};
    const Run run = report(m_dir.path(), arguments);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("CYGSS 20261208.012 11.750C XYZ\n"));
    // A name with bytes that are not UTF-8 is refused, not written with U+FFFD.
    QProcess shell;
    shell.setWorkingDirectory(m_dir.path());
    shell.start(QStringLiteral("sh"),
        {QStringLiteral("-c"),
            QStringLiteral("exec \"$0\" --vsnet --star \"$(printf 'SS Cyg\\377')\" --jd 2461382.5 "
                           "--filter V --obscode XYZ 2.5"),
            qEnvironmentVariable("QUILLET3_REPORT")});
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(shell.exitCode(), 64);
    QVERIFY(QString::fromUtf8(shell.readAllStandardError())
                .contains(QStringLiteral("UTF-8 ではないバイト")));
}

void TestReportCli::plots()
{
    const QString png = m_dir.filePath(QStringLiteral("plot.png"));
    const QString svg = m_dir.filePath(QStringLiteral("plot.svg"));
    QCOMPARE(report(m_dir.path(), {"--plot", png, "--check", "4", "2.5"}).status, 0);
    const QImage image(png);
    QCOMPARE(image.size(), QSize(960, 640));
    // The stars and the line in dark blue, the variable's interval in deep orange.
    int blue = 0, orange = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            blue += c == QColor(0, 0, 128);
            orange += c == QColor(170, 80, 0);
        }
    }
    QVERIFY(blue > 500);
    QVERIFY(orange > 100);
    QCOMPARE(report(m_dir.path(), {"--plot", svg, "2.5"}).status, 0);
    const QByteArray vector = readFile(svg);
    QVERIFY(vector.startsWith("<?xml"));
    QVERIFY(vector.contains("<svg"));
    QVERIFY(QFile::remove(png) && QFile::remove(svg));
}

void TestReportCli::badInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString usage = QStringLiteral("使い方");
    QTest::newRow("table is a folder") << QStringList {"--table", ".",
        "1"} << 2 << QStringLiteral("比較星データを読み込めませんでした\n. はフォルダです");
    QTest::newRow("no table") << QStringList {"--table", "none.txt", "1"} << 2
                              << QStringLiteral("none.txt がありません");
    QTest::newRow("degenerate table") << QStringList {"--table", "one-row.txt", "1"} << 2
                                      << QStringLiteral("近似直線を求められません\n");
    QTest::newRow("magnitude overflows")
        << QStringList {"1.7e308"} << 2 << QStringLiteral("変光星の等級を計算できません");
    QTest::newRow("unknown filter") << QStringList {"--vsnet", "--star", "X", "--jd", "2461382.5",
        "--filter", "Q", "--obscode", "XYZ", "1"}
                                    << 64 << usage;
    QTest::newRow("C for AAVSO") << QStringList {"--aavso", "--star", "X", "--jd", "2461382.5",
        "--filter", "C", "--obscode", "XYZ", "1"}
                                 << 64 << QStringLiteral("CV");
    QTest::newRow("STARID over 30") << QStringList {"--aavso", "--star", QString(31, u'x'), "--jd",
        "2461382.5", "--filter", "V", "--obscode", "XYZ", "1"}
                                    << 64 << QStringLiteral("STARID");
    QTest::newRow("plot into a pipe") << QStringList {"--plot", "pipe.png", "1"} << 1
                                      << QStringLiteral("pipe.png は通常のファイルではありません");
    QTest::newRow("JD not a number") << QStringList {"--jd", "tonight", "1"} << 64 << usage;
    QTest::newRow("JD in the year 10000")
        << QStringList {"--jd", "5373484.49999", "1"} << 64 << QStringLiteral("--jd");
    for (const char *value : {"abc", "1O.5", "\uFF12.\uFF15", "2,5"}) {
        QTest::newRow(qPrintable(QStringLiteral("value %1").arg(QString::fromUtf8(value))))
            << QStringList {QString::fromUtf8(value)} << 64
            << QStringLiteral("測光値が数値ではありません: %1").arg(QString::fromUtf8(value));
    }
    QTest::newRow("check row 16") << QStringList {"--check", "16", "1"} << 64 << usage;
    QTest::newRow("check row vacant") << QStringList {"--check", "9", "1"} << 64 << usage;
    QTest::newRow("unknown option") << QStringList {"--colour", "1"} << 64 << usage;
    QTest::newRow("aavso without star")
        << QStringList {"--aavso", "--jd", "2461382.5", "--filter", "V", "--obscode", "XYZ", "1"}
        << 64 << QStringLiteral("--star が必要です");
    const QStringList aavso {
        "--aavso", "--star", "SS Cyg", "--jd", "2461382.5", "--filter", "V", "--obscode", "XYZ"};
    QTest::newRow("star that would be a comment") << QStringList {"--aavso", "--star", "#SS Cyg",
        "--jd", "2461382.5", "--filter", "V", "--obscode", "XYZ",
        "1"} << 64 << QStringLiteral("--star に使えない文字があります（先頭の #");
    QTest::newRow("CR in the chart") << aavso + QStringList {"--chart", "X1\rX2", "1"} << 64
                                     << QStringLiteral("--chart に使えない文字があります（改行）");
    QTest::newRow("observer code with a blank inside") << QStringList {"--vsnet", "--star",
        "SS Cyg", "--jd", "2461382.5", "--filter", "V", "--obscode", "XYZ ABC",
        "1"} << 64 << QStringLiteral("--obscode に空白は使えません: XYZ ABC");
    QTest::newRow("check name without check")
        << aavso + QStringList {"--check-name", "K", "1"} << 64
        << QStringLiteral("--check-name は --check と一緒に使います");
    QTest::newRow("check without its name")
        << aavso + QStringList {"--check", "4", "1"} << 64 << QStringLiteral("（KNAME）も必要です");
    QTest::newRow("check given twice")
        << QStringList {"--check", "1", "--check", "2", "1"} << 64 << QStringLiteral("1 回だけ");
    QTest::newRow("check name without AAVSO") << QStringList {"--check", "1", "--check-name", "K",
        "1"} << 64 << QStringLiteral("--aavso");
    QTest::newRow("KMAG over 8 characters")
        << aavso + QStringList {"--table", "far.txt", "--check", "5", "--check-name", "K", "1"}
        << 64 << QStringLiteral("AAVSO の KMAG 欄は 8 文字までです");
    QTest::newRow("CHART over 20 characters")
        << aavso + QStringList {"--chart", "X12345ABCX12345ABCXYZ", "1"} << 64
        << QStringLiteral("AAVSO の CHART 欄は 20 文字までです（21 文字あります）");
    QTest::newRow("unknown OBSTYPE") << aavso + QStringList {"--obstype", "FOO", "1"} << 64
                                     << QStringLiteral("--obstype は CCD, DSLR, PEP, VISDIG");
    QTest::newRow("JD 1e19") << QStringList {"--jd", "1e19", "1"} << 64 << QStringLiteral("--jd");
    QTest::newRow("--filter means nothing to --light-curve")
        << QStringList {"--light-curve", "--filter", "V", "x.txt"} << 64
        << QStringLiteral("--filter は --light-curve では使えません");
    QTest::newRow("--table means nothing to --image-info")
        << QStringList {"--image-info", "--table", "t.txt", "x.fits"} << 64
        << QStringLiteral("--table は --image-info では使えません");
    QTest::newRow("check star out of range") << QStringList {"--table", "farther.txt", "--check",
        "5", "1"} << 2 << QStringLiteral("チェック星の測光値が大きすぎます");
    QTest::newRow("plot into a missing folder") << QStringList {"--plot", "nodir/p.png", "1"} << 1
                                                << QStringLiteral("フォルダ nodir がありません");
    QTest::newRow("NUL on standard input")
        << QStringList {QStringLiteral("--stdin=2") + QChar(0) + QStringLiteral(".5\n2.5\n")} << 64
        << QStringLiteral("測光値が数値ではありません: 2\\0.5");
}

void TestReportCli::badInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    writeFile(m_dir.filePath(QStringLiteral("one-row.txt")), " 1 , 10 \r\n");
    writeFile(m_dir.filePath(QStringLiteral("far.txt")), WorkedFile + " 1E+200 , 12 \r\n");
    writeFile(m_dir.filePath(QStringLiteral("farther.txt")), WorkedFile + " 1.7E+308 , 12 \r\n");
    ::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.png"))).constData(), 0644);
    const Run run = report(m_dir.path(), arguments);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

namespace {

// An image of SS Cyg taken at 2026-12-07 21:34:12 UT for 60 s, through the filter named.
void writeImage(const QString &path, const char *filter, bool position = true)
{
    QStringList cards {"DATE-OBS=2026-12-07T21:34:12", "EXPTIME:60", "AIRMASS:1.2345",
        QStringLiteral("FILTER=") + QLatin1String(filter), "OBJECT=SS Cyg"};
    if (position)
        cards << "OBJCTRA=21 42 42.80"
              << "OBJCTDEC=+43 35 09.9";
    QVERIFY(writeFitsImage(path, cards));
}

} // namespace

// The night's options: times from images, HJD, the light curve; one row each.
void TestReportCli::nightOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // in stdout (or stderr when the status is not 0)
    const QStringList aavso {"--aavso", "--obscode", "XYZ", "2.5"};
    // Mid-exposure 21:34:42 UT is JD 2461382.399097.
    QTest::newRow("--image-info") << QStringList {"--image-info", "v.fits", "compdata.txt",
        "--format", "json"} << 2 << "\"time_from\": \"DATE-OBS + EXPTIME/2\"";
    QTest::newRow("--image fills an AAVSO line") << QStringList {"--image", "v.fits"}
            + aavso << 0 << "SS Cyg,2461382.399097,11.750,0.395,V,NO,STD,ENSEMBLE,na,na,na,1.2345,";
    QTest::newRow("--image fills a VSNET line") << QStringList {"--vsnet", "--image", "v.fits",
        "--obscode", "XYZ", "2.5"} << 0 << "CYGSS 20261207.899 11.750V XYZ";
    QTest::newRow("--image with an unknown filter")
        << QStringList {"--image", "red.fits"} + aavso << 64 << "画像のフィルター Red ";
    QTest::newRow("--date hjd") << QStringList {"--date", "hjd", "--image", "v.fits"} + aavso << 0
                                << "#DATE=HJD";
    QTest::newRow("--date hjd without a position")
        << QStringList {"--date", "hjd", "--jd", "2461382.5", "--star", "X", "--filter", "V"}
            + aavso
        << 64 << "星の位置が要ります";
    QTest::newRow("--ra and --dec") << QStringList {"--date", "hjd", "--jd", "2461382.5", "--star",
                                           "X", "--filter", "V", "--ra", "21:42:42.8", "--dec",
                                           "+43:35:09.9"}
            + aavso << 0 << "X,2461382.50";
    QTest::newRow("--light-curve") << QStringList {"--light-curve", "night.txt"} << 0
                                   << "SS Cyg V: 2 点　JD 2461382.39875 ～ 2461382.41875";
    QTest::newRow("--light-curve of no records")
        << QStringList {"--light-curve", "compdata.txt"} << 2 << "記録が 1 件もありません";
    QTest::newRow("--light-curve --plot")
        << QStringList {"--light-curve", "night.txt", "--plot", "curve.png"} << 0 << "SS Cyg V";
}

void TestReportCli::nightOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, output);
    writeImage(m_dir.filePath(QStringLiteral("v.fits")), "Johnson V");
    writeImage(m_dir.filePath(QStringLiteral("red.fits")), "Red", false);
    writeFile(m_dir.filePath(QStringLiteral("night.txt")),
        "#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=,\n#DATE=JD\n"
        "SS Cyg,2461382.39875,11.750,0.040,V,NO,STD,ENSEMBLE,na,na,na,na,na,na,na\n"
        "SS Cyg,2461382.41875,11.760,0.040,V,NO,STD,ENSEMBLE,na,na,na,na,na,na,na\n");
    const Run run = report(m_dir.path(), arguments);
    QCOMPARE(run.status, status);
    QVERIFY2((status == 0 ? run.out : run.out + run.err).contains(output),
        qPrintable(run.out + run.err));
    if (arguments.contains(QStringLiteral("--image-info"))) {
        const QJsonArray images = QJsonDocument::fromJson(run.out.toUtf8()).array();
        QCOMPARE(images.size(), 2);
        QCOMPARE(images[0].toObject().keys(),
            (QStringList {"airmass", "error", "exposure", "file", "filter", "hjd", "jd", "object",
                "time_from"}));
        QVERIFY(std::fabs(images[0].toObject()[u"jd"].toDouble() - 2461382.3990972) * 86400 < 0.1);
        QVERIFY(images[1].toObject()[u"jd"].isNull() && images[1].toObject()[u"error"].isString());
    }
    if (arguments.contains(QStringLiteral("curve.png")))
        QCOMPARE(QImage(m_dir.filePath(QStringLiteral("curve.png"))).size(), QSize(960, 640));
}

// What the fourth fault round brought, run through a shell as a user's files
// and terminal bring it: "$N" in the script is a byte that is not UTF-8.
void TestReportCli::hostileFiles_data()
{
    QTest::addColumn<QString>("script"); // $R is the program
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // in stdout, or stderr when the status is not 0
    QTest::addColumn<QString>("absent"); // nowhere in stdout and stderr
    const QString name = QStringLiteral("N=$(printf '\\377'); ");
    QTest::newRow("an image named in Latin-1")
        << name + "cp v.fits \"v$N.fits\"; $R --image-info \"v$N.fits\"" << 0
        << "v\\xff.fits\n  JD 2461382.399097"
        << "";
    QTest::newRow("a night file named in Latin-1")
        << name + "cp night.txt \"n$N.txt\"; $R --light-curve \"n$N.txt\"" << 0 << "SS Cyg V: 2 点"
        << "";
    QTest::newRow("a table named in Latin-1")
        << name + "cp compdata.txt \"t$N.txt\"; $R --table \"t$N.txt\" 2.5" << 0
        << "変光星 2.5: 等級 11.750"
        << "";
    QTest::newRow("a plot named in Latin-1")
        << name + "$R --plot \"p$N.png\" 2.5 >/dev/null && test -s \"p$N.png\" && echo written" << 0
        << "written"
        << "";
    QTest::newRow("escapes in a night file's star")
        << "printf '#TYPE=Extended\\nSS\\033]0;x\\007Cyg,2461382.5,11,na,V\\n' > esc.txt; "
           "$R --light-curve esc.txt"
        << 0 << "SS\\x1b]0;x\\x07Cyg V: 1 点"
        << "\x1b";
    QTest::newRow("escapes in an image's OBJECT")
        << "$R --image-info esc.fits" << 0 << "天体 SS\\x1b[2JCyg"
        << "\x1b";
    QTest::newRow("UTF-8 in OBJECT is the star") << "$R --aavso --image utf8.fits --obscode XYZ 2.5"
                                                 << 0 << "\n\u304B\u306B\u5EA7 TT,2461382"
                                                 << "";
    QTest::newRow("a C1 control in OBJECT is refused")
        << "$R --aavso --image c1.fits --obscode XYZ 2.5" << 64
        << "--star に使えない文字があります（制御文字）: SS\\x9bCyg"
        << "";
    QTest::newRow("an image's AIRMASS that is none")
        << "$R --aavso --image airmass.fits --obscode XYZ 2.5" << 0
        << ",NO,STD,ENSEMBLE,na,na,na,na,na,na,"
        << "";
    QTest::newRow("an image's time out of range names its keywords")
        << "$R --aavso --image far.fits --obscode XYZ 2.5" << 2 << "DATE-OBS + EXPTIME/2 が示す時刻"
        << "--jd";
    QTest::newRow("standard input a folder") << "$R < ." << 66 << "標準入力を読めません"
                                             << "";
    QTest::newRow("a 60-byte file in 800 MiB")
        << "ulimit -v 819200; $R --light-curve night.txt" << 0 << "SS Cyg V: 2 点"
        << "";
    QTest::newRow("magnitudes and dates no axis can hold")
        << "printf "
           "'#TYPE=Extended\\nX,2461382.5,1e16,na,V\\nX,1e300,9,na,V\\nX,2461382.6,9,na,V\\n'"
           " > far.txt; $R --light-curve far.txt --plot far.svg && test $(stat -c %s far.svg) -lt "
           "1000000 && echo small"
        << 0 << "small"
        << "";
    QTest::newRow("a field named with a blank first")
        << "mkdir -p \"d/ Lead\" && cp compdata.txt \"d/ Lead/\" && QUILLET3_HOME=\"$PWD/d\" "
           "$R --field \" Lead\" 2.5"
        << 0 << "変光星 2.5: 等級 11.750"
        << "";
    QTest::newRow("an odd right ascension")
        << "$R --ra 12.5:30:00 --dec 1 --jd 2461382.5 2.5" << 64 << "--ra は赤経"
        << "";
}

void TestReportCli::hostileFiles()
{
    QFETCH(QString, script);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, absent);
    writeImage(m_dir.filePath(QStringLiteral("v.fits")), "Johnson V");
    writeFile(m_dir.filePath(QStringLiteral("night.txt")),
        "#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=,\n#DATE=JD\n"
        "SS Cyg,2461382.39875,11.750,0.040,V,NO,STD,ENSEMBLE,na,na,na,na,na,na,na\n"
        "SS Cyg,2461382.41875,11.760,0.040,V,NO,STD,ENSEMBLE,na,na,na,na,na,na,na\n");
    const QStringList start {"DATE-OBS=2026-12-07T21:34:12", "EXPTIME:60", "FILTER=V"};
    QVERIFY(writeFitsImage(
        m_dir.filePath(QStringLiteral("esc.fits")), start + QStringList {"OBJECT~'SS\x1b[2JCyg'"}));
    QVERIFY(writeFitsImage(m_dir.filePath(QStringLiteral("utf8.fits")),
        start + QStringList {"OBJECT~'\xE3\x81\x8B\xE3\x81\xAB\xE5\xBA\xA7 TT'"}));
    QVERIFY(writeFitsImage(m_dir.filePath(QStringLiteral("c1.fits")),
        start
            + QStringList {"OBJECT~'SS\xC2\x9B"
                           "Cyg'"}));
    QVERIFY(writeFitsImage(m_dir.filePath(QStringLiteral("airmass.fits")),
        start + QStringList {"OBJECT=SS Cyg", "AIRMASS:-1.2"}));
    QVERIFY(writeFitsImage(m_dir.filePath(QStringLiteral("far.fits")),
        {"DATE-OBS=2026-12-07T21:34:12", "EXPTIME~1E30", "FILTER=V", "OBJECT=SS Cyg"}));
    QProcess shell;
    shell.setWorkingDirectory(m_dir.path());
    shell.start(QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("R=\"$0\"; ") + script,
            qEnvironmentVariable("QUILLET3_REPORT")});
    shell.closeWriteChannel();
    QVERIFY(shell.waitForFinished(60000));
    const QString out = QString::fromUtf8(shell.readAllStandardOutput());
    const QString err = QString::fromUtf8(shell.readAllStandardError());
    // Names Qt cannot write go as they came.
    QProcess::execute(QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("cd \"$0\" && rm -f *\"$(printf '\\377')\"*"),
            m_dir.path()});
    QCOMPARE(shell.exitCode(), status);
    QVERIFY2((status == 0 ? out : err).contains(output), qPrintable(out + err));
    if (!absent.isEmpty())
        QVERIFY2(!(out + err).contains(absent), qPrintable(out + err));
}

// A VSP chart printed and put into a star field's table; what the field then
// writes into the AAVSO record; and every bad chart leaving the table as it was.
void TestReportCli::charts_data()
{
    QTest::addColumn<QString>("script"); // $R the program, $C the chart, field F in $H
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // in stdout, or stderr when the status is not 0
    const QString same = QStringLiteral(
        "; s=$?; cmp -s compdata.txt \"$H/F/compdata.txt\" && test ! -e \"$H/F/chart.json\" "
        "&& exit $s; echo changed >&2; exit 99");
    QTest::newRow("in the filter's band")
        << "$R --vsp \"$C\" --filter cr" << 0
        << "  86  000-BCP-220  21:42:01.47   43:38:35.2      7.961  0.030\n";
    QTest::newRow("as JSON, its keys")
        << "$R --vsp \"$C\" --format json | grep -o '\"[a-z]*\":' | sort -u | tr -d '\\n'" << 0
        << "\"auid\":\"band\":\"chart\":\"comments\":\"dec\":\"error\":\"label\":\"mag\":\"ra\":"
           "\"star\":\"stars\":";
    QTest::newRow("the first by magnitude, the tables before kept")
        << "$R --field F --vsp \"$C\" --import --labels 92 >/dev/null && "
           "$R --field F --vsp \"$C\" --import && cd \"$H/F\" && cat compdata.txt "
           "compdata.txt.before-chart-2 && cmp compdata.txt.before-chart \"$OLDPWD/compdata.txt\""
        << 0
        << "行 1: 86（000-BCP-220）8.559\n行 2: 92（000-BCP-185）9.212\n"
           "行 3: 101（000-BCM-156）10.069\n行 4: 109（000-BCP-241）10.904\n"
           "行 5: 114（000-BCP-252）11.383\n行 6 から後は空にしました\n, 8.559 \r\n, 9.212 \r\n"
           ", 10.069 \r\n, 10.904 \r\n, 11.383 \r\n, 9.212 \r\n";
    QTest::newRow("labels, KNAME, KREFERR and CHART")
        << "$R --field F --vsp \"$C\" --import --labels 109,92,86,101 >/dev/null && "
           "printf ' 1 , 8.559 \\r\\n 1.4 , 9.212 \\r\\n 2 , 10.069 \\r\\n 2.5 , 10.904 "
           "\\r\\n' > \"$H/F/compdata.txt\"; o='--star SS --jd 2461382.5 --filter V --obscode "
           "XYZ'; $R --field F --check 2 2.2 | grep -o 'チェック星（行 2（92））'; "
           "A=$($R --field F --aavso --check 2 $o 2.2 | tail -n 1); "
           "B=$($R --field F --aavso --check 2 --check-name K --chart C1 $o 2.2 | tail -n 1); "
           "echo \"$A\" | cut -d, -f10,14; echo \"$A\" | grep -o 'KREFERR=[^|]*'; "
           "echo \"$B\" | cut -d, -f10,14; echo \"$B\" | grep -c KREFERR; true"
        << 0 << "チェック星（行 2（92））\n000-BCP-185,X28092AFQ\nKREFERR=0.02\nK,C1\n0\n";
    QTest::newRow("a label the chart lacks") << "$R --field F --vsp \"$C\" --import --labels 86,999"
            + same << 2 << "チャートにラベル 999 の星はありません";
    QTest::newRow("a star without the band") << "$R --field F --vsp \"$C\" --import --labels 125"
            + same << 2 << "ラベル 125 の星には V の等級がありません";
    QTest::newRow("not JSON") << "echo '<html>' > bad.json; $R --field F --vsp bad.json --import"
            + same << 2 << "bad.json: JSON ではありません";
    QTest::newRow("duplicated labels")
        << "sed 's/\"label\": \"109\"/\"label\": \"86\"/' \"$C\" > dup.json; "
           "$R --field F --vsp dup.json --import"
            + same
        << 2 << "ラベル 86 の星が 2 つあります";
    QTest::newRow("over 4 MiB") << "head -c 4194305 /dev/zero | tr '\\0' ' ' > big.json; "
                                   "$R --field F --vsp big.json --import"
            + same << 2 << "大きすぎます";
    QTest::newRow("import without a field")
        << "$R --vsp \"$C\" --import" << 64 << "--import には --field";
    QTest::newRow("labels without import")
        << "$R --vsp \"$C\" --labels 86" << 64 << "--labels は --import と使います";
}

void TestReportCli::charts()
{
    QFETCH(QString, script);
    QFETCH(int, status);
    QFETCH(QString, output);
    const QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkpath(QStringLiteral("F")));
    writeFile(home.filePath(QStringLiteral("F/compdata.txt")), WorkedFile);
    QProcess shell;
    shell.setWorkingDirectory(m_dir.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUILLET3_HOME"), home.path());
    environment.insert(QStringLiteral("H"), home.path());
    environment.insert(QStringLiteral("C"), QStringLiteral(QUILLET3_TEST_DATA "/vsp-ss-cyg.json"));
    shell.setProcessEnvironment(environment);
    shell.start(QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("R=\"$0\"; ") + script,
            qEnvironmentVariable("QUILLET3_REPORT")});
    QVERIFY(shell.waitForFinished(60000));
    const QString out = QString::fromUtf8(shell.readAllStandardOutput());
    const QString err = QString::fromUtf8(shell.readAllStandardError());
    QVERIFY2(shell.exitCode() == status, qPrintable(out + err));
    QVERIFY2((status == 0 ? out : err).contains(output), qPrintable(out + err));
}

// A light curve keeps at most four times its file in memory, text or JSON.
void TestReportCli::lightCurveMemory()
{
    const QString path = m_dir.filePath(QStringLiteral("big.txt"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=,\n#DATE=JD\n");
        QByteArray chunk;
        for (int i = 0; i < 300000; ++i) {
            chunk += QStringLiteral("SS Cyg,%1,%2,0.012,V,NO,STD,ENSEMBLE,na,000-BCT-001,11.107,"
                                    "1.234,na,X12345ABC,|SLOPE=1.5|N=4|S=0.353553|VMAGINS=2.5\n")
                         .arg(2461382.5 + i * 0.0001, 0, 'f', 5)
                         .arg(11 + (i % 997) / 1000.0, 0, 'f', 3)
                         .toUtf8();
            if (chunk.size() > (1 << 20)) {
                file.write(chunk);
                chunk.clear();
            }
        }
        file.write(chunk);
    }
    const qint64 size = QFileInfo(path).size();
    for (const char *format : {"text", "json"}) {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(qEnvironmentVariable("QUILLET3_REPORT"),
            {QStringLiteral("--light-curve"), QStringLiteral("--format"),
                QString::fromLatin1(format), path});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
        // The largest child waited for so far: this one.
        rusage usage {};
        QCOMPARE(getrusage(RUSAGE_CHILDREN, &usage), 0);
        QVERIFY2(qint64(usage.ru_maxrss) * 1024 < 4 * size,
            qPrintable(QStringLiteral("%1: %2 KiB for %3 bytes")
                           .arg(QLatin1String(format))
                           .arg(usage.ru_maxrss)
                           .arg(size)));
    }
    QVERIFY(QFile::remove(path));
}

// The usage is made from the options' descriptions; each is in the manual page.
void TestReportCli::everyOptionInTheManual()
{
    const Run help = report(m_dir.path(), {QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    const QByteArray manual = readFile(qEnvironmentVariable("QUILLET3_SOURCE_DIR")
        + QStringLiteral("/packaging/man/quillet3-report.1"));
    QStringList options;
    for (const QString &line : help.out.split(u'\n')) {
        const auto match = QRegularExpression(QStringLiteral("^  (--[a-z-]+)")).match(line);
        if (match.hasMatch())
            options << match.captured(1);
    }
    QVERIFY(options.size() >= 20);
    for (const QString &option : options) {
        const QString roff = QString(option).replace(u'-', QStringLiteral("\\-"));
        QVERIFY2(
            QRegularExpression(QRegularExpression::escape(roff) + QStringLiteral("(?![a-z\\\\])"))
                .match(QString::fromUtf8(manual))
                .hasMatch(),
            qPrintable(option + QStringLiteral(" is not in quillet3-report(1)")));
    }
}

// Last: after every run above, the table is as it was written.
void TestReportCli::neverWritesTheTable()
{
    const QString path = m_dir.filePath(QStringLiteral("compdata.txt"));
    QCOMPARE(readFile(path), WorkedFile);
    QCOMPARE(QFileInfo(path).lastModified(), m_written);
}

QTEST_GUILESS_MAIN(TestReportCli)
#include "tst_report_cli.moc"
