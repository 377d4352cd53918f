// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"
#include "ui/beside_windows.h"
#include "ui/forms.h"

#include <QMap>
#include <QWidget>

#include <optional>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QSplitter;
class QTableWidget;

namespace quillet {

class CheckStar;

// Which comparison star disagrees with the others, from the main window's boxes
// as they are: first the variable's result and the flagged rows, then the
// stars in a table, the plot, and the report's text as quillet3-report prints
// it. Follows the main window while it is open. Reads no file, writes no box.
class DiagnosisWindow : public QWidget
{
    Q_OBJECT

public:
    // checkStar: the check-star choice the report-line dialog shares;
    // nullptr: a choice of the window's own.
    DiagnosisWindow(InputsProvider inputs, forms::MessageBoxes *boxes, QWidget *parent = nullptr,
        CheckStar *checkStar = nullptr);
    ~DiagnosisWindow() override;

    // The boxes changed: shown at once, before anything else is done.
    void inputsChanged();
    void recompute();

    QString summary() const;
    QString reportText() const;
    QTableWidget *table() const { return m_table; }
    QComboBox *checkStar() const { return m_check; }
    QChartView *chartView() const { return m_chart; }
    QSplitter *splitter() const { return m_splitter; }
    void savePlot(const QString &path); // PNG or SVG by the name's ending

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildControls();
    void showProblem(const QString &why);
    void fillSummary(const CalibrationReport &report);
    void fillTable(const CalibrationReport &report);
    void fillChart(const CalibrationReport &report);
    void setChart(QChart *chart);
    QString pointTip(const QPointF &point) const;
    void remember();

    InputsProvider m_inputs;
    forms::MessageBoxes *m_boxes;
    CheckStar *m_checkStar;
    bool m_pending = false;
    QLabel *m_summary = nullptr;
    QComboBox *m_check = nullptr;
    QSplitter *m_splitter = nullptr;
    QTableWidget *m_table = nullptr;
    QChartView *m_chart = nullptr;
    QPlainTextEdit *m_text = nullptr;
    std::optional<CalibrationReport> m_report;
    QMap<int, QString> m_labels; // the rows that are the field's chart stars
};

// Colours of a row the fit flags or notes, legible on any palette.
QColor flaggedBackground();
QColor notedBackground();

} // namespace quillet
