// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"
#include "ui/diagnosis.h"
#include "ui/forms.h"

#include <QWidget>

#include <optional>

class QChart;
class QChartView;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

namespace quillet {

// Which comparison star disagrees with the others, from the main window's boxes
// as they are: the report's text as quillet3-report prints it, the same rows in
// a table, a check star, and the plot. Reads no file and writes no box.
class DiagnosisWindow : public QWidget
{
    Q_OBJECT

public:
    DiagnosisWindow(InputsProvider inputs, forms::MessageBoxes *boxes);

    void recompute();
    QString reportText() const;
    QTableWidget *table() const { return m_table; }
    QComboBox *checkStar() const { return m_check; }
    QChartView *chartView() const { return m_chart; }
    void savePlot(const QString &path); // PNG or SVG by the name's ending

private:
    void fill(const CalibrationReport &report);
    void setChart(QChart *chart);

    InputsProvider m_inputs;
    forms::MessageBoxes *m_boxes;
    QLabel *m_state = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QTableWidget *m_table = nullptr;
    QComboBox *m_check = nullptr;
    QChartView *m_chart = nullptr;
    std::optional<CalibrationReport> m_report;
};

// The night's report lines for the variable in Text31: VSNET's and the AAVSO
// Extended record, as quillet3-report writes them, and a night's AAVSO file to
// append to. Observer code, filter, chart and star are remembered in the
// user's settings.
class ReportLineDialog : public QWidget
{
    Q_OBJECT

public:
    ReportLineDialog(InputsProvider inputs, forms::MessageBoxes *boxes);
    ~ReportLineDialog() override;

    void recompute();
    QLineEdit *field(const QString &accessibleName) const;
    QComboBox *choice(const QString &accessibleName) const;
    QDateTimeEdit *time() const { return m_time; }
    QString vsnetLine() const;
    QString aavsoLine() const;
    QString vsnetProblem() const;
    QString aavsoProblem() const;
    // Appends the AAVSO record to the night's file (asked for once per run).
    void appendToAavsoFile();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void timeChanged();
    void julianDateEdited();
    void remember() const;

    InputsProvider m_inputs;
    forms::MessageBoxes *m_boxes;
    QDateTimeEdit *m_time = nullptr;
    QLineEdit *m_jd = nullptr;
    QComboBox *m_check = nullptr;
    QLineEdit *m_vsnet = nullptr;
    QLineEdit *m_aavso = nullptr;
    QLabel *m_vsnetProblem = nullptr;
    QLabel *m_aavsoProblem = nullptr;
    QLabel *m_warning = nullptr;
    QLabel *m_records = nullptr;
    QString m_aavsoHeader;
    QString m_obscode;
    QString m_nightFile;
};

// Both windows for one main window, made on first use.
class DiagnosisWindowsImpl final : public DiagnosisWindows
{
public:
    DiagnosisWindowsImpl(QWidget *mainWindow, InputsProvider inputs);
    ~DiagnosisWindowsImpl() override;
    void showDiagnosis() override;
    void showReportLines() override;
    void closeAll() override;
    DiagnosisWindow *diagnosis() const { return m_diagnosis; }
    ReportLineDialog *reportLines() const { return m_reportLines; }

private:
    void showBeside(QWidget *window);

    QWidget *m_main;
    InputsProvider m_inputs;
    forms::RealMessageBoxes m_boxes;
    DiagnosisWindow *m_diagnosis = nullptr;
    ReportLineDialog *m_reportLines = nullptr;
};

// The check-star choice: "なし", then each used row as "行 k".
void fillCheckChoice(QComboBox *choice, const QStringList &tableTexts);

} // namespace quillet
