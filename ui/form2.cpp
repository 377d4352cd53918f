// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/form2.h"

#include "ui/forms.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace quillet {

namespace {

// Pen width of Picture1 in logical pixels, so the dots are clearly visible.
constexpr qreal DotPenWidth = 5;

const std::vector<forms::ControlSpec> &form2Controls()
{
    using forms::ControlKind;
    // clang-format off
    static const std::vector<forms::ControlSpec> specs = {
        {QStringLiteral("Picture1"), ControlKind::DrawingSurface, {}, {}, 0, 0, 4500, 4500, 0,
         QStringLiteral("比較星グラフ")},
        {QStringLiteral("Label1"), ControlKind::PlainLabel, {}, {}, 120, 4560, 4335, 255, 1,
         QStringLiteral("カーソル位置")},
    };
    // clang-format on
    return specs;
}

} // namespace

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true); // moves are reported without a button held
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::drawGraph(const ComparisonGraph &graph)
{
    const qreal ratio = devicePixelRatioF();
    const QSize logical(forms::twipsToPixels(PlotExtent), forms::twipsToPixels(PlotExtent));
    m_image = QPixmap(logical * ratio);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(palette().color(QPalette::Button));

    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const qreal scale = 1.0 / forms::TwipsPerPixel;
    painter.fillRect(QRectF(0, 0, PlotExtent * scale, PlotExtent * scale), forms::paletteColour(7));
    QPen pen(forms::paletteColour(1), DotPenWidth, Qt::SolidLine, Qt::SquareCap);
    painter.setPen(pen);
    for (const QPoint &dot : graph.dots)
        painter.drawPoint(QPointF(dot.x() * scale, dot.y() * scale));
    painter.end();
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.drawPixmap(0, 0, m_image);
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF position = event->position();
    Q_EMIT mouseMoved(int(event->buttons()), int(event->modifiers()),
        float(position.x() * forms::TwipsPerPixel), float(position.y() * forms::TwipsPerPixel));
}

Form2::Form2(QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_picture(new PictureBox(this))
{
    m_picture->setObjectName(QStringLiteral("Picture1"));
    const auto controls = forms::buildControls(this, form2Controls());
    m_label1 = qobject_cast<QLabel *>(controls.value(QStringLiteral("Label1")));
    setWindowTitle(QStringLiteral("比較星グラフ"));
    const QRect client = forms::twipsRect(3240, 2685, 4530, 4965); // as the main window's
    setFixedSize(client.size());
    setGeometry(client);
    forms::useScreenColormap(this);
    connect(m_picture, &PictureBox::mouseMoved, this, &Form2::Picture1_MouseMove);
}

void Form2::Form_Load(const QStringList &tableTexts)
{
    const ComparisonGraph graph = ScaleComparisonGraph(tableTexts);
    m_edges = graph.edges;
    m_label1->clear();
    m_picture->drawGraph(graph);
}

void Form2::Picture1_MouseMove(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    m_label1->setText(CursorReadout(m_edges, X, Y));
}

} // namespace quillet
