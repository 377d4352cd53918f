// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the main window: Measure, averaging and the import.
#include "core/magnitude_text_parser.h"
#include "form_test_support.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QTest>

using namespace quillet;
using namespace quillet::test;

namespace {

const QString EnterValue = QStringLiteral("変光星の測光値を入力して下さい");
const QString AreaFull = QStringLiteral(
    "「平均の算出」エリアが一杯です\rどこかをクリアして、測光ボタンを押して下さい");
const QString NoLine
    = QStringLiteral("近似直線を求められません\r測光値の異なる比較星を2個以上入力して下さい");

// The worked example's table with 2.5 in Text31.
struct Fixture : ScriptedWindow
{
    Fixture()
    {
        setTable(form, workedTable());
        form.text(31)->setText(QStringLiteral("2.5"));
    }
    QStringList results() const
    {
        return {form.label(10)->text(), form.label(12)->text(), form.label(6)->text(),
            form.label(8)->text()};
    }
};

} // namespace

class TestForm1Commands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void measureWorkedExample();
    void measureResults_data();
    void measureResults();
    void measureWithoutValue();
    void measureDegenerate_data();
    void measureDegenerate();
    void slotFilling();
    void fullArea();
    void enterEqualsClick();
    void enterPressesFocusedButton();
    void screenReaderReadsResults();
    void average_data();
    void average();
    void averageWithoutSlots();
    void importWorkedExample();
    void importDropsBeyondFifteen();
    void importPastedTextUnchanged();
    void importTypedText();
};

void TestForm1Commands::measureWorkedExample()
{
    Fixture f;
    QCOMPARE(f.form.label(10)->text(), QStringLiteral("等級 = 傾き x 測光値 + 定数"));
    QCOMPARE(f.form.label(12)->text(), QString());
    const QStringList table = f.form.tableTexts();
    f.form.command(17)->click();
    QCOMPARE(f.results(),
        (QStringList {QStringLiteral("傾き = 1.5"), QStringLiteral("定数 = 8"),
            QStringLiteral("11.75"), QStringLiteral("0.25")}));
    QCOMPARE(f.form.text(32)->text(), QStringLiteral("11.75"));
    for (int n = 33; n <= 36; ++n)
        QCOMPARE(f.form.text(n)->text(), QString());
    QCOMPARE(f.form.tableTexts(), table);
    QVERIFY(f.boxes.texts.isEmpty());
}

void TestForm1Commands::measureResults_data()
{
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("results");

    auto rows = [](std::initializer_list<const char *> texts) {
        QStringList list(30);
        int n = 0;
        for (const char *t : texts)
            list[n++] = QString::fromUtf8(t);
        return list;
    };
    QTest::newRow("negative slope") << rows({"1", "14", "3", "10"}) << "2"
                                    << QStringList {"傾き =-2", "定数 = 16", "12.00", "0.00"};
    QTest::newRow("magnitude below 1") << rows({"0", "1", "2", "0"}) << "0.5"
                                       << QStringList {"傾き =-0.5", "定数 = 1", ".75", "0.00"};
    QTest::newRow("negative magnitude") << rows({"0", "1", "2", "0"}) << "3"
                                        << QStringList {"傾き =-0.5", "定数 = 1", "-.50", "0.00"};
    QTest::newRow("blank value counts as 0")
        << workedTable() << " " << QStringList {"傾き = 1.5", "定数 = 8", "8.00", "0.25"};
    QTest::newRow("non-numeric value gives the constant")
        << workedTable() << "abc" << QStringList {"傾き = 1.5", "定数 = 8", "8.00", "0.25"};
    QTest::newRow("imported value with CR")
        << workedTable() << "-9.871\r" << QStringList {"傾き = 1.5", "定数 = 8", "-6.81", "0.25"};
}

void TestForm1Commands::measureResults()
{
    QFETCH(QStringList, table);
    QFETCH(QString, value);
    QFETCH(QStringList, results);
    Fixture f;
    setTable(f.form, table);
    f.form.text(31)->setText(value);
    f.form.Command17_Click();
    QCOMPARE(f.results(), results);
    QCOMPARE(f.form.text(32)->text(), results[2]);
}

void TestForm1Commands::measureWithoutValue()
{
    Fixture f;
    f.form.text(31)->clear();
    const QStringList before = allTexts(f.form);
    f.form.command(17)->click();
    QCOMPARE(f.boxes.texts, QStringList {EnterValue});
    QCOMPARE(f.boxes.buttonsShown.first(), forms::MessageBoxes::Buttons::Ok);
    QCOMPARE(allTexts(f.form), before);
}

void TestForm1Commands::measureDegenerate_data()
{
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("message");
    QStringList one(30);
    one[0] = QStringLiteral("1");
    one[1] = QStringLiteral("10");
    QStringList same = one;
    same[2] = QStringLiteral("1");
    same[3] = QStringLiteral("12");
    QStringList huge = one;
    huge[2] = QStringLiteral("1e300");
    huge[3] = QStringLiteral("1e300");
    const QString v = QStringLiteral("2.5");
    QTest::newRow("empty table") << QStringList(30) << v << NoLine;
    QTest::newRow("one row") << one << v << NoLine;
    QTest::newRow("same measured value") << same << v << NoLine;
    QTest::newRow("overflow") << huge << v << NoLine;
    // The line is there; the variable's magnitude is beyond a double.
    QTest::newRow("variable value overflows")
        << table({{"1", "10"}, {"2", "12"}}) << QStringLiteral("1e308")
        << QStringLiteral("変光星の等級を計算できません\r変光星の測光値が大きすぎます");
}

void TestForm1Commands::measureDegenerate()
{
    QFETCH(QStringList, table);
    QFETCH(QString, variable);
    QFETCH(QString, message);
    Fixture f;
    f.form.Command17_Click(); // an earlier good result stays on show
    f.boxes.texts.clear();
    setTable(f.form, table);
    f.form.text(31)->setText(variable);
    const QStringList before = allTexts(f.form);
    f.form.Command17_Click();
    QCOMPARE(f.boxes.texts, QStringList {message});
    QCOMPARE(allTexts(f.form), before);
}

void TestForm1Commands::slotFilling()
{
    Fixture f;
    f.form.text(32)->setText(QStringLiteral("12.00"));
    f.form.text(34)->setText(QStringLiteral(" "));
    f.form.Command17_Click();
    QCOMPARE(f.form.text(33)->text(), QStringLiteral("11.75"));
    f.form.Command17_Click();
    QCOMPARE(f.form.text(34)->text(), QStringLiteral(" ")); // a blank occupies its slot
    QCOMPARE(f.form.text(35)->text(), QStringLiteral("11.75"));
    f.form.Command20_Click();
    f.form.Command17_Click();
    QCOMPARE(f.form.text(33)->text(), QStringLiteral("11.75"));
    QCOMPARE(f.form.text(36)->text(), QString());
}

void TestForm1Commands::fullArea()
{
    Fixture f;
    for (int n = 32; n <= 36; ++n)
        f.form.text(n)->setText(QStringLiteral("1"));
    f.form.Command17_Click();
    QCOMPARE(f.boxes.texts, QStringList {AreaFull});
    QVERIFY(AreaFull.contains(u'\r') && !AreaFull.contains(u'\n'));
    QCOMPARE(f.results(),
        (QStringList {QStringLiteral("傾き = 1.5"), QStringLiteral("定数 = 8"),
            QStringLiteral("11.75"), QStringLiteral("0.25")}));
    for (int n = 32; n <= 36; ++n)
        QCOMPARE(f.form.text(n)->text(), QStringLiteral("1"));
}

void TestForm1Commands::enterEqualsClick()
{
    Fixture byClick;
    byClick.form.command(17)->click();
    Fixture byEnter;
    byEnter.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&byEnter.form));
    byEnter.form.text(31)->setFocus();
    QTest::keyClick(byEnter.form.text(31), Qt::Key_Return);
    QCOMPARE(allTexts(byEnter.form), allTexts(byClick.form));
    QTest::keyClick(byEnter.form.text(31), Qt::Key_Enter); // keypad Enter
    QCOMPARE(byEnter.form.text(33)->text(), QStringLiteral("11.75"));

    // Other keys only edit the text.
    const QStringList before = allTexts(byEnter.form);
    QTest::keyClicks(byEnter.form.text(31), QStringLiteral("7"));
    QCOMPARE(byEnter.form.text(31)->text(), QStringLiteral("2.57"));
    QStringList after = allTexts(byEnter.form);
    after[30] = before[30];
    QCOMPARE(after, before);
}

void TestForm1Commands::enterPressesFocusedButton()
{
    Fixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    f.form.command(17)->setFocus(); // Measure
    QTest::keyClick(f.form.command(17), Qt::Key_Return);
    QCOMPARE(f.form.text(32)->text(), QStringLiteral("11.75"));
    QCOMPARE(f.form.text(33)->text(), QString());
    f.form.command(1)->setFocus(); // clear the table, from the keypad
    QTest::keyClick(f.form.command(1), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.form.tableTexts(), QStringList(30));
    QVERIFY(f.boxes.texts.isEmpty());
}

// What Orca hears for each result: what it is, then what it shows.
void TestForm1Commands::screenReaderReadsResults()
{
    Fixture f;
    const auto heard = [&f](int label) {
        return QAccessible::queryAccessibleInterface(f.form.label(label))->text(QAccessible::Name);
    };
    QCOMPARE(heard(6), QStringLiteral("変光星の等級 --.--"));
    f.form.Command17_Click();
    f.form.text(33)->setText(QStringLiteral("11.25"));
    f.form.Command18_Click();
    QCOMPARE(QStringList({heard(6), heard(8), heard(10), heard(12), heard(14), heard(15)}),
        QStringList({QStringLiteral("変光星の等級 11.75"), QStringLiteral("測光ｴﾗｰ 0.25"),
            QStringLiteral("近似直線の傾き 傾き = 1.5"), QStringLiteral("近似直線の定数 定数 = 8"),
            QStringLiteral("平均値 11.50"), QStringLiteral("平均の測光ｴﾗｰ 0.25")}));
}

void TestForm1Commands::average_data()
{
    QTest::addColumn<QStringList>("slotTexts");
    QTest::addColumn<QString>("mean");
    QTest::addColumn<QString>("error");
    QTest::newRow("worked example") << QStringList {"11.75", "", "11.50", "12.00", ""} << "11.75"
                                    << "0.20";
    QTest::newRow("one slot") << QStringList {"", "", ".50", "", ""} << "0.50"
                              << "0.00";
    QTest::newRow("five slots") << QStringList {"1", "2", "3", "4", "5"} << "3.00"
                                << "1.41";
    QTest::newRow("abc counts as 0") << QStringList {"abc", "2", "", "", ""} << "1.00"
                                     << "1.00";
}

void TestForm1Commands::average()
{
    QFETCH(QStringList, slotTexts);
    QFETCH(QString, mean);
    QFETCH(QString, error);
    Fixture f;
    for (int s = 0; s < 5; ++s)
        f.form.text(32 + s)->setText(slotTexts[s]);
    f.form.command(18)->click();
    QCOMPARE(f.form.label(14)->text(), mean);
    QCOMPARE(f.form.label(15)->text(), error);
    // Clearing a slot leaves the result until the command runs again.
    f.form.Command19_Click();
    f.form.Command21_Click();
    QCOMPARE(f.form.label(14)->text(), mean);
    QCOMPARE(f.form.label(15)->text(), error);
    QVERIFY(f.boxes.texts.isEmpty());
}

void TestForm1Commands::averageWithoutSlots()
{
    Fixture f;
    f.form.label(14)->setText(QStringLiteral("1.00"));
    const QStringList before = allTexts(f.form);
    f.form.Command18_Click();
    QCOMPARE(allTexts(f.form), before);
    QVERIFY(f.boxes.texts.isEmpty());
    for (int n = 32; n <= 36; ++n)
        f.form.text(n)->setText(QStringLiteral("1e308"));
    // The sum overflows: no number to show, and the earlier result does not stay
    // on view as if it were this one.
    f.form.Command18_Click();
    QCOMPARE(f.form.label(14)->text(), QStringLiteral("--.--"));
    QCOMPARE(f.form.label(15)->text(), QStringLiteral("--.--"));
    QCOMPARE(f.boxes.texts,
        QStringList {
            QStringLiteral("平均を計算できません\r「平均の算出」エリアの値が大きすぎます")});
}

void TestForm1Commands::importWorkedExample()
{
    Fixture f;
    f.form.text37()->setPlainText(QStringLiteral(
        "Star  Magnitude\nNo.1  Magnitude -10.532  0.012\nNo.2  Magnitude -9.871\n"));
    QStringList expected = allTexts(f.form);
    expected[0] = QStringLiteral("-10.532");
    expected[2] = QStringLiteral("-9.871\r");
    f.form.command(27)->click();
    QCOMPARE(allTexts(f.form), expected);
    f.form.command(27)->click(); // a second press writes the same again
    QCOMPARE(allTexts(f.form), expected);
}

void TestForm1Commands::importDropsBeyondFifteen()
{
    Fixture f;
    QString text;
    for (int k = 1; k <= 20; ++k)
        text += QStringLiteral("No.%1  Magnitude -%2.123  0.012\n")
                    .arg(k)
                    .arg(k, 2, 10, QLatin1Char('0'));
    f.form.text37()->setPlainText(text);
    QStringList expected = allTexts(f.form);
    for (int k = 1; k <= 15; ++k)
        expected[2 * k - 2] = QStringLiteral("-%1.123").arg(k, 2, 10, QLatin1Char('0'));
    f.form.Command27_Click();
    QCOMPARE(allTexts(f.form), expected);

    // Three values: rows 4 to 15 keep what they held.
    f.form.text37()->setPlainText(QStringLiteral("Magnitude -1.0\nMagnitude -2.0\nMagnitude -3.0"));
    expected[0] = QStringLiteral("-1.0\r\nM");
    expected[2] = QStringLiteral("-2.0\r\nM");
    expected[4] = QStringLiteral("-3.0");
    expected[36] = f.form.text37()->toPlainText();
    f.form.Command27_Click();
    QCOMPARE(allTexts(f.form), expected);
}

// A paste reaches the parser character for character: a no-break space stays
// one, and only real line breaks become CR LF.
void TestForm1Commands::importPastedTextUnchanged()
{
    Fixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    QGuiApplication::clipboard()->setText(
        QStringLiteral("Magnitude -8.1\u00A02.3\r\nMagnitude -2\u2028345\nMagnitude -1\r\n"));
    f.form.text37()->setFocus();
    QTest::keyClick(f.form.text37(), Qt::Key_V, Qt::ControlModifier);
    f.form.command(27)->click();
    QCOMPARE(f.form.text(1)->text(), QStringLiteral("-8.1\u00A02."));
    QCOMPARE(f.form.text(3)->text(), QStringLiteral("-2\u2028345\r"));
    QCOMPARE(f.form.text(5)->text(), QStringLiteral("-1\r\n"));
}

// Typed line breaks reach the parser as CR LF, as the window arithmetic expects.
void TestForm1Commands::importTypedText()
{
    Fixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    f.form.text37()->setFocus();
    const QStringList lines {QStringLiteral("ID  Magnitude"),
        QStringLiteral("1   Magnitude -8.1 2.3"), QStringLiteral("2   Magnitude -12.345"),
        QStringLiteral("3   Magnitude -9.87")};
    for (const QString &line : lines) {
        QTest::keyClicks(f.form.text37(), line);
        QTest::keyClick(f.form.text37(), Qt::Key_Return);
    }
    const QStringList expected
        = MagnitudeTextParser(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    QCOMPARE(expected.size(), 3);
    QCOMPARE(expected[2], QStringLiteral("-9.87\r\n"));
    f.form.command(27)->click();
    for (int k = 1; k <= 3; ++k)
        QCOMPARE(f.form.text(2 * k - 1)->text(), expected[k - 1]);
}

QTEST_MAIN(TestForm1Commands)
#include "tst_form1_commands.moc"
