// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/beside_windows.h"
#include "ui/forms.h"

class QPoint;
class QWidget;

namespace quillet {

class DiagnosisWindow;
class LightCurveWindow;
class ReportLineDialog;

// The windows beside one main window, each made on first use.
class BesideWindowsHub final : public BesideWindows
{
public:
    // boxes: the message boxes and file dialogs the windows use (tests answer
    // them); nullptr: the real ones.
    BesideWindowsHub(
        QWidget *mainWindow, InputsProvider inputs, forms::MessageBoxes *boxes = nullptr);
    ~BesideWindowsHub() override;
    void showDiagnosis() override;
    void showReportLines() override;
    void showLightCurve() override;
    void openImage(const QString &path) override;
    void inputsChanged() override;
    void fieldChanged() override;
    void closeAll() override;
    DiagnosisWindow *diagnosis() const { return m_diagnosis; }
    ReportLineDialog *reportLines() const { return m_reportLines; }
    LightCurveWindow *lightCurve() const { return m_lightCurve; }

private:
    void showBeside(QWidget *window);
    QPoint besidePlace(QWidget *window) const;
    void makeLightCurve();
    // Escape closes it; the main window's shortcuts work in it.
    void addKeys(QWidget *window);

    QWidget *m_main;
    InputsProvider m_inputs;
    forms::RealMessageBoxes m_realBoxes;
    forms::MessageBoxes *m_boxes;
    DiagnosisWindow *m_diagnosis = nullptr;
    ReportLineDialog *m_reportLines = nullptr;
    LightCurveWindow *m_lightCurve = nullptr;
};

// Set on a window once it has a place: remembered from the last run, or
// given beside the main window.
inline constexpr char RememberedPlace[] = "quilletRememberedPlace";

} // namespace quillet
