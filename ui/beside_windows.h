// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QtPlugin>

#include <functional>
#include <vector>

class QWidget;

// The windows beside the main window, beyond its design, reached from its
// context menu and shortcuts: the comparison-star diagnosis, the report-line
// dialog and the light curve. They live in a plugin loaded on first use, so
// that nothing of theirs (Qt Charts, CFITSIO, ERFA) costs the main window's
// start-up.
namespace quillet {

// What the design's import (比較星測光値) did last, since the star field opened.
struct ImportResult
{
    bool done = false;
    int found = 0; // values the paste gave (the first 15 went into rows 1..15)
    std::vector<int> keptRows; // rows beyond them that still hold a value from before
};

// What the main window's boxes hold at the moment of asking.
struct MainWindowInputs
{
    QStringList tableTexts; // Text1 .. Text30
    QString variableText; // Text31
    QString tableFolder; // the folder that holds compdata.txt: file dialogs open there
    QString field; // the star field open, empty outside the data folder's fields
    ImportResult lastImport;
};
using InputsProvider = std::function<MainWindowInputs()>;
// What a window beside may write into the main window: the table's 30 texts
// (a chart's comparison stars), as a user would type them.
using TableWriter = std::function<void(const QStringList &tableTexts)>;

class BesideWindows
{
public:
    virtual ~BesideWindows() = default;
    // Shows the window beside the main window, or raises it.
    virtual void showDiagnosis() = 0;
    virtual void showReportLines() = 0;
    virtual void showLightCurve() = 0;
    virtual void showChart() = 0;
    // The night at once: a measuring program's table of many images.
    virtual void showSeries() = 0;
    // A table file (dropped onto the main window) into the series window.
    virtual void openSeries(const QString &path) = 0;
    // An image dropped onto the main window: its time, filter and star go into
    // the report-line dialog.
    virtual void openImage(const QString &path) = 0;
    // The next image of the folder used last (by name) into the report-line dialog.
    virtual void openNextImage() = 0;
    // The Measure command ran and showed a result.
    virtual void measured() = 0;
    // The main window's boxes changed: open windows show the new results at once.
    virtual void inputsChanged() = 0;
    // The main window switched to another star field: its own report fields.
    virtual void fieldChanged() = 0;
    // The main window is closing.
    virtual void closeAll() = 0;
};

// What the plugin's root object offers: one set of windows per main window.
class BesideWindowsPlugin
{
public:
    virtual ~BesideWindowsPlugin() = default;
    virtual BesideWindows *create(
        QWidget *mainWindow, InputsProvider inputs, TableWriter writeTable)
        = 0;
};

// Where the plugin is looked for: beside the program, in ../<libdir>/quillet3/plugins.
QString besideWindowsPluginPath();

// Loads the plugin at path and makes the windows; nullptr and why (in the
// program's words, naming the file) when the file is missing, is no plugin
// Qt can load (truncated, or of another platform), is another program's, or
// was built for another version of this interface. Nothing of a plugin that
// is not ours is run.
BesideWindows *loadBesideWindows(const QString &path, QWidget *mainWindow, InputsProvider inputs,
    TableWriter writeTable, QString &error);

} // namespace quillet

// Changed whenever anything above changes: a plugin built for another version
// is refused by its description, before any of its code runs. A test holds
// each version's interface and fails when this header changes without a new
// version (tests/plugin_interfaces.txt).
#define QUILLET3_BESIDE_WINDOWS_IID "invalid.quillet3.BesideWindowsPlugin/5"
Q_DECLARE_INTERFACE(quillet::BesideWindowsPlugin, QUILLET3_BESIDE_WINDOWS_IID)
