#include "ui/forms.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <limits>

namespace quillet::forms {

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

QColor paletteColour(int index)
{
    switch (index) {
    case 1:
        return QColor(0, 0, 128);
    case 7:
        return LightGrey;
    default:
        return QColor(0, 0, 0);
    }
}

bool RealMessageBoxes::show(QWidget *parent, const QString &text, Buttons buttons)
{
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromUtf16(Title));
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    QString shown = text;
    shown.replace(u'\r', u'\n');
    box.setText(shown);
    if (buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

QString multiLineText(const QPlainTextEdit *box)
{
    // One pass: every kind of line break (LF, CR, CR LF, and the paragraph and line
    // separators of pasted rich text) becomes CR LF.
    const QString plain = box->toPlainText();
    QString text;
    text.reserve(plain.size() + plain.size() / 16 + 16);
    const qsizetype size = plain.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = plain.at(i);
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            if (c == u'\r' && i + 1 < size && plain.at(i + 1) == u'\n')
                ++i;
            text.append(u'\r');
            text.append(u'\n');
        } else {
            text.append(c);
        }
    }
    return text;
}

namespace {

void setBackground(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QWidget *createControl(const ControlSpec &entry, QWidget *parent)
{
    switch (entry.kind) {
    case ControlKind::Frame: {
        auto *frame = new QGroupBox(entry.caption, parent);
        frame->setFocusPolicy(Qt::NoFocus);
        return frame;
    }
    case ControlKind::Button:
        return new QPushButton(entry.caption, parent);
    case ControlKind::TextBox: {
        auto *box = new QLineEdit(entry.caption, parent);
        // Whatever is pasted or written stays whole; the default cuts at 32767.
        box->setMaxLength(std::numeric_limits<int>::max());
        return box;
    }
    case ControlKind::MultiLineTextBox: {
        auto *box = new QPlainTextEdit(entry.caption, parent);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setTabChangesFocus(true);
        setBackground(box, QPalette::Base, LightGrey);
        return box;
    }
    case ControlKind::HeadingLabel:
    case ControlKind::PlainLabel:
        return new QLabel(entry.caption, parent);
    case ControlKind::ValueLabel: {
        auto *label = new QLabel(entry.caption, parent);
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        setBackground(label, QPalette::Window, QApplication::palette().color(QPalette::Button));
        return label;
    }
    case ControlKind::BoxedLabel: {
        auto *label = new QLabel(entry.caption, parent);
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setAutoFillBackground(true);
        setBackground(label, QPalette::Window, LightGrey);
        return label;
    }
    case ControlKind::DrawingSurface:
        break;
    }
    return nullptr;
}

} // namespace

QHash<QString, QWidget *> buildControls(QWidget *window, const std::vector<ControlSpec> &specs)
{
    QHash<QString, QWidget *> controls;
    for (const ControlSpec &entry : specs) {
        QWidget *parent = entry.parent.isEmpty() ? window : controls.value(entry.parent);
        Q_ASSERT(parent);
        QWidget *control = entry.kind == ControlKind::DrawingSurface
            ? window->findChild<QWidget *>(entry.name)
            : createControl(entry, parent);
        Q_ASSERT(control);
        control->setObjectName(entry.name);
        control->setGeometry(twipsRect(entry.left, entry.top, entry.width, entry.height));
        control->setAccessibleName(entry.role.isEmpty() ? entry.caption : entry.role);
        controls.insert(entry.name, control);
    }

    // Focus order: every control that takes the focus, by tab index, wrapping round.
    std::vector<const ControlSpec *> order;
    for (const ControlSpec &entry : specs) {
        if (controls.value(entry.name)->focusPolicy() & Qt::TabFocus)
            order.push_back(&entry);
    }
    std::stable_sort(order.begin(), order.end(), [](const ControlSpec *a, const ControlSpec *b) {
        return a->tabIndex < b->tabIndex;
    });
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(controls.value(order[i - 1]->name), controls.value(order[i]->name));
    return controls;
}

} // namespace quillet::forms
