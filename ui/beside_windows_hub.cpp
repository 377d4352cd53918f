// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/beside_windows_hub.h"

#include "ui/chart_dialog.h"
#include "ui/diagnosis_window.h"
#include "ui/light_curve_window.h"
#include "ui/report_line_dialog.h"
#include "ui/series_window.h"

#include <QScreen>
#include <QShortcut>
#include <QWidget>

namespace quillet {

namespace {

// Narrower than this a window beside the main window is of no use.
constexpr int NarrowestBeside = 320;
constexpr int Gap = 8;

} // namespace

BesideWindowsHub::BesideWindowsHub(
    QWidget *mainWindow, InputsProvider inputs, forms::MessageBoxes *boxes, TableWriter writeTable)
    : m_main(mainWindow)
    , m_inputs(std::move(inputs))
    , m_writeTable(std::move(writeTable))
    , m_boxes(boxes ? boxes : &m_realBoxes)
{
    m_checkStar.setField(m_inputs().field);
}

BesideWindowsHub::~BesideWindowsHub()
{
    // Windows of their own: no parent deletes them.
    delete m_diagnosis;
    delete m_reportLines;
    delete m_lightCurve;
    delete m_chart;
    delete m_series;
}

QList<QWidget *> BesideWindowsHub::windows() const
{
    QList<QWidget *> made;
    for (QWidget *window : {static_cast<QWidget *>(m_diagnosis),
             static_cast<QWidget *>(m_reportLines), static_cast<QWidget *>(m_lightCurve),
             static_cast<QWidget *>(m_chart), static_cast<QWidget *>(m_series)}) {
        if (window)
            made.append(window);
    }
    return made;
}

DiagnosisWindow *BesideWindowsHub::diagnosis() const
{
    return m_diagnosis;
}

ReportLineDialog *BesideWindowsHub::reportLines() const
{
    return m_reportLines;
}

LightCurveWindow *BesideWindowsHub::lightCurve() const
{
    return m_lightCurve;
}

ChartDialog *BesideWindowsHub::chart() const
{
    return m_chart;
}

void BesideWindowsHub::showChart()
{
    if (!m_chart) {
        m_chart = new ChartDialog(m_inputs, m_writeTable, m_boxes);
        addKeys(m_chart);
        // What the chart put in shows in the other windows at once.
        QObject::connect(
            m_chart, &ChartDialog::tableReplaced, m_chart, [this] { inputsChanged(); });
    }
    showBeside(m_chart);
}

SeriesWindow *BesideWindowsHub::series() const
{
    return m_series;
}

void BesideWindowsHub::showSeries()
{
    if (!m_series) {
        m_series = new SeriesWindow(m_inputs, m_boxes);
        addKeys(m_series);
        // Its records in the night's file show in the light curve at once.
        QObject::connect(m_series, &SeriesWindow::recordsAppended, m_series, [this] {
            if (m_lightCurve)
                m_lightCurve->reload();
        });
    }
    showBeside(m_series);
}

void BesideWindowsHub::openSeries(const QString &path)
{
    showSeries();
    m_series->openFile(path);
}

void BesideWindowsHub::showBeside(QWidget *window)
{
    // Where the user left it last time, or else beside the main window.
    if (!window->isVisible() && !window->property(RememberedPlace).toBool()) {
        window->move(besidePlace(window));
        window->setProperty(RememberedPlace, true);
    }
    if (!window->isVisible()) {
        forms::useScreenColormap(window);
        window->show();
    }
    window->raise();
    window->activateWindow();
}

// To the right of the main window where the screen has room, made narrower
// to fit it (its content scrolls), else to its left; on a screen too small
// for either, at the screen's right edge. The main window's right half, its
// paste box and import button, stays in view wherever there is room at all.
QPoint BesideWindowsHub::besidePlace(QWidget *window) const
{
    const QRect main = m_main->frameGeometry();
    const QRect screen = m_main->screen()->availableGeometry();
    const int right = screen.right() - main.right() - Gap;
    const int left = main.left() - screen.left() - Gap;
    const int height = std::min(window->height(), screen.height() - 40);
    QPoint at(main.right() + Gap, main.top());
    if (right >= std::min(window->width(), NarrowestBeside)) {
        window->resize(std::min(window->width(), right), height);
    } else if (left >= std::min(window->width(), NarrowestBeside)) {
        window->resize(std::min(window->width(), left), height);
        at.setX(main.left() - Gap - window->width());
    } else {
        window->resize(std::min(window->width(), screen.width()), height);
        at.setX(screen.right() - window->width());
    }
    // Another window already there: a title bar lower.
    for (QWidget *other : windows()) {
        if (other != window && other->isVisible()
            && other->frameGeometry().contains(at + QPoint(Gap, Gap)))
            at += QPoint(0, 48);
    }
    at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() - window->height() - 40)));
    return at;
}

void BesideWindowsHub::addKeys(QWidget *window)
{
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(close, &QShortcut::activated, window, &QWidget::close);
    // The main window's own actions, shortcuts and all: each is defined once
    // there and works from every window.
    window->addActions(m_main->actions());
}

void BesideWindowsHub::showDiagnosis()
{
    if (!m_diagnosis) {
        m_diagnosis = new DiagnosisWindow(m_inputs, m_boxes, nullptr, &m_checkStar);
        addKeys(m_diagnosis);
    }
    showBeside(m_diagnosis);
}

void BesideWindowsHub::makeReportLines()
{
    if (m_reportLines)
        return;
    m_reportLines = new ReportLineDialog(m_inputs, m_boxes, nullptr, &m_checkStar);
    addKeys(m_reportLines);
    // The light curve follows the night's file as records go into it.
    QObject::connect(m_reportLines, &ReportLineDialog::recordAppended, m_reportLines,
        [this](const QString &night) {
            if (m_lightCurve && m_lightCurve->file() == night)
                m_lightCurve->reload();
        });
    QObject::connect(m_reportLines, &ReportLineDialog::lightCurveWanted, m_reportLines,
        [this](const QString &night) {
            makeLightCurve();
            m_lightCurve->showFile(night);
            showBeside(m_lightCurve);
        });
}

void BesideWindowsHub::showReportLines()
{
    makeReportLines();
    showBeside(m_reportLines);
}

void BesideWindowsHub::makeLightCurve()
{
    if (m_lightCurve)
        return;
    m_lightCurve = new LightCurveWindow(m_inputs, m_boxes, nullptr);
    addKeys(m_lightCurve);
}

void BesideWindowsHub::showLightCurve()
{
    makeLightCurve();
    m_lightCurve->reload();
    showBeside(m_lightCurve);
}

void BesideWindowsHub::openImage(const QString &path)
{
    showReportLines();
    m_reportLines->useImage(path);
}

void BesideWindowsHub::openNextImage()
{
    showReportLines();
    m_reportLines->openNextImage();
}

void BesideWindowsHub::measured()
{
    if (m_reportLines)
        m_reportLines->measured();
}

void BesideWindowsHub::inputsChanged()
{
    if (m_diagnosis && m_diagnosis->isVisible())
        m_diagnosis->inputsChanged();
    if (m_reportLines && m_reportLines->isVisible())
        m_reportLines->inputsChanged();
    if (m_series && m_series->isVisible())
        m_series->inputsChanged();
}

void BesideWindowsHub::fieldChanged()
{
    m_checkStar.setField(m_inputs().field);
    if (m_reportLines)
        m_reportLines->fieldChanged();
    if (m_lightCurve)
        m_lightCurve->fieldChanged();
    if (m_series)
        m_series->fieldChanged();
    inputsChanged();
}

void BesideWindowsHub::closeAll()
{
    for (QWidget *window : windows())
        window->close();
}

} // namespace quillet
