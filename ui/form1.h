// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/comparison_data_file.h"
#include "platform/file_layer.h"
#include "ui/beside_windows.h"
#include "ui/form2.h"
#include "ui/forms.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSessionManager;

namespace quillet {

// Every control of the main window: name, kind, container, caption, left, top,
// width, height (twips) and tab index. The window is built from it.
const std::vector<forms::ControlSpec> &form1Controls();

// The main window "Quillet3 ver1.00". Its controls are the only store of working
// data: every handler reads the texts it needs, calls the core and writes the
// results back as text.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // Replaces the message boxes (tests answer them); nullptr restores the real ones.
    void setMessageBoxes(forms::MessageBoxes *boxes);

    QLineEdit *text(int number) const; // Text1 .. Text36
    QPlainTextEdit *text37() const { return m_text37; }
    QLabel *label(int number) const; // Label1 .. Label15
    QPushButton *command(int number) const; // Command1 .. Command27
    Form2 *graphWindow() const { return m_form2; }

    QStringList tableTexts() const; // Text1 .. Text30
    void setTableTexts(const QStringList &texts); // as typed, Text1 .. Text30

    // A request to end from outside (a signal, the session): treated as a press
    // on the close box, unless a message box is already asking the user.
    void requestClose();
    // The desktop session is ending: the same save question as on closing.
    void commitData(QSessionManager &manager);

    // Beyond the design, from the context menu or their shortcuts (which work
    // from every window beside this one too): the windows beside it and the
    // star fields.
    QAction *diagnosisAction() const { return m_diagnosisAction; }
    QAction *reportLinesAction() const { return m_reportLinesAction; }
    QAction *lightCurveAction() const { return m_lightCurveAction; }
    QAction *chartAction() const { return m_chartAction; }
    QAction *seriesAction() const { return m_seriesAction; }
    QAction *fieldsAction() const { return m_fieldsAction; }
    QAction *pasteAction() const { return m_pasteAction; }
    QAction *nextImageAction() const { return m_nextImageAction; }
    // What the windows beyond the main window read of it.
    MainWindowInputs diagnosisInputs() const;

    // Opens the star field in folder (the dialog 星野 chooses it): asks to save
    // a changed table first; false when it stays where it is.
    bool switchField(const QString &folder);
    // Replaces the plugin's windows (tests link them in); nullptr loads the plugin.
    void setDiagnosisWindows(BesideWindows *windows);
    // Loads the plugin from path instead of from beside the program (tests).
    void setDiagnosisPluginPath(const QString &path) { m_pluginPath = path; }

public Q_SLOTS:
    // Start-up fills the table from compdata.txt; shut-down offers to save it.
    void Form_Load();
    void Form_Unload(int &Cancel);

    // Clear the whole table (1) and each row's two boxes (2-16).
    void command1_click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();
    void Command15_Click();
    void Command16_Click();

    // Measure (17): fit, convert Text31, fill the next averaging slot; Enter in
    // Text31 runs it.
    void Command17_Click();
    void Text31_KeyPress(int &KeyAscii);

    // Average the slots (18); clear one slot each (19-23).
    void Command18_Click();
    void Command19_Click();
    void Command20_Click();
    void Command21_Click();
    void Command22_Click();
    void Command23_Click();

    // Show the graph window (24).
    void Command24_Click();

    // Clear the measured-value (25) or the catalogue (26) column.
    void Command25_Click();
    void Command26_Click();

    // Import the measured values pasted into Text37 (27).
    void Command27_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void clearRow(int row);
    void clearSlot(int slot);
    bool message(const QString &text,
        forms::MessageBoxes::Buttons buttons = forms::MessageBoxes::Buttons::Ok);
    QString dataFilePath() const;
    BesideWindows *diagnosisWindows();
    // Saves the table as the close does, asking what it must; false: not saved,
    // the table stays in the window.
    bool saveTable();
    void openFile(const QString &path);
    void chooseField();
    // The clipboard into the paste box, the design's import, and the focus
    // in Text31 for the variable's value: one key per image.
    void pasteAndImport();
    void showField();
    bool saveElsewhere(const QString &failure);

    forms::RealMessageBoxes m_realMessageBoxes;
    forms::MessageBoxes *m_messageBoxes = &m_realMessageBoxes;
    std::array<QLineEdit *, 37> m_text {}; // index = number; 0 and 37 unused
    std::array<QLabel *, 16> m_label {}; // index = number; 0 unused
    std::array<QPushButton *, 28> m_command {}; // index = number; 0 unused
    QPlainTextEdit *m_text37 = nullptr;
    QPointer<Form2> m_form2;
    // compdata.txt as start-up found it (or the last save wrote it): a save asks
    // before replacing a file another program wrote since, and keeps one that
    // could not be read.
    FileState::Snapshot m_fileAtStart;
    // The working folder as start-up found it: a save goes there even after the
    // folder was removed and made again.
    FileLayer::WorkingFolder m_folder;
    QAction *m_diagnosisAction = nullptr;
    QAction *m_reportLinesAction = nullptr;
    QAction *m_lightCurveAction = nullptr;
    QAction *m_chartAction = nullptr;
    QAction *m_seriesAction = nullptr;
    QAction *m_fieldsAction = nullptr;
    QAction *m_pasteAction = nullptr;
    QAction *m_nextImageAction = nullptr;
    ImportResult m_lastImport; // what the last import did, since the field opened
    QString m_field; // the star field open; empty outside the data folder's fields
    QStringList m_tableAtLoad; // the table as loaded or last saved
    std::unique_ptr<BesideWindows> m_diagnosis; // made on first use
    QString m_pluginPath;
    QString m_backgroundTip;
};

} // namespace quillet
