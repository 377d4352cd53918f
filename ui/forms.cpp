// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/forms.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QBoxLayout>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <xcb/xcb.h>

namespace quillet::forms {

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(
        twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
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

void useScreenColormap(QWidget *window)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t *connection = x11->connection();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const auto id = static_cast<xcb_window_t>(window->winId());
    // Only a window of the screen's own visual may share its colormap.
    xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, id), nullptr);
    const bool defaultVisual = attributes && attributes->visual == screen->root_visual;
    std::free(attributes);
    if (!defaultVisual)
        return;
    const uint32_t colormap = screen->default_colormap;
    xcb_change_window_attributes(connection, id, XCB_CW_COLORMAP, &colormap);
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
        // Qt's own Japanese word, also where a desktop theme (GTK's) would
        // word its buttons in the locale's language.
        box.button(QMessageBox::Cancel)
            ->setText(QCoreApplication::translate("QPlatformTheme", "Cancel"));
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setDefaultButton(QMessageBox::Ok);
    useScreenColormap(&box);
    return box.exec() == QMessageBox::Ok;
}

QString RealMessageBoxes::saveFileName(QWidget *parent, const QString &title,
    const QString &suggested, const QString &filter, bool appending)
{
    // Qt's own dialog, in Japanese like the rest of the program whatever the
    // desktop's dialog would speak.
    QFileDialog::Options options = QFileDialog::DontUseNativeDialog;
    if (appending)
        options |= QFileDialog::DontConfirmOverwrite;
    return QFileDialog::getSaveFileName(parent, title, suggested, filter, nullptr, options);
}

int RealMessageBoxes::choose(QWidget *parent, const QString &text, const QStringList &buttons)
{
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromUtf16(Title));
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    box.setText(QString(text).replace(u'\r', u'\n'));
    QList<QPushButton *> made;
    for (const QString &caption : buttons)
        made.append(box.addButton(caption, QMessageBox::ActionRole));
    box.setDefaultButton(made.first());
    box.setEscapeButton(made.last());
    useScreenColormap(&box);
    box.exec();
    const qsizetype chosen = made.indexOf(qobject_cast<QPushButton *>(box.clickedButton()));
    return chosen < 0 ? int(buttons.size()) - 1 : int(chosen);
}

QString RealMessageBoxes::folderName(QWidget *parent, const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(
        parent, title, folder, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

QString RealMessageBoxes::openFileName(
    QWidget *parent, const QString &title, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(
        parent, title, folder, filter, nullptr, QFileDialog::DontUseNativeDialog);
}

namespace {

// The one local file a drag carries, when it is of the kind wanted.
QString draggedOf(const QMimeData *data, const std::function<bool(const QString &)> &wanted)
{
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    const QString path = urls.first().toLocalFile();
    return wanted(path) ? path : QString();
}

const QStringList &tableEndings()
{
    static const QStringList Endings {QStringLiteral(".xls"), QStringLiteral(".tbl"),
        QStringLiteral(".csv"), QStringLiteral(".txt"), QStringLiteral(".dat")};
    return Endings;
}

bool takeDrag(QEvent *event, const std::function<QString(const QMimeData *)> &dragged,
    const std::function<void(const QString &)> &open)
{
    if (event->type() != QEvent::DragEnter && event->type() != QEvent::DragMove
        && event->type() != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    // The data comes from the other program once: asked for once.
    const QString file = dragged(drop->mimeData());
    if (file.isEmpty())
        return false;
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop)
        open(file);
    return true;
}

// Every ending a FITS image has: plain, gzip-compressed, tile-compressed.
const QStringList &imageEndings()
{
    static const QStringList Endings {QStringLiteral(".fits"), QStringLiteral(".fit"),
        QStringLiteral(".fts"), QStringLiteral(".fz"), QStringLiteral(".fits.gz"),
        QStringLiteral(".fit.gz"), QStringLiteral(".fts.gz")};
    return Endings;
}

// A file-dialog filter of the endings, with "all files" after it.
QString filterOf(const QString &kind, const QStringList &endings)
{
    QStringList patterns;
    for (const QString &ending : endings)
        patterns << u'*' + ending;
    return QStringLiteral("%1 (%2);;すべてのファイル (*)").arg(kind, patterns.join(u' '));
}

} // namespace

bool isImageName(const QString &path)
{
    return std::any_of(imageEndings().begin(), imageEndings().end(),
        [&path](const QString &ending) { return path.endsWith(ending, Qt::CaseInsensitive); });
}

QString imageFilter()
{
    return filterOf(QStringLiteral("FITS"), imageEndings());
}

QString aavsoFilter()
{
    // The only endings WebObs takes.
    return filterOf(QStringLiteral("AAVSO Extended"),
        {QStringLiteral(".txt"), QStringLiteral(".csv"), QStringLiteral(".tsv")});
}

QString pictureFilter()
{
    return QStringLiteral("PNG (*.png);;SVG (*.svg)");
}

bool isTableName(const QString &path)
{
    return std::any_of(tableEndings().begin(), tableEndings().end(),
        [&path](const QString &ending) { return path.endsWith(ending, Qt::CaseInsensitive); });
}

QString tableFilter()
{
    return filterOf(QStringLiteral("表"), tableEndings());
}

void addCaptioned(QBoxLayout *row, const QString &caption, QWidget *field)
{
    auto *label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    field->setAccessibleName(caption);
    row->addWidget(label);
    row->addWidget(field);
}

QString draggedImage(const QMimeData *data)
{
    return draggedOf(data, isImageName);
}

QString draggedFile(const QMimeData *data)
{
    return draggedOf(
        data, [](const QString &path) { return isImageName(path) || isTableName(path); });
}

bool takeImageDrag(QEvent *event, const std::function<void(const QString &)> &open)
{
    return takeDrag(event, draggedImage, open);
}

bool takeFileDrag(QEvent *event, const std::function<void(const QString &)> &open)
{
    return takeDrag(event, draggedFile, open);
}

QString multiLineText(const QPlainTextEdit *box)
{
    // The text as typed or pasted: only the breaks between the box's blocks (the
    // real line ends) become CR LF; every other character, a no-break space or a
    // line separator inside a line included, is passed on as it is.
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text;
}

namespace {

// Holds what a value label shows for a screen reader.
constexpr char RoleProperty[] = "quilletRole";

// A label that shows a result: its accessible name is what it is followed by
// what it shows now ("変光星の等級 11.75"). Orca speaks an object's name when the
// user reaches it, and a label's name is the only text it reads for it without
// extra verbosity settings, so the role and the value must both be in the name.
// Computed on demand, it can never lag behind the text; QLabel::setText reports
// the change (NameChanged) because the widget's own accessibleName stays empty.
class ValueLabelAccessible final : public QAccessibleWidget
{
public:
    explicit ValueLabelAccessible(QLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    { }

    QString text(QAccessible::Text kind) const override
    {
        const auto *label = static_cast<const QLabel *>(widget());
        const QString role = label->property(RoleProperty).toString();
        if (kind == QAccessible::Name)
            return label->text().isEmpty() ? role : role + u' ' + label->text();
        if (kind == QAccessible::Description)
            return role;
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *valueLabelFactory(const QString &, QObject *object)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (label && label->property(RoleProperty).isValid())
        return new ValueLabelAccessible(label);
    return nullptr;
}

// Enter or keypad Enter on a focused button presses it, as Space does: keyboard
// users tab to a command and confirm it with Enter.
class EnterPressesButton final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const Qt::KeyboardModifiers other = key->modifiers() & ~Qt::KeypadModifier;
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !other
                && !key->isAutoRepeat()) {
                static_cast<QPushButton *>(watched)->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

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
        setBackground(box, QPalette::Text, TextOnGrey);
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
        // The default control colour with its own text colour, as a button has.
        setBackground(label, QPalette::Window, QApplication::palette().color(QPalette::Button));
        setBackground(
            label, QPalette::WindowText, QApplication::palette().color(QPalette::ButtonText));
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

// Labels that show a result (they have a role and are not headings).
bool isValueLabel(const ControlSpec &entry)
{
    return !entry.role.isEmpty()
        && (entry.kind == ControlKind::ValueLabel || entry.kind == ControlKind::BoxedLabel
            || entry.kind == ControlKind::PlainLabel);
}

} // namespace

void showsResult(QLabel *label, const QString &role)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(valueLabelFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    label->setProperty(RoleProperty, role);
    // An interface made while the label was being built does not know its role.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(label))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

QHash<QString, QWidget *> buildControls(QWidget *window, const std::vector<ControlSpec> &specs)
{
    auto *enterFilter = new EnterPressesButton(window);
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
        if (isValueLabel(entry)) {
            showsResult(static_cast<QLabel *>(control), entry.role);
        } else {
            control->setAccessibleName(entry.role.isEmpty() ? entry.caption : entry.role);
        }
        if (auto *button = qobject_cast<QPushButton *>(control))
            button->installEventFilter(enterFilter);
        controls.insert(entry.name, control);
    }

    // Focus order: every control that takes the focus, by tab index, wrapping round.
    std::vector<const ControlSpec *> order;
    for (const ControlSpec &entry : specs) {
        if (controls.value(entry.name)->focusPolicy() & Qt::TabFocus)
            order.push_back(&entry);
    }
    std::stable_sort(order.begin(), order.end(),
        [](const ControlSpec *a, const ControlSpec *b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(controls.value(order[i - 1]->name), controls.value(order[i]->name));
    return controls;
}

} // namespace quillet::forms
