// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QtPlugin>

#include <functional>

class QWidget;

// The windows beyond the main window, reached from its context menu: the
// comparison-star diagnosis and the report-line dialog. They live in a plugin
// loaded on first use, so that neither Qt Charts nor anything of theirs costs
// the main window's start-up.
namespace quillet {

// What the main window's boxes hold at the moment of asking.
struct DiagnosisInputs
{
    QStringList tableTexts; // Text1 .. Text30
    QString variableText; // Text31
    QString tableFolder; // the folder that holds compdata.txt: file dialogs open there
    QString field; // the star field open, empty outside the data folder's fields
};
using InputsProvider = std::function<DiagnosisInputs()>;

class DiagnosisWindows
{
public:
    virtual ~DiagnosisWindows() = default;
    // Shows the window beside the main window, or raises it.
    virtual void showDiagnosis() = 0;
    virtual void showReportLines() = 0;
    virtual void showLightCurve() = 0;
    // An image dropped onto the main window: its time, filter and star go into
    // the report-line dialog.
    virtual void openImage(const QString &path) = 0;
    // The main window's boxes changed: open windows show the new results at once.
    virtual void inputsChanged() = 0;
    // The main window switched to another star field: its own report fields.
    virtual void fieldChanged() = 0;
    // The main window is closing.
    virtual void closeAll() = 0;
};

// What the plugin's root object offers: one set of windows per main window.
class DiagnosisPlugin
{
public:
    virtual ~DiagnosisPlugin() = default;
    virtual DiagnosisWindows *create(QWidget *mainWindow, InputsProvider inputs) = 0;
};

// Where the plugin is looked for: beside the program, in ../<libdir>/quillet3/plugins.
QString diagnosisPluginPath();

// Loads the plugin at path and makes the windows; nullptr and why (in the
// program's words, naming the file) when the file is missing, is no plugin
// Qt can load (truncated, or of another platform), is another program's, or
// was built for another version of this interface. Nothing of a plugin that
// is not ours is run.
DiagnosisWindows *loadDiagnosisWindows(
    const QString &path, QWidget *mainWindow, InputsProvider inputs, QString &error);

} // namespace quillet

// Changed whenever DiagnosisPlugin or DiagnosisWindows changes.
#define QUILLET3_DIAGNOSIS_IID "invalid.quillet3.DiagnosisPlugin/1"
Q_DECLARE_INTERFACE(quillet::DiagnosisPlugin, QUILLET3_DIAGNOSIS_IID)
