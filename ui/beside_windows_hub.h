// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/beside_windows.h"
#include "ui/check_star.h"
#include "ui/forms.h"

#include <QPointer>

class QPoint;
class QWidget;

namespace quillet {

class ChartDialog;
class DiagnosisWindow;
class LightCurveWindow;
class ReportLineDialog;
class SeriesWindow;

// The windows beside one main window, each made on first use. They are
// windows of their own, not held over the main window: the main window can
// be raised over them, and the hub deletes them with itself.
class BesideWindowsHub final : public BesideWindows
{
public:
    // boxes: the message boxes and file dialogs the windows use (tests answer
    // them); nullptr: the real ones.
    BesideWindowsHub(QWidget *mainWindow, InputsProvider inputs,
        forms::MessageBoxes *boxes = nullptr, TableWriter writeTable = {});
    ~BesideWindowsHub() override;
    void showDiagnosis() override;
    void showReportLines() override;
    void showLightCurve() override;
    void showChart() override;
    void showSeries() override;
    void openSeries(const QString &path) override;
    void openImage(const QString &path) override;
    void openNextImage() override;
    void measured() override;
    void inputsChanged() override;
    void fieldChanged() override;
    void closeAll() override;
    DiagnosisWindow *diagnosis() const;
    ReportLineDialog *reportLines() const;
    LightCurveWindow *lightCurve() const;
    ChartDialog *chart() const;
    SeriesWindow *series() const;
    CheckStar &checkStar() { return m_checkStar; }

private:
    // Those made so far.
    QList<QWidget *> windows() const;
    void showBeside(QWidget *window);
    QPoint besidePlace(QWidget *window) const;
    void makeReportLines();
    void makeLightCurve();
    // Escape closes it; the main window's shortcuts work in it.
    void addKeys(QWidget *window);

    QWidget *m_main;
    InputsProvider m_inputs;
    TableWriter m_writeTable;
    forms::RealMessageBoxes m_realBoxes;
    forms::MessageBoxes *m_boxes;
    CheckStar m_checkStar; // one for the diagnosis and the report lines
    QPointer<DiagnosisWindow> m_diagnosis;
    QPointer<ReportLineDialog> m_reportLines;
    QPointer<LightCurveWindow> m_lightCurve;
    QPointer<ChartDialog> m_chart;
    QPointer<SeriesWindow> m_series;
};

// Set on a window once it has a place: remembered from the last run, or
// given beside the main window.
inline constexpr char RememberedPlace[] = "quilletRememberedPlace";

} // namespace quillet
