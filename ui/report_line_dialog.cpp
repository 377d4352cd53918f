// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/report_line_dialog.h"

#include "core/julian_date.h"
#include "core/numeric_text.h"
#include "core/submission_record.h"
#include "core/table_doubts.h"
#include "platform/star_fields.h"
#include "report/field_chart.h"
#include "report/image_info.h"
#include "report/messages.h"
#include "report/night_file.h"
#include "report/report_text.h"
#include "report/submission.h"
#include "ui/beside_windows_hub.h"
#include "ui/check_star.h"
#include "ui/kept_chart.h"
#include "ui/settings.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>

namespace quillet {

namespace {

using SubmissionRecord::Format;

QString shown(QString text)
{
    return text.replace(u'\r', u'\n');
}

QLabel *resultLabel(QWidget *parent, const QString &role)
{
    auto *label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    forms::showsResult(label, role);
    return label;
}

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    // Enter in a field does nothing else: it never copies over the clipboard.
    b->setAutoDefault(false);
    return b;
}

// The images of a folder, by name.
QStringList imagesIn(const QString &folder)
{
    QStringList images;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        if (forms::isImageName(name))
            images << QDir(folder).filePath(name);
    }
    return images;
}

} // namespace

ReportLineDialog::ReportLineDialog(
    InputsProvider inputs, forms::MessageBoxes *boxes, QWidget *parent, CheckStar *checkStar)
    : QDialog(parent)
    , m_inputs(std::move(inputs))
    , m_boxes(boxes)
    , m_checkStar(checkStar ? checkStar : new CheckStar)
{
    if (!checkStar)
        m_checkStar->setParent(this);
    setWindowTitle(QStringLiteral("報告行"));
    setModal(false);
    // The fields scroll when the dialog stands in a narrow space beside the
    // main window, whose paste box and import button stay in view.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget(scroll);
    auto *layout = new QVBoxLayout(content);
    buildFields(layout);
    buildLines(layout);
    buildNightFile(layout);
    layout->addStretch();
    scroll->setWidget(content);
    outer->addWidget(scroll);
    restoreFields();
    resize(640, 600);
    setProperty(RememberedPlace,
        restoreGeometry(
            QSettings().value(settings::key(settings::ReportLinesGeometry)).toByteArray()));
    connect(m_checkStar, &CheckStar::changed, this, &ReportLineDialog::recompute);
    recompute();
}

ReportLineDialog::~ReportLineDialog()
{
    remember();
}

void ReportLineDialog::buildFields(QVBoxLayout *layout)
{
    // Two fields a row where they go together: the dialog stays short
    // enough to stand beside the main window on a small screen.
    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    int row = 0;
    const auto add
        = [this, grid, &row](const QString &label, QWidget *field, int column = 0, int span = 1) {
              field->setAccessibleName(label);
              auto *caption = new QLabel(label, this);
              caption->setBuddy(field);
              grid->addWidget(caption, row, column);
              grid->addWidget(field, row, column + 1, 1, span);
          };
    const auto text = [this]() {
        auto *edit = new QLineEdit(this);
        connect(edit, &QLineEdit::textChanged, this, &ReportLineDialog::recompute);
        return edit;
    };
    m_star = text();
    add(QStringLiteral("星名"), m_star, 0, 3);
    ++row;
    m_time = new QLineEdit(this);
    m_time->setPlaceholderText(QStringLiteral("2026-12-07 21:34:12"));
    add(QStringLiteral("日時 (UT)"), m_time, 0, 3);
    ++row;
    m_timeProblem = resultLabel(this, QStringLiteral("日時の問題"));
    grid->addWidget(m_timeProblem, row++, 1, 1, 3);
    m_jd = new QLineEdit(this);
    add(QStringLiteral("JD"), m_jd);
    // HJD needs the star's position: the image's, or typed here.
    m_dateKind = new QComboBox(this);
    m_dateKind->addItems({QStringLiteral("JD"), QStringLiteral("HJD")});
    add(QStringLiteral("AAVSO の日付"), m_dateKind, 2);
    ++row;
    m_ra = text();
    m_ra->setPlaceholderText(QStringLiteral("21:42:42.8"));
    add(QStringLiteral("赤経"), m_ra);
    m_dec = text();
    m_dec->setPlaceholderText(QStringLiteral("+43:35:09.9"));
    add(QStringLiteral("赤緯"), m_dec, 2);
    ++row;
    // AAVSO's codes: every advice given here can be followed. The first, empty
    // entry is no filter chosen.
    m_filter = new QComboBox(this);
    m_filter->addItem(QString());
    m_filter->addItems(SubmissionRecord::filterCodes(Format::Aavso));
    add(QStringLiteral("フィルター"), m_filter);
    // A colour camera's observations are DSLR, not CCD.
    m_obstype = new QComboBox(this);
    m_obstype->addItems(SubmissionRecord::observationTypes());
    add(QStringLiteral("観測の種類"), m_obstype, 2);
    ++row;
    m_obscode = text();
    add(QStringLiteral("観測者コード"), m_obscode);
    m_chart = text();
    add(QStringLiteral("チャート"), m_chart, 2);
    ++row;
    m_check = new QComboBox(this);
    add(QStringLiteral("チェック星"), m_check);
    m_checkName = text();
    add(QStringLiteral("チェック星名"), m_checkName, 2);
    ++row;
    m_airmass = text();
    add(QStringLiteral("エアマス"), m_airmass);
    ++row;
    auto *imageRow = new QHBoxLayout;
    auto *fromImage = button(QStringLiteral("画像から…"), this);
    auto *next = button(QStringLiteral("次の画像"), this);
    next->setToolTip(
        QStringLiteral("同じフォルダの次の画像（名前の順）の時刻を読みます（Ctrl+Shift+O）"));
    imageRow->addWidget(fromImage);
    imageRow->addWidget(next);
    imageRow->addStretch();
    grid->addLayout(imageRow, row++, 0, 1, 4);
    m_imageNote = resultLabel(this, QStringLiteral("画像の時刻"));
    grid->addWidget(m_imageNote, row++, 0, 1, 4);
    layout->addLayout(grid);
    setAcceptDrops(true);
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->installEventFilter(this);
    connect(fromImage, &QPushButton::clicked, this, &ReportLineDialog::chooseImage);
    connect(next, &QPushButton::clicked, this, &ReportLineDialog::openNextImage);
    connect(m_time, &QLineEdit::textEdited, this, &ReportLineDialog::timeEdited);
    connect(m_jd, &QLineEdit::textEdited, this, &ReportLineDialog::julianDateEdited);
    for (QComboBox *choice : {m_filter, m_obstype, m_dateKind})
        connect(choice, &QComboBox::currentIndexChanged, this, &ReportLineDialog::recompute);
    connect(m_check, &QComboBox::currentIndexChanged, this,
        [this] { m_checkStar->setRow(checkRowOf(m_check)); });
}

void ReportLineDialog::buildLines(QVBoxLayout *layout)
{
    auto *reportedRow = new QHBoxLayout;
    reportedRow->addWidget(new QLabel(QStringLiteral("報告する等級"), this));
    m_reported = resultLabel(this, QStringLiteral("報告する等級"));
    reportedRow->addWidget(m_reported, 1);
    layout->addLayout(reportedRow);

    const auto addLine = [this, layout](const QString &name, QLineEdit *&line, QLabel *&problem) {
        auto *row = new QHBoxLayout;
        auto *label = new QLabel(name, this);
        line = new QLineEdit(this);
        line->setReadOnly(true);
        line->setAccessibleName(name);
        label->setBuddy(line);
        auto *copy = button(QStringLiteral("コピー"), this);
        copy->setAccessibleName(name + QStringLiteral(" をコピー"));
        connect(copy, &QPushButton::clicked, this, [this, line, name] {
            recompute(); // never an old line
            if (line->text().isEmpty())
                return say(QStringLiteral("%1 の行はまだありません").arg(name));
            QGuiApplication::clipboard()->setText(line->text());
            say(QStringLiteral("%1 の行をコピーしました").arg(name));
        });
        row->addWidget(label);
        row->addWidget(line, 1);
        row->addWidget(copy);
        layout->addLayout(row);
        problem = resultLabel(this, name + QStringLiteral(" の問題"));
        layout->addWidget(problem);
    };
    addLine(QStringLiteral("VSNET"), m_vsnet, m_vsnetProblem);
    addLine(QStringLiteral("AAVSO"), m_aavso, m_aavsoProblem);
    m_warning = resultLabel(this, QStringLiteral("警告"));
    layout->addWidget(m_warning);
}

void ReportLineDialog::buildNightFile(QVBoxLayout *layout)
{
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("今夜の AAVSO ファイル"), this));
    m_night = resultLabel(this, QStringLiteral("今夜の AAVSO ファイル"));
    auto *other = button(QStringLiteral("別のファイル…"), this);
    fileRow->addWidget(m_night, 1);
    fileRow->addWidget(other);
    layout->addLayout(fileRow);
    auto *appendRow = new QHBoxLayout;
    auto *append = button(QStringLiteral("AAVSO ファイルに追加"), this);
    m_records = resultLabel(this, QStringLiteral("AAVSO ファイルの記録数"));
    m_lightCurve = button(QStringLiteral("光度曲線…"), this);
    appendRow->addWidget(append);
    appendRow->addWidget(m_records, 1);
    appendRow->addWidget(m_lightCurve);
    layout->addLayout(appendRow);
    m_appendOnImage = new QCheckBox(QStringLiteral("画像を読んだら記録を追加"), this);
    m_appendOnImage->setToolTip(QStringLiteral(
        "測光した後に画像の時刻を読み込むと、その記録を今夜の AAVSO ファイルに追加します"));
    m_appendOnImage->setChecked(QSettings().value(settings::key(settings::AppendOnImage)).toBool());
    layout->addWidget(m_appendOnImage);
    m_status = resultLabel(this, QStringLiteral("報告行の状態"));
    layout->addWidget(m_status);
    connect(append, &QPushButton::clicked, this, &ReportLineDialog::appendToAavsoFile);
    connect(other, &QPushButton::clicked, this, &ReportLineDialog::chooseNightFile);
    connect(m_lightCurve, &QPushButton::clicked, this,
        [this] { Q_EMIT lightCurveWanted(m_nightFile); });
    setNightFile(settings::nightFile(StarFields::dataFolder()));
}

void ReportLineDialog::setNightFile(const QString &path)
{
    m_nightFile = path;
    // Its name; the whole path under the pointer.
    m_night->setText(QFileInfo(path).fileName());
    m_night->setToolTip(path);
}

void ReportLineDialog::restoreFields()
{
    m_field = m_inputs().field;
    m_checkStar->setField(m_field);
    const QSettings settings;
    const auto value = [this, &settings](const char *name) {
        return settings.value(settings::fieldKey(m_field, name));
    };
    // A new field's star is the field's name; its observer code the last one typed.
    const QVariant star = value(settings::ReportStar);
    m_star->setText(star.isValid() ? star.toString() : m_field);
    const QVariant obscode = value(settings::ReportObscode);
    m_obscode->setText(obscode.isValid()
            ? obscode.toString()
            : settings.value(settings::key(settings::ReportObscode)).toString());
    m_chart->setText(value(settings::ReportChart).toString());
    // An older file may hold VSNET's spelling (Rc): AAVSO's code for it.
    const QVariant filter = value(settings::ReportFilter);
    const int at = m_filter->findText(SubmissionRecord::filterCode(
        Format::Aavso, filter.isValid() ? filter.toString() : QStringLiteral("V"))
                                          .value_or(QString()));
    m_filter->setCurrentIndex(at < 0 ? 0 : at);
    const int type = m_obstype->findText(
        SubmissionRecord::observationType(value(settings::ReportObstype).toString())
            .value_or(QStringLiteral("CCD")));
    m_obstype->setCurrentIndex(type < 0 ? 0 : type);
    m_dateKind->setCurrentIndex(value(settings::ReportDateKind).toString() == QLatin1String("HJD"));
    m_ra->setText(value(settings::ReportRa).toString());
    m_dec->setText(value(settings::ReportDec).toString());
    m_imageFolder = value(settings::ReportImageFolder).toString();
}

QString ReportLineDialog::reported() const
{
    return m_reported->text();
}
QString ReportLineDialog::timeProblem() const
{
    return m_timeProblem->text();
}
QString ReportLineDialog::vsnetLine() const
{
    return m_vsnet->text();
}
QString ReportLineDialog::aavsoLine() const
{
    return m_aavso->text();
}
QString ReportLineDialog::vsnetProblem() const
{
    return m_vsnetProblem->text();
}
QString ReportLineDialog::aavsoProblem() const
{
    return m_aavsoProblem->text();
}
QString ReportLineDialog::warning() const
{
    return m_warning->text();
}
QString ReportLineDialog::records() const
{
    return m_records->text();
}
QString ReportLineDialog::imageNote() const
{
    return m_imageNote->text();
}
QString ReportLineDialog::status() const
{
    return m_status->text();
}

void ReportLineDialog::say(const QString &status)
{
    m_status->setText(status);
    m_status->setVisible(!status.isEmpty());
}

// The time and the boxes it goes with: from now on, a change of the boxes
// makes it a time of other values.
void ReportLineDialog::giveTime(double jd, const QString &image)
{
    const MainWindowInputs inputs = m_inputs();
    m_timeSource = image.isEmpty() ? TimeSource::Typed : TimeSource::Image;
    m_timeImage = image;
    m_tableAtTime = inputs.tableTexts;
    m_variableAtTime = inputs.variableText;
    m_jd->setText(QString::number(jd, 'f', 5));
    m_time->setText(JulianDate::timeText(jd));
}

void ReportLineDialog::clearTime()
{
    m_timeSource = TimeSource::None;
    m_timeImage.clear();
    m_time->clear();
    m_jd->clear();
    m_imagePosition.reset();
}

void ReportLineDialog::chooseImage()
{
    const QString folder = m_imageFolder.isEmpty() ? m_inputs().tableFolder : m_imageFolder;
    const QString path = m_boxes->openFileName(
        this, QStringLiteral("時刻を読む画像（FITS）"), folder, forms::imageFilter());
    if (!path.isEmpty())
        useImage(path);
}

void ReportLineDialog::useImage(const QString &path)
{
    const ImageInfo::Image info = ImageInfo::read(path);
    const QString name = QFileInfo(path).fileName();
    m_lastImage = path;
    m_imageFolder = QFileInfo(path).absolutePath();
    if (!info.jd) {
        // No time of another image stays beside this one's values.
        clearTime();
        m_airmass->clear();
        m_imageNote->setText(QStringLiteral("%1: 時刻がありません（%2）").arg(name, info.error));
        recompute();
        return;
    }
    giveTime(*info.jd, path);
    m_imagePosition = info.position;
    QString note = QStringLiteral("%1: %2").arg(name, info.timeFrom);
    if (info.filter) {
        const auto code = SubmissionRecord::filterOfImage(Format::Aavso, *info.filter);
        m_filter->setCurrentIndex(code ? m_filter->findText(*code) : 0);
        if (!code)
            note += QStringLiteral(
                "。フィルター %1 は AAVSO のどのコードか分からないので、選んで下さい")
                        .arg(messages::visible(*info.filter));
    }
    if (m_star->text().trimmed().isEmpty() && info.object)
        m_star->setText(*info.object);
    m_airmass->setText(info.airmass ? QString::number(*info.airmass, 'f', 4) : QString());
    if (!info.airmassProblem.isEmpty())
        note += QStringLiteral("。%1 はエアマスとして使えません")
                    .arg(messages::visible(info.airmassProblem));
    m_imageNote->setText(note);
    recompute();
    say(QStringLiteral("%1 の時刻を読みました").arg(name));
    // Opt-in: the image completes a record measured since the last one.
    if (m_appendOnImage->isChecked() && m_measuredSinceAppend && !m_aavso->text().isEmpty()
        && m_aavso->text() != m_lastAppended && m_doubts.isEmpty())
        appendToAavsoFile();
}

void ReportLineDialog::openNextImage()
{
    const QString folder
        = m_lastImage.isEmpty() ? m_imageFolder : QFileInfo(m_lastImage).absolutePath();
    if (m_lastImage.isEmpty()) {
        chooseImage();
        return;
    }
    const QStringList images = imagesIn(folder);
    const QString last = QFileInfo(m_lastImage).fileName();
    for (const QString &image : images) {
        if (QFileInfo(image).fileName() > last) {
            useImage(image);
            return;
        }
    }
    say(QStringLiteral("%1 の次の画像はありません（%2）").arg(last, folder));
}

void ReportLineDialog::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().value(0).isLocalFile())
        event->acceptProposedAction();
}

void ReportLineDialog::dropEvent(QDropEvent *event)
{
    // Any file: one that is no image says so beside the button.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    useImage(urls.first().toLocalFile());
}

bool ReportLineDialog::eventFilter(QObject *watched, QEvent *event)
{
    // A text box would take an image's name as text: the dialog takes the image.
    if (forms::takeImageDrag(event, [this](const QString &path) { useImage(path); }))
        return true;
    return QDialog::eventFilter(watched, event);
}

// The time as typed: JD follows it; a time that does not parse leaves no JD.
void ReportLineDialog::timeEdited()
{
    const QString typed = m_time->text();
    if (const auto jd = JulianDate::ofTime(typed)) {
        giveTime(*jd, {});
        m_time->setText(typed);
    } else {
        m_timeSource = TimeSource::None;
        m_jd->clear();
    }
    m_imagePosition.reset();
    recompute();
}

void ReportLineDialog::julianDateEdited()
{
    const QString typed = m_jd->text();
    if (const auto jd = JulianDate::parse(typed)) {
        giveTime(*jd, {});
        m_jd->setText(typed);
    } else {
        m_timeSource = TimeSource::None;
        m_time->clear();
    }
    m_imagePosition.reset();
    recompute();
}

// Beside the time: that the boxes changed since it was given.
QString ReportLineDialog::staleNote() const
{
    if (m_timeSource == TimeSource::None)
        return {};
    const MainWindowInputs inputs = m_inputs();
    if (inputs.tableTexts == m_tableAtTime && inputs.variableText == m_variableAtTime)
        return {};
    if (m_timeSource == TimeSource::Image)
        return QStringLiteral("画像 %1 の時刻です。新しい画像を読み込みましたか")
            .arg(QFileInfo(m_timeImage).fileName());
    return QStringLiteral("測光値が変わる前に入れた時刻です。時刻を入れ直しましたか");
}

std::optional<ImageTime::SkyPosition> ReportLineDialog::position() const
{
    if (m_imagePosition)
        return m_imagePosition;
    const auto ra = ImageTime::rightAscension(m_ra->text(), true);
    const auto dec = ImageTime::declination(m_dec->text());
    if (ra && dec)
        return ImageTime::SkyPosition {*ra, *dec};
    return std::nullopt;
}

void ReportLineDialog::inputsChanged()
{
    // Many boxes change in one command (a clear, an import): shown once after it.
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(this, &ReportLineDialog::recompute, Qt::QueuedConnection);
}

void ReportLineDialog::measured()
{
    m_measuredSinceAppend = true;
    recompute();
}

void ReportLineDialog::recompute()
{
    if (!m_status)
        return; // still being built
    m_pending = false;
    computeLines();
    showLabels();
}

// What there is to say, and no empty row where there is nothing: the dialog
// stays short beside the main window.
void ReportLineDialog::showLabels()
{
    for (QLabel *label : {m_timeProblem, m_imageNote, m_vsnetProblem, m_aavsoProblem, m_warning,
             m_records, m_status})
        label->setVisible(!label->text().isEmpty());
}

void ReportLineDialog::computeLines()
{
    const MainWindowInputs inputs = m_inputs();
    // The field's chart names its rows and gives KNAME and CHART where
    // nothing is typed; the boxes show what it gives.
    const StarChart::FieldChart *chart = keptChart(inputs.tableFolder);
    const ReportText::Labels labels
        = chart ? StarChart::labels(*chart, inputs.tableTexts) : ReportText::Labels();
    fillCheckChoice(m_check, inputs.tableTexts, m_checkStar->row(), labels);
    submission::Typed given;
    if (chart)
        FieldChart::fillFromChart(given, *chart, inputs.tableTexts, checkRowOf(m_check));
    m_chart->setPlaceholderText(given.chart);
    m_checkName->setPlaceholderText(given.checkName);
    const QString stale = staleNote();
    const bool timeTyped = !m_time->text().trimmed().isEmpty() || !m_jd->text().trimmed().isEmpty();
    m_timeProblem->setText(!stale.isEmpty() ? stale
            : m_timeSource == TimeSource::None && timeTyped
            ? QStringLiteral("日時として読めません（例 2026-12-07 21:34:12、JD 2461382.39875）")
            : QString());
    QStringList doubts;
    for (const TableDoubts::Doubt &doubt : TableDoubts::find(inputs.tableTexts))
        doubts << messages::tableDoubt(doubt, labels);
    if (chart && !StarChart::changedRows(*chart, inputs.tableTexts).isEmpty())
        doubts << messages::changedChartRows(StarChart::changedRows(*chart, inputs.tableTexts));
    const QString variable = inputs.variableText.trimmed();
    if (!variable.isEmpty() && !ParseWholeNumber(variable))
        doubts << messages::notANumber(inputs.variableText);
    m_doubts = doubts.join(u'\n');
    if (variable.isEmpty())
        return showCommonProblem(shown(messages::measureProblem(MeasureProblem::NoVariableValue)));
    if (!ParseWholeNumber(variable))
        return showCommonProblem(messages::notANumber(inputs.variableText));
    const ReportOutcome outcome
        = MakeCalibrationReport(inputs.tableTexts, {variable}, checkRowOf(m_check));
    if (outcome.problem)
        return showCommonProblem(shown(messages::reportProblem(*outcome.problem)));
    showLines(variable, outcome.report, chart, inputs.tableTexts);
}

void ReportLineDialog::showCommonProblem(const QString &why)
{
    m_reported->setText(why);
    for (QLineEdit *line : {m_vsnet, m_aavso})
        line->clear();
    for (QLabel *problem : {m_vsnetProblem, m_aavsoProblem})
        problem->setText(why);
    m_warning->setText(m_doubts);
    m_flaggedRows.clear();
}

void ReportLineDialog::showLines(const QString &variable, const CalibrationReport &report,
    const StarChart::FieldChart *chart, const QStringList &tableTexts)
{
    const VariableEstimate &v = report.variables.front();
    m_reported->setText(v.predictionSe
            ? QStringLiteral("%1 ± %2（変光星の測光値 %3、予測誤差）")
                  .arg(ReportText::fixed(v.magnitude), ReportText::errorText(*v.predictionSe),
                      variable)
            : QStringLiteral("%1（変光星の測光値 %2。比較星が 2 個なので予測誤差はありません）")
                  .arg(ReportText::fixed(v.magnitude), variable));

    submission::Typed typed;
    typed.star = m_star->text();
    typed.jd = m_timeSource == TimeSource::None ? QString() : m_jd->text();
    typed.filter = m_filter->currentText();
    typed.obscode = m_obscode->text();
    typed.chart = m_chart->text();
    typed.checkName = m_checkName->text();
    typed.check = report.check.has_value();
    typed.airmass = m_airmass->text();
    typed.obstype = m_obstype->currentText();
    typed.software
        = QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion();
    const QString checkError = chart
        ? FieldChart::fillFromChart(typed, *chart, tableTexts, checkRowOf(m_check))
        : QString();

    // VSNET: written with a warning beside it when the name is not in its form.
    const auto vsnet = submission::check(Format::Vsnet, typed, submission::Interface::Dialog);
    m_vsnet->setText(vsnet.problem.isEmpty()
            ? submission::line(Format::Vsnet, vsnet.record, report, v).text
            : QString());
    m_vsnetProblem->setText(vsnet.problem.isEmpty()
            ? submission::reportWarnings(Format::Vsnet, vsnet.record, {}).join(u'\n')
            : vsnet.problem);

    // AAVSO: the date as JD, or heliocentric where the star's position is known.
    const bool hjd = m_dateKind->currentIndex() == 1;
    if (hjd && !typed.jd.isEmpty()) {
        const auto jd = JulianDate::parse(typed.jd);
        const auto where = position();
        const auto heliocentric
            = jd && where ? ImageInfo::heliocentricJulianDate(*jd, *where) : std::nullopt;
        typed.jd = heliocentric ? QString::number(*heliocentric, 'f', 5) : QString();
    }
    auto aavso = submission::check(Format::Aavso, typed, submission::Interface::Dialog);
    if (hjd && typed.jd.isEmpty() && m_timeSource != TimeSource::None)
        aavso.problem = QStringLiteral(
            "HJD には星の位置が要ります（画像の OBJCTRA/OBJCTDEC か RA/DEC、または赤経と赤緯）");
    aavso.record.hjd = hjd;
    aavso.record.checkError = checkError;
    submission::Line line;
    if (aavso.problem.isEmpty())
        line = submission::line(Format::Aavso, aavso.record, report, v);
    else
        line.problem = aavso.problem;
    m_aavso->setText(line.text);
    m_aavsoProblem->setText(line.problem);
    m_aavsoFields = line.fields;
    m_aavsoHeader = {aavso.record.obscode, aavso.record.software, aavso.record.obstype,
        hjd ? AavsoExtended::DateKind::Hjd : AavsoExtended::DateKind::Jd};

    m_flaggedRows.clear();
    for (const ReportRow &row : report.rows) {
        if (row.flagged)
            m_flaggedRows << QString::number(row.row);
    }
    QStringList warnings = submission::lineWarnings(Format::Aavso, v)
        + submission::reportWarnings(Format::Aavso, aavso.record, report);
    if (!m_doubts.isEmpty())
        warnings.prepend(m_doubts);
    m_warning->setText(warnings.join(u'\n'));
}

bool ReportLineDialog::ask(const QString &question)
{
    return m_boxes->show(this, question, forms::MessageBoxes::Buttons::OkCancel);
}

void ReportLineDialog::chooseNightFile()
{
    const QString path = m_boxes->saveFileName(
        this, QStringLiteral("追加先の AAVSO ファイル"), m_nightFile, forms::aavsoFilter(), true);
    if (path.isEmpty())
        return;
    setNightFile(path);
    settings::chooseNightFile(path);
    m_nightFileFailed = false;
}

void ReportLineDialog::appendToAavsoFile()
{
    recompute(); // what is written is what the dialog shows now
    if (!m_doubts.isEmpty()) {
        m_boxes->show(this,
            QStringLiteral("測光の計算に数値でない値が入っています\r%1\r直してから追加して下さい")
                .arg(QString(m_doubts).replace(u'\n', u'\r')),
            forms::MessageBoxes::Buttons::Ok);
        return;
    }
    if (m_aavso->text().isEmpty()) {
        m_boxes->show(this, m_aavsoProblem->text(), forms::MessageBoxes::Buttons::Ok);
        return;
    }
    if (const QString stale = staleNote(); !stale.isEmpty()
        && !ask(stale
            + QStringLiteral("\r測光値は時刻を入れた後に変わっています。このまま追加しますか")))
        return;
    if (!m_flaggedRows.isEmpty()
        && !ask(QStringLiteral("行 %1 の比較星が近似直線から外れています\rこのまま追加しますか")
                    .arg(m_flaggedRows.join(QStringLiteral(", ")))))
        return;
    if (m_nightFileFailed) {
        chooseNightFile();
        if (m_nightFileFailed)
            return;
    }
    NightFile::Appended appended = NightFile::append(m_nightFile, m_aavsoHeader, {m_aavsoFields});
    if (appended.refusal == AavsoFile::Refusal::Duplicate) {
        const AavsoFile::Duplicate &there = appended.duplicates.first();
        const QString question = there.sameMagnitude
            ? QStringLiteral("同じ記録がすでにあります。もう一度追加しますか")
            : QStringLiteral("同じ時刻の記録がすでにあります（等級 %1）。"
                             "画像を読み込み忘れていませんか\rこのまま追加しますか")
                  .arg(there.magnitude);
        if (!ask(question))
            return;
        appended = NightFile::append(
            m_nightFile, m_aavsoHeader, {m_aavsoFields}, AavsoFile::Duplicates::Append);
    }
    if (appended.failure || appended.refusal) {
        m_boxes->show(this,
            QStringLiteral("AAVSO ファイルに追加できませんでした\r")
                + messages::appendRefused(m_nightFile, appended, m_aavsoHeader),
            forms::MessageBoxes::Buttons::Ok);
        m_nightFileFailed = true; // the next press asks for a file
        say(QStringLiteral("追加できませんでした"));
        return;
    }
    m_lastAppended = m_aavso->text();
    m_measuredSinceAppend = false;
    m_records->setText(QStringLiteral("%1: %2 件の記録")
                           .arg(QFileInfo(m_nightFile).fileName())
                           .arg(appended.records));
    m_records->setVisible(true);
    say(QStringLiteral("%1 に追加しました（%2 件目）")
            .arg(QFileInfo(m_nightFile).fileName())
            .arg(appended.records));
    Q_EMIT recordAppended(m_nightFile);
}

void ReportLineDialog::showEvent(QShowEvent *event)
{
    recompute(); // the boxes may have changed while it was closed
    QDialog::showEvent(event);
}

void ReportLineDialog::hideEvent(QHideEvent *event)
{
    // For the next night, also should the program not end normally.
    if (const QString why = remember(); !why.isEmpty())
        m_boxes->show(nullptr, why, forms::MessageBoxes::Buttons::Ok);
    QDialog::hideEvent(event);
}

void ReportLineDialog::fieldChanged()
{
    if (const QString why = remember(); !why.isEmpty())
        m_boxes->show(this, why, forms::MessageBoxes::Buttons::Ok);
    // Another field's sky: no time, image or airmass of the last one's.
    clearTime();
    m_airmass->clear();
    m_lastImage.clear();
    m_imageNote->clear();
    restoreFields();
    recompute();
}

QString ReportLineDialog::remember()
{
    QSettings settings;
    const auto keep = [this, &settings](const char *name, const QVariant &value) {
        settings.setValue(settings::fieldKey(m_field, name), value);
    };
    keep(settings::ReportStar, m_star->text().trimmed());
    keep(settings::ReportFilter, m_filter->currentText());
    keep(settings::ReportObscode, m_obscode->text().trimmed());
    keep(settings::ReportChart, m_chart->text().trimmed());
    keep(settings::ReportObstype, m_obstype->currentText());
    keep(settings::ReportDateKind, m_dateKind->currentText());
    keep(settings::ReportRa, m_ra->text().trimmed());
    keep(settings::ReportDec, m_dec->text().trimmed());
    keep(settings::ReportImageFolder, m_imageFolder);
    // The observer is the same in every field: a new field starts with this code.
    settings.setValue(settings::key(settings::ReportObscode), m_obscode->text().trimmed());
    settings.setValue(settings::key(settings::AppendOnImage), m_appendOnImage->isChecked());
    settings.setValue(settings::key(settings::ReportLinesGeometry), saveGeometry());
    return settings::store(settings);
}

} // namespace quillet
