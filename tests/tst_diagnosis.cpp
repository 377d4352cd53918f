// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The diagnosis window and the report-line dialog say what quillet3-report says
// for the same table, follow the main window, and the plugin that holds them
// is loaded only when it is ours.
#include "core/comparison_data_file.h"
#include "fits_support.h"
#include "form_test_support.h"
#include "ui/beside_windows_hub.h"
#include "ui/diagnosis_window.h"
#include "ui/light_curve_window.h"
#include "ui/report_line_dialog.h"
#include "ui/settings.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

using namespace quillet;
using namespace quillet::test;

namespace {

// The report tests' worked table, with a fifth star far off the line.
const QByteArray File = WorkedFile + " 5 , 12.2 \r\n";

QString report(const QString &dir, const QStringList &arguments)
{
    return runReport(dir, arguments).out;
}

} // namespace

class TestDiagnosis : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void sameTextAsTheReport_data();
    void sameTextAsTheReport();
    void sameLinesAsTheReport();
    void linesFollowTheMainWindow();
    void dialogRefuses_data();
    void dialogRefuses();
    void timeAndRememberedFields();
    void appendAsksWhatItMust();
    void settingsThatCannotBeWritten();
    void timeFromAnImage();
    void eachFieldItsOwnStar();
    void pluginLoad_data();
    void pluginLoad();
    void contextMenuReachesBoth();

private:
    ReportLineDialog *filledDialog();
    MainWindowInputs m_inputs;
    QTemporaryDir m_dir;
    ScriptedMessageBoxes m_boxes;
    std::unique_ptr<ReportLineDialog> m_dialog;
};

void TestDiagnosis::initTestCase()
{
    QVERIFY(!qEnvironmentVariable("QUILLET3_REPORT").isEmpty());
    writeFile(m_dir.filePath(QStringLiteral("compdata.txt")), File);
    m_inputs.tableTexts = ComparisonDataFile::deserialize(File);
    m_inputs.tableFolder = m_dir.path();
}

void TestDiagnosis::sameTextAsTheReport_data()
{
    QTest::addColumn<QString>("variable");
    QTest::addColumn<int>("check"); // 0: none
    QTest::newRow("worked value") << "2.5" << 0;
    QTest::newRow("check star 4") << "2.5" << 4;
    QTest::newRow("no variable") << "" << 2;
}

void TestDiagnosis::sameTextAsTheReport()
{
    QFETCH(QString, variable);
    QFETCH(int, check);
    m_inputs.variableText = variable;
    DiagnosisWindow window([this] { return m_inputs; }, &m_boxes);
    window.recompute();
    QStringList arguments;
    if (!variable.isEmpty())
        arguments << variable;
    if (check) {
        // The choice recomputes at once.
        window.checkStar()->setCurrentIndex(window.checkStar()->findData(check));
        arguments << QStringLiteral("--check") << QString::number(check);
        QVERIFY(window.reportText().contains(QStringLiteral("チェック星（行 %1）").arg(check)));
    }
    QCOMPARE(window.reportText(), report(m_dir.path(), arguments));
    // The same rows in the table; the star off the line is marked in words,
    // and the result comes first.
    QCOMPARE(window.table()->rowCount(), check ? 4 : 5);
    if (!check) {
        QCOMPARE(window.table()->item(4, 0)->text(), QStringLiteral("5"));
        QVERIFY(window.table()->item(4, 7)->text().contains(QStringLiteral("外れ")));
        QVERIFY(window.summary().contains(QStringLiteral("外れている比較星: 行 5")));
        QCOMPARE(
            window.summary().startsWith(QStringLiteral("変光星 2.5: 等級 ")), !variable.isEmpty());
    }
}

ReportLineDialog *TestDiagnosis::filledDialog()
{
    m_dialog = std::make_unique<ReportLineDialog>([this] { return m_inputs; }, &m_boxes);
    ReportLineDialog &d = *m_dialog;
    d.star()->setText(QStringLiteral("SS Cyg"));
    d.julianDate()->setText(QStringLiteral("2461382.51234"));
    Q_EMIT d.julianDate()->textEdited(d.julianDate()->text());
    d.obscode()->setText(QStringLiteral("XYZ"));
    d.chart()->setText(QStringLiteral("X12345ABC"));
    d.filter()->setCurrentText(QStringLiteral("R"));
    d.checkStar()->setCurrentIndex(0); // none, whatever the last test chose
    d.checkName()->clear();
    return &d;
}

void TestDiagnosis::sameLinesAsTheReport()
{
    m_inputs.variableText = QStringLiteral("2.5");
    ReportLineDialog &dialog = *filledDialog();
    const QStringList common {"--star", "SS Cyg", "--jd", "2461382.51234", "--obscode", "XYZ",
        "--chart", "X12345ABC", "2.5"};
    QCOMPARE(dialog.vsnetLine() + u'\n',
        report(m_dir.path(), QStringList {"--vsnet", "--filter", "Rc"} + common));
    QCOMPARE(dialog.aavsoLine(),
        report(m_dir.path(), QStringList {"--aavso", "--filter", "R"} + common)
            .split(u'\n')
            .value(7));
    // A check star's KMAG is its magnitude from the line, as the command
    // line writes it; the observation type is the dialog's choice.
    dialog.checkStar()->setCurrentIndex(dialog.checkStar()->findData(4));
    dialog.checkName()->setText(QStringLiteral("000-BCT-001"));
    dialog.obstype()->setCurrentText(QStringLiteral("DSLR"));
    const QString checked = report(m_dir.path(),
        QStringList {"--aavso", "--filter", "R", "--check", "4", "--check-name", "000-BCT-001",
            "--obstype", "DSLR"}
            + common);
    QCOMPARE(dialog.aavsoLine(), checked.split(u'\n').value(7));
    QVERIFY(dialog.aavsoLine().contains(QStringLiteral(",000-BCT-001,11.107,")));
    dialog.checkStar()->setCurrentIndex(0);
    dialog.checkName()->clear();
    // What is reported is said, and the flagged star is warned of.
    QVERIFY(dialog.reported().startsWith(QStringLiteral("11.")));
    QVERIFY(dialog.reported().endsWith(QStringLiteral("（変光星の測光値 2.5、予測誤差）")));
    QVERIFY(dialog.warning().contains(QStringLiteral("行 5")));
}

// With the dialog open, a new value in the main window changes the lines at
// once: what is copied is never an old line.
void TestDiagnosis::linesFollowTheMainWindow()
{
    WorkingDirectory wd;
    ScriptedWindow w;
    setTable(w.form, m_inputs.tableTexts);
    w.form.text(31)->setText(QStringLiteral("2.5"));
    auto *windows = new BesideWindowsHub(&w.form, [&w] { return w.form.diagnosisInputs(); });
    w.form.setDiagnosisWindows(windows);
    windows->checkStar().setRow(std::nullopt);
    windows->showReportLines();
    windows->showDiagnosis();
    ReportLineDialog &dialog = *windows->reportLines();
    dialog.star()->setText(QStringLiteral("SS Cyg"));
    dialog.obscode()->setText(QStringLiteral("XYZ"));
    dialog.julianDate()->setText(QStringLiteral("2461382.5"));
    Q_EMIT dialog.julianDate()->textEdited(dialog.julianDate()->text());
    w.form.text(31)->setText(QStringLiteral("3"));
    QTest::keyClick(w.form.text(31), Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(dialog.vsnetLine() + u'\n',
        report(m_dir.path(),
            {"--vsnet", "--star", "SS Cyg", "--jd", "2461382.5", "--filter", "V", "--obscode",
                "XYZ", "3"}));
    QCOMPARE(windows->diagnosis()->reportText(), report(m_dir.path(), {"3"}));
    w.boxes.answers = {false};
    QVERIFY(w.form.close());
}

// Fields that would break a line are refused, naming the field; every advice
// the dialog gives can be followed.
void TestDiagnosis::dialogRefuses_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("vsnet"); // in the problem beside VSNET's line, or in its line
    QTest::addColumn<QString>("aavso");
    QTest::newRow("comment star") << "star"
                                  << "#SS Cyg"
                                  << "星名 に使えない文字があります（先頭の #"
                                  << "星名 に使えない文字があります（先頭の #";
    QTest::newRow("CR in the star") << "star"
                                    << "SS\rCyg"
                                    << "星名 に使えない文字があります（改行"
                                    << "星名 に使えない文字があります（改行";
    QTest::newRow("blank in the code") << "obscode"
                                       << "XYZ ABC"
                                       << "観測者コード に空白は使えません"
                                       << "観測者コード に空白は使えません";
    QTest::newRow("blanks around are trimmed") << "obscode"
                                               << " XYZ "
                                               << "CYGSS "
                                               << "SS Cyg,";
    QTest::newRow("check name without a check star") << "checkName"
                                                     << "K"
                                                     << "CYGSS "
                                                     << "チェック星が選ばれていません";
    QTest::newRow("CV is VSNET's C") << "filter"
                                     << "CV"
                                     << "CYGSS 20261208.012 11."
                                     << "SS Cyg,";
    QTest::newRow("SG has no VSNET band") << "filter"
                                          << "SG"
                                          << "VSNET には SG に当たるフィルターがありません"
                                          << "SS Cyg,";
}

void TestDiagnosis::dialogRefuses()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, vsnet);
    QFETCH(QString, aavso);
    m_inputs.variableText = QStringLiteral("2.5");
    ReportLineDialog &d = *filledDialog();
    if (field == QLatin1String("filter"))
        d.filter()->setCurrentText(value);
    QLineEdit *edit = field == QLatin1String("star") ? d.star()
        : field == QLatin1String("obscode")          ? d.obscode()
        : field == QLatin1String("checkName")        ? d.checkName()
                                                     : nullptr;
    if (edit)
        edit->setText(value);
    QVERIFY2((d.vsnetLine() + d.vsnetProblem()).contains(vsnet), qPrintable(d.vsnetProblem()));
    QVERIFY2((d.aavsoLine() + d.aavsoProblem()).contains(aavso), qPrintable(d.aavsoProblem()));
    if (d.aavsoLine().isEmpty())
        QVERIFY(!d.aavsoProblem().isEmpty());
}

// UT as people type it and JD follow each other; star, code and filter are
// kept for the next night, the check star's name is not.
void TestDiagnosis::timeAndRememberedFields()
{
    {
        ReportLineDialog dialog([this] { return m_inputs; }, &m_boxes);
        dialog.time()->setText(QStringLiteral("2026-12-07 21:34:12"));
        Q_EMIT dialog.time()->textEdited(dialog.time()->text());
        QCOMPARE(dialog.julianDate()->text(), QStringLiteral("2461382.39875"));
        // A time that does not parse leaves no JD: no time of before stays.
        dialog.time()->setText(QStringLiteral("2026-12-07 25:00"));
        Q_EMIT dialog.time()->textEdited(dialog.time()->text());
        QVERIFY(!dialog.timeProblem().isEmpty());
        QCOMPARE(dialog.julianDate()->text(), QString());
        dialog.julianDate()->setText(QStringLiteral("2461382.75"));
        Q_EMIT dialog.julianDate()->textEdited(dialog.julianDate()->text());
        QCOMPARE(dialog.time()->text(), QStringLiteral("2026-12-08 06:00:00"));
        QVERIFY(dialog.timeProblem().isEmpty());
        dialog.obscode()->setText(QStringLiteral("ABC "));
        dialog.star()->setText(QStringLiteral("AG Dra"));
        dialog.checkName()->setText(QStringLiteral("K"));
        dialog.filter()->setCurrentText(QStringLiteral("B"));
        dialog.show();
        dialog.hide();
    }
    ReportLineDialog next([this] { return m_inputs; }, &m_boxes);
    QCOMPARE(next.obscode()->text(), QStringLiteral("ABC"));
    QCOMPARE(next.star()->text(), QStringLiteral("AG Dra"));
    QCOMPARE(next.filter()->currentText(), QStringLiteral("B"));
    QCOMPARE(next.checkName()->text(), QString());
}

// A flagged star and a record the file holds already are asked about; after a
// failure the next press asks for a file.
void TestDiagnosis::appendAsksWhatItMust()
{
    m_inputs.variableText = QStringLiteral("2.5");
    ReportLineDialog &d = *filledDialog();
    const QString night = m_dir.filePath(QStringLiteral("night.txt"));
    const QString folder = m_dir.filePath(QStringLiteral("folder.txt"));
    QVERIFY(QDir().mkpath(folder));
    m_boxes = {};
    m_boxes.fileNames = {night};
    d.setNightFile(folder);
    d.appendToAavsoFile(); // into a folder: refused, and a file asked for next
    QVERIFY(m_boxes.texts.value(0).contains(QStringLiteral("行 5")));
    QVERIFY(m_boxes.texts.value(1).contains(QStringLiteral("folder.txt はフォルダです")));
    QVERIFY(m_boxes.fileDialogs.isEmpty());
    d.appendToAavsoFile();
    QCOMPARE(m_boxes.fileDialogs.size(), 1);
    QVERIFY(m_boxes.fileDialogs.value(0).startsWith(QStringLiteral("追加先の AAVSO ファイル|")));
    QCOMPARE(d.nightFile(), night);
    QVERIFY(d.records().endsWith(QStringLiteral("1 件の記録")));
    QVERIFY2(
        d.status().startsWith(QStringLiteral("night.txt に追加しました")), qPrintable(d.status()));
    m_boxes.answers = {true, false}; // the flagged star: yes; the same record again: no
    d.appendToAavsoFile();
    QCOMPARE(
        m_boxes.texts.last(), QStringLiteral("同じ記録がすでにあります。もう一度追加しますか"));
    QCOMPARE(readFile(night).count("SS Cyg,"), 1);
}

// A folder where the settings file should be is said once, the first time
// the settings would be written.
void TestDiagnosis::settingsThatCannotBeWritten()
{
    const QString ini = QSettings().fileName();
    QVERIFY(QFile::remove(ini) || !QFile::exists(ini));
    QVERIFY(QDir().mkpath(ini));
    ScriptedMessageBoxes boxes;
    ReportLineDialog dialog([this] { return m_inputs; }, &boxes);
    for (int i = 0; i < 2; ++i) {
        dialog.show();
        dialog.hide();
    }
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts[0].contains(ini));
    QVERIFY(QDir(ini).removeRecursively());
}

// An image dropped onto the main window fills the dialog's time, filter, star
// and airmass; one without a time is said so and changes nothing; the light
// curve follows the night's file as records go in.
void TestDiagnosis::timeFromAnImage()
{
    const QString image = m_dir.filePath(QStringLiteral("ss-cyg.fits"));
    QVERIFY(writeFitsImage(image,
        {"DATE-OBS=2026-12-07T21:34:12", "EXPTIME:60", "AIRMASS:1.5", "FILTER=Cousins R",
            "OBJECT=SS Cyg"}));
    writeFile(m_dir.filePath(QStringLiteral("no-time.fits")), "SIMPLE  =                    T");

    ScriptedWindow w;
    setTable(w.form, m_inputs.tableTexts);
    w.form.text(31)->setText(QStringLiteral("2.5"));
    auto *windows = new BesideWindowsHub(
        &w.form, [&w] { return w.form.diagnosisInputs(); }, &w.boxes);
    w.form.setDiagnosisWindows(windows);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(image)});
    // Onto a text box, the paste box's too: the window takes the image, the
    // box keeps its text.
    for (QWidget *box : {static_cast<QWidget *>(w.form.text37()->viewport()),
             static_cast<QWidget *>(w.form.text(3))}) {
        QDragEnterEvent enter(
            QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &drop);
    }
    QCOMPARE(w.form.text37()->toPlainText(), QString());
    QVERIFY(windows->reportLines());
    QCOMPARE(w.form.text(3)->text(), m_inputs.tableTexts[2]);
    ReportLineDialog &d = *windows->reportLines();
    QCOMPARE(d.time()->text(), QStringLiteral("2026-12-07 21:34:42"));
    QCOMPARE(d.julianDate()->text(), QStringLiteral("2461382.39910"));
    QCOMPARE(d.filter()->currentText(), QStringLiteral("R"));
    QCOMPARE(d.star()->text(), QStringLiteral("SS Cyg"));
    QCOMPARE(d.airmass()->text(), QStringLiteral("1.5000"));
    QCOMPARE(d.imageNote(), QStringLiteral("ss-cyg.fits: DATE-OBS + EXPTIME/2"));
    d.obscode()->setText(QStringLiteral("XYZ"));
    QVERIFY2(d.aavsoLine().contains(QStringLiteral(",1.5000,")), qPrintable(d.aavsoProblem()));
    // An image without a time leaves no time of the last one.
    d.useImage(m_dir.filePath(QStringLiteral("no-time.fits")));
    QVERIFY(d.imageNote().startsWith(QStringLiteral("no-time.fits: 時刻がありません")));
    QCOMPARE(d.julianDate()->text(), QString());
    QCOMPARE(d.time()->text(), QString());
    QVERIFY(d.aavsoLine().isEmpty());
    d.useImage(image);

    // The light curve: the night's file, following it.
    QVERIFY(QFile::remove(d.nightFile()) || !QFile::exists(d.nightFile()));
    w.boxes.answers = {true};
    windows->reportLines()->appendToAavsoFile();
    w.form.lightCurveAction()->trigger();
    LightCurveWindow *curve = windows->lightCurve();
    QVERIFY(curve && curve->isVisible());
    QVERIFY2(curve->summary().startsWith(QStringLiteral("SS Cyg R: 1 点")),
        qPrintable(curve->summary()));
    d.julianDate()->setText(QStringLiteral("2461382.6"));
    Q_EMIT d.julianDate()->textEdited(d.julianDate()->text());
    w.boxes.answers = {true};
    d.appendToAavsoFile();
    QVERIFY(curve->summary().startsWith(QStringLiteral("SS Cyg R: 2 点")));
    w.boxes.answers = {false};
    QVERIFY(w.form.close());
}

// Each star field remembers its own star, filter and chart; a new field's
// star starts as its name, and the observer code follows the observer.
void TestDiagnosis::eachFieldItsOwnStar()
{
    MainWindowInputs inputs = m_inputs;
    inputs.field = QStringLiteral("RZ Cas");
    ReportLineDialog dialog([&inputs] { return inputs; }, &m_boxes);
    QCOMPARE(dialog.star()->text(), QStringLiteral("RZ Cas"));
    dialog.star()->setText(QStringLiteral("RZ Cas (2)"));
    dialog.filter()->setCurrentText(QStringLiteral("B"));
    dialog.obscode()->setText(QStringLiteral("ABC"));
    inputs.field = QStringLiteral("SS Cyg");
    dialog.fieldChanged();
    QCOMPARE(dialog.star()->text(), QStringLiteral("SS Cyg"));
    QCOMPARE(dialog.obscode()->text(), QStringLiteral("ABC"));
    dialog.filter()->setCurrentText(QStringLiteral("V"));
    inputs.field = QStringLiteral("RZ Cas");
    dialog.fieldChanged();
    QCOMPARE(dialog.star()->text(), QStringLiteral("RZ Cas (2)"));
    QCOMPARE(dialog.filter()->currentText(), QStringLiteral("B"));
}

// A plugin that is not there, not whole, or built for another version gives
// its reason, naming the file; nothing of it runs.
void TestDiagnosis::pluginLoad_data()
{
    QTest::addColumn<QString>("plugin");
    QTest::addColumn<QString>("reason");
    const QString real = qEnvironmentVariable("QUILLET3_PLUGIN");
    QTest::newRow("missing") << m_dir.filePath(QStringLiteral("none.so")) << "がありません";
    QTest::newRow("truncated") << QStringLiteral("truncated:") + real << "を読み込めませんでした";
    QTest::newRow("older interface")
        << qEnvironmentVariable("QUILLET3_OLD_PLUGIN") << "BesideWindowsPlugin/0、必要なのは";
    QTest::newRow("ours") << real << "";
}

void TestDiagnosis::pluginLoad()
{
    QFETCH(QString, plugin);
    QFETCH(QString, reason);
    if (plugin.startsWith(QLatin1String("truncated:"))) {
        const QByteArray whole = readFile(plugin.mid(10));
        plugin = m_dir.filePath(QStringLiteral("libtruncated.so"));
        writeFile(plugin, whole.left(whole.size() / 3));
    }
    ScriptedWindow w;
    setTable(w.form, m_inputs.tableTexts);
    w.form.setDiagnosisPluginPath(plugin);
    w.form.reportLinesAction()->trigger();
    if (reason.isEmpty()) {
        QVERIFY(w.boxes.texts.isEmpty());
    } else {
        QCOMPARE(w.boxes.texts.size(), 1);
        QVERIFY2(w.boxes.texts[0].contains(plugin + u' ') && w.boxes.texts[0].contains(reason),
            qPrintable(w.boxes.texts[0]));
    }
    QCOMPARE(w.form.tableTexts(), m_inputs.tableTexts); // the table stays
    w.boxes.answers = {false};
    QVERIFY(w.form.close());
}

// The main window's menu and shortcuts open the windows beside it, with its
// boxes as they are; each window opens the others, Escape closes it, and all
// close with the main window.
void TestDiagnosis::contextMenuReachesBoth()
{
    WorkingDirectory wd;
    ScriptedWindow w;
    w.form.show();
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    setTable(w.form, m_inputs.tableTexts);
    w.form.text(31)->setText(QStringLiteral("2.5"));
    auto *windows = new BesideWindowsHub(&w.form, [&w] { return w.form.diagnosisInputs(); });
    w.form.setDiagnosisWindows(windows);
    QCOMPARE(w.form.diagnosisAction()->text(), QStringLiteral("比較星の診断…"));
    QCOMPARE(w.form.reportLinesAction()->text(), QStringLiteral("報告行…"));
    w.form.text(31)->setFocus();
    QTest::keyClick(w.form.text(31), Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(windows->diagnosis() && windows->diagnosis()->isVisible());
    QVERIFY(windows->diagnosis()->reportText().contains(QStringLiteral("変光星 2.5: 等級")));
    QVERIFY(QTest::qWaitForWindowActive(windows->diagnosis()));
    QTest::keyClick(windows->diagnosis(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(windows->reportLines() && windows->reportLines()->isVisible());
    QCOMPARE(w.form.text(31)->text(), QStringLiteral("2.5")); // no box written
    QVERIFY(QTest::qWaitForWindowActive(windows->reportLines()));
    QTest::keyClick(windows->reportLines(), Qt::Key_Escape);
    QVERIFY(!windows->reportLines()->isVisible());
    w.boxes.answers = {false};
    QVERIFY(w.form.close());
    QVERIFY(!windows->diagnosis()->isVisible());
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
    TestDiagnosis test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_diagnosis.moc"
