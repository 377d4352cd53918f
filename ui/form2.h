// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/comparison_graph.h"

#include <QPixmap>
#include <QWidget>

class QLabel;

namespace quillet {

// The drawing surface of the graph window: keeps what is drawn on it in a
// persistent image and repaints from that.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);
    // The persistent image, in device pixels (logical size x device pixel ratio).
    const QPixmap &image() const { return m_image; }
    void drawGraph(const ComparisonGraph &graph);

Q_SIGNALS:
    // Button, Shift, and the pointer position in twips as single precision.
    void mouseMoved(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QPixmap m_image;
};

// The graph window "比較星グラフ": a snapshot of the comparison stars drawn when
// it loads, and the cursor read-out under it.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);

    PictureBox *picture() const { return m_picture; }
    QLabel *label1() const { return m_label1; }
    const PlotEdges &edges() const { return m_edges; }

public Q_SLOTS:
    // tableTexts: Text1..Text30 of the main window at the moment of loading.
    void Form_Load(const QStringList &tableTexts);
    void Picture1_MouseMove(int Button, int Shift, float X, float Y);

private:
    PictureBox *m_picture;
    QLabel *m_label1 = nullptr;
    PlotEdges m_edges {0, 0, 0, 0};
};

} // namespace quillet
