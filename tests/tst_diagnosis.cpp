// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The diagnosis window and the report-line dialog say what quillet3-report says
// for the same table.
#include "core/comparison_data_file.h"
#include "form_test_support.h"
#include "ui/diagnosis_windows.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QProcess>
#include <QTableWidget>
#include <QTest>

using namespace quillet;
using namespace quillet::test;

namespace {

// The report tests' worked table, with a fifth star far off the line.
const QByteArray File(" 3 , 12.25 \r\n 1 , 9.75 \r\n 4 , 14.25 \r\n 2 , 10.75 \r\n 5 , 12.2 \r\n");

QString report(const QString &dir, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    process.start(qEnvironmentVariable("QUILLET3_REPORT"), arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        return QStringLiteral("<quillet3-report did not finish>");
    return QString::fromUtf8(process.readAllStandardOutput());
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
    void timeAndRememberedFields();
    void contextMenuReachesBoth();

private:
    DiagnosisInputs m_inputs;
    QTemporaryDir m_dir;
    ScriptedMessageBoxes m_boxes;
};

void TestDiagnosis::initTestCase()
{
    QVERIFY(!qEnvironmentVariable("QUILLET3_REPORT").isEmpty());
    writeFile(m_dir.filePath(QStringLiteral("compdata.txt")), File);
    m_inputs.tableTexts = ComparisonDataFile::deserialize(File);
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
    // The same rows in the table; the star off the line is marked in words.
    QCOMPARE(window.table()->rowCount(), check ? 4 : 5);
    if (!check) {
        QCOMPARE(window.table()->item(4, 0)->text(), QStringLiteral("5"));
        QVERIFY(window.table()->item(4, 7)->text().contains(QStringLiteral("外れ")));
    }
}

void TestDiagnosis::sameLinesAsTheReport()
{
    m_inputs.variableText = QStringLiteral("2.5");
    ReportLineDialog dialog([this] { return m_inputs; }, &m_boxes);
    dialog.field(QStringLiteral("星名"))->setText(QStringLiteral("SS Cyg"));
    dialog.field(QStringLiteral("JD"))->setText(QStringLiteral("2461382.51234"));
    Q_EMIT dialog.field(QStringLiteral("JD"))->textEdited(QStringLiteral("2461382.51234"));
    dialog.field(QStringLiteral("観測者コード"))->setText(QStringLiteral("XYZ"));
    dialog.field(QStringLiteral("チャート"))->setText(QStringLiteral("X12345ABC"));
    dialog.choice(QStringLiteral("フィルター"))->setCurrentText(QStringLiteral("Rc"));
    const QStringList common {"--star", "SS Cyg", "--jd", "2461382.51234", "--filter", "Rc",
        "--obscode", "XYZ", "--chart", "X12345ABC", "2.5"};
    QCOMPARE(dialog.vsnetLine() + u'\n', report(m_dir.path(), QStringList {"--vsnet"} + common));
    QCOMPARE(dialog.aavsoLine(),
        report(m_dir.path(), QStringList {"--aavso"} + common).split(u'\n').value(7));
    // A field a line needs is named beside it, instead of a line with a hole.
    dialog.field(QStringLiteral("観測者コード"))->clear();
    QVERIFY(dialog.vsnetLine().isEmpty());
    QCOMPARE(dialog.vsnetProblem(), QStringLiteral("観測者コードがありません"));
    dialog.field(QStringLiteral("観測者コード"))->setText(QStringLiteral("XYZ"));
    dialog.choice(QStringLiteral("フィルター"))->setCurrentText(QStringLiteral("C"));
    QVERIFY(!dialog.vsnetLine().isEmpty());
    QVERIFY(dialog.aavsoLine().isEmpty());
    QVERIFY(dialog.aavsoProblem().contains(QStringLiteral("CV")));
}

// JD and UT follow each other both ways; star, code and filter are kept for the
// next night, the check star's name is not.
void TestDiagnosis::timeAndRememberedFields()
{
    {
        ReportLineDialog dialog([this] { return m_inputs; }, &m_boxes);
        dialog.time()->setDateTime(QDateTime(QDate(2000, 1, 1), QTime(12, 0), Qt::UTC));
        QLineEdit *jd = dialog.field(QStringLiteral("JD"));
        QCOMPARE(jd->text(), QStringLiteral("2451545.00000"));
        jd->setText(QStringLiteral("2461382.75"));
        Q_EMIT jd->textEdited(jd->text());
        QCOMPARE(dialog.time()->dateTime(), QDateTime(QDate(2026, 12, 8), QTime(6, 0), Qt::UTC));
        dialog.field(QStringLiteral("観測者コード"))->setText(QStringLiteral("ABC"));
        dialog.field(QStringLiteral("星名"))->setText(QStringLiteral("AG Dra"));
        dialog.field(QStringLiteral("チェック星名"))->setText(QStringLiteral("K"));
        dialog.choice(QStringLiteral("フィルター"))->setCurrentText(QStringLiteral("B"));
    }
    ReportLineDialog next([this] { return m_inputs; }, &m_boxes);
    QCOMPARE(next.field(QStringLiteral("観測者コード"))->text(), QStringLiteral("ABC"));
    QCOMPARE(next.field(QStringLiteral("星名"))->text(), QStringLiteral("AG Dra"));
    QCOMPARE(next.choice(QStringLiteral("フィルター"))->currentText(), QStringLiteral("B"));
    QCOMPARE(next.field(QStringLiteral("チェック星名"))->text(), QString());
}

// The main window's menu and shortcuts open both windows, with its boxes as
// they are, and the windows close with it.
void TestDiagnosis::contextMenuReachesBoth()
{
    WorkingDirectory wd;
    ScriptedWindow w;
    w.form.show();
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    setTable(w.form, m_inputs.tableTexts);
    w.form.text(31)->setText(QStringLiteral("2.5"));
    auto *windows = new DiagnosisWindowsImpl(&w.form, [&w] {
        return DiagnosisInputs {w.form.tableTexts(), w.form.text(31)->text()};
    });
    w.form.setDiagnosisWindows(windows);
    QCOMPARE(w.form.diagnosisAction()->text(), QStringLiteral("比較星の診断…"));
    QCOMPARE(w.form.reportLinesAction()->text(), QStringLiteral("報告行…"));
    w.form.text(31)->setFocus();
    QTest::keyClick(w.form.text(31), Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(windows->diagnosis() && windows->diagnosis()->isVisible());
    QVERIFY(windows->diagnosis()->reportText().contains(QStringLiteral("変光星 2.5: 等級")));
    w.form.reportLinesAction()->trigger();
    QVERIFY(windows->reportLines() && windows->reportLines()->isVisible());
    QCOMPARE(w.form.text(31)->text(), QStringLiteral("2.5")); // no box written
    w.boxes.answers = {false};
    QVERIFY(w.form.close());
    QVERIFY(!windows->diagnosis()->isVisible() && !windows->reportLines()->isVisible());
}

int main(int argc, char *argv[])
{
    // The user's settings stay out of it.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    TestDiagnosis test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_diagnosis.moc"
