// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// "チャートの比較星": a VSP answer from a file or fetched from a server of the
// test's own, its stars into the main window's table, and the rows that then
// know their star in the diagnosis and the report lines.
#include "form_test_support.h"
#include "ui/beside_windows_hub.h"
#include "ui/chart_dialog.h"
#include "ui/diagnosis_window.h"
#include "ui/report_line_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>

using namespace quillet;
using namespace quillet::test;

namespace {

QByteArray realAnswer()
{
    return readFile(QStringLiteral(QUILLET3_TEST_DATA "/vsp-ss-cyg.json"));
}

// VSP as the test plays it: every request answered so, or never; the
// request's first line kept.
class FakeVsp : public QTcpServer
{
public:
    enum class Answer { Chart, NotFound, NotAChart, Never, Endless };

    explicit FakeVsp(Answer answer)
    {
        listen(QHostAddress::LocalHost);
        const auto sized = [](const QByteArray &status, const QByteArray &body) {
            return status + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n"
                + body;
        };
        const QMap<Answer, QByteArray> answers {{Answer::Chart, sized("200 OK", realAnswer())},
            {Answer::NotFound, sized("404 Not Found", "{}")},
            {Answer::NotAChart, sized("200 OK", "<html>")},
            // Far more than any chart, without a length: never held whole.
            {Answer::Endless, "200 OK\r\n\r\n" + QByteArray(5 << 20, ' ')}};
        connect(this, &QTcpServer::newConnection, this, [this, answers, answer] {
            QTcpSocket *socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, answers, answer] {
                request += socket->readAll();
                if (request.contains("\r\n\r\n") && answers.contains(answer))
                    socket->write("HTTP/1.1 " + answers[answer]);
            });
        });
    }
    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/vsp/api/chart/").arg(serverPort());
    }
    QByteArray request;
};

} // namespace

class TestChartDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void intoTheTable();
    void fifteenAtMost();
    void rowsKnowTheirStar();
    void fetch_data();
    void fetch();

private:
    struct Main
    {
        ScriptedWindow w;
        BesideWindowsHub *windows;
        ChartDialog *dialog;
    };
    // The main window with the worked table and its chart dialog, the chart
    // file bytes opened in it when given.
    std::unique_ptr<Main> open(const QByteArray &chart = {});

    WorkingDirectory m_working;
};

void TestChartDialog::init()
{
    QSettings().clear();
    for (const QString &name : QDir(m_working.dir.path()).entryList(QDir::Files))
        QFile::remove(m_working.dir.filePath(name));
    writeFile(m_working.file(), WorkedFile);
}

std::unique_ptr<TestChartDialog::Main> TestChartDialog::open(const QByteArray &chart)
{
    auto m = std::make_unique<Main>();
    m->w.form.Form_Load();
    Form1 *form = &m->w.form;
    m->windows = new BesideWindowsHub(
        form, [form] { return form->diagnosisInputs(); }, &m->w.boxes,
        [form](const QStringList &texts) { form->setTableTexts(texts); });
    form->setDiagnosisWindows(m->windows);
    m->windows->showChart();
    m->dialog = m->windows->chart();
    if (!chart.isEmpty()) {
        writeFile(m_working.dir.filePath(QStringLiteral("answer")), chart);
        m->dialog->openFile(m_working.dir.filePath(QStringLiteral("answer")));
    }
    return m;
}

void TestChartDialog::intoTheTable()
{
    auto m = open(R"({"chartid":"X1","photometry":[]})");
    QVERIFY(m->dialog->status().contains(QStringLiteral("星が 1 つもありません")));
    QCOMPARE(m->dialog->stars()->rowCount(), 0);

    m = open(realAnswer());
    QVERIFY(m->dialog->chartTitle().contains(QStringLiteral("X28092AFQ")));
    // Brightest first; the star without V last, without a box, and said.
    QTableWidget *stars = m->dialog->stars();
    QCOMPARE(stars->item(0, 1)->text() + stars->item(0, 3)->text(), QStringLiteral("868.559"));
    QVERIFY(stars->item(4, 5)->text().startsWith(QStringLiteral("⚠ Suspected")));
    QCOMPARE(stars->item(5, 1)->text(), QStringLiteral("125"));
    QVERIFY(!(stars->item(5, 0)->flags() & Qt::ItemIsUserCheckable));
    QCOMPARE(m->dialog->checked(), QList<int>({0, 2, 4, 1, 3}));
    QVERIFY(m->dialog->status().contains(QStringLiteral("1 個の星に V の等級がありません")));
    m->dialog->filter()->setCurrentText(QStringLiteral("I")); // Ic: two stars
    QCOMPARE(m->dialog->checked(), QList<int>({0, 2}));
    m->dialog->filter()->setCurrentText(QStringLiteral("V"));

    // A table that holds anything is replaced only after the question.
    const QStringList before = m->w.form.tableTexts();
    m->w.boxes.choices = {1};
    m->dialog->putIntoTable();
    QCOMPARE(m->w.form.tableTexts(), before);
    QVERIFY(!QFile::exists(m_working.dir.filePath(QStringLiteral("chart.json"))));
    QVERIFY(m->w.boxes.texts.last().endsWith(QStringLiteral("置き換える|キャンセル")));
    stars->item(1, 0)->setCheckState(Qt::Unchecked); // 92 not taken
    m->w.boxes.choices = {0};
    m->dialog->putIntoTable();
    QStringList texts = m->w.form.tableTexts();
    QCOMPARE(
        texts.join(u'|'), QStringLiteral("|8.559||10.069||10.904||11.383") + QString(22, u'|'));
    QVERIFY(QFile::exists(m_working.dir.filePath(QStringLiteral("chart.json"))));
    QCOMPARE(readFile(m_working.file() + QStringLiteral(".before-chart")), WorkedFile);
    // compdata.txt is the close's to save, as for anything typed.
    QCOMPARE(readFile(m_working.file()), WorkedFile);
}

void TestChartDialog::fifteenAtMost()
{
    QByteArray stars;
    for (int k = 1; k <= 20; ++k)
        stars += QStringLiteral(R"(%1{"auid":"A-%2","label":"%2","bands":[{"band":"V","mag":%3}]})")
                     .arg(k > 1 ? "," : "")
                     .arg(k)
                     .arg(10 + k / 10.0)
                     .toUtf8();
    auto m = open(R"({"chartid":"X2","photometry":[)" + stars + "]}");
    QTableWidgetItem *sixteenth = m->dialog->stars()->item(15, 0);
    QCOMPARE(m->dialog->checked().size(), 15);
    sixteenth->setCheckState(Qt::Checked);
    QCOMPARE(sixteenth->checkState(), Qt::Unchecked);
    QVERIFY(m->dialog->status().contains(QStringLiteral("15 個まで")));
    m->dialog->stars()->item(0, 0)->setCheckState(Qt::Unchecked);
    sixteenth->setCheckState(Qt::Checked);
    QCOMPARE(m->dialog->checked().size(), 15);
    QVERIFY(m->dialog->checked().contains(15));
}

void TestChartDialog::rowsKnowTheirStar()
{
    auto m = open(realAnswer());
    m->dialog->putIntoTable();
    // Rows 1..4 measured; row 5 (114) not yet.
    for (int k = 1; k <= 4; ++k)
        m->w.form.text(2 * k - 1)->setText(QStringList({"1", "1.4", "2", "2.5"})[k - 1]);
    m->w.form.text(31)->setText(QStringLiteral("2.2"));
    m->windows->showDiagnosis();
    m->windows->showReportLines();
    DiagnosisWindow *diagnosis = m->windows->diagnosis();
    ReportLineDialog *lines = m->windows->reportLines();
    const QString notMeasured = QStringLiteral("行 5（114） はまだ測光していません");
    QVERIFY(diagnosis->summary().contains(notMeasured));
    QCOMPARE(diagnosis->checkStar()->itemText(2), QStringLiteral("行 2（92）"));
    lines->star()->setText(QStringLiteral("SS Cyg"));
    lines->obscode()->setText(QStringLiteral("XYZ"));
    lines->julianDate()->setText(QStringLiteral("2461382.5"));
    Q_EMIT lines->julianDate()->textEdited(lines->julianDate()->text());
    lines->checkStar()->setCurrentIndex(lines->checkStar()->findData(2));
    lines->recompute();
    QVERIFY(lines->warning().contains(notMeasured));
    m->w.boxes.answers = {true, true};
    lines->appendToAavsoFile();
    QVERIFY(!QFile::exists(lines->nightFile()));

    m->w.form.text(10)->clear(); // row 5 out
    lines->recompute();
    QCOMPARE(lines->checkName()->placeholderText() + lines->chart()->placeholderText(),
        QStringLiteral("000-BCP-185X28092AFQ"));
    QVERIFY(lines->aavsoLine().contains(QStringLiteral(",000-BCP-185,9.170,na,na,X28092AFQ,")));
    QVERIFY(lines->aavsoLine().endsWith(QStringLiteral("|KREFERR=0.02")));
    lines->checkName()->setText(QStringLiteral("my check")); // typed: no chart error
    lines->recompute();
    QVERIFY(lines->aavsoLine().contains(QStringLiteral(",my check,")));
    QVERIFY(!lines->aavsoLine().contains(QStringLiteral("KREFERR")));
    m->w.form.text(4)->setText(QStringLiteral("9.2")); // no chart star now
    diagnosis->recompute();
    QVERIFY(diagnosis->summary().contains(QStringLiteral("行 2 はｶﾀﾛｸﾞ値を手で変えた")));
    QCOMPARE(diagnosis->checkStar()->itemText(2), QStringLiteral("行 2"));
}

void TestChartDialog::fetch_data()
{
    QTest::addColumn<FakeVsp::Answer>("answer");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("said");
    QTest::newRow("a chart") << FakeVsp::Answer::Chart << false
                             << "チャート X28092AFQ を取得しました";
    QTest::newRow("HTTP 404") << FakeVsp::Answer::NotFound << false
                              << "エラーを返しました（HTTP 404）";
    QTest::newRow("not a chart") << FakeVsp::Answer::NotAChart << false
                                 << "答えがチャートではありません（JSON ではありません";
    QTest::newRow("no answer in time")
        << FakeVsp::Answer::Never << false << "0.3 秒のうちに答えがありませんでした";
    QTest::newRow("cancelled") << FakeVsp::Answer::Never << true << "取得を中止しました";
    QTest::newRow("endless") << FakeVsp::Answer::Endless << false << "大きすぎます";
}

void TestChartDialog::fetch()
{
    QFETCH(FakeVsp::Answer, answer);
    QFETCH(bool, cancel);
    QFETCH(QString, said);
    FakeVsp vsp(answer);
    qputenv("QUILLET3_VSP_URL", vsp.url().toUtf8());
    auto m = open();
    m->dialog->setTimeout(300);
    m->dialog->star()->setText(QStringLiteral("SS Cyg"));
    QSignalSpy ended(m->dialog, &ChartDialog::fetched);
    m->dialog->fetch();
    QVERIFY(
        m->dialog->fetching() && m->dialog->status().contains(QStringLiteral("取得しています")));
    if (cancel) {
        QTRY_VERIFY(!vsp.request.isEmpty());
        m->dialog->cancelFetch();
    }
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 10000);
    QVERIFY(!m->dialog->fetching());
    QVERIFY2(m->dialog->status().contains(said), qPrintable(m->dialog->status()));
    QCOMPARE(m->dialog->stars()->rowCount(), answer == FakeVsp::Answer::Chart ? 6 : 0);
    QCOMPARE(vsp.request.left(vsp.request.indexOf("\r\n")),
        QByteArray("GET /vsp/api/chart/?star=SS%20Cyg&fov=60&maglimit=14.5&format=json HTTP/1.1"));
    // Whatever the end, the table is as it was.
    QCOMPARE(m->w.form.text(1)->text().trimmed(), QStringLiteral("3"));
    qunsetenv("QUILLET3_VSP_URL");
}

QTEST_MAIN(TestChartDialog)
#include "tst_chart_dialog.moc"
