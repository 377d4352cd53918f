// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/beside_windows_hub.h"

#include "ui/diagnosis_window.h"
#include "ui/light_curve_window.h"
#include "ui/report_line_dialog.h"

#include <QScreen>
#include <QShortcut>
#include <QWidget>

namespace quillet {

BesideWindowsHub::BesideWindowsHub(
    QWidget *mainWindow, InputsProvider inputs, forms::MessageBoxes *boxes)
    : m_main(mainWindow)
    , m_inputs(std::move(inputs))
    , m_boxes(boxes ? boxes : &m_realBoxes)
{ }

BesideWindowsHub::~BesideWindowsHub() = default;

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

// To the right of the main window where the screen has room, else to its left;
// on a screen too small for either, at the screen's right edge, which leaves
// the main window's left half, the table and Text31, in view. Over the other
// window when it is open there, a title bar lower.
QPoint BesideWindowsHub::besidePlace(QWidget *window) const
{
    const QRect main = m_main->frameGeometry();
    const QRect screen = m_main->screen()->availableGeometry();
    window->resize(std::min(window->width(), screen.width()),
        std::min(window->height(), screen.height() - 40));
    QPoint at(main.right() + 8, main.top());
    if (at.x() + window->width() > screen.right()) {
        at.setX(main.left() - window->width() - 8 >= screen.left()
                ? main.left() - window->width() - 8
                : screen.right() - window->width());
    }
    QWidget *other = window == m_diagnosis ? static_cast<QWidget *>(m_reportLines) : m_diagnosis;
    if (other && other->isVisible() && other->frameGeometry().contains(at + QPoint(8, 8)))
        at += QPoint(0, 48);
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
        m_diagnosis = new DiagnosisWindow(m_inputs, m_boxes, m_main);
        addKeys(m_diagnosis);
    }
    showBeside(m_diagnosis);
}

void BesideWindowsHub::showReportLines()
{
    if (!m_reportLines) {
        m_reportLines = new ReportLineDialog(m_inputs, m_boxes, m_main);
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
    showBeside(m_reportLines);
}

void BesideWindowsHub::makeLightCurve()
{
    if (m_lightCurve)
        return;
    m_lightCurve = new LightCurveWindow(m_inputs, m_boxes, m_main);
    addKeys(m_lightCurve);
}

// The night's file when there is one; otherwise the window asks for a file.
void BesideWindowsHub::showLightCurve()
{
    makeLightCurve();
    if (m_lightCurve->file().isEmpty() && m_reportLines && !m_reportLines->nightFile().isEmpty())
        m_lightCurve->showFile(m_reportLines->nightFile());
    else
        m_lightCurve->reload();
    showBeside(m_lightCurve);
}

void BesideWindowsHub::openImage(const QString &path)
{
    showReportLines();
    m_reportLines->useImage(path);
}

void BesideWindowsHub::inputsChanged()
{
    if (m_diagnosis && m_diagnosis->isVisible())
        m_diagnosis->inputsChanged();
    if (m_reportLines && m_reportLines->isVisible())
        m_reportLines->inputsChanged();
}

void BesideWindowsHub::fieldChanged()
{
    if (m_reportLines)
        m_reportLines->fieldChanged();
    inputsChanged();
}

void BesideWindowsHub::closeAll()
{
    if (m_diagnosis)
        m_diagnosis->close();
    if (m_reportLines)
        m_reportLines->close();
    if (m_lightCurve)
        m_lightCurve->close();
}

} // namespace quillet
