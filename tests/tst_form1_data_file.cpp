// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and shut-down of the main window with compdata.txt in the working
// directory: the table must survive, and a failed save must lose nothing.
#include "form_test_support.h"
#include "platform/star_fields.h"
#include "ui/field_dialog.h"
#include "ui/settings.h"

#include <QLineEdit>
#include <QListWidget>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <unistd.h>

using namespace quillet;
using namespace quillet::test;

namespace {

const QString SaveQuestion = QStringLiteral("比較星データを保存しますか");
const QString SaveFailed = QStringLiteral("比較星データを保存できませんでした\r");
const QString LoadFailed = QStringLiteral("比較星データを読み込めませんでした\r");
const QByteArray OldFile(" 1 , 2 \r\n 3 , 4 \r\n");
const QString SaveElsewhere = QStringLiteral("\r別のファイルに保存しますか");

// The window as the program starts it.
struct Window : ScriptedWindow
{
    Window()
    {
        form.Form_Load();
        form.show();
    }
};

} // namespace

class TestForm1DataFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpFillsTable();
    void startUpWithoutFile();
    void startUpWithFolderInTheWay();
    void shutDownOk();
    void shutDownCancel();
    void shutDownClosesGraph();
    void saveOntoFolderFails();
    void saveIntoReadOnlyFolderFails();
    void saveIntoRemovedFolderFails();
    void saveCutShortFails();
    void secondCopyAsksBeforeReplacing();
    void unreadableFileIsKept();
    void switchField_data();
    void switchField();
    void desktopStartsInTheFieldUsedLast();
    void newFieldNames_data();
    void newFieldNames();
    void aFieldThroughALink();
};

void TestForm1DataFile::startUpFillsTable()
{
    WorkingDirectory wd;
    writeFile(wd.file(), " 1234.5 , 11.2 \r\n-8.25 , 9.8 \r\n .5 , 0 \r\n");
    ScriptedWindow w;
    for (int n = 1; n <= 31; ++n)
        w.form.text(n)->setText(QStringLiteral("old"));
    w.form.Form_Load();
    QCOMPARE(w.form.tableTexts(), table({{"1234.5", "11.2"}, {"-8.25", "9.8"}, {"0.5", "0"}}));
    QCOMPARE(w.form.text(31)->text(), QString());
    QVERIFY(w.boxes.texts.isEmpty());
}

void TestForm1DataFile::startUpWithoutFile()
{
    WorkingDirectory wd;
    Window w;
    QCOMPARE(w.form.tableTexts(), QStringList(30));
    QVERIFY(w.boxes.texts.isEmpty());
    QVERIFY(!QFile::exists(wd.file()));
}

void TestForm1DataFile::startUpWithFolderInTheWay()
{
    WorkingDirectory wd;
    QVERIFY(QDir().mkdir(wd.file()));
    Window w;
    QCOMPARE(
        w.boxes.texts, QStringList {LoadFailed + QStringLiteral("compdata.txt はフォルダです")});
    QCOMPARE(w.form.tableTexts(), QStringList(30));
    QVERIFY(w.form.isVisible());
}

void TestForm1DataFile::shutDownOk()
{
    WorkingDirectory wd;
    writeFile(wd.file(), OldFile);
    Window w;
    w.form.text(3)->setText(QStringLiteral("1234.50"));
    w.form.text(5)->clear();
    w.form.text(6)->setText(QStringLiteral("11.2")); // catalogue only: kept
    w.form.text(9)->setText(QStringLiteral("abc"));
    w.form.text(31)->setText(QStringLiteral("2.5"));
    w.boxes.answers = {true};
    QVERIFY(w.form.close());
    QVERIFY(!w.form.isVisible());
    QCOMPARE(w.boxes.texts, QStringList {SaveQuestion});
    QCOMPARE(w.boxes.buttonsShown.first(), forms::MessageBoxes::Buttons::OkCancel);
    QCOMPARE(readFile(wd.file()), QByteArray(" 1 , 2 \r\n 1234.5 , 4 \r\n, 11.2 \r\n 0 , 0 \r\n"));
    QCOMPARE(
        QDir(wd.dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("compdata.txt")});

    // The next start shows the saved rows, moved up, and an empty Text31.
    Window next;
    QCOMPARE(
        next.form.tableTexts(), table({{"1", "2"}, {"1234.5", "4"}, {"", "11.2"}, {"0", "0"}}));
    QCOMPARE(next.form.text(31)->text(), QString());
}

void TestForm1DataFile::shutDownCancel()
{
    WorkingDirectory wd;
    writeFile(wd.file(), OldFile);
    Window w;
    w.form.command1_click();
    w.boxes.answers = {false};
    QVERIFY(w.form.close());
    QCOMPARE(w.boxes.texts, QStringList {SaveQuestion});
    QCOMPARE(readFile(wd.file()), OldFile);
}

void TestForm1DataFile::shutDownClosesGraph()
{
    for (const bool ok : {true, false}) {
        WorkingDirectory wd;
        Window w;
        w.form.Command24_Click();
        QVERIFY(w.form.graphWindow() && w.form.graphWindow()->isVisible());
        w.boxes.answers = {ok};
        QVERIFY(w.form.close());
        QVERIFY(!w.form.graphWindow()->isVisible());
        QCOMPARE(QFile::exists(wd.file()), ok);
    }
}

// A save that fails shows why, keeps the window (and so the table) open and
// leaves the earlier file as it was; once the cause is gone, closing again saves.
void TestForm1DataFile::saveOntoFolderFails()
{
    WorkingDirectory wd;
    Window w;
    w.form.text(1)->setText(QStringLiteral("5"));
    QVERIFY(QDir().mkdir(wd.file()));
    w.form.Command24_Click();
    w.boxes.answers = {true, true};
    QVERIFY(!w.form.close());
    QVERIFY(w.form.isVisible());
    QCOMPARE(w.boxes.texts.size(), 2);
    QVERIFY(w.boxes.texts[1].startsWith(SaveFailed));
    QVERIFY(w.boxes.texts[1].size() > SaveFailed.size());
    QVERIFY(QFileInfo(wd.file()).isDir());
    QCOMPARE(QDir(wd.dir.path()).entryList(QDir::Files), QStringList());
    QCOMPARE(w.form.text(1)->text(), QStringLiteral("5"));
    QVERIFY(w.form.graphWindow()->isVisible());

    // The table can go to another file the user chooses instead.
    const QString elsewhere = wd.dir.filePath(QStringLiteral("elsewhere.txt"));
    w.boxes.answers = {true, true};
    w.boxes.fileNames = {elsewhere};
    w.boxes.texts.clear();
    QVERIFY(w.form.close());
    QCOMPARE(readFile(elsewhere), QByteArray(" 5 , 0 \r\n"));
    QCOMPARE(
        w.boxes.texts.last(), QStringLiteral("比較星データを %1 に保存しました").arg(elsewhere));
    QVERIFY(QFileInfo(wd.file()).isDir());

    QVERIFY(QDir().rmdir(wd.file()));
    w.form.show();
    w.boxes.answers = {true};
    QVERIFY(w.form.close());
    QCOMPARE(readFile(wd.file()), QByteArray(" 5 , 0 \r\n"));
}

void TestForm1DataFile::saveIntoReadOnlyFolderFails()
{
    if (geteuid() == 0)
        QSKIP("root writes into read-only folders (CTest runs this test as nobody)");
    WorkingDirectory wd;
    writeFile(wd.file(), OldFile);
    Window w;
    QVERIFY(QFile::setPermissions(wd.dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    w.boxes.answers = {true, true};
    const bool closed = w.form.close();
    QFile::setPermissions(wd.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!closed);
    QCOMPARE(w.boxes.texts.value(1),
        SaveFailed
            + QStringLiteral("フォルダ %1 にファイルを作る権限がありません").arg(wd.dir.path())
            + SaveElsewhere);
    QCOMPARE(readFile(wd.file()), OldFile);
}

void TestForm1DataFile::saveIntoRemovedFolderFails()
{
    WorkingDirectory wd;
    const QString gone = wd.dir.filePath(QStringLiteral("gone"));
    QVERIFY(QDir().mkdir(gone));
    QVERIFY(QDir::setCurrent(gone));
    Window w;
    w.form.text(1)->setText(QStringLiteral("7"));
    QVERIFY(QDir().rmdir(gone));
    w.boxes.answers = {true, false};
    QVERIFY(!w.form.close());
    QCOMPARE(w.boxes.texts.value(1),
        SaveFailed + QStringLiteral("作業フォルダがありません（削除または移動されました）")
            + SaveElsewhere);
    QCOMPARE(w.form.text(1)->text(), QStringLiteral("7"));
    // Made again under its old path, the folder takes the table.
    QVERIFY(QDir().mkdir(gone));
    w.boxes.answers = {true};
    QVERIFY(w.form.close());
    QCOMPARE(readFile(gone + QStringLiteral("/compdata.txt")), QByteArray(" 7 , 0 \r\n"));

    // Started in a folder already removed: said at once.
    QVERIFY(QDir(gone).removeRecursively());
    const QString previousPwd = qEnvironmentVariable("PWD");
    qputenv("PWD", QFile::encodeName(gone));
    Window late;
    qputenv("PWD", QFile::encodeName(previousPwd));
    QCOMPARE(late.boxes.texts,
        QStringList {QStringLiteral("作業フォルダ %1 がありません（削除または移動されました）\r"
                                    "比較星データを保存するには、このフォルダを作り直して下さい")
                         .arg(gone)});
    // Cancel still lets the user leave without saving.
    late.boxes.answers = {false};
    QVERIFY(late.form.close());
}

void TestForm1DataFile::saveCutShortFails()
{
    WorkingDirectory wd;
    writeFile(wd.file(), OldFile);
    Window w;
    for (int n = 1; n <= 30; ++n)
        w.form.text(n)->setText(QStringLiteral("123456.789"));

    // A file size limit smaller than the table makes the write fail midway.
    w.boxes.answers = {true, true};
    const bool closed = [&w] {
        const FileSizeLimit limit(40);
        return w.form.close();
    }();

    QVERIFY(!closed);
    QVERIFY(w.form.isVisible());
    QCOMPARE(w.boxes.texts.value(1),
        SaveFailed + QStringLiteral("ファイルの大きさの上限を超えます") + SaveElsewhere);
    QCOMPARE(readFile(wd.file()), OldFile);
    QCOMPARE(QDir(wd.dir.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList {QStringLiteral("compdata.txt")});
    QCOMPARE(w.form.text(30)->text(), QStringLiteral("123456.789"));
}

// Two copies in one folder: the second to close asks before replacing the rows
// the first one saved; Cancel there keeps the window and its table.
void TestForm1DataFile::secondCopyAsksBeforeReplacing()
{
    WorkingDirectory wd;
    writeFile(wd.file(), OldFile);
    Window first;
    Window second;
    second.form.text(1)->setText(QStringLiteral("8"));
    QVERIFY(second.form.close());
    const QByteArray secondsRows = readFile(wd.file());
    QCOMPARE(secondsRows, QByteArray(" 8 , 2 \r\n 3 , 4 \r\n"));

    const QString changed = QStringLiteral(
        "compdata.txt "
        "は起動後にほかのプログラムが書き換えています\rこの内容で置き換えて保存しますか");
    first.form.text(1)->setText(QStringLiteral("9"));
    first.boxes.answers = {true, false};
    QVERIFY(!first.form.close());
    QCOMPARE(first.boxes.texts, (QStringList {SaveQuestion, changed}));
    QCOMPARE(readFile(wd.file()), secondsRows);
    QCOMPARE(first.form.text(1)->text(), QStringLiteral("9"));

    first.boxes.answers = {true, true};
    QVERIFY(first.form.close());
    QCOMPARE(readFile(wd.file()), QByteArray(" 9 , 2 \r\n 3 , 4 \r\n"));
}

// A file the program could not read is not destroyed by the next save. Needs a
// user who cannot read it: CTest runs this case again as nobody when it is root.
void TestForm1DataFile::unreadableFileIsKept()
{
    if (geteuid() == 0)
        QSKIP("root reads every file (CTest runs this test as nobody)");
    WorkingDirectory wd;
    writeFile(wd.file(), OldFile);
    QVERIFY(QFile::setPermissions(wd.file(), QFile::WriteOwner));
    Window w;
    QCOMPARE(w.boxes.texts,
        QStringList {LoadFailed
            + QStringLiteral("compdata.txt を読み書きする権限がありません\r"
                             "保存するときは、このファイルを別の名前で残します")});
    w.form.text(1)->setText(QStringLiteral("5"));
    w.form.text(2)->setText(QStringLiteral("6"));
    w.boxes.texts.clear();
    QVERIFY(w.form.close());
    const QString kept = wd.file() + QStringLiteral(".unreadable");
    QCOMPARE(w.boxes.texts,
        (QStringList {SaveQuestion,
            QStringLiteral(
                "読み込めなかった compdata.txt を compdata.txt.unreadable として残しました\r"
                "新しい compdata.txt には、新しいファイルの標準の権限を付けました")}));
    QVERIFY(QFile::setPermissions(kept, QFile::ReadOwner));
    QCOMPARE(readFile(kept), OldFile);
    // The new file can be read again: the next start shows the table.
    QCOMPARE(readFile(wd.file()), QByteArray(" 5 , 6 \r\n"));
    Window next;
    QVERIFY(next.boxes.texts.isEmpty());
    QCOMPARE(next.form.text(1)->text(), QStringLiteral("5"));
}

// Switching star fields: the changed table saved or kept as the user says, a
// failed save staying, and then the window as a fresh start in the new field.
void TestForm1DataFile::switchField_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("choice"); // 0 save, 1 don't save, 2 cancel
    QTest::addColumn<bool>("saveFails");
    QTest::addColumn<bool>("switched");
    QTest::addColumn<QByteArray>("left"); // the first field's file afterwards
    QTest::newRow("unchanged: no question") << false << -1 << false << true << OldFile;
    QTest::newRow("save and switch")
        << true << 0 << false << true << QByteArray(" 5 , 2 \r\n 3 , 4 \r\n");
    QTest::newRow("switch without saving") << true << 1 << false << true << OldFile;
    QTest::newRow("cancel stays") << true << 2 << false << false << OldFile;
    QTest::newRow("a failed save stays") << true << 0 << true << false << OldFile;
}

void TestForm1DataFile::switchField()
{
    QFETCH(bool, edited);
    QFETCH(int, choice);
    QFETCH(bool, saveFails);
    QFETCH(bool, switched);
    QFETCH(QByteArray, left);
    WorkingDirectory wd;
    const QString data = wd.dir.filePath(QStringLiteral("data"));
    qputenv("QUILLET3_HOME", QFile::encodeName(data));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(wd.dir.filePath(QStringLiteral("config"))));
    const QString ssCyg = data + QStringLiteral("/SS Cyg");
    const QString rzCas = data + QStringLiteral("/RZ Cas");
    QVERIFY(QDir().mkpath(ssCyg) && QDir().mkpath(rzCas));
    writeFile(ssCyg + QStringLiteral("/compdata.txt"), OldFile);
    writeFile(rzCas + QStringLiteral("/compdata.txt"), " 7 , 8 \r\n");
    QVERIFY(QDir::setCurrent(ssCyg));
    qputenv("PWD", QFile::encodeName(ssCyg));
    Window w;
    QCOMPARE(w.form.windowTitle(), QStringLiteral("Quillet3 ver1.00 - SS Cyg"));
    if (edited)
        w.form.text(1)->setText(QStringLiteral("5"));
    w.form.text(32)->setText(QStringLiteral("12.00"));
    if (choice >= 0)
        w.boxes.choices = {choice};
    w.boxes.answers = {false}; // no other file after a failed save
    const bool result = [&] {
        const FileSizeLimit limit(saveFails ? 4 : RLIM_INFINITY);
        return w.form.switchField(rzCas);
    }();
    QCOMPARE(result, switched);
    QCOMPARE(
        w.boxes.texts.filter(QStringLiteral("保存してから切り替えますか")).size(), edited ? 1 : 0);
    QCOMPARE(readFile(ssCyg + QStringLiteral("/compdata.txt")), left);
    QCOMPARE(QDir::currentPath(), switched ? rzCas : ssCyg);
    if (switched) {
        // As a fresh start in the new field.
        QCOMPARE(w.form.windowTitle(), QStringLiteral("Quillet3 ver1.00 - RZ Cas"));
        QCOMPARE(w.form.text(1)->text(), QStringLiteral("7"));
        QCOMPARE(w.form.text(32)->text(), QString());
        QCOMPARE(QSettings().value(settings::key(settings::LastField)).toString(),
            QStringLiteral("RZ Cas"));
        // The data folder itself keeps the design's own title.
        QVERIFY(w.form.switchField(data));
        QCOMPARE(w.form.windowTitle(), QStringLiteral("Quillet3 ver1.00"));
    } else {
        QCOMPARE(w.form.text(1)->text(), QStringLiteral("5"));
        QCOMPARE(w.form.text(32)->text(), QStringLiteral("12.00"));
    }
    w.boxes.answers = {false};
    QVERIFY(w.form.close());
    QVERIFY(QDir::setCurrent(wd.dir.path()));
}

// The desktop's start opens the field used last, or the data folder once that
// field is gone; made when missing.
void TestForm1DataFile::desktopStartsInTheFieldUsedLast()
{
    WorkingDirectory wd;
    const QString data = wd.dir.filePath(QStringLiteral("new data"));
    qputenv("QUILLET3_HOME", QFile::encodeName(data));
    QVERIFY(!StarFields::enterForDesktop(QStringLiteral("RZ Cas")));
    QCOMPARE(QDir::currentPath(), data); // made, and the field is not there
    QVERIFY(QDir().mkdir(data + QStringLiteral("/RZ Cas")));
    QVERIFY(!StarFields::enterForDesktop(QStringLiteral("RZ Cas")));
    QCOMPARE(QDir::currentPath(), data + QStringLiteral("/RZ Cas"));
    QVERIFY(!StarFields::enterForDesktop(QStringLiteral("../elsewhere")));
    QCOMPARE(QDir::currentPath(), data);
}

// A new field's name is a folder's name, and a new one; each refusal said.
void TestForm1DataFile::newFieldNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("said"); // empty: made and chosen
    QTest::newRow("a star's name") << QStringLiteral("かに座 TT") << QString();
    QTest::newRow("a slash") << QStringLiteral("SS/Cyg") << QStringLiteral("/ は使えません");
    QTest::newRow("a leading dot") << QStringLiteral(".hidden") << QStringLiteral(". で始める");
    QTest::newRow("an existing field")
        << QStringLiteral("RZ Cas") << QStringLiteral("もうあります");
    QTest::newRow("a file in the way")
        << QStringLiteral("notes") << QStringLiteral("「notes」という名前のファイルがあるので");
    QTest::newRow("none: the one selected") << QString() << QString();
}

void TestForm1DataFile::newFieldNames()
{
    QFETCH(QString, name);
    QFETCH(QString, said);
    WorkingDirectory wd;
    const QString data = wd.dir.path();
    QVERIFY(QDir().mkdir(data + QStringLiteral("/RZ Cas")));
    writeFile(data + QStringLiteral("/notes"), "not a field");
    ScriptedMessageBoxes boxes;
    FieldDialog dialog(data, data, &boxes);
    QCOMPARE(dialog.list()->count(), 2); // the data folder and RZ Cas
    QVERIFY(dialog.list()->item(0)->text().startsWith(QStringLiteral("● （データフォルダ）")));
    dialog.list()->setCurrentRow(1);
    dialog.newName()->setText(name);
    dialog.switchTo();
    if (!said.isEmpty()) {
        QVERIFY2(boxes.texts.value(0).contains(said), qPrintable(boxes.texts.value(0)));
        QVERIFY(dialog.chosenFolder().isEmpty());
    } else {
        const QString chosen = data + u'/' + (name.isEmpty() ? QStringLiteral("RZ Cas") : name);
        QCOMPARE(dialog.chosenFolder(), chosen);
        QVERIFY(QFileInfo(chosen).isDir());
    }
}

// A field that is a link to a folder elsewhere is a field throughout: listed,
// entered, named in the title, remembered; one named with a blank first too.
void TestForm1DataFile::aFieldThroughALink()
{
    WorkingDirectory wd;
    const QString data = wd.dir.filePath(QStringLiteral("data"));
    const QString elsewhere = wd.dir.filePath(QStringLiteral("disk/V Sge"));
    qputenv("QUILLET3_HOME", QFile::encodeName(data));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(wd.dir.filePath(QStringLiteral("config"))));
    QVERIFY(QDir().mkpath(elsewhere) && QDir().mkpath(data + QStringLiteral("/ Lead")));
    writeFile(elsewhere + QStringLiteral("/compdata.txt"), " 7 , 8 \r\n");
    QVERIFY(QFile::link(elsewhere, data + QStringLiteral("/V Sge")));
    QStringList names;
    for (const StarFields::Listed &field : StarFields::list(data))
        names << field.name;
    QCOMPARE(names, (QStringList {QString(), QStringLiteral(" Lead"), QStringLiteral("V Sge")}));
    QVERIFY(QDir::setCurrent(data));
    qputenv("PWD", QFile::encodeName(data));
    Window w;
    QVERIFY(w.form.switchField(data + QStringLiteral("/V Sge")));
    QCOMPARE(w.form.windowTitle(), QStringLiteral("Quillet3 ver1.00 - V Sge"));
    QCOMPARE(w.form.text(1)->text(), QStringLiteral("7"));
    QCOMPARE(
        QSettings().value(settings::key(settings::LastField)).toString(), QStringLiteral("V Sge"));
    QVERIFY(w.form.switchField(data + QStringLiteral("/ Lead")));
    QCOMPARE(w.form.windowTitle(), QStringLiteral("Quillet3 ver1.00 -  Lead"));
    w.boxes.answers = {false};
    QVERIFY(w.form.close());
    QVERIFY(!StarFields::enterForDesktop(QStringLiteral("V Sge")));
    QCOMPARE(qEnvironmentVariable("PWD"), data + QStringLiteral("/V Sge"));
    QVERIFY(QDir::setCurrent(wd.dir.path()));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    settings::useProgramFile();
    TestForm1DataFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_form1_data_file.moc"
