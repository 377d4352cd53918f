// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/aavso_extended.h"
#include "core/calibration_report.h"
#include "ui/beside_windows.h"
#include "ui/forms.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace quillet {

// The night's report lines for the variable in Text31: VSNET's and the AAVSO
// Extended record, as quillet3-report writes them, the magnitude they report,
// and a night's AAVSO file to append to. Follows the main window while it is
// open: what is copied or appended is always what it shows. Star, filter,
// observer code and chart are remembered in the settings file.
class ReportLineDialog : public QDialog
{
    Q_OBJECT

public:
    ReportLineDialog(InputsProvider inputs, forms::MessageBoxes *boxes, QWidget *parent = nullptr);
    ~ReportLineDialog() override;

    // The boxes changed: shown at once, before anything else is done.
    void inputsChanged();
    void recompute();
    // The main window opened another star field: its own star, filter, code and chart.
    void fieldChanged();

    QLineEdit *star() const { return m_star; }
    QLineEdit *time() const { return m_time; }
    QLineEdit *julianDate() const { return m_jd; }
    QComboBox *filter() const { return m_filter; }
    QComboBox *obstype() const { return m_obstype; }
    QLineEdit *obscode() const { return m_obscode; }
    QLineEdit *chart() const { return m_chart; }
    QComboBox *checkStar() const { return m_check; }
    QLineEdit *checkName() const { return m_checkName; }
    QLineEdit *airmass() const { return m_airmass; }

    // What the dialog shows, as a screen reader hears it too.
    QString reported() const;
    QString timeProblem() const;
    QString vsnetLine() const;
    QString aavsoLine() const;
    QString vsnetProblem() const;
    QString aavsoProblem() const;
    QString warning() const;
    QString records() const;
    QString imageNote() const;
    // The night's AAVSO file, once one was chosen and took a record.
    QString nightFile() const { return m_nightFile; }

    // The time (mid-exposure), filter, airmass and, when 星名 is empty, the
    // star from an image's FITS header; a file that gives no time is said so
    // and changes nothing.
    void useImage(const QString &path);

    // Appends the AAVSO record to the night's file (asked for once, and again
    // after a failure), asking first when a comparison star is flagged or the
    // file holds the same record already.
    void appendToAavsoFile();

Q_SIGNALS:
    // A record went into the night's file.
    void recordAppended(const QString &nightFile);
    void lightCurveWanted(const QString &nightFile);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFields(QVBoxLayout *layout);
    void buildLines(QVBoxLayout *layout);
    void restoreFields();
    void timeEdited();
    void julianDateEdited();
    void showLines(const QString &variable, const CalibrationReport &report);
    void showCommonProblem(const QString &why);
    bool ask(const QString &question);
    // Keeps the fields for the next night; why the settings file could not take them.
    QString remember();

    InputsProvider m_inputs;
    forms::MessageBoxes *m_boxes;
    bool m_pending = false;
    QLineEdit *m_star = nullptr;
    QLineEdit *m_time = nullptr;
    QLabel *m_timeProblem = nullptr;
    QLineEdit *m_jd = nullptr;
    QComboBox *m_filter = nullptr;
    QComboBox *m_obstype = nullptr;
    QLineEdit *m_obscode = nullptr;
    QLineEdit *m_chart = nullptr;
    QComboBox *m_check = nullptr;
    QLineEdit *m_checkName = nullptr;
    QLineEdit *m_airmass = nullptr;
    QLabel *m_imageNote = nullptr;
    QPushButton *m_lightCurve = nullptr;
    QLabel *m_reported = nullptr;
    QLineEdit *m_vsnet = nullptr;
    QLineEdit *m_aavso = nullptr;
    QLabel *m_vsnetProblem = nullptr;
    QLabel *m_aavsoProblem = nullptr;
    QLabel *m_warning = nullptr;
    QLabel *m_records = nullptr;
    AavsoExtended::Header m_aavsoHeader;
    AavsoExtended::Fields m_aavsoFields;
    QStringList m_flaggedRows;
    QString m_nightFile;
    QString m_field; // the star field whose fields these are
};

} // namespace quillet
