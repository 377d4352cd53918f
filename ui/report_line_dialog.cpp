// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/report_line_dialog.h"

#include "core/julian_date.h"
#include "core/numeric_text.h"
#include "core/submission_record.h"
#include "report/image_info.h"
#include "report/messages.h"
#include "report/night_file.h"
#include "report/report_text.h"
#include "report/submission.h"
#include "ui/beside_windows_hub.h"
#include "ui/check_star.h"
#include "ui/settings.h"

#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
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

// Why the night's file took no record, in words.
QString appendRefused(
    const QString &path, const NightFile::Appended &appended, const AavsoExtended::Header &header)
{
    using AavsoFile::Refusal;
    if (appended.failure) {
        QString why = messages::fileProblem(*appended.failure, path);
        if (appended.incomplete)
            why += QStringLiteral(
                "\r書きかけの記録を取り除けませんでした。%1 の最後の行を確かめて下さい")
                       .arg(path);
        return why;
    }
    switch (*appended.refusal) {
    case Refusal::NotAavso:
        return QStringLiteral("%1 は AAVSO Extended のファイルではありません").arg(path);
    case Refusal::OtherObscode:
        return QStringLiteral("%1 の観測者コードは %2 です（今の観測者コードは %3）")
            .arg(path, appended.detail, header.obscode);
    case Refusal::BadDelimiter:
        return QStringLiteral("%1 の #DELIM=%2 は区切り文字を示していません")
            .arg(path, messages::visible(appended.detail));
    case Refusal::OtherDateKind:
        return QStringLiteral("%1 の日付は %2 です（この記録は %3）")
            .arg(path, appended.detail,
                header.date == AavsoExtended::DateKind::Hjd ? QStringLiteral("HJD")
                                                            : QStringLiteral("JD"));
    case Refusal::OtherObstype:
        return QStringLiteral("%1 の観測の種類は %2 です（この記録は %3）")
            .arg(path, appended.detail, header.obstype);
    case Refusal::UnknownColumn:
        return QStringLiteral("%1 には AAVSO にない欄 %2 があります").arg(path, appended.detail);
    case Refusal::MissingColumn:
        return QStringLiteral("%1 には %2 の欄がありません").arg(path, appended.detail);
    case Refusal::DelimiterInField:
        return QStringLiteral("記録の %1 欄に %2 の区切り文字があります")
            .arg(appended.detail, path);
    case Refusal::Duplicate:
        break;
    }
    return QStringLiteral("%1 には同じ記録がすでにあります").arg(path);
}

} // namespace

ReportLineDialog::ReportLineDialog(
    InputsProvider inputs, forms::MessageBoxes *boxes, QWidget *parent)
    : QDialog(parent)
    , m_inputs(std::move(inputs))
    , m_boxes(boxes)
{
    setWindowTitle(QStringLiteral("報告行"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    buildFields(layout);
    buildLines(layout);
    restoreFields();
    resize(780, 560);
    setProperty(RememberedPlace,
        restoreGeometry(
            QSettings().value(settings::key(settings::ReportLinesGeometry)).toByteArray()));
    m_time->setText(JulianDate::timeText(JulianDate::now()));
    timeEdited();
}

ReportLineDialog::~ReportLineDialog()
{
    remember();
}

void ReportLineDialog::buildFields(QVBoxLayout *layout)
{
    auto *form = new QFormLayout;
    const auto add = [this, form](const QString &label, QWidget *field, QLayout *row = nullptr) {
        field->setAccessibleName(label);
        auto *caption = new QLabel(label, this);
        caption->setBuddy(field);
        if (row)
            form->addRow(caption, row);
        else
            form->addRow(caption, field);
    };
    const auto text = [this]() {
        auto *edit = new QLineEdit(this);
        connect(edit, &QLineEdit::textChanged, this, &ReportLineDialog::recompute);
        return edit;
    };
    m_star = text();
    add(QStringLiteral("星名"), m_star);
    m_time = new QLineEdit(this);
    m_time->setPlaceholderText(QStringLiteral("2026-12-07 21:34:12"));
    m_time->setMinimumWidth(
        m_time->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00T00:00:00.000")) + 16);
    m_timeProblem = resultLabel(this, QStringLiteral("日時の問題"));
    auto *timeRow = new QHBoxLayout;
    timeRow->addWidget(m_time);
    timeRow->addWidget(m_timeProblem, 1);
    add(QStringLiteral("日時 (UT)"), m_time, timeRow);
    m_jd = new QLineEdit(this);
    add(QStringLiteral("JD"), m_jd);
    // AAVSO's codes: every advice given here can be followed.
    m_filter = new QComboBox(this);
    m_filter->addItems(SubmissionRecord::filterCodes(Format::Aavso));
    add(QStringLiteral("フィルター"), m_filter);
    // A colour camera's observations are DSLR, not CCD.
    m_obstype = new QComboBox(this);
    m_obstype->addItems(SubmissionRecord::observationTypes());
    add(QStringLiteral("観測の種類"), m_obstype);
    m_obscode = text();
    add(QStringLiteral("観測者コード"), m_obscode);
    m_chart = text();
    add(QStringLiteral("チャート"), m_chart);
    m_check = new QComboBox(this);
    add(QStringLiteral("チェック星"), m_check);
    m_checkName = text();
    add(QStringLiteral("チェック星名"), m_checkName);
    m_airmass = text();
    add(QStringLiteral("エアマス"), m_airmass);
    auto *imageRow = new QHBoxLayout;
    auto *fromImage = new QPushButton(QStringLiteral("画像から…"), this);
    fromImage->setAutoDefault(false);
    m_imageNote = resultLabel(this, QStringLiteral("画像の時刻"));
    imageRow->addWidget(fromImage);
    imageRow->addWidget(m_imageNote, 1);
    form->addRow(imageRow);
    layout->addLayout(form);
    setAcceptDrops(true);
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->installEventFilter(this);
    connect(fromImage, &QPushButton::clicked, this, [this] {
        const QString path = m_boxes->openFileName(this, QStringLiteral("時刻を読む画像（FITS）"),
            m_inputs().tableFolder, forms::imageFilter());
        if (!path.isEmpty())
            useImage(path);
    });

    connect(m_time, &QLineEdit::textEdited, this, &ReportLineDialog::timeEdited);
    connect(m_jd, &QLineEdit::textEdited, this, &ReportLineDialog::julianDateEdited);
    connect(m_filter, &QComboBox::currentIndexChanged, this, &ReportLineDialog::recompute);
    connect(m_obstype, &QComboBox::currentIndexChanged, this, &ReportLineDialog::recompute);
    connect(m_check, &QComboBox::currentIndexChanged, this, &ReportLineDialog::recompute);
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
        auto *copy = new QPushButton(QStringLiteral("コピー"), this);
        copy->setAccessibleName(name + QStringLiteral(" をコピー"));
        connect(copy, &QPushButton::clicked, this, [this, line] {
            recompute(); // never an old line
            QGuiApplication::clipboard()->setText(line->text());
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
    auto *appendRow = new QHBoxLayout;
    auto *append = new QPushButton(QStringLiteral("AAVSO ファイルに追加…"), this);
    append->setAutoDefault(false);
    m_records = resultLabel(this, QStringLiteral("AAVSO ファイルの記録数"));
    m_lightCurve = new QPushButton(QStringLiteral("光度曲線…"), this);
    m_lightCurve->setAutoDefault(false);
    m_lightCurve->setEnabled(false); // once there is a night's file
    appendRow->addWidget(append);
    appendRow->addWidget(m_records, 1);
    appendRow->addWidget(m_lightCurve);
    layout->addLayout(appendRow);
    layout->addStretch();
    connect(append, &QPushButton::clicked, this, &ReportLineDialog::appendToAavsoFile);
    connect(m_lightCurve, &QPushButton::clicked, this,
        [this] { Q_EMIT lightCurveWanted(m_nightFile); });
}

void ReportLineDialog::restoreFields()
{
    m_field = m_inputs().field;
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
    const QString filter = value(settings::ReportFilter).toString();
    const int at = m_filter->findText(
        SubmissionRecord::filterCode(Format::Aavso, filter).value_or(QStringLiteral("V")));
    m_filter->setCurrentIndex(at < 0 ? 0 : at);
    const int type = m_obstype->findText(
        SubmissionRecord::observationType(value(settings::ReportObstype).toString())
            .value_or(QStringLiteral("CCD")));
    m_obstype->setCurrentIndex(type < 0 ? 0 : type);
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

void ReportLineDialog::useImage(const QString &path)
{
    const ImageInfo::Image info = ImageInfo::read(path);
    const QString name = QFileInfo(path).fileName();
    if (!info.jd) {
        m_imageNote->setText(QStringLiteral("%1: 時刻がありません（%2）").arg(name, info.error));
        return;
    }
    m_jd->setText(QString::number(*info.jd, 'f', 5));
    julianDateEdited();
    QString note = QStringLiteral("%1: %2").arg(name, info.timeFrom);
    if (info.filter) {
        const auto code = SubmissionRecord::filterOfImage(Format::Aavso, *info.filter);
        if (code)
            m_filter->setCurrentText(*code);
        else
            note += QStringLiteral("。フィルター %1 は分からないので選び直して下さい")
                        .arg(*info.filter);
    }
    if (m_star->text().trimmed().isEmpty() && info.object)
        m_star->setText(*info.object);
    m_airmass->setText(info.airmass ? QString::number(*info.airmass, 'f', 4) : QString());
    m_imageNote->setText(note);
    recompute();
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

// The time as typed; JD follows it, or keeps its last good value.
void ReportLineDialog::timeEdited()
{
    if (const auto jd = JulianDate::ofTime(m_time->text())) {
        m_jd->setText(QString::number(*jd, 'f', 5));
        m_timeProblem->clear();
    } else {
        m_timeProblem->setText(
            QStringLiteral("日時として読めません（例 2026-12-07 21:34:12）。JD はそのままです"));
    }
    recompute();
}

void ReportLineDialog::julianDateEdited()
{
    if (const auto jd = JulianDate::parse(m_jd->text())) {
        m_time->setText(JulianDate::timeText(*jd));
        m_timeProblem->clear();
    }
    recompute();
}

void ReportLineDialog::inputsChanged()
{
    // Many boxes change in one command (a clear, an import): shown once after it.
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(this, &ReportLineDialog::recompute, Qt::QueuedConnection);
}

void ReportLineDialog::recompute()
{
    if (!m_aavso)
        return; // still being built
    m_pending = false;
    const MainWindowInputs inputs = m_inputs();
    fillCheckChoice(m_check, inputs.tableTexts);
    const QString variable = inputs.variableText.trimmed();
    if (variable.isEmpty())
        return showCommonProblem(shown(messages::measureProblem(MeasureProblem::NoVariableValue)));
    if (!ParseWholeNumber(variable))
        return showCommonProblem(messages::notANumber(inputs.variableText));
    const ReportOutcome outcome
        = MakeCalibrationReport(inputs.tableTexts, {variable}, checkRowOf(m_check));
    if (outcome.problem)
        return showCommonProblem(shown(messages::reportProblem(*outcome.problem)));
    showLines(variable, outcome.report);
}

void ReportLineDialog::showCommonProblem(const QString &why)
{
    m_reported->setText(why);
    for (QLineEdit *line : {m_vsnet, m_aavso})
        line->clear();
    for (QLabel *problem : {m_vsnetProblem, m_aavsoProblem})
        problem->setText(why);
    m_warning->clear();
    m_flaggedRows.clear();
}

void ReportLineDialog::showLines(const QString &variable, const CalibrationReport &report)
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
    typed.jd = m_jd->text();
    typed.filter = m_filter->currentText();
    typed.obscode = m_obscode->text();
    typed.chart = m_chart->text();
    typed.checkName = m_checkName->text();
    typed.check = report.check.has_value();
    typed.airmass = m_airmass->text();
    typed.obstype = m_obstype->currentText();
    typed.software
        = QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion();

    // VSNET: written with a warning beside it when the name is not in its form.
    const auto vsnet = submission::check(Format::Vsnet, typed, submission::Interface::Dialog);
    m_vsnet->setText(vsnet.problem.isEmpty()
            ? submission::line(Format::Vsnet, vsnet.record, report, v).text
            : QString());
    m_vsnetProblem->setText(vsnet.problem.isEmpty()
            ? submission::reportWarnings(Format::Vsnet, vsnet.record, {}).join(u'\n')
            : vsnet.problem);

    const auto aavso = submission::check(Format::Aavso, typed, submission::Interface::Dialog);
    submission::Line line;
    if (aavso.problem.isEmpty())
        line = submission::line(Format::Aavso, aavso.record, report, v);
    else
        line.problem = aavso.problem;
    m_aavso->setText(line.text);
    m_aavsoProblem->setText(line.problem);
    m_aavsoFields = line.fields;
    m_aavsoHeader = {aavso.record.obscode, aavso.record.software, aavso.record.obstype,
        AavsoExtended::DateKind::Jd};

    m_flaggedRows.clear();
    for (const ReportRow &row : report.rows) {
        if (row.flagged)
            m_flaggedRows << QString::number(row.row);
    }
    m_warning->setText((submission::lineWarnings(Format::Aavso, v)
        + submission::reportWarnings(Format::Aavso, aavso.record, report))
                           .join(u'\n'));
}

bool ReportLineDialog::ask(const QString &question)
{
    return m_boxes->show(this, question, forms::MessageBoxes::Buttons::OkCancel);
}

void ReportLineDialog::appendToAavsoFile()
{
    recompute(); // what is written is what the dialog shows now
    if (m_aavso->text().isEmpty()) {
        m_boxes->show(this, m_aavsoProblem->text(), forms::MessageBoxes::Buttons::Ok);
        return;
    }
    if (!m_flaggedRows.isEmpty()
        && !ask(QStringLiteral("行 %1 の比較星が近似直線から外れています\rこのまま追加しますか")
                    .arg(m_flaggedRows.join(QStringLiteral(", ")))))
        return;
    if (m_nightFile.isEmpty()) {
        const auto jd = JulianDate::parse(m_jd->text());
        const QString date = jd ? JulianDate::timeText(*jd).left(10).remove(u'-') : QString();
        m_nightFile = m_boxes->saveFileName(this, QStringLiteral("追加先の AAVSO ファイル"),
            QDir(m_inputs().tableFolder).filePath(QStringLiteral("aavso-%1.txt").arg(date)),
            forms::aavsoFilter(), true);
        if (m_nightFile.isEmpty())
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
                + appendRefused(m_nightFile, appended, m_aavsoHeader),
            forms::MessageBoxes::Buttons::Ok);
        m_nightFile.clear(); // the next press asks for a file again
        return;
    }
    m_records->setText(QStringLiteral("%1: %2 件の記録").arg(m_nightFile).arg(appended.records));
    m_lightCurve->setEnabled(true);
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
    restoreFields();
    recompute();
}

QString ReportLineDialog::remember()
{
    QSettings settings;
    settings.setValue(settings::fieldKey(m_field, settings::ReportStar), m_star->text().trimmed());
    settings.setValue(settings::fieldKey(m_field, settings::ReportFilter), m_filter->currentText());
    settings.setValue(
        settings::fieldKey(m_field, settings::ReportObscode), m_obscode->text().trimmed());
    settings.setValue(
        settings::fieldKey(m_field, settings::ReportChart), m_chart->text().trimmed());
    settings.setValue(
        settings::fieldKey(m_field, settings::ReportObstype), m_obstype->currentText());
    // The observer is the same in every field: a new field starts with this code.
    settings.setValue(settings::key(settings::ReportObscode), m_obscode->text().trimmed());
    settings.setValue(settings::key(settings::ReportLinesGeometry), saveGeometry());
    return settings::store(settings);
}

} // namespace quillet
