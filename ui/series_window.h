// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/aavso_extended.h"
#include "core/night_series.h"
#include "report/night_plot.h"
#include "ui/beside_windows.h"
#include "ui/forms.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;

namespace quillet {

// The night's picture, drawn to the widget's size in its palette's colours;
// says what is under the pointer.
class SeriesCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit SeriesCanvas(QWidget *parent = nullptr);
    void show(const SeriesTable::Table *table, const NightSeries::Night *night);

Q_SIGNALS:
    void pointed(const QString &what); // empty: nothing

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void makeView();
    const SeriesTable::Table *m_table = nullptr;
    const NightSeries::Night *m_night = nullptr;
    std::optional<NightPlot::View> m_view;
};

// The images of the night, a row each: thousands scroll as a few.
class SeriesImages : public QAbstractTableModel
{
public:
    void show(const SeriesTable::Table *table, const NightSeries::Night *night);
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const SeriesTable::Table *m_table = nullptr;
    const NightSeries::Night *m_night = nullptr;
};

// "時系列": a measuring program's table of the night, each image calibrated
// as the Measure does one, the light curve with the check star's and the
// comparison stars' O - C below it, the images and the comparison stars with
// their drift; a click on an image or a star leaves it out and everything is
// computed again; every used image's record into the night's file at once.
class SeriesWindow : public QWidget
{
    Q_OBJECT

public:
    SeriesWindow(InputsProvider inputs, forms::MessageBoxes *boxes, QWidget *parent = nullptr);
    ~SeriesWindow() override;

    // A table file: read, mapped as remembered for the star field (or by
    // default), computed; a file that is no table is said and nothing changes.
    void openFile(const QString &path);
    void recompute();
    void inputsChanged() { recompute(); }
    void fieldChanged();
    // An image (from 1) or a table row in or out of every fit.
    void toggleImage(int index);
    void toggleRow(int row);
    void appendToNightFile();
    void copyVsnetLines();

    QString source() const;
    QString status() const;
    const NightSeries::Night &night() const { return m_night; }
    const NightSeries::Mapping &mapping() const { return m_mapping; }
    QComboBox *target() const { return m_target; }
    QComboBox *check() const { return m_check; }
    QComboBox *rowColumn(int row) const;
    QTableWidget *stars() const { return m_stars; }
    QTableView *images() const { return m_images; }
    QPushButton *appendButton() const { return m_append; }
    QLineEdit *star() const { return m_star; }
    QLineEdit *obscode() const { return m_obscode; }
    QComboBox *filter() const { return m_filter; }

Q_SIGNALS:
    void recordsAppended(const QString &path);

private:
    void chooseFile();
    void fillMapping();
    void mappingEdited();
    void fillStars();
    // The used images' lines in the format; why not, in words.
    QStringList lines(SubmissionRecord::Format format, QString &problem,
        QList<AavsoExtended::Fields> *fields = nullptr, AavsoExtended::Header *header = nullptr);
    void say(const QString &text);
    void rememberRecordFields();

    InputsProvider m_inputs;
    forms::MessageBoxes *m_boxes;
    QString m_path;
    std::optional<SeriesTable::Table> m_table;
    NightSeries::Mapping m_mapping;
    NightSeries::Night m_night;
    QStringList m_catalogue;
    QLabel *m_source = nullptr;
    QComboBox *m_target = nullptr;
    QComboBox *m_check = nullptr;
    QTableWidget *m_map = nullptr;
    SeriesCanvas *m_canvas = nullptr;
    QLabel *m_pointed = nullptr;
    SeriesImages m_model;
    QTableView *m_images = nullptr;
    QTableWidget *m_stars = nullptr;
    QLineEdit *m_star = nullptr;
    QComboBox *m_filter = nullptr;
    QLineEdit *m_obscode = nullptr;
    QPushButton *m_append = nullptr;
    QLabel *m_status = nullptr;
    bool m_filling = false; // the mapping's boxes are being filled, not edited
};

} // namespace quillet
