// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The diagnosis window and the report-line dialog, reached from the main
// window's context menu. They live in a plugin loaded on first use, so that
// neither Qt Charts nor anything of theirs costs the main window's start-up.
namespace quillet {

// What the main window's boxes hold at the moment of asking.
struct DiagnosisInputs
{
    QStringList tableTexts; // Text1 .. Text30
    QString variableText; // Text31
};
using InputsProvider = std::function<DiagnosisInputs()>;

class DiagnosisWindows
{
public:
    virtual ~DiagnosisWindows() = default;
    // Shows the window beside the main window, or raises it; both recompute.
    virtual void showDiagnosis() = 0;
    virtual void showReportLines() = 0;
    // The main window is closing.
    virtual void closeAll() = 0;
};

// The plugin's one entry point, under this name.
using MakeDiagnosisWindows = DiagnosisWindows *(*)(QWidget *mainWindow, InputsProvider inputs);
inline constexpr char MakeDiagnosisWindowsSymbol[] = "quillet3MakeDiagnosisWindows";

// Loads the plugin (beside the program, in ../<libdir>/quillet3/plugins) and makes the
// windows; nullptr and why in error when it cannot be loaded.
DiagnosisWindows *loadDiagnosisWindows(QWidget *mainWindow, InputsProvider inputs, QString &error);

} // namespace quillet
