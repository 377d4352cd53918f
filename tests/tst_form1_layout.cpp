// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the user first meets it: controls, captions, places, focus
// order, and the clear commands.
#include "form_test_support.h"
#include "ui/forms.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

using namespace quillet;
using namespace quillet::test;

class TestForm1Layout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void window();
    void controls();
    void designSpotChecks_data();
    void designSpotChecks();
    void focusOrder();
    void clearCommands_data();
    void clearCommands();
    void textKeptAsWritten();
    void readableUnderAnyPalette_data();
    void readableUnderAnyPalette();
};

void TestForm1Layout::window()
{
    Form1 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Quillet3 ver1.00"));
    QCOMPARE(form.size(), QSize(915, 464));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.palette().color(QPalette::Window), QColor(192, 192, 192));
    QVERIFY(!form.windowIcon().isNull());
    QVERIFY(form.windowIcon().availableSizes().contains(QSize(64, 64)));
}

// Every control stands where its table entry says, as what it says.
void TestForm1Layout::controls()
{
    Form1 form;
    const std::vector<forms::ControlSpec> &specs = form1Controls();
    QCOMPARE(
        specs.size(), std::size_t(3 + 27 + 37 + 15)); // Frame1-3, Command1-27, Text1-37, Label1-15
    for (const forms::ControlSpec &entry : specs) {
        const auto found = form.findChildren<QWidget *>(entry.name);
        QCOMPARE(found.size(), 1);
        QWidget *control = found.first();
        QCOMPARE(
            control->parentWidget() == &form ? QString() : control->parentWidget()->objectName(),
            entry.parent);
        QCOMPARE(control->geometry(),
            forms::twipsRect(entry.left, entry.top, entry.width, entry.height));
        QString shown;
        if (auto *button = qobject_cast<QPushButton *>(control))
            shown = button->text();
        else if (auto *label = qobject_cast<QLabel *>(control))
            shown = label->text();
        else if (auto *box = qobject_cast<QLineEdit *>(control))
            shown = box->text();
        else if (auto *frame = qobject_cast<QGroupBox *>(control))
            shown = frame->title();
        else if (auto *edit = qobject_cast<QPlainTextEdit *>(control))
            shown = edit->toPlainText();
        else
            QFAIL(qPrintable(entry.name + QStringLiteral(" is of no known kind")));
        QCOMPARE(shown, entry.caption);
        // A screen reader has a name for every control (value labels: their role).
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible && !accessible->text(QAccessible::Name).isEmpty());
    }
}

// A few places and captions as the design gives them, so the table itself is checked.
void TestForm1Layout::designSpotChecks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");

    const auto row = [](const char *name, const char *cls, const char *parent, const char *caption,
                         int l, int t, int w, int h) {
        QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(cls)
                            << QString::fromUtf8(parent) << QString::fromUtf8(caption)
                            << QRect(l, t, w, h);
    };
    // clang-format off
    row("Frame3",    "QGroupBox",      "",       "平均の算出",                  3600, 3120, 4335, 3015);
    row("Command24", "QPushButton",    "",       "比較星グラフ",                6240, 6240, 1695, 495);
    row("Text37",    "QPlainTextEdit", "",       "",                            8040, 240,  5415, 5895);
    row("Label10",   "QLabel",         "Frame2", "等級 = 傾き x 測光値 + 定数", 240,  1920, 3855, 375);
    row("Label15",   "QLabel",         "Frame3", "--.--",                       2160, 2280, 1695, 375);
    row("Command19", "QPushButton",    "Frame3", "c",                           1320, 360,  255,  390);
    row("Text36",    "QLineEdit",      "Frame3", "",                            240,  2280, 975,  405);
    row("Command3",  "QPushButton",    "Frame1", "c",                           2640, 1080, 255,  390);
    row("Command4",  "QPushButton",    "Frame1", "c",                           2640, 1440, 255,  375);
    row("Text30",    "QLineEdit",      "Frame1", "",                            1440, 5760, 1095, 405);
    // clang-format on
}

void TestForm1Layout::designSpotChecks()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parent);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    Form1 form;
    QWidget *control = form.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
    QCOMPARE(control->parentWidget() == &form ? QString() : control->parentWidget()->objectName(),
        parent);
    QCOMPARE(
        control->geometry(), forms::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    const auto entry = std::find_if(form1Controls().begin(), form1Controls().end(),
        [&name](const forms::ControlSpec &e) { return e.name == name; });
    QCOMPARE(entry->caption, caption);
}

void TestForm1Layout::focusOrder()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), form.text(1));

    QStringList expected; // from Text1 on, wrapping back to it
    for (int n = 2; n <= 30; ++n)
        expected << QStringLiteral("Text%1").arg(n);
    for (int n = 1; n <= 16; ++n)
        expected << QStringLiteral("Command%1").arg(n);
    expected << QStringLiteral("Text31") << QStringLiteral("Command17");
    for (int n = 32; n <= 36; ++n)
        expected << QStringLiteral("Text%1").arg(n);
    for (int n = 18; n <= 26; ++n)
        expected << QStringLiteral("Command%1").arg(n);
    expected << QStringLiteral("Text37") << QStringLiteral("Command27") << QStringLiteral("Text1");

    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
}

void TestForm1Layout::clearCommands_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QList<int>>("cleared");

    QList<int> all;
    for (int n = 1; n <= 30; ++n)
        all << n;
    QTest::newRow("command1_click") << 1 << all;
    for (int k = 1; k <= 15; ++k)
        QTest::addRow("Command%d_Click row %d", k + 1, k) << k + 1 << QList<int> {2 * k - 1, 2 * k};
    QList<int> odd, even;
    for (int n = 1; n <= 30; n += 2) {
        odd << n;
        even << n + 1;
    }
    QTest::newRow("Command25_Click measured column") << 25 << odd;
    QTest::newRow("Command26_Click catalogue column") << 26 << even;
    for (int s = 1; s <= 5; ++s)
        QTest::addRow("Command%d_Click slot %d", 18 + s, s) << 18 + s << QList<int> {31 + s};
}

void TestForm1Layout::clearCommands()
{
    QFETCH(int, command);
    QFETCH(QList<int>, cleared);

    ScriptedWindow w;
    Form1 &form = w.form;
    for (int n = 1; n <= 36; ++n)
        form.text(n)->setText(QStringLiteral("t%1 \r").arg(n));
    form.text37()->setPlainText(QStringLiteral("paste"));
    for (int n = 1; n <= 15; ++n)
        form.label(n)->setText(QStringLiteral("L%1").arg(n));

    QStringList expected = allTexts(form);
    for (int n : cleared)
        expected[n - 1].clear();
    form.command(command)->click();
    QCOMPARE(allTexts(form), expected);
    // Clearing again: still empty, nothing else changes, nothing is shown.
    form.command(command)->click();
    QCOMPARE(allTexts(form), expected);
    QVERIFY(w.boxes.texts.isEmpty());
}

void TestForm1Layout::textKeptAsWritten()
{
    Form1 form;
    const QString odd = QStringLiteral(" 1 2x\r\n,\t\u3042 ");
    form.text(5)->setText(odd);
    form.text(31)->setText(QStringLiteral("   "));
    QCOMPARE(form.text(5)->text(), odd);
    QCOMPARE(form.text(31)->text(), QStringLiteral("   "));
    const QString longText(100000, u'9');
    form.text(7)->setText(longText);
    QCOMPARE(form.text(7)->text(), longText);
    form.Command4_Click();
    QCOMPARE(form.text(5)->text(), QString());
}

// Every text of the main window stands out from what it is drawn on (WCAG AA),
// under a light desktop palette and under a dark one: captions on the grey
// are dark whatever the palette; boxes and buttons follow it.
void TestForm1Layout::readableUnderAnyPalette_data()
{
    QTest::addColumn<QPalette>("desktop");
    QTest::newRow("default") << QApplication::palette();
    QPalette dark; // Adwaita's dark colours
    for (const auto &[role, colour] : {std::pair {QPalette::Window, QColor(0x35, 0x35, 0x35)},
             {QPalette::WindowText, QColor(0xee, 0xee, 0xec)},
             {QPalette::Base, QColor(0x2d, 0x2d, 0x2d)}, {QPalette::Text, QColor(Qt::white)},
             {QPalette::Button, QColor(0x35, 0x35, 0x35)},
             {QPalette::ButtonText, QColor(0xee, 0xee, 0xec)}})
        dark.setColor(role, colour);
    QTest::newRow("dark") << dark;
}

void TestForm1Layout::readableUnderAnyPalette()
{
    QFETCH(QPalette, desktop);
    const QPalette before = QApplication::palette();
    QApplication::setPalette(desktop);
    {
        Form1 form;
        for (QWidget *w : form.findChildren<QWidget *>()) {
            const QPalette p = w->palette();
            std::pair<QColor, QColor> colours;
            if (qobject_cast<QLabel *>(w) || qobject_cast<QGroupBox *>(w))
                colours = {p.color(QPalette::WindowText), p.color(QPalette::Window)};
            else if (qobject_cast<QPushButton *>(w))
                colours = {p.color(QPalette::ButtonText), p.color(QPalette::Button)};
            else if (qobject_cast<QLineEdit *>(w) || qobject_cast<QPlainTextEdit *>(w))
                colours = {p.color(QPalette::Text), p.color(QPalette::Base)};
            else
                continue;
            QVERIFY2(contrast(colours.first, colours.second) >= 4.5, qPrintable(w->objectName()));
        }
    }
    QApplication::setPalette(before);
}

QTEST_MAIN(TestForm1Layout)
#include "tst_form1_layout.moc"
