// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// "時系列": a table of the night opened, an image or a star clicked out and
// back, the mapping edited and remembered for the star field.
#include "form_test_support.h"
#include "ui/beside_windows_hub.h"
#include "ui/series_window.h"

#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>

using namespace quillet;
using namespace quillet::test;

class TestSeriesWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QSettings().clear();
        const QString data = QStringLiteral(QUILLET3_TEST_DATA);
        const Run made = runProgram(QStringLiteral("sh"), m_working.dir.path(),
            {"-c",
                "python3 \"$0/aij_table.py\" 30 6 C4 > m.xls && python3 -c 'import sys; "
                "sys.path.insert(0, sys.argv[1]); import aij_table; "
                "open(\"compdata.txt\", \"w\").write(aij_table.compdata(6))' \"$0\"",
                data});
        QCOMPARE(made.status, 0);
    }

    void clicksLeaveOut()
    {
        ScriptedWindow w;
        w.form.Form_Load();
        BesideWindowsHub windows(
            &w.form, [&w] { return w.form.diagnosisInputs(); }, &w.boxes);
        windows.openSeries(m_working.dir.filePath(QStringLiteral("compdata.txt")));
        QVERIFY(w.boxes.texts.last().startsWith(QStringLiteral("表を読めません")));
        SeriesWindow *series = windows.series();
        windows.openSeries(m_working.dir.filePath(QStringLiteral("m.xls")));
        QCOMPARE(
            series->source(), QStringLiteral("m.xls: AstroImageJ の表、画像 30 枚、時刻 JD_UTC"));
        QCOMPARE(series->night().summary.used, 30);
        QCOMPARE(series->images()->model()->rowCount(), 30);
        // The drifting star, C4 in row 3, said in its table.
        QCOMPARE(series->stars()->item(2, 6)->text(), QStringLiteral("✕ ドリフト"));

        series->images()->clicked(series->images()->model()->index(1, 3));
        QCOMPARE(series->night().images[1].leftOut, NightSeries::LeftOut::Excluded);
        QCOMPARE(series->appendButton()->text(), QStringLiteral("AAVSO ファイルに追加（29 件）"));
        Q_EMIT series->stars()->cellClicked(2, 0);
        QCOMPARE(series->night().stars.size(), 4);
        QCOMPARE(series->stars()->item(4, 6)->text(), QStringLiteral("除外"));
        Q_EMIT series->stars()->cellClicked(4, 0); // back in
        QCOMPARE(series->night().stars.size(), 5);

        // The mapping edited: C6 out, C5 as the check star; kept for the field.
        series->rowColumn(5)->setCurrentIndex(0);
        series->check()->setCurrentIndex(4);
        QCOMPARE(series->night().stars.size(), 3);
        QCOMPARE(series->night().images[0].report.check->row, 4);
        QCOMPARE(series->night().images[0].report.n, 3);
        series->openFile(m_working.dir.filePath(QStringLiteral("m.xls")));
        QCOMPARE(series->mapping().check, std::optional<int>(4));
        QCOMPARE(series->rowColumn(5)->currentText(), QString());
        QCOMPARE(series->night().images[1].leftOut, NightSeries::LeftOut::None); // a new file
    }

private:
    WorkingDirectory m_working;
};

QTEST_MAIN(TestSeriesWindow)
#include "tst_series_window.moc"
