// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/vsp_chart.h"
#include "ui/beside_windows.h"
#include "ui/forms.h"

#include <QDialog>
#include <QPointer>

#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QTableWidget;

namespace quillet {

// "チャートの比較星": a chart's photometry table from AAVSO's Variable Star
// Plotter, from a file or fetched, its stars in the band of the filter chosen,
// and the ones checked put into the main window's table in one step.
class ChartDialog : public QDialog
{
    Q_OBJECT

public:
    ChartDialog(InputsProvider inputs, TableWriter writeTable, forms::MessageBoxes *boxes,
        QWidget *parent = nullptr);
    ~ChartDialog() override;

    // The chart of a VSP answer's file; a file that is none is said and changes nothing.
    void openFile(const QString &path);
    // VSP's answer for the star, field of view (arcmin) and limiting magnitude,
    // from QUILLET3_VSP_URL's base or AAVSO's; the window says what it waits
    // for and can stop it.
    void fetch();
    void cancelFetch();
    // How long a fetch may wait for the answer (30 s; tests make it short).
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }
    // The checked stars into rows 1..n by magnitude, after a question when
    // the table holds anything; the chart kept with the star field.
    void putIntoTable();

    QLineEdit *star() const { return m_star; }
    QDoubleSpinBox *fieldOfView() const { return m_fov; }
    QLineEdit *limit() const { return m_limit; }
    QComboBox *filter() const { return m_filter; }
    QTableWidget *stars() const { return m_table; }
    QString status() const;
    QString chartTitle() const;
    bool fetching() const;
    // The stars checked, as indexes into the chart.
    QList<int> checked() const;

Q_SIGNALS:
    void tableReplaced();
    void fetched(); // the fetch ended, whatever its end

private:
    void showChart();
    void starChecked(int row);
    void fetchEnded();
    void say(const QString &status);

    InputsProvider m_inputs;
    TableWriter m_writeTable;
    forms::MessageBoxes *m_boxes;
    std::optional<VspChart::Chart> m_chart;
    QByteArray m_answer;
    QLineEdit *m_star = nullptr;
    QDoubleSpinBox *m_fov = nullptr;
    QLineEdit *m_limit = nullptr;
    QPushButton *m_fetch = nullptr;
    QPushButton *m_cancel = nullptr;
    QLabel *m_title = nullptr;
    QComboBox *m_filter = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_status = nullptr;
    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    bool m_cancelled = false;
    bool m_tooLarge = false;
    int m_timeout = 30000;
};

} // namespace quillet
