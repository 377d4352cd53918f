// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/diagnosis_window.h"

#include "core/numeric_text.h"
#include "core/table_doubts.h"
#include "platform/file_layer.h"
#include "report/calibration_plot.h"
#include "report/messages.h"
#include "report/report_text.h"
#include "ui/beside_windows_hub.h"
#include "ui/check_star.h"
#include "ui/kept_chart.h"
#include "ui/settings.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <QSplitter>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

namespace quillet {

namespace {

QPushButton *button(const QString &caption, QWidget *parent, const QString &accessibleName = {})
{
    auto *b = new QPushButton(caption, parent);
    b->setAccessibleName(accessibleName.isEmpty() ? caption : accessibleName);
    return b;
}

QString shown(QString text)
{
    return text.replace(u'\r', u'\n');
}

QString rowList(const std::vector<int> &rows, const ReportText::Labels &labels)
{
    QStringList texts;
    for (const int row : rows)
        texts << ReportText::rowName(row, labels);
    return texts.join(QStringLiteral(", "));
}

} // namespace

QColor flaggedBackground()
{
    return QColor(255, 205, 205);
}

QColor notedBackground()
{
    return QColor(255, 240, 190);
}

DiagnosisWindow::DiagnosisWindow(
    InputsProvider inputs, forms::MessageBoxes *boxes, QWidget *parent, CheckStar *checkStar)
    : QWidget(parent, Qt::Window)
    , m_inputs(std::move(inputs))
    , m_boxes(boxes)
    , m_checkStar(checkStar ? checkStar : new CheckStar)
{
    if (!checkStar)
        m_checkStar->setParent(this);
    setWindowTitle(QStringLiteral("比較星の診断"));
    buildControls();
    resize(820, 900);
    const QSettings settings;
    setProperty(RememberedPlace,
        restoreGeometry(settings.value(settings::key(settings::DiagnosisGeometry)).toByteArray()));
    if (!m_splitter->restoreState(
            settings.value(settings::key(settings::DiagnosisSplitter)).toByteArray()))
        m_splitter->setSizes({230, 400, 200});
}

DiagnosisWindow::~DiagnosisWindow() = default;

void DiagnosisWindow::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    auto *controls = new QHBoxLayout;
    auto *checkLabel = new QLabel(QStringLiteral("チェック星"), this);
    m_check = new QComboBox(this);
    m_check->setAccessibleName(QStringLiteral("チェック星"));
    checkLabel->setBuddy(m_check);
    auto *copy = button(QStringLiteral("コピー"), this, QStringLiteral("診断結果をコピー"));
    auto *save = button(QStringLiteral("グラフを保存…"), this);
    controls->addWidget(checkLabel);
    controls->addWidget(m_check);
    controls->addStretch();
    controls->addWidget(copy);
    controls->addWidget(save);
    layout->addLayout(controls);

    // The result first: what is reported, and which stars are off the line.
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    forms::showsResult(m_summary, QStringLiteral("診断の要約"));
    layout->addWidget(m_summary);

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setChildrenCollapsible(false);
    m_table = new QTableWidget(0, 8, m_splitter);
    m_table->setAccessibleName(QStringLiteral("比較星ごとの残差"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("行"), QStringLiteral("測光値"),
        QStringLiteral("ｶﾀﾛｸﾞ値"), QStringLiteral("近似値"), QStringLiteral("残差"),
        QStringLiteral("除外残差"), QStringLiteral("t"), QStringLiteral("判定")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);

    m_chart = new QChartView(m_splitter);
    m_chart->setAccessibleName(QStringLiteral("比較星と近似直線のグラフ"));
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumHeight(200);

    m_text = new QPlainTextEdit(m_splitter);
    m_text->setReadOnly(true);
    m_text->setAccessibleName(QStringLiteral("診断結果"));
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); // columns line up
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(m_splitter, 1);

    connect(m_check, &QComboBox::currentIndexChanged, this,
        [this] { m_checkStar->setRow(checkRowOf(m_check)); });
    connect(m_checkStar, &CheckStar::changed, this, &DiagnosisWindow::recompute);
    connect(copy, &QPushButton::clicked, this, [this] {
        recompute();
        QGuiApplication::clipboard()->setText(m_text->toPlainText());
    });
    connect(save, &QPushButton::clicked, this, [this] {
        recompute();
        const QString path = m_boxes->saveFileName(this, QStringLiteral("グラフの保存先"),
            QDir(m_inputs().tableFolder).filePath(QStringLiteral("comparison-stars.png")),
            forms::pictureFilter());
        if (!path.isEmpty())
            savePlot(path);
    });
}

void DiagnosisWindow::inputsChanged()
{
    // Many boxes change in one command (a clear, an import): drawn once after it.
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(this, &DiagnosisWindow::recompute, Qt::QueuedConnection);
}

QString DiagnosisWindow::summary() const
{
    return m_summary->text();
}

QString DiagnosisWindow::reportText() const
{
    return m_text->toPlainText();
}

void DiagnosisWindow::recompute()
{
    m_pending = false;
    const MainWindowInputs inputs = m_inputs();
    setWindowTitle(inputs.field.isEmpty() ? QStringLiteral("比較星の診断")
                                          : QStringLiteral("比較星の診断 - %1").arg(inputs.field));
    // The field's chart names the rows that are its stars.
    const StarChart::FieldChart *chart = keptChart(inputs.tableFolder);
    m_labels = chart ? StarChart::labels(*chart, inputs.tableTexts) : ReportText::Labels();
    fillCheckChoice(m_check, inputs.tableTexts, m_checkStar->row(), m_labels);
    const QString variable = inputs.variableText.trimmed();
    const bool number = ParseWholeNumber(variable).has_value();
    // What the Measure reads otherwise than it shows, and what the last
    // import did: before anything else.
    QStringList first;
    for (const TableDoubts::Doubt &doubt : TableDoubts::find(inputs.tableTexts))
        first << messages::tableDoubt(doubt, m_labels);
    if (chart && !StarChart::changedRows(*chart, inputs.tableTexts).isEmpty())
        first << messages::changedChartRows(StarChart::changedRows(*chart, inputs.tableTexts));
    if (inputs.lastImport.done)
        first << messages::importResult(inputs.lastImport.found, inputs.lastImport.keptRows);
    const ReportOutcome outcome = MakeCalibrationReport(
        inputs.tableTexts, number ? QStringList {variable} : QStringList(), checkRowOf(m_check));
    if (outcome.problem) {
        showProblem(shown(messages::reportProblem(*outcome.problem)));
        if (!first.isEmpty())
            m_summary->setText(first.join(u'\n') + u'\n' + m_summary->text());
        return;
    }
    m_report = outcome.report;
    m_text->setPlainText(ReportText::readableReport(outcome.report, m_labels));
    fillSummary(outcome.report);
    if (!number)
        m_summary->setText(
            (variable.isEmpty() ? shown(messages::measureProblem(MeasureProblem::NoVariableValue))
                                : messages::notANumber(inputs.variableText))
            + u'\n' + m_summary->text());
    if (!first.isEmpty())
        m_summary->setText(first.join(u'\n') + u'\n' + m_summary->text());
    fillTable(outcome.report);
    fillChart(outcome.report);
}

void DiagnosisWindow::showProblem(const QString &why)
{
    // No line: the windows' own words, where the results would be.
    m_report.reset();
    m_summary->setText(QStringLiteral("結果はありません: ") + why);
    m_text->setPlainText(why);
    m_table->setRowCount(0);
    auto *empty = new QChart;
    empty->setTitle(why);
    setChart(empty);
}

void DiagnosisWindow::fillSummary(const CalibrationReport &report)
{
    QStringList lines;
    for (const VariableEstimate &v : report.variables) {
        QString line = QStringLiteral("変光星 %1: 等級 %2")
                           .arg(PlainNumberText(v.measured), ReportText::fixed(v.magnitude));
        if (v.predictionSe && v.low95 && v.high95)
            line += QStringLiteral(" ± %1（予測誤差）　95 % 区間 %2 ～ %3")
                        .arg(ReportText::errorText(*v.predictionSe), ReportText::fixed(*v.low95),
                            ReportText::fixed(*v.high95));
        lines << line;
    }
    std::vector<int> flagged, noted;
    for (const ReportRow &row : report.rows) {
        if (row.flagged)
            flagged.push_back(row.row);
        else if (row.noted)
            noted.push_back(row.row);
    }
    lines << (flagged.empty()
            ? QStringLiteral("外れている比較星はありません（比較星 %1 個）").arg(report.n)
            : QStringLiteral("✕ 外れている比較星: 行 %1（比較星 %2 個）")
                  .arg(rowList(flagged, m_labels))
                  .arg(report.n));
    if (!noted.empty())
        lines << QStringLiteral("参考: 行 %1 は |t| > 3 ですが、ずれは %2 等未満です")
                     .arg(rowList(noted, m_labels))
                     .arg(DefaultFlagMagnitude);
    if (!report.leftOut.empty())
        lines << QStringLiteral("行 %1 は近似に使っていません（測光値が 9999 以上）")
                     .arg(rowList(report.leftOut, m_labels));
    m_summary->setText(lines.join(u'\n'));
}

void DiagnosisWindow::fillTable(const CalibrationReport &report)
{
    m_table->setRowCount(int(report.rows.size()));
    int firstFlagged = -1;
    for (int i = 0; i < int(report.rows.size()); ++i) {
        const ReportRow &row = report.rows[std::size_t(i)];
        // A mark and words, not colour alone.
        const QString judged = row.flagged ? QStringLiteral("✕ 外れ")
            : row.noted                    ? QStringLiteral("△ 参考")
                                           : QStringLiteral("—");
        const QStringList cells {ReportText::rowName(row.row, m_labels),
            ReportText::fixed(row.measured), ReportText::fixed(row.catalogue),
            ReportText::fixed(row.fitted), ReportText::fixed(row.residual),
            ReportText::optionalNumber(row.deletedResidual),
            ReportText::optionalNumber(row.studentized, 2), judged};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(
                c == 7 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            if (row.flagged || row.noted) {
                // Dark text on a light colour of its own, whatever the palette.
                item->setBackground(row.flagged ? flaggedBackground() : notedBackground());
                item->setForeground(QColor(Qt::black));
            }
            m_table->setItem(i, c, item);
        }
        if (row.flagged && firstFlagged < 0)
            firstFlagged = i;
    }
    // In view once the table has its size (not yet when first shown).
    if (firstFlagged >= 0) {
        QMetaObject::invokeMethod(
            m_table,
            [this, firstFlagged] {
                if (m_table->item(firstFlagged, 0))
                    m_table->scrollToItem(m_table->item(firstFlagged, 0));
            },
            Qt::QueuedConnection);
    }
}

void DiagnosisWindow::fillChart(const CalibrationReport &report)
{
    // In the window's own colours: dark under a dark scheme.
    QChart *chart = CalibrationPlot::chart(report,
        PlotColours::window(palette().color(QPalette::Base), palette().color(QPalette::Text)));
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
            QToolTip::showText(QCursor::pos(), pointTip(point), m_chart);
        });
    }
    setChart(chart);
}

QString DiagnosisWindow::pointTip(const QPointF &point) const
{
    for (const ReportRow &row : m_report->rows) {
        if (row.measured == point.x() && row.catalogue == point.y())
            return QStringLiteral("行 %1\n測光値 %2\nｶﾀﾛｸﾞ値 %3\n残差 %4")
                .arg(ReportText::rowName(row.row, m_labels), ReportText::fixed(row.measured),
                    ReportText::fixed(row.catalogue), ReportText::fixed(row.residual));
    }
    if (m_report->check && m_report->check->measured == point.x())
        return QStringLiteral("チェック星 行 %1\nｶﾀﾛｸﾞ値 %2\nO - C %3")
            .arg(ReportText::rowName(m_report->check->row, m_labels),
                ReportText::fixed(m_report->check->catalogue),
                ReportText::fixed(m_report->check->oMinusC));
    for (const VariableEstimate &v : m_report->variables) {
        if (v.measured == point.x())
            return QStringLiteral("変光星\n測光値 %1\n等級 %2")
                .arg(PlainNumberText(v.measured), ReportText::fixed(v.magnitude));
    }
    return {};
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
        m_boxes->show(this, m_summary->text(), forms::MessageBoxes::Buttons::Ok);
        return;
    }
    const QByteArray plot = CalibrationPlot::picture(
        *m_report, path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive));
    if (plot.isEmpty()) {
        m_boxes->show(
            this, QStringLiteral("グラフを描けませんでした"), forms::MessageBoxes::Buttons::Ok);
        return;
    }
    const auto saved = FileLayer::replaceFile(path, plot);
    if (saved.failure) {
        m_boxes->show(this,
            QStringLiteral("グラフを保存できませんでした\r")
                + messages::fileProblem(*saved.failure, path),
            forms::MessageBoxes::Buttons::Ok);
    }
}

void DiagnosisWindow::showEvent(QShowEvent *event)
{
    recompute();
    QWidget::showEvent(event);
}

void DiagnosisWindow::hideEvent(QHideEvent *event)
{
    remember();
    QWidget::hideEvent(event);
}

void DiagnosisWindow::remember()
{
    QSettings settings;
    settings.setValue(settings::key(settings::DiagnosisGeometry), saveGeometry());
    settings.setValue(settings::key(settings::DiagnosisSplitter), m_splitter->saveState());
    const QString why = settings::store(settings);
    if (!why.isEmpty())
        m_boxes->show(nullptr, why, forms::MessageBoxes::Buttons::Ok);
}

} // namespace quillet
