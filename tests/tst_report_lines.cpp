// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Every record belongs to one image: the report-line dialog's time, what it
// says when the values changed since, what a failure leaves, the rows the
// Measure reads otherwise than they show, the one check star, the night's
// file, and the keys that make an image one step.
#include "core/julian_date.h"
#include "fits_support.h"
#include "form_test_support.h"
#include "report/plot_colours.h"
#include "ui/beside_windows_hub.h"
#include "ui/diagnosis_window.h"
#include "ui/light_curve_window.h"
#include "ui/report_line_dialog.h"
#include "ui/settings.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QHelpEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>

using namespace quillet;
using namespace quillet::test;

class TestReportLines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void timeBelongsToItsValues_data();
    void timeBelongsToItsValues();
    void rowsNotReadAsShown_data();
    void rowsNotReadAsShown();
    void importSaid();
    void oneCheckStar();
    void nightFile();
    void heliocentric();
    void oneKeyPerImage();
    void enterDoesNotCopy();
    void windowsBesideNotOver();
    void lightCurveOneStarAtATime();
    void plotColours_data();
    void plotColours();

private:
    struct Main
    {
        ScriptedWindow w;
        BesideWindowsHub *windows;
        ReportLineDialog *dialog;
    };
    // The main window with the five-star table and 2.5 in Text31, and its
    // report-line dialog filled for SS Cyg.
    std::unique_ptr<Main> open();
    QString image(const QString &name, const QStringList &cards);

    QTemporaryDir m_dir;
    WorkingDirectory m_working;
};

namespace {

const QByteArray Table = WorkedFile + " 5 , 12.2 \r\n";

} // namespace

void TestReportLines::initTestCase()
{
    QVERIFY(!qEnvironmentVariable("QUILLET3_REPORT").isEmpty());
    writeFile(m_working.file(), Table);
}

void TestReportLines::init()
{
    // Each test starts without the last one's choices.
    QSettings().clear();
}

std::unique_ptr<TestReportLines::Main> TestReportLines::open()
{
    auto m = std::make_unique<Main>();
    m->w.form.Form_Load();
    m->w.form.text(31)->setText(QStringLiteral("2.5"));
    m->windows = new BesideWindowsHub(
        &m->w.form, [w = &m->w] { return w->form.diagnosisInputs(); }, &m->w.boxes);
    m->w.form.setDiagnosisWindows(m->windows);
    m->windows->showReportLines();
    m->dialog = m->windows->reportLines();
    m->dialog->star()->setText(QStringLiteral("SS Cyg"));
    m->dialog->obscode()->setText(QStringLiteral("XYZ"));
    m->dialog->filter()->setCurrentText(QStringLiteral("V"));
    return m;
}

QString TestReportLines::image(const QString &name, const QStringList &cards)
{
    const QString path = m_dir.filePath(name);
    return writeFitsImage(path, cards) ? path : QString();
}

// Rows of steps, and what the dialog shows after them: the time, the JD, the
// filter, what stands beside the time, and whether there is an AAVSO line.
void TestReportLines::timeBelongsToItsValues_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("jd");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("beside"); // in the time's problem
    QTest::addColumn<bool>("line");
    const QString at = QStringLiteral("2026-12-07 21:34:42");
    const QString jd = QStringLiteral("2461382.39910");
    QTest::newRow("no time at first") << QStringList() << ""
                                      << ""
                                      << "V"
                                      << "" << false;
    QTest::newRow("an image gives it") << QStringList {"image:0004.fits"} << at << jd << "R"
                                       << "" << true;
    QTest::newRow("values changed after the image")
        << QStringList {"image:0004.fits", "value:3"} << at << jd << "R"
        << "画像 0004.fits の時刻です。新しい画像を読み込みましたか" << true;
    QTest::newRow("the table changed after the image")
        << QStringList {"image:0004.fits", "row1:3.5"} << at << jd << "R"
        << "画像 0004.fits の時刻です" << true;
    QTest::newRow("the next image clears it")
        << QStringList {"image:0004.fits", "value:3", "image:0005.fits"} << "2026-12-07 21:44:42"
        << "2461382.40604"
        << "R"
        << "" << true;
    QTest::newRow("a field switched") << QStringList {"image:0004.fits", "field:RZ Cas"} << ""
                                      << ""
                                      << "V"
                                      << "" << false;
    QTest::newRow("an image without a time")
        << QStringList {"image:0004.fits", "image:no-time.fits"} << ""
        << ""
        << "R"
        << "" << false;
    QTest::newRow("a typed time that does not parse")
        << QStringList {"typed:2026-12-07 21:34:12", "typed:2026-12-07 25:00"} << "2026-12-07 25:00"
        << ""
        << "V"
        << "日時として読めません" << false;
    QTest::newRow("values changed after a typed time")
        << QStringList {"typed:2026-12-07 21:34:12", "value:3"} << "2026-12-07 21:34:12"
        << "2461382.39875"
        << "V"
        << "測光値が変わる前に入れた時刻です" << true;
    QTest::newRow("a filter of no code") << QStringList {"image:halpha.fits"} << at << jd << ""
                                         << "" << false;
}

void TestReportLines::timeBelongsToItsValues()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, time);
    QFETCH(QString, jd);
    QFETCH(QString, filter);
    QFETCH(QString, beside);
    QFETCH(bool, line);
    const QStringList start {"EXPTIME:60", "FILTER=Cousins R", "OBJECT=SS Cyg"};
    image(QStringLiteral("0004.fits"), QStringList {"DATE-OBS=2026-12-07T21:34:12"} + start);
    image(QStringLiteral("0005.fits"), QStringList {"DATE-OBS=2026-12-07T21:44:12"} + start);
    image(
        QStringLiteral("halpha.fits"), {"DATE-OBS=2026-12-07T21:34:12", "EXPTIME:60", "FILTER=Ha"});
    writeFile(m_dir.filePath(QStringLiteral("no-time.fits")), "SIMPLE  =                    T");
    auto m = open();
    ReportLineDialog &d = *m->dialog;
    for (const QString &step : steps) {
        const QString what = step.section(u':', 0, 0);
        const QString value = step.section(u':', 1);
        if (what == QLatin1String("image")) {
            d.useImage(m_dir.filePath(value));
        } else if (what == QLatin1String("typed")) {
            d.time()->setText(value);
            Q_EMIT d.time()->textEdited(value);
        } else if (what == QLatin1String("value")) {
            m->w.form.text(31)->setText(value);
        } else if (what == QLatin1String("row1")) {
            m->w.form.text(1)->setText(value);
        } else if (what == QLatin1String("field")) {
            const QString folder = qEnvironmentVariable("QUILLET3_HOME") + u'/' + value;
            QVERIFY(QDir().mkpath(folder));
            writeFile(folder + QStringLiteral("/compdata.txt"), Table);
            QVERIFY(m->w.form.switchField(folder));
            QVERIFY(QDir::setCurrent(m_working.dir.path()));
        }
        d.recompute();
    }
    QCOMPARE(d.time()->text(), time);
    QCOMPARE(d.julianDate()->text(), jd);
    QCOMPARE(d.filter()->currentText(), filter);
    QVERIFY2(beside.isEmpty() ? d.timeProblem().isEmpty() : d.timeProblem().contains(beside),
        qPrintable(d.timeProblem()));
    QCOMPARE(!d.aavsoLine().isEmpty(), line);
    if (!line)
        QVERIFY(d.vsnetLine().isEmpty() || jd.isEmpty() == false);
    // Values changed since the time: appending asks, and No appends nothing.
    if (!beside.isEmpty() && line) {
        m->w.boxes.answers = {false};
        d.appendToAavsoFile();
        QVERIFY(m->w.boxes.texts.last().startsWith(beside.left(8)));
        QVERIFY(!QFile::exists(d.nightFile()));
    }
    m->w.boxes.answers = {false};
    QVERIFY(m->w.form.close());
}

// A box the Measure reads as something else than it shows is named, in the
// diagnosis and the dialog, and nothing is appended while it takes part.
void TestReportLines::rowsNotReadAsShown_data()
{
    QTest::addColumn<int>("box"); // Text1..Text31
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("said");
    QTest::newRow("full-width digits") << 3 << "\uFF11.\uFF10"
                                       << "行 2 の測光値「\uFF11.\uFF10」は数値ではありません";
    QTest::newRow("a comma") << 6 << "-6,667"
                             << "行 3 のｶﾀﾛｸﾞ値「-6,667」は数値ではありません（-6 として";
    QTest::newRow("a word") << 1 << "Sky"
                            << "行 1 の測光値「Sky」は数値ではありません（0 として";
    QTest::newRow("no catalogue magnitude") << 4 << ""
                                            << "行 2 はｶﾀﾛｸﾞ値が空です";
    QTest::newRow("not measured yet") << 5 << ""
                                      << "行 3 はまだ測光していません";
    QTest::newRow("the variable's value") << 31 << "2,5"
                                          << "測光値が数値ではありません: 2,5";
}

void TestReportLines::rowsNotReadAsShown()
{
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(QString, said);
    auto m = open();
    m->w.form.text(box)->setText(text);
    m->windows->showDiagnosis();
    m->windows->diagnosis()->recompute();
    m->dialog->julianDate()->setText(QStringLiteral("2461382.5"));
    Q_EMIT m->dialog->julianDate()->textEdited(m->dialog->julianDate()->text());
    QVERIFY2(m->windows->diagnosis()->summary().contains(said),
        qPrintable(m->windows->diagnosis()->summary()));
    QVERIFY2(m->dialog->warning().contains(said) || m->dialog->aavsoProblem().contains(said),
        qPrintable(m->dialog->warning()));
    m->w.boxes.answers = {true, true};
    m->dialog->appendToAavsoFile();
    QVERIFY(!QFile::exists(m->dialog->nightFile()));
    m->w.boxes.answers = {false};
    QVERIFY(m->w.form.close());
}

// After the design's import the diagnosis says what it found and which rows
// still hold a value from before it; a paste without a value is said too.
void TestReportLines::importSaid()
{
    auto m = open();
    m->windows->showDiagnosis();
    m->w.form.text37()->setPlainText(
        QStringLiteral("C1 Magnitude -1.000\r\nC2 Magnitude -2.000\r\n"));
    m->w.form.Command27_Click();
    m->windows->diagnosis()->recompute();
    QVERIFY2(m->windows->diagnosis()->summary().contains(QStringLiteral(
                 "取り込んだ測光値 2 個。行 3, 4, 5 は取り込む前の測光値のままです")),
        qPrintable(m->windows->diagnosis()->summary()));
    m->w.form.text37()->setPlainText(QStringLiteral("nothing measured"));
    m->w.form.Command27_Click();
    m->windows->diagnosis()->recompute();
    QVERIFY(m->windows->diagnosis()->summary().contains(
        QStringLiteral("貼り付けた文に測光値（Magnitude の後の値）がありませんでした")));
    m->w.boxes.answers = {false};
    QVERIFY(m->w.form.close());
}

// The check star chosen in the diagnosis is the dialog's, and the field keeps it.
void TestReportLines::oneCheckStar()
{
    {
        auto m = open();
        m->windows->showDiagnosis();
        QComboBox *inDiagnosis = m->windows->diagnosis()->checkStar();
        inDiagnosis->setCurrentIndex(inDiagnosis->findData(4));
        QCOMPARE(m->dialog->checkStar()->currentData().toInt(), 4);
        m->dialog->checkStar()->setCurrentIndex(m->dialog->checkStar()->findData(3));
        QCOMPARE(inDiagnosis->currentData().toInt(), 3);
        QVERIFY(
            m->windows->diagnosis()->reportText().contains(QStringLiteral("チェック星（行 3）")));
        m->w.boxes.answers = {false};
        QVERIFY(m->w.form.close());
    }
    auto next = open();
    QCOMPARE(next->dialog->checkStar()->currentData().toInt(), 3);
    next->w.boxes.answers = {false};
    QVERIFY(next->w.form.close());
}

// One night's file for every field, named after the evening the night began;
// another one chosen is kept for that evening.
void TestReportLines::nightFile()
{
    const QString evening
        = JulianDate::eveningDate(JulianDate::now(), QDateTime::currentDateTime().offsetFromUtc());
    auto m = open();
    QCOMPARE(m->dialog->nightFile(),
        qEnvironmentVariable("QUILLET3_HOME") + QStringLiteral("/aavso-%1.txt").arg(evening));
    settings::chooseNightFile(m_dir.filePath(QStringLiteral("mine.txt")));
    m->w.boxes.answers = {false};
    QVERIFY(m->w.form.close());
    auto next = open();
    QCOMPARE(next->dialog->nightFile(), m_dir.filePath(QStringLiteral("mine.txt")));
    next->w.boxes.answers = {false};
    QVERIFY(next->w.form.close());
}

// HJD as quillet3-report writes it, from a typed position.
void TestReportLines::heliocentric()
{
    auto m = open();
    ReportLineDialog &d = *m->dialog;
    d.julianDate()->setText(QStringLiteral("2461382.5"));
    Q_EMIT d.julianDate()->textEdited(d.julianDate()->text());
    d.dateKind()->setCurrentIndex(1);
    QVERIFY(d.aavsoLine().isEmpty());
    QVERIFY(d.aavsoProblem().contains(QStringLiteral("HJD には星の位置が要ります")));
    d.ra()->setText(QStringLiteral("21:42:42.8"));
    d.dec()->setText(QStringLiteral("+43:35:09.9"));
    const Run run = runReport(m_working.dir.path(),
        {"--aavso", "--date", "hjd", "--ra", "21:42:42.8", "--dec", "+43:35:09.9", "--star",
            "SS Cyg", "--jd", "2461382.5", "--filter", "V", "--obscode", "XYZ", "2.5"});
    const QString hjd = run.out.split(u'\n').value(7).section(u',', 1, 1);
    QCOMPARE(d.aavsoLine().section(u',', 1, 1), QString::number(hjd.toDouble(), 'f', 5));
    m->w.boxes.answers = {false};
    QVERIFY(m->w.form.close());
}

// An image is Ctrl+Shift+V (the clipboard pasted and imported, the focus in
// Text31), the value, and Ctrl+Shift+O (the next image's time) — from any of
// the windows; with the choice made, the record goes into the night's file.
void TestReportLines::oneKeyPerImage()
{
    const QStringList start {"EXPTIME:60", "FILTER=V", "OBJECT=SS Cyg"};
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("night"))));
    const QString first = image(
        QStringLiteral("night/n0001.fits"), QStringList {"DATE-OBS=2026-12-07T21:34:12"} + start);
    image(QStringLiteral("night/n0002.fits"), QStringList {"DATE-OBS=2026-12-07T21:44:12"} + start);
    auto m = open();
    m->w.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&m->w.form));
    m->dialog->useImage(first);
    m->dialog->appendOnImage()->setChecked(true);
    m->w.boxes.answers = {true, true, true, true}; // the flagged star 5, each time
    QGuiApplication::clipboard()->setText(QStringLiteral(
        "C1 Magnitude -3.000\nC2 Magnitude -1.000\nC3 Magnitude -4.000\nC4 Magnitude -2.000\n"));
    QVERIFY(m->dialog->actions().contains(m->w.form.pasteAction()));
    QVERIFY(m->dialog->actions().contains(m->w.form.fieldsAction()));
    m->w.form.pasteAction()->trigger();
    QVERIFY(m->w.form.text(1)->text().startsWith(QStringLiteral("-3.000")));
    QCOMPARE(m->w.form.focusWidget(), m->w.form.text(31));
    m->w.form.text(31)->setText(QStringLiteral("-2.5"));
    QTest::keyClick(m->w.form.text(31), Qt::Key_Return);
    m->w.form.nextImageAction()->trigger();
    QCOMPARE(m->dialog->time()->text(), QStringLiteral("2026-12-07 21:44:42"));
    const QByteArray night = readFile(m->dialog->nightFile());
    QCOMPARE(night.count("SS Cyg,2461382.40604,"), 1);
    QVERIFY2(m->dialog->status().contains(QStringLiteral("に追加しました")),
        qPrintable(m->dialog->status()));
    // No next image: said.
    m->w.form.nextImageAction()->trigger();
    QVERIFY(m->dialog->status().contains(QStringLiteral("次の画像はありません")));
    QCOMPARE(readFile(m->dialog->nightFile()), night);
    QVERIFY(QFile::remove(m->dialog->nightFile()));
    m->w.boxes.answers = {false};
    QVERIFY(m->w.form.close());
}

// Enter in a field leaves the clipboard alone (it holds the measuring
// program's text); the copy button says what it did.
void TestReportLines::enterDoesNotCopy()
{
    auto m = open();
    m->dialog->show();
    QGuiApplication::clipboard()->setText(QStringLiteral("Magnitude -1.234"));
    QTest::keyClick(m->dialog->star(), Qt::Key_Return);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Magnitude -1.234"));
    QVERIFY(m->dialog->isVisible());
    m->w.boxes.answers = {false};
    QVERIFY(m->w.form.close());
}

// The windows are windows of their own: the main window can be raised over
// them. The main window's free background names the menu and its keys.
void TestReportLines::windowsBesideNotOver()
{
    auto m = open();
    m->windows->showDiagnosis();
    m->windows->showLightCurve();
    for (QWidget *window :
        {static_cast<QWidget *>(m->dialog), static_cast<QWidget *>(m->windows->diagnosis()),
            static_cast<QWidget *>(m->windows->lightCurve())}) {
        QVERIFY(window->isWindow());
        QCOMPARE(window->parentWidget(), nullptr);
    }
    m->w.form.show();
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), m->w.form.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&m->w.form, &help);
    QVERIFY2(
        QToolTip::text().contains(QStringLiteral("Ctrl+Shift+V")), qPrintable(QToolTip::text()));
    m->w.boxes.answers = {false};
    QVERIFY(m->w.form.close());
}

// Several stars in one file: one at a time, the field's own star first.
void TestReportLines::lightCurveOneStarAtATime()
{
    const QString path = m_dir.filePath(QStringLiteral("two.txt"));
    writeFile(path,
        "#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=,\n#DATE=JD\n"
        "RZ Cas,2461382.5,6.4,0.01,V\nSS Cyg,2461382.5,11.7,0.01,V\n"
        "SS Cyg,2461382.6,11.8,0.01,V\nRZ Cas,2461382.6,7.9,0.01,V\n");
    auto m = open();
    QSettings().setValue(
        settings::fieldKey(QString(), settings::ReportStar), QStringLiteral("SS Cyg"));
    m->windows->showLightCurve();
    LightCurveWindow &curve = *m->windows->lightCurve();
    curve.showFile(path);
    QCOMPARE(curve.series()->count(), 2);
    QVERIFY(curve.series()->itemText(0).startsWith(QStringLiteral("SS Cyg V（2 点）")));
    curve.series()->setCurrentIndex(1);
    QVERIFY(curve.series()->currentText().startsWith(QStringLiteral("RZ Cas V")));
    m->w.boxes.answers = {false};
    QVERIFY(m->w.form.close());
}

// Text and points at 4.5:1 at least, on paper and in windows light and dark.
void TestReportLines::plotColours_data()
{
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("text");
    QTest::newRow("paper") << QColor(Qt::white) << QColor(40, 40, 40);
    QTest::newRow("light window") << QColor(255, 255, 255) << QColor(0, 0, 0);
    QTest::newRow("Adwaita dark") << QColor(45, 45, 45) << QColor(238, 238, 236);
    QTest::newRow("black") << QColor(0, 0, 0) << QColor(255, 255, 255);
}

void TestReportLines::plotColours()
{
    QFETCH(QColor, background);
    QFETCH(QColor, text);
    const PlotColours::Colours c = QTest::currentDataTag() == QByteArray("paper")
        ? PlotColours::paper()
        : PlotColours::window(background, text);
    QCOMPARE(c.background, background);
    QList<QColor> points {c.text, c.stars, c.flagged, c.check, c.variable};
    points += c.series;
    for (const QColor &point : points)
        QVERIFY2(PlotColours::contrast(point, c.background) >= 4.5,
            qPrintable(QStringLiteral("%1 on %2: %3")
                           .arg(point.name(), c.background.name())
                           .arg(PlotColours::contrast(point, c.background))));
    // The light curve in a window of that palette: its background drawn.
    LightCurveCanvas canvas;
    QPalette palette = canvas.palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, text);
    canvas.setPalette(palette);
    canvas.resize(480, 320);
    canvas.setRecords({AavsoReader::Record {1, QStringLiteral("X"), AavsoReader::DateKind::Jd,
        2461382.5, 11, false, 0.01, QStringLiteral("V"), {}, {}, {}, {}}});
    QCOMPARE(canvas.grab().toImage().pixelColor(2, 2), background);
}

int main(int argc, char *argv[])
{
    // The user's settings and data folder stay out of it.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("QUILLET3_HOME", QFile::encodeName(config.path() + QStringLiteral("/data")));
    QDir().mkpath(config.path() + QStringLiteral("/data"));
    QApplication app(argc, argv);
    settings::useProgramFile();
    TestReportLines test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_report_lines.moc"
