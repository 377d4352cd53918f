// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/diagnosis_windows.h"

#include "core/aavso_file.h"
#include "core/comparison_data_file.h"
#include "core/comparison_table.h"
#include "core/numeric_text.h"
#include "core/report_formats.h"
#include "quillet3_version.h"
#include "ui/calibration_plot.h"
#include "ui/messages.h"
#include "ui/report_text.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDateTimeEdit>
#include <QDir>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QSettings>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace quillet {

namespace {

// Julian date of the Unix epoch, 1970-01-01 00:00 UT.
constexpr double UnixEpochJd = 2440587.5;
constexpr double MsPerDay = 86400000.0;

QPushButton *button(const QString &caption, QWidget *parent, const QString &accessibleName = {})
{
    auto *b = new QPushButton(caption, parent);
    b->setAccessibleName(accessibleName.isEmpty() ? caption : accessibleName);
    return b;
}

// The variables as quillet3-report takes them: Text31 when it holds anything.
QStringList variablesOf(const DiagnosisInputs &inputs)
{
    return inputs.variableText.isEmpty() ? QStringList() : QStringList {inputs.variableText};
}

std::optional<int> checkRowOf(const QComboBox *choice)
{
    const QVariant row = choice->currentData();
    return row.isValid() ? std::optional<int>(row.toInt()) : std::nullopt;
}

// The user's own settings file, ~/.config/Quillet3/quillet3.ini: only the
// report-line dialog reads and writes it.
std::unique_ptr<QSettings> userSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
        QStringLiteral("Quillet3"), QStringLiteral("quillet3"));
}

QString shown(QString text)
{
    return text.replace(u'\r', u'\n');
}

} // namespace

void fillCheckChoice(QComboBox *choice, const QStringList &tableTexts)
{
    const std::optional<int> kept = checkRowOf(choice);
    const QSignalBlocker blocker(choice);
    choice->clear();
    choice->addItem(QStringLiteral("なし"));
    const TableNumbers numbers = ReadTableNumbers(tableTexts);
    for (int k = 1; k <= TableRows; ++k) {
        if (numbers.measured[k - 1] != VacantMarker)
            choice->addItem(QStringLiteral("行 %1").arg(k), k);
    }
    if (kept) {
        const int at = choice->findData(*kept);
        choice->setCurrentIndex(at < 0 ? 0 : at);
    }
}

DiagnosisWindow::DiagnosisWindow(InputsProvider inputs, forms::MessageBoxes *boxes)
    : m_inputs(std::move(inputs))
    , m_boxes(boxes)
{
    setWindowTitle(QStringLiteral("比較星の診断"));
    auto *layout = new QVBoxLayout(this);
    auto *controls = new QHBoxLayout;
    auto *checkLabel = new QLabel(QStringLiteral("チェック星"), this);
    m_check = new QComboBox(this);
    m_check->setAccessibleName(QStringLiteral("チェック星"));
    checkLabel->setBuddy(m_check);
    auto *again = button(QStringLiteral("再計算"), this);
    auto *copy = button(QStringLiteral("コピー"), this);
    auto *save = button(QStringLiteral("グラフを保存…"), this);
    controls->addWidget(checkLabel);
    controls->addWidget(m_check);
    controls->addStretch();
    controls->addWidget(again);
    controls->addWidget(copy);
    controls->addWidget(save);
    layout->addLayout(controls);

    m_state = new QLabel(this);
    m_state->setAccessibleName(QStringLiteral("状態"));
    m_state->setWordWrap(true);
    layout->addWidget(m_state);

    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setAccessibleName(QStringLiteral("診断結果"));
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); // columns line up
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(m_text, 3);

    m_table = new QTableWidget(0, 8, this);
    m_table->setAccessibleName(QStringLiteral("比較星ごとの残差"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("行"), QStringLiteral("測光値"),
        QStringLiteral("ｶﾀﾛｸﾞ値"), QStringLiteral("近似値"), QStringLiteral("残差"),
        QStringLiteral("除外残差"), QStringLiteral("t"), QStringLiteral("判定")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_table, 2);

    m_chart = new QChartView(this);
    m_chart->setAccessibleName(QStringLiteral("比較星と近似直線のグラフ"));
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumHeight(320);
    layout->addWidget(m_chart, 4);
    resize(820, 960);

    connect(again, &QPushButton::clicked, this, &DiagnosisWindow::recompute);
    connect(m_check, &QComboBox::currentIndexChanged, this, &DiagnosisWindow::recompute);
    connect(copy, &QPushButton::clicked, this,
        [this] { QGuiApplication::clipboard()->setText(m_text->toPlainText()); });
    connect(save, &QPushButton::clicked, this, [this] {
        const QString path = m_boxes->saveFileName(this,
            QDir::home().filePath(QStringLiteral("comparison-stars.png")),
            QStringLiteral("PNG (*.png);;SVG (*.svg)"));
        if (!path.isEmpty())
            savePlot(path);
    });
}

QString DiagnosisWindow::reportText() const
{
    return m_text->toPlainText();
}

void DiagnosisWindow::recompute()
{
    const DiagnosisInputs inputs = m_inputs();
    fillCheckChoice(m_check, inputs.tableTexts);
    const ReportOutcome outcome
        = MakeCalibrationReport(inputs.tableTexts, variablesOf(inputs), checkRowOf(m_check));
    m_table->setRowCount(0);
    if (outcome.problem) {
        // No line: the windows' own words, where the text and the table would be.
        m_report.reset();
        const QString why = shown(messages::reportProblem(*outcome.problem));
        m_state->setText(QStringLiteral("結果はありません: ") + why);
        m_text->setPlainText(why);
        auto *empty = new QChart;
        empty->setTitle(why);
        setChart(empty);
        return;
    }
    m_report = outcome.report;
    m_state->setText(QStringLiteral("比較星 %1 個から計算しました").arg(outcome.report.n));
    m_text->setPlainText(messages::readableReport(outcome.report));
    fill(outcome.report);
}

void DiagnosisWindow::fill(const CalibrationReport &report)
{
    m_table->setRowCount(int(report.rows.size()));
    for (int i = 0; i < int(report.rows.size()); ++i) {
        const ReportRow &row = report.rows[std::size_t(i)];
        const QStringList cells {QString::number(row.row), QString::number(row.measured, 'f', 3),
            QString::number(row.catalogue, 'f', 3), QString::number(row.fitted, 'f', 3),
            QString::number(row.residual, 'f', 3), messages::optionalNumber(row.deletedResidual),
            messages::optionalNumber(row.studentized, 2),
            // A mark and words, not colour alone.
            row.flagged ? QStringLiteral("✕ 外れ (|t| > 3)") : QStringLiteral("—")};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(
                c == 7 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            if (row.flagged)
                item->setBackground(QColor(255, 220, 220));
            m_table->setItem(i, c, item);
        }
    }
    QChart *chart = makeCalibrationChart(report);
    // Hovering over a star tells its row, its values and its residual.
    for (QAbstractSeries *series : chart->series()) {
        auto *points = qobject_cast<QScatterSeries *>(series);
        if (!points)
            continue;
        connect(points, &QScatterSeries::hovered, this, [this](const QPointF &point, bool over) {
            if (!over || !m_report) {
                QToolTip::hideText();
                return;
            }
            QString tip;
            for (const ReportRow &row : m_report->rows) {
                if (row.measured == point.x() && row.catalogue == point.y())
                    tip = QStringLiteral("行 %1\n測光値 %2\nｶﾀﾛｸﾞ値 %3\n残差 %4")
                              .arg(row.row)
                              .arg(row.measured, 0, 'f', 3)
                              .arg(row.catalogue, 0, 'f', 3)
                              .arg(row.residual, 0, 'f', 3);
            }
            if (m_report->check && m_report->check->measured == point.x())
                tip = QStringLiteral("チェック星 行 %1\nｶﾀﾛｸﾞ値 %2\nO - C %3")
                          .arg(m_report->check->row)
                          .arg(m_report->check->catalogue, 0, 'f', 3)
                          .arg(m_report->check->oMinusC, 0, 'f', 3);
            for (const VariableEstimate &v : m_report->variables) {
                if (tip.isEmpty() && v.measured == point.x())
                    tip = QStringLiteral("変光星\n測光値 %1\n等級 %2")
                              .arg(PlainNumberText(v.measured))
                              .arg(v.magnitude, 0, 'f', 3);
            }
            QToolTip::showText(QCursor::pos(), tip, m_chart);
        });
    }
    setChart(chart);
}

void DiagnosisWindow::setChart(QChart *chart)
{
    // The view gives up the chart it showed instead of deleting it.
    QChart *previous = m_chart->chart();
    m_chart->setChart(chart);
    delete previous;
}

void DiagnosisWindow::savePlot(const QString &path)
{
    if (!m_report) {
        m_boxes->show(this, m_state->text(), forms::MessageBoxes::Buttons::Ok);
        return;
    }
    const QByteArray plot
        = calibrationPlot(*m_report, path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive));
    const auto saved = ComparisonDataFile::writeFile(path, plot);
    if (saved.failure) {
        m_boxes->show(this,
            QStringLiteral("グラフを保存できませんでした\r")
                + messages::fileProblem(*saved.failure, path),
            forms::MessageBoxes::Buttons::Ok);
    }
}

ReportLineDialog::ReportLineDialog(InputsProvider inputs, forms::MessageBoxes *boxes)
    : m_inputs(std::move(inputs))
    , m_boxes(boxes)
{
    setWindowTitle(QStringLiteral("報告行"));
    const auto settings = userSettings();
    auto *form = new QFormLayout;
    const auto addField = [this, form](const QString &label, QWidget *field) {
        field->setAccessibleName(label);
        form->addRow(new QLabel(label, this), field);
    };
    const auto addText = [this, &addField](const QString &label, const QString &key) {
        auto *edit = new QLineEdit(this);
        if (!key.isEmpty())
            edit->setText(userSettings()->value(key).toString());
        addField(label, edit);
        connect(edit, &QLineEdit::textChanged, this, &ReportLineDialog::recompute);
        return edit;
    };
    addText(QStringLiteral("星名"), QStringLiteral("report/star"));
    m_time = new QDateTimeEdit(this);
    m_time->setTimeSpec(Qt::UTC);
    m_time->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_time->setMinimumDateTime(QDateTime(QDate(1582, 10, 15), QTime(0, 0), Qt::UTC));
    m_time->setMaximumDateTime(QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC));
    addField(QStringLiteral("日時 (UT)"), m_time);
    m_jd = new QLineEdit(this);
    addField(QStringLiteral("JD"), m_jd);
    auto *filter = new QComboBox(this);
    filter->addItems(ReportFormats::filterCodes(ReportFormats::Format::Vsnet));
    const int kept = filter->findText(settings->value(QStringLiteral("report/filter")).toString());
    filter->setCurrentIndex(kept < 0 ? 0 : kept);
    addField(QStringLiteral("フィルター"), filter);
    addText(QStringLiteral("観測者コード"), QStringLiteral("report/obscode"));
    addText(QStringLiteral("チャート"), QStringLiteral("report/chart"));
    m_check = new QComboBox(this);
    addField(QStringLiteral("チェック星"), m_check);
    addText(QStringLiteral("チェック星名"), QString());

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    const auto addLine = [this, layout](const QString &name, QLineEdit *&line, QLabel *&problem) {
        auto *row = new QHBoxLayout;
        auto *label = new QLabel(name, this);
        line = new QLineEdit(this);
        line->setReadOnly(true);
        line->setAccessibleName(name);
        label->setBuddy(line);
        auto *copy = button(QStringLiteral("コピー"), this, name + QStringLiteral(" をコピー"));
        connect(copy, &QPushButton::clicked, this,
            [line] { QGuiApplication::clipboard()->setText(line->text()); });
        row->addWidget(label);
        row->addWidget(line, 1);
        row->addWidget(copy);
        layout->addLayout(row);
        problem = new QLabel(this);
        problem->setAccessibleName(name + QStringLiteral(" の問題"));
        problem->setWordWrap(true);
        layout->addWidget(problem);
    };
    addLine(QStringLiteral("VSNET"), m_vsnet, m_vsnetProblem);
    addLine(QStringLiteral("AAVSO"), m_aavso, m_aavsoProblem);
    m_warning = new QLabel(this);
    m_warning->setAccessibleName(QStringLiteral("警告"));
    m_warning->setWordWrap(true);
    layout->addWidget(m_warning);
    auto *appendRow = new QHBoxLayout;
    auto *append = button(QStringLiteral("AAVSO ファイルに追加…"), this);
    m_records = new QLabel(this);
    m_records->setAccessibleName(QStringLiteral("AAVSO ファイルの記録数"));
    appendRow->addWidget(append);
    appendRow->addWidget(m_records, 1);
    layout->addLayout(appendRow);
    resize(760, 520);

    connect(m_time, &QDateTimeEdit::dateTimeChanged, this, &ReportLineDialog::timeChanged);
    connect(m_jd, &QLineEdit::textEdited, this, &ReportLineDialog::julianDateEdited);
    connect(filter, &QComboBox::currentIndexChanged, this, &ReportLineDialog::recompute);
    connect(m_check, &QComboBox::currentIndexChanged, this, &ReportLineDialog::recompute);
    connect(append, &QPushButton::clicked, this, &ReportLineDialog::appendToAavsoFile);
    m_time->setDateTime(QDateTime::currentDateTimeUtc());
    timeChanged();
}

QLineEdit *ReportLineDialog::field(const QString &accessibleName) const
{
    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        if (edit->accessibleName() == accessibleName)
            return edit;
    }
    return nullptr;
}

QComboBox *ReportLineDialog::choice(const QString &accessibleName) const
{
    for (QComboBox *box : findChildren<QComboBox *>()) {
        if (box->accessibleName() == accessibleName)
            return box;
    }
    return nullptr;
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

void ReportLineDialog::timeChanged()
{
    const double jd = UnixEpochJd + double(m_time->dateTime().toMSecsSinceEpoch()) / MsPerDay;
    m_jd->setText(QString::number(jd, 'f', 5));
    recompute();
}

void ReportLineDialog::julianDateEdited()
{
    if (const auto jd = ReportFormats::julianDate(m_jd->text())) {
        const QSignalBlocker blocker(m_time);
        m_time->setDateTime(
            QDateTime::fromMSecsSinceEpoch(std::llround((*jd - UnixEpochJd) * MsPerDay), Qt::UTC));
    }
    recompute();
}

ReportLineDialog::~ReportLineDialog()
{
    remember();
}

void ReportLineDialog::hideEvent(QHideEvent *event)
{
    remember(); // for the next night, also should the program not end normally
    QWidget::hideEvent(event);
}

void ReportLineDialog::remember() const
{
    const auto settings = userSettings();
    settings->setValue(QStringLiteral("report/star"), field(QStringLiteral("星名"))->text());
    settings->setValue(
        QStringLiteral("report/filter"), choice(QStringLiteral("フィルター"))->currentText());
    settings->setValue(
        QStringLiteral("report/obscode"), field(QStringLiteral("観測者コード"))->text());
    settings->setValue(QStringLiteral("report/chart"), field(QStringLiteral("チャート"))->text());
}

void ReportLineDialog::recompute()
{
    if (!m_check || !m_aavso)
        return; // still being built
    const DiagnosisInputs inputs = m_inputs();
    fillCheckChoice(m_check, inputs.tableTexts);
    ReportFormats::Submission s;
    s.star = field(QStringLiteral("星名"))->text();
    s.jd = m_jd->text();
    s.obscode = field(QStringLiteral("観測者コード"))->text();
    s.chart = field(QStringLiteral("チャート"))->text();
    s.checkName = field(QStringLiteral("チェック星名"))->text();
    s.software = QStringLiteral("quillet3 %1").arg(QLatin1String(QUILLET3_VERSION));
    const QString typedFilter = choice(QStringLiteral("フィルター"))->currentText();
    m_obscode = s.obscode;

    // What both lines need; the first thing missing is named beside each line.
    QString common;
    if (inputs.variableText.isEmpty())
        common = shown(messages::measureProblem(MeasureProblem::NoVariableValue));
    else if (!ParseWholeNumber(inputs.variableText.trimmed()))
        common = messages::notANumber(inputs.variableText);
    else if (s.star.trimmed().isEmpty())
        common = QStringLiteral("星名がありません");
    else if (!ReportFormats::julianDate(s.jd))
        common = QStringLiteral("JD がユリウス日ではありません");
    else if (s.obscode.trimmed().isEmpty())
        common = QStringLiteral("観測者コードがありません");
    for (const QString &text : {s.star, s.obscode, s.chart, s.checkName}) {
        if (common.isEmpty() && (text.contains(u',') || text.contains(u'\n')))
            common = QStringLiteral("名前やコードに , や改行は使えません: %1").arg(text);
    }
    ReportOutcome outcome;
    if (common.isEmpty()) {
        outcome
            = MakeCalibrationReport(inputs.tableTexts, {inputs.variableText}, checkRowOf(m_check));
        if (outcome.problem)
            common = shown(messages::reportProblem(*outcome.problem));
    }
    m_warning->clear();
    const auto show
        = [](QLineEdit *line, QLabel *problem, const QString &text, const QString &why) {
              line->setText(why.isEmpty() ? text : QString());
              problem->setText(why);
          };
    if (!common.isEmpty()) {
        show(m_vsnet, m_vsnetProblem, {}, common);
        show(m_aavso, m_aavsoProblem, {}, common);
        m_aavsoHeader.clear();
        return;
    }
    const VariableEstimate &v = outcome.report.variables.front();

    ReportFormats::Submission vsnet = s;
    vsnet.filter
        = ReportFormats::filterCode(ReportFormats::Format::Vsnet, typedFilter).value_or(QString());
    const ReportFormats::VsnetName name = ReportFormats::vsnetStarName(s.star);
    // A name not in VSNET's form is written all the same, with the warning beside it.
    m_vsnet->setText(ReportFormats::vsnetLine(vsnet, v));
    m_vsnetProblem->setText(name.constellationFirst ? QString() : messages::notVsnetForm(s.star));

    ReportFormats::Submission aavso = s;
    const auto aavsoFilter = ReportFormats::filterCode(ReportFormats::Format::Aavso, typedFilter);
    QString why;
    if (!aavsoFilter)
        why = messages::aavsoUnfiltered();
    aavso.filter = aavsoFilter.value_or(QString());
    if (why.isEmpty()) {
        const QString field = ReportFormats::aavsoOverlongField(aavso, v);
        if (!field.isEmpty())
            why = messages::aavsoOverlong(field);
    }
    show(m_aavso, m_aavsoProblem, ReportFormats::aavsoLine(aavso, outcome.report, v), why);
    m_aavsoHeader = why.isEmpty() ? ReportFormats::aavsoHeader(aavso) : QString();
    // AAVSO's validation refuses an error of a magnitude or more.
    if (v.predictionSe && *v.predictionSe >= 1.0)
        m_warning->setText(messages::aavsoErrorTooLarge(v.measured, *v.predictionSe));
}

void ReportLineDialog::appendToAavsoFile()
{
    recompute();
    if (m_aavso->text().isEmpty()) {
        m_boxes->show(this, m_aavsoProblem->text(), forms::MessageBoxes::Buttons::Ok);
        return;
    }
    if (m_nightFile.isEmpty()) {
        m_nightFile = m_boxes->saveFileName(this,
            QDir::home().filePath(QStringLiteral("aavso-%1.txt")
                                      .arg(m_time->dateTime().date().toString(u"yyyyMMdd"))),
            QStringLiteral("AAVSO Extended (*.txt *.csv *.tsv);;すべてのファイル (*)"), true);
        if (m_nightFile.isEmpty())
            return;
    }
    const AavsoFile::Appended appended
        = AavsoFile::append(m_nightFile, m_aavsoHeader, m_aavso->text(), m_obscode);
    QString why;
    if (appended.failure)
        why = messages::fileProblem(*appended.failure, m_nightFile);
    else if (appended.refusal == AavsoFile::Refusal::NotAavso)
        why = QStringLiteral("%1 は AAVSO Extended のファイルではありません").arg(m_nightFile);
    else if (appended.refusal == AavsoFile::Refusal::OtherObscode)
        why = QStringLiteral("%1 の観測者コードは %2 です（今の観測者コードは %3）")
                  .arg(m_nightFile, appended.fileObscode, m_obscode);
    else if (appended.refusal == AavsoFile::Refusal::OtherDelimiter)
        why = QStringLiteral("%1 の区切り文字が , ではありません").arg(m_nightFile);
    if (!why.isEmpty()) {
        m_boxes->show(this, QStringLiteral("AAVSO ファイルに追加できませんでした\r") + why,
            forms::MessageBoxes::Buttons::Ok);
        if (appended.refusal)
            m_nightFile.clear(); // another file may be chosen
        return;
    }
    m_records->setText(QStringLiteral("%1: %2 件の記録").arg(m_nightFile).arg(appended.records));
}

DiagnosisWindowsImpl::DiagnosisWindowsImpl(QWidget *mainWindow, InputsProvider inputs)
    : m_main(mainWindow)
    , m_inputs(std::move(inputs))
{ }

DiagnosisWindowsImpl::~DiagnosisWindowsImpl() = default;

void DiagnosisWindowsImpl::showBeside(QWidget *window)
{
    if (!window->isVisible()) {
        // To the right of the main window where the screen has room, else to
        // its left; on a screen too small for either, at the screen's right
        // edge, which leaves the main window's left half, the table and Text31,
        // in view.
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
        at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() - window->height() - 40)));
        window->move(at);
        forms::useScreenColormap(window);
        window->show();
    }
    window->raise();
    window->activateWindow();
}

void DiagnosisWindowsImpl::showDiagnosis()
{
    if (!m_diagnosis) {
        m_diagnosis = new DiagnosisWindow(m_inputs, &m_boxes);
        m_diagnosis->setParent(m_main, Qt::Window);
    }
    m_diagnosis->recompute();
    showBeside(m_diagnosis);
}

void DiagnosisWindowsImpl::showReportLines()
{
    if (!m_reportLines) {
        m_reportLines = new ReportLineDialog(m_inputs, &m_boxes);
        m_reportLines->setParent(m_main, Qt::Window);
    }
    m_reportLines->recompute();
    showBeside(m_reportLines);
}

void DiagnosisWindowsImpl::closeAll()
{
    if (m_diagnosis)
        m_diagnosis->close();
    if (m_reportLines)
        m_reportLines->close();
}

} // namespace quillet
