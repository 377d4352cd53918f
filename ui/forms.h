// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QHash>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QBoxLayout;
class QLabel;
class QEvent;
class QMimeData;
class QPlainTextEdit;
class QWidget;

// The thin layer between the windows and Qt: twips, palette colours, message
// boxes and the building of a window's controls from its table.
namespace quillet::forms {

inline constexpr int TwipsPerPixel = 15; // one logical pixel; Qt scales for high DPI

constexpr int twipsToPixels(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

QRect twipsRect(int left, int top, int width, int height);

// The two colours of the standard 16-colour palette the program uses.
QColor paletteColour(int index); // 1: dark blue (0, 0, 128); 7: light grey (192, 192, 192)
inline const QColor LightGrey(192, 192, 192);
// Text on that grey: 11.2:1 against it.
inline const QColor TextOnGrey(0, 0, 0);

// The application's own title on every message box.
inline constexpr char16_t Title[] = u"Quillet3";

// Modal message boxes, replaceable so tests can answer them without a person.
class MessageBoxes
{
public:
    enum class Buttons { Ok, OkCancel };
    virtual ~MessageBoxes() = default;
    // Shows text (a carriage return starts a new line); true exactly when OK was chosen.
    virtual bool show(QWidget *parent, const QString &text, Buttons buttons) = 0;
    // Asks where to save a file (title: what for; suggested: the folder and name
    // offered first; filter: the kinds offered, as QFileDialog takes them);
    // appending: an existing file is chosen to be added to, not replaced, so no
    // question. Empty when the user cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &suggested,
        const QString &filter, bool appending = false)
        = 0;
    // Asks which of the buttons (captions, left to right); the index chosen, the
    // last one (the way out) when the box is closed or Escape pressed.
    virtual int choose(QWidget *parent, const QString &text, const QStringList &buttons) = 0;
    // Asks for a folder (title: what for; folder: where to start); empty: cancelled.
    virtual QString folderName(QWidget *parent, const QString &title, const QString &folder) = 0;
    // Asks for an existing file to read (title: what for; folder: where to start).
    virtual QString openFileName(
        QWidget *parent, const QString &title, const QString &folder, const QString &filter)
        = 0;
};

// QMessageBox without icon, title "Quillet3", OK the default button.
class RealMessageBoxes final : public MessageBoxes
{
public:
    bool show(QWidget *parent, const QString &text, Buttons buttons) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &suggested,
        const QString &filter, bool appending = false) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
        const QString &filter) override;
    int choose(QWidget *parent, const QString &text, const QStringList &buttons) override;
    QString folderName(QWidget *parent, const QString &title, const QString &folder) override;
};

// Gives a top-level window the screen's own colormap on X11 (elsewhere nothing
// happens). Qt makes a private colormap for every window even for the screen's
// default visual; screen captures such as `xwd -root` then read the windows one
// by one and paint a window that lies inside another one (the graph, a message
// box) black. Call before the window is shown.
void useScreenColormap(QWidget *window);

// A field after its caption in a row: the caption's buddy, and the name a
// screen reader says for it.
void addCaptioned(QBoxLayout *row, const QString &caption, QWidget *field);

// A label that shows a result: a screen reader hears its role followed by
// what it shows at that moment ("変光星の等級 11.75"), never an old text.
void showsResult(QLabel *label, const QString &role);

// A FITS image's name: .fits, .fit, .fts, .fz, or one of them gzip-compressed.
bool isImageName(const QString &path);
// The file dialogs' filters: FITS images, AAVSO Extended files, pictures.
QString imageFilter();
QString aavsoFilter();
QString pictureFilter();

// A measuring program's table of a night: .xls, .tbl, .csv, .txt, .dat.
bool isTableName(const QString &path);
QString tableFilter();

// The local FITS image a drag carries, or nothing; draggedFile: an image or a
// table.
QString draggedImage(const QMimeData *data);
QString draggedFile(const QMimeData *data);
// For an event filter on text boxes, which would take a file's name as text:
// a drag of an image (takeFileDrag: or a table) is accepted, and its drop
// opened with open. True when the event was such a drag (the filter then
// stops it).
bool takeImageDrag(QEvent *event, const std::function<void(const QString &)> &open);
bool takeFileDrag(QEvent *event, const std::function<void(const QString &)> &open);

// The text of a multi-line box as typed or pasted, with each line break as
// carriage return + line feed, as the callers count characters.
QString multiLineText(const QPlainTextEdit *box);

enum class ControlKind {
    Frame, // captioned group box; its controls move with it
    Button,
    TextBox, // single line; keeps any text written into it, CRs included
    MultiLineTextBox, // vertical scroll bar, light grey
    HeadingLabel, // plain text on the window's grey, left-aligned
    ValueLabel, // single-line border, centred, default control colour
    BoxedLabel, // single-line border, left-aligned, light grey
    PlainLabel, // no border, left-aligned, default colours
    DrawingSurface, // created by the window itself; placed by the table
};

struct ControlSpec
{
    QString name;
    ControlKind kind;
    QString parent; // empty: the window itself
    QString caption;
    int left, top, width, height; // twips, relative to the parent's client area
    int tabIndex;
    // What the control is, for a screen reader, where the caption does not say it.
    // A label with a role shows a result: its accessible name is the role followed
    // by the text it shows at that moment.
    QString role;
};

// Creates every control of the table (a frame before the controls inside it),
// named by objectName, and chains the focus in ascending tab index, wrapping
// round. Controls of kind DrawingSurface must already exist as children of the
// window under their name. Returns the controls by name.
QHash<QString, QWidget *> buildControls(QWidget *window, const std::vector<ControlSpec> &specs);

} // namespace quillet::forms
