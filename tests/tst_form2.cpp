// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window opened from the main window: the drawing, the cursor
// read-out and the one-window life cycle.
#include "form_test_support.h"
#include "test_support.h"
#include "ui/form2.h"

#include <QMouseEvent>
#include <QTest>

using namespace quillet;
using namespace quillet::test;

namespace {

const QColor DarkBlue(0, 0, 128);
const QColor LightGrey(192, 192, 192);

// The graph window's worked example.
QStringList graphTable()
{
    return table({{"1", "10"}, {"2", "11"}, {"3", "12.5"}});
}

QImage imageOf(Form2 *graph)
{
    QImage image = graph->picture()->image().toImage();
    return image.convertToFormat(QImage::Format_RGB32);
}

// The colour at a point given in twips.
QColor colourAt(const QImage &image, int xTwips, int yTwips)
{
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(int(xTwips / 15.0 * ratio), int(yTwips / 15.0 * ratio));
}

int countColour(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    }
    return count;
}

void moveMouse(QWidget *picture, QPointF pixels, Qt::MouseButtons buttons = Qt::NoButton,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent move(
        QEvent::MouseMove, pixels, picture->mapToGlobal(pixels), Qt::NoButton, buttons, modifiers);
    QApplication::sendEvent(picture, &move);
}

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void window();
    void drawsDotsOnGrey();
    void emptyTableDrawsOnlyGrey();
    void cursorReadout();
    void secondPressOnlyRaises();
    void reopenRereadsTable();
};

void TestForm2::window()
{
    Form1 form;
    form.Command24_Click();
    Form2 *graph = form.graphWindow();
    QVERIFY(graph);
    QVERIFY(graph->isVisible());
    QVERIFY(!graph->parentWidget()); // modeless, no owner
    QCOMPARE(graph->windowTitle(), QStringLiteral("比較星グラフ"));
    QCOMPARE(graph->size(), QSize(302, 331));
    QCOMPARE(graph->minimumSize(), graph->maximumSize());
    QVERIFY(
        !(graph->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(graph->windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(graph->picture()->objectName(), QStringLiteral("Picture1"));
    QCOMPARE(graph->picture()->geometry(), QRect(0, 0, 300, 300));
    QCOMPARE(graph->label1()->objectName(), QStringLiteral("Label1"));
    QCOMPARE(graph->label1()->geometry(), forms::twipsRect(120, 4560, 4335, 255));
    QCOMPARE(graph->label1()->text(), QString());
    QVERIFY(graph->picture()->hasMouseTracking());
}

void TestForm2::drawsDotsOnGrey()
{
    Form1 form;
    setTable(form, graphTable());
    form.Command24_Click();
    const QImage image = imageOf(form.graphWindow());
    QCOMPARE(image.size() / image.devicePixelRatio(), QSize(300, 300));
    for (const QPoint dot : {QPoint(374, 375), QPoint(2249, 1875), QPoint(4125, 4125)}) {
        QCOMPARE(colourAt(image, dot.x(), dot.y()), DarkBlue);
        // About five pixels wide: the pixels two to the side are blue, four away grey.
        QCOMPARE(colourAt(image, dot.x() + 30, dot.y()), DarkBlue);
        QCOMPARE(colourAt(image, dot.x(), dot.y() - 30), DarkBlue);
        QCOMPARE(colourAt(image, dot.x() + 60, dot.y()), LightGrey);
    }
    QCOMPARE(colourAt(image, 0, 0), LightGrey);
    QCOMPARE(colourAt(image, 4499, 4499), LightGrey);
    QCOMPARE(colourAt(image, 2249, 375), LightGrey);
    const int blue = countColour(image, DarkBlue);
    QCOMPARE(blue, 3 * 25);
    QCOMPARE(countColour(image, LightGrey), 300 * 300 - blue);
}

void TestForm2::emptyTableDrawsOnlyGrey()
{
    Form1 form;
    form.Command24_Click();
    const QImage image = imageOf(form.graphWindow());
    QCOMPARE(countColour(image, LightGrey), image.width() * image.height());
    QCOMPARE(form.graphWindow()->edges().PlotLeft, 11998.8);
    QCOMPARE(form.graphWindow()->edges().PlotBottom, -11998.8);
}

void TestForm2::cursorReadout()
{
    Form1 form;
    setTable(form, graphTable());
    form.Command24_Click();
    Form2 *graph = form.graphWindow();
    QVERIFY(QTest::qWaitForWindowExposed(graph));
    QCOMPARE(graph->label1()->text(), QString());

    moveMouse(graph->picture(), QPointF(1000.0 / 15, 3000.0 / 15));
    QCOMPARE(graph->label1()->text(), QStringLiteral("X=1.33 / Y=11.75"));
    moveMouse(
        graph->picture(), QPointF(0, 0), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(graph->label1()->text(), QStringLiteral("X=.80 / Y=9.75"));
    moveMouse(graph->picture(), QPointF(300, 300), Qt::RightButton, Qt::AltModifier);
    QCOMPARE(graph->label1()->text(), QStringLiteral("X=3.20 / Y=12.75"));
    moveMouse(graph->picture(), QPointF(25, 25));
    QCOMPARE(graph->label1()->text(), QStringLiteral("X=1.00 / Y=10.00"));

    graph->Picture1_MouseMove(0, 0, 4500.f, 0.f);
    QCOMPARE(graph->label1()->text(), QStringLiteral("X=3.20 / Y=9.75"));
}

void TestForm2::secondPressOnlyRaises()
{
    Form1 form;
    setTable(form, graphTable());
    form.Command24_Click();
    Form2 *graph = form.graphWindow();
    moveMouse(graph->picture(), QPointF(10, 10));
    const QString readout = graph->label1()->text();
    const QImage before = imageOf(graph);

    form.command1_click();
    form.Command24_Click();
    QCOMPARE(form.graphWindow(), graph);
    QCOMPARE(imageOf(graph), before);
    QCOMPARE(graph->label1()->text(), readout);
    QCOMPARE(graph->edges().PlotLeft, 0.8);
}

void TestForm2::reopenRereadsTable()
{
    Form1 form;
    setTable(form, graphTable());
    form.Command24_Click();
    Form2 *graph = form.graphWindow();
    moveMouse(graph->picture(), QPointF(10, 10));
    QVERIFY(graph->close());

    const QStringList texts = table({{"-8.5", "9.2"}, {"-6.2", "12.0"}});
    setTable(form, texts);
    form.Command24_Click();
    QCOMPARE(form.graphWindow(), graph);
    QVERIFY(graph->isVisible());
    QCOMPARE(graph->label1()->text(), QString());
    QCOMPARE(graph->edges().PlotLeft, ScaleComparisonGraph(texts).edges.PlotLeft);
    const QImage image = imageOf(graph);
    QCOMPARE(colourAt(image, 2249, 1875), LightGrey); // the old middle dot is gone
    QCOMPARE(countColour(image, DarkBlue), 2 * 25);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
