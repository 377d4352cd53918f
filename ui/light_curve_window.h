// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/light_curve.h"
#include "report/light_curve_plot.h"
#include "ui/beside_windows.h"
#include "ui/forms.h"

#include <QFileSystemWatcher>
#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;

namespace quillet {

// The plot of a light curve, drawn to the widget's size in the colours of its
// palette (dark under a dark scheme); tells which record the pointer is over.
class LightCurveCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit LightCurveCanvas(QWidget *parent = nullptr);
    void setRecords(QList<AavsoReader::Record> records);
    const std::optional<LightCurvePlot::View> &view() const { return m_view; }

Q_SIGNALS:
    void pointed(qsizetype record); // -1: none

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void makeView();

    QList<AavsoReader::Record> m_records;
    std::optional<LightCurvePlot::View> m_view;
};

// "光度曲線": the night's AAVSO file (or one chosen) as a light curve, one star
// and filter at a time, each with a magnitude axis of its own (the star of the
// star field open first), with the record under the pointer; follows the file
// as records are added to it.
class LightCurveWindow : public QWidget
{
    Q_OBJECT

public:
    LightCurveWindow(InputsProvider inputs, forms::MessageBoxes *boxes, QWidget *parent = nullptr);

    void showFile(const QString &path);
    void reload();
    // The main window opened another field: its star first.
    void fieldChanged();
    QString file() const { return m_path; }
    QString summary() const;
    QString pointedRecord() const;
    QComboBox *series() const { return m_series; }

private:
    void chooseFile();
    void fillSeries();
    void showSeries();
    void point(qsizetype record);

    InputsProvider m_inputs;
    forms::MessageBoxes *m_boxes;
    QString m_path;
    QString m_watchProblem; // why the file is not watched, or empty
    LightCurve::Night m_night;
    QList<qsizetype> m_shown; // the night's records the plot shows, by index
    QLabel *m_file = nullptr;
    QComboBox *m_series = nullptr;
    QLabel *m_summary = nullptr;
    QLabel *m_pointed = nullptr;
    LightCurveCanvas *m_canvas = nullptr;
    QFileSystemWatcher m_watcher;
};

} // namespace quillet
