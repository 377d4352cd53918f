// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/aavso_extended.h"
#include "core/calibration_report.h"
#include "core/image_time.h"
#include "core/star_chart.h"
#include "ui/beside_windows.h"
#include "ui/forms.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace quillet {

class CheckStar;

// The night's report lines for the variable in Text31: VSNET's and the AAVSO
// Extended record, as quillet3-report writes them, the magnitude they report,
// and the night's AAVSO file to append to. Follows the main window while it is
// open: what is copied or appended is always what it shows. A record belongs
// to one image: the time is empty until an image or a typed time gives it,
// the dialog knows which values were current then and says when they changed
// since, and a failure empties what it would have filled. Star, filter,
// observation type, observer code, chart, check star, image folder and the
// date's kind are remembered for each star field.
class ReportLineDialog : public QDialog
{
    Q_OBJECT

public:
    // checkStar: the check-star choice the diagnosis window shares; nullptr:
    // a choice of the dialog's own.
    ReportLineDialog(InputsProvider inputs, forms::MessageBoxes *boxes, QWidget *parent = nullptr,
        CheckStar *checkStar = nullptr);
    ~ReportLineDialog() override;

    // The boxes changed: shown at once, before anything else is done.
    void inputsChanged();
    void recompute();
    // The main window opened another star field: its own fields, and no time,
    // image or airmass of the last field's.
    void fieldChanged();
    // The Measure command ran.
    void measured();

    QLineEdit *star() const { return m_star; }
    QLineEdit *time() const { return m_time; }
    QLineEdit *julianDate() const { return m_jd; }
    QComboBox *dateKind() const { return m_dateKind; }
    QLineEdit *ra() const { return m_ra; }
    QLineEdit *dec() const { return m_dec; }
    QComboBox *filter() const { return m_filter; }
    QComboBox *obstype() const { return m_obstype; }
    QLineEdit *obscode() const { return m_obscode; }
    QLineEdit *chart() const { return m_chart; }
    QComboBox *checkStar() const { return m_check; }
    QLineEdit *checkName() const { return m_checkName; }
    QLineEdit *airmass() const { return m_airmass; }
    QCheckBox *appendOnImage() const { return m_appendOnImage; }

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
    QString status() const;
    // The night's AAVSO file the records go to.
    QString nightFile() const { return m_nightFile; }
    void setNightFile(const QString &path);

    // The time (mid-exposure), filter, airmass and, when 星名 is empty, the
    // star from an image's FITS header. A file that gives no time empties the
    // time and says why; a filter the header names but no code is emptied.
    void useImage(const QString &path);
    // The image after the one loaded last in its folder, by name; the file
    // dialog when none was loaded yet.
    void openNextImage();

    // Appends the AAVSO record to the night's file, asking first when the
    // values changed since the time was given, a comparison star is flagged
    // or the file holds a record of the same time; refuses while a row or the
    // variable's value is not a number the Measure reads as shown.
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
    void buildNightFile(QVBoxLayout *layout);
    void restoreFields();
    void timeEdited();
    void julianDateEdited();
    void clearTime();
    void giveTime(double jd, const QString &image);
    QString staleNote() const;
    void computeLines();
    void showLabels();
    void showLines(const QString &variable, const CalibrationReport &report,
        const StarChart::FieldChart *chart, const QStringList &tableTexts);
    void showCommonProblem(const QString &why);
    std::optional<ImageTime::SkyPosition> position() const;
    bool ask(const QString &question);
    void say(const QString &status);
    void chooseNightFile();
    void chooseImage();
    // Keeps the fields for the next night; why the settings file could not take them.
    QString remember();

    InputsProvider m_inputs;
    forms::MessageBoxes *m_boxes;
    CheckStar *m_checkStar = nullptr;
    bool m_pending = false;
    QLineEdit *m_star = nullptr;
    QLineEdit *m_time = nullptr;
    QLabel *m_timeProblem = nullptr;
    QLineEdit *m_jd = nullptr;
    QComboBox *m_dateKind = nullptr;
    QLineEdit *m_ra = nullptr;
    QLineEdit *m_dec = nullptr;
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
    QLabel *m_night = nullptr;
    QLabel *m_records = nullptr;
    QCheckBox *m_appendOnImage = nullptr;
    QLabel *m_status = nullptr;
    AavsoExtended::Header m_aavsoHeader;
    AavsoExtended::Fields m_aavsoFields;
    QStringList m_flaggedRows;
    QString m_doubts; // rows and values the Measure does not read as shown
    QString m_nightFile;
    bool m_nightFileFailed = false; // the last append failed: ask for a file
    QString m_field; // the star field whose fields these are

    // Where the time came from, and the boxes as they were then.
    enum class TimeSource { None, Image, Typed };
    TimeSource m_timeSource = TimeSource::None;
    QString m_timeImage;
    QStringList m_tableAtTime;
    QString m_variableAtTime;
    std::optional<ImageTime::SkyPosition> m_imagePosition;
    QString m_lastImage; // the image loaded last: the next one follows it
    QString m_imageFolder;
    bool m_measuredSinceAppend = false; // a Measure ran since the last record went in
    QString m_lastAppended; // the AAVSO line appended last
};

} // namespace quillet
