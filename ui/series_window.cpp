// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/series_window.h"

#include "core/comparison_table.h"
#include "platform/star_fields.h"
#include "report/field_chart.h"
#include "report/messages.h"
#include "report/night_file.h"
#include "report/night_report.h"
#include "report/report_text.h"
#include "report/submission.h"
#include "ui/kept_chart.h"
#include "ui/settings.h"

#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillet {

using NightSeries::LeftOut;

namespace {

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    return b;
}

QString optionalText(std::optional<double> value, int decimals = 3)
{
    return value && std::isfinite(*value) ? QString::number(*value, 'f', decimals)
                                          : QStringLiteral("—");
}

} // namespace

SeriesCanvas::SeriesCanvas(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(360, 420);
    setAccessibleName(QStringLiteral("時系列のグラフ"));
}

void SeriesCanvas::show(const SeriesTable::Table *table, const NightSeries::Night *night)
{
    m_table = table;
    m_night = night;
    makeView();
    update();
}

void SeriesCanvas::makeView()
{
    m_view.reset();
    if (m_table && m_night && m_night->summary.used > 0)
        m_view.emplace(*m_table, *m_night, QSizeF(size()),
            PlotColours::window(palette().color(QPalette::Base), palette().color(QPalette::Text)));
}

void SeriesCanvas::resizeEvent(QResizeEvent *event)
{
    makeView();
    QWidget::resizeEvent(event);
}

void SeriesCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_view) {
        painter.fillRect(rect(), palette().color(QPalette::Base));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
            QStringLiteral("使える画像がありません\n「ファイルを開く…」で測光ソフトの表"
                           "（AstroImageJ の Measurements など）を選んで下さい"));
        return;
    }
    m_view->paint(painter);
}

void SeriesCanvas::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT pointed(m_view ? m_view->pointAt(event->position()) : QString());
    QWidget::mouseMoveEvent(event);
}

void SeriesImages::show(const SeriesTable::Table *table, const NightSeries::Night *night)
{
    beginResetModel();
    m_table = table;
    m_night = night;
    endResetModel();
}

int SeriesImages::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_night ? 0 : int(m_night->images.size());
}

int SeriesImages::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 9;
}

QVariant SeriesImages::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const Names[] = {
        "画像", "ラベル", "JD", "等級", "予測誤差", "比較星", "傾き", "チェック星 O - C", "状態"};
    return QString::fromUtf8(Names[section]);
}

QVariant SeriesImages::data(const QModelIndex &index, int role) const
{
    const NightSeries::ImageResult &image = m_night->images[index.row()];
    const bool used = image.leftOut == LeftOut::None;
    if (role == Qt::TextAlignmentRole)
        return int((index.column() == 1 || index.column() == 8 ? Qt::AlignLeft : Qt::AlignRight)
            | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole && !used)
        return QVariant::fromValue(QPalette().color(QPalette::Disabled, QPalette::Text));
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const SeriesTable::Image &source = m_table->images[image.index - 1];
    const CalibrationReport &r = image.report;
    switch (index.column()) {
    case 0:
        return image.index;
    case 1:
        return messages::visible(source.label);
    case 2:
        return optionalText(source.jd, 5);
    case 8:
        return used ? QStringLiteral("使う") : NightReport::leftOutText(image.leftOut);
    default:
        break;
    }
    if (!used)
        return QString();
    switch (index.column()) {
    case 3:
        return ReportText::fixed(r.variables.front().magnitude);
    case 4:
        return optionalText(r.variables.front().predictionSe);
    case 5:
        return r.n;
    case 6:
        return QString::number(r.slope, 'f', 4);
    default:
        return r.check ? ReportText::fixed(r.check->oMinusC) : QStringLiteral("—");
    }
}

SeriesWindow::SeriesWindow(InputsProvider inputs, forms::MessageBoxes *boxes, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_inputs(std::move(inputs))
    , m_boxes(boxes)
{
    setWindowTitle(QStringLiteral("時系列"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_source = new QLabel(QStringLiteral("表がありません"), this);
    m_source->setWordWrap(true);
    forms::showsResult(m_source, QStringLiteral("表"));
    auto *open = button(QStringLiteral("ファイルを開く…"), this);
    top->addWidget(m_source, 1);
    top->addWidget(open);
    layout->addLayout(top);

    auto *roles = new QHBoxLayout;
    m_target = new QComboBox(this);
    forms::addCaptioned(roles, QStringLiteral("変光星の列"), m_target);
    m_check = new QComboBox(this);
    forms::addCaptioned(roles, QStringLiteral("チェック星"), m_check);
    roles->addStretch();
    layout->addLayout(roles);

    auto *split = new QSplitter(Qt::Vertical, this);
    auto *upper = new QSplitter(Qt::Horizontal, split);
    m_map = new QTableWidget(TableRows, 2, upper);
    m_map->setAccessibleName(QStringLiteral("比較星の列"));
    m_map->setHorizontalHeaderLabels({QStringLiteral("ｶﾀﾛｸﾞ値"), QStringLiteral("列")});
    m_map->horizontalHeader()->setStretchLastSection(true);
    for (int row = 1; row <= TableRows; ++row) {
        m_map->setVerticalHeaderItem(row - 1, new QTableWidgetItem(QString::number(row)));
        auto *catalogue = new QTableWidgetItem;
        catalogue->setFlags(Qt::ItemIsEnabled);
        m_map->setItem(row - 1, 0, catalogue);
        auto *column = new QComboBox(m_map);
        column->setAccessibleName(QStringLiteral("行 %1 の列").arg(row));
        m_map->setCellWidget(row - 1, 1, column);
        connect(column, &QComboBox::currentIndexChanged, this, &SeriesWindow::mappingEdited);
    }
    auto *plot = new QWidget(upper);
    auto *plotLayout = new QVBoxLayout(plot);
    plotLayout->setContentsMargins(0, 0, 0, 0);
    m_canvas = new SeriesCanvas(plot);
    m_pointed = new QLabel(plot);
    forms::showsResult(m_pointed, QStringLiteral("ポインタの点"));
    plotLayout->addWidget(m_canvas, 1);
    plotLayout->addWidget(m_pointed);
    upper->setStretchFactor(1, 1);
    auto *lower = new QSplitter(Qt::Horizontal, split);
    m_images = new QTableView(lower);
    m_images->setAccessibleName(QStringLiteral("画像"));
    m_images->setModel(&m_model);
    m_images->verticalHeader()->hide();
    m_images->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_images->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_images->setToolTip(QStringLiteral("クリックした画像を使わない／また使う"));
    m_stars = new QTableWidget(0, 7, lower);
    m_stars->setAccessibleName(QStringLiteral("比較星のドリフト"));
    m_stars->setHorizontalHeaderLabels({QStringLiteral("行"), QStringLiteral("列"),
        QStringLiteral("残差平均"), QStringLiteral("標準偏差"), QStringLiteral("ドリフト（等/時）"),
        QStringLiteral("t"), QStringLiteral("判定")});
    m_stars->verticalHeader()->hide();
    m_stars->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_stars->setToolTip(QStringLiteral("クリックした比較星をどの画像の近似にも使わない／また使う"));
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    auto *record = new QHBoxLayout;
    m_star = new QLineEdit(this);
    forms::addCaptioned(record, QStringLiteral("星名"), m_star);
    m_filter = new QComboBox(this);
    m_filter->addItems(SubmissionRecord::filterCodes(SubmissionRecord::Format::Aavso));
    forms::addCaptioned(record, QStringLiteral("フィルター"), m_filter);
    m_obscode = new QLineEdit(this);
    m_obscode->setMaximumWidth(
        m_obscode->fontMetrics().horizontalAdvance(QStringLiteral("MMMMMM")) + 16);
    forms::addCaptioned(record, QStringLiteral("観測者コード"), m_obscode);
    m_append = button(QStringLiteral("AAVSO ファイルに追加（0 件）"), this);
    auto *vsnet = button(QStringLiteral("VSNET 行をコピー"), this);
    record->addStretch();
    record->addWidget(m_append);
    record->addWidget(vsnet);
    layout->addLayout(record);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    forms::showsResult(m_status, QStringLiteral("時系列の状態"));
    layout->addWidget(m_status);
    resize(1100, 760);

    connect(open, &QPushButton::clicked, this, &SeriesWindow::chooseFile);
    connect(m_target, &QComboBox::currentIndexChanged, this, &SeriesWindow::mappingEdited);
    connect(m_check, &QComboBox::currentIndexChanged, this, &SeriesWindow::mappingEdited);
    connect(m_canvas, &SeriesCanvas::pointed, m_pointed, &QLabel::setText);
    connect(m_images, &QTableView::clicked, this,
        [this](const QModelIndex &index) { toggleImage(index.row() + 1); });
    connect(m_stars, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (const QTableWidgetItem *item = m_stars->item(row, 0))
            toggleRow(item->data(Qt::UserRole).toInt());
    });
    connect(m_append, &QPushButton::clicked, this, &SeriesWindow::appendToNightFile);
    connect(vsnet, &QPushButton::clicked, this, &SeriesWindow::copyVsnetLines);
    fieldChanged();
}

SeriesWindow::~SeriesWindow() = default;

QString SeriesWindow::source() const
{
    return m_source->text();
}

QString SeriesWindow::status() const
{
    return m_status->text();
}

QComboBox *SeriesWindow::rowColumn(int row) const
{
    return qobject_cast<QComboBox *>(m_map->cellWidget(row - 1, 1));
}

void SeriesWindow::say(const QString &text)
{
    m_status->setText(text);
}

void SeriesWindow::chooseFile()
{
    const QString path = m_boxes->openFileName(this, QStringLiteral("測光ソフトの表"),
        m_path.isEmpty() ? m_inputs().tableFolder : QFileInfo(m_path).absolutePath(),
        forms::tableFilter());
    if (!path.isEmpty())
        openFile(path);
}

void SeriesWindow::openFile(const QString &path)
{
    NightReport::Loaded loaded = NightReport::load(path);
    if (!loaded.table) {
        m_boxes->show(this, QStringLiteral("表を読めません\r") + loaded.problem,
            forms::MessageBoxes::Buttons::Ok);
        return;
    }
    m_path = path;
    m_table = std::move(loaded.table);
    // The mapping remembered for the field, where this table has its columns.
    const QSettings settings;
    NightSeries::Mapping remembered = NightReport::mappingOf(
        settings.value(settings::fieldKey(m_inputs().field, settings::SeriesMapping)).toString());
    const bool fits = m_table->stars.contains(remembered.target)
        && std::all_of(remembered.comps.begin(), remembered.comps.end(),
            [this](const auto &comp) { return m_table->stars.contains(comp.first); });
    m_mapping = fits ? remembered : NightSeries::Mapping();
    m_source->setText(
        QFileInfo(path).fileName() + QStringLiteral(": ") + NightReport::sourceText(*m_table));
    fillMapping();
    recompute();
}

void SeriesWindow::fieldChanged()
{
    const QSettings settings;
    const QString field = m_inputs().field;
    m_star->setText(
        settings.value(settings::fieldKey(field, settings::ReportStar), field).toString());
    const int at = m_filter->findText(
        settings.value(settings::fieldKey(field, settings::ReportFilter)).toString());
    m_filter->setCurrentIndex(at < 0 ? m_filter->findText(QStringLiteral("V")) : at);
    m_obscode->setText(settings
                           .value(settings::fieldKey(field, settings::ReportObscode),
                               settings.value(settings::key(settings::ReportObscode)))
                           .toString());
    if (m_table)
        openFile(m_path);
}

// The boxes show the mapping in force: the one given, or the default that
// AstroImageJ's apertures make.
void SeriesWindow::fillMapping()
{
    m_filling = true;
    m_catalogue = m_inputs().tableTexts;
    const QStringList columns = m_table ? m_table->stars : QStringList();
    const NightSeries::Resolved resolved = m_table
        ? NightSeries::resolve(*m_table, m_mapping, m_catalogue)
        : NightSeries::Resolved();
    m_target->clear();
    m_target->addItems(columns);
    m_target->setCurrentIndex(
        resolved.problem ? int(columns.indexOf(m_mapping.target)) : resolved.target);
    for (int row = 1; row <= TableRows; ++row) {
        m_map->item(row - 1, 0)->setText(m_catalogue.value(2 * row - 1));
        QComboBox *column = rowColumn(row);
        column->clear();
        column->addItem(QString());
        column->addItems(columns);
        int at = resolved.problem ? -1 : resolved.columns[std::size_t(row - 1)];
        for (const auto &[name, mapped] : m_mapping.comps) {
            if (resolved.problem && mapped == row)
                at = int(columns.indexOf(name));
        }
        column->setCurrentIndex(at + 1);
    }
    m_check->clear();
    m_check->addItem(QStringLiteral("なし"));
    for (int row = 1; row <= TableRows; ++row)
        m_check->addItem(QStringLiteral("行 %1").arg(row), row);
    m_check->setCurrentIndex(m_mapping.check ? *m_mapping.check : 0);
    m_filling = false;
}

void SeriesWindow::mappingEdited()
{
    if (m_filling || !m_table)
        return;
    m_mapping.target = m_target->currentText();
    m_mapping.comps.clear();
    for (int row = 1; row <= TableRows; ++row) {
        if (!rowColumn(row)->currentText().isEmpty())
            m_mapping.comps.append({rowColumn(row)->currentText(), row});
    }
    m_mapping.check
        = m_check->currentIndex() > 0 ? std::optional(m_check->currentIndex()) : std::nullopt;
    QSettings settings;
    settings.setValue(settings::fieldKey(m_inputs().field, settings::SeriesMapping),
        NightReport::mappingText(m_mapping));
    recompute();
}

void SeriesWindow::recompute()
{
    m_night = {};
    if (m_table) {
        const MainWindowInputs inputs = m_inputs();
        m_catalogue = inputs.tableTexts;
        for (int row = 1; row <= TableRows; ++row)
            m_map->item(row - 1, 0)->setText(m_catalogue.value(2 * row - 1));
        m_mapping.hjd = QSettings()
                            .value(settings::fieldKey(inputs.field, settings::ReportDateKind))
                            .toString()
            == QLatin1String("HJD");
        const NightSeries::Resolved resolved
            = NightSeries::resolve(*m_table, m_mapping, m_catalogue);
        if (resolved.problem)
            say(NightReport::mappingProblem(resolved));
        else
            m_night = NightSeries::compute(*m_table, resolved, m_mapping, m_catalogue);
        if (!resolved.problem)
            say(QStringLiteral("使った画像 %1 枚、使わなかった画像 %2 枚")
                    .arg(m_night.summary.used)
                    .arg(m_night.summary.leftOut));
    }
    m_model.show(m_table ? &*m_table : nullptr, &m_night);
    m_canvas->show(m_table ? &*m_table : nullptr, &m_night);
    fillStars();
    m_append->setText(QStringLiteral("AAVSO ファイルに追加（%1 件）").arg(m_night.summary.used));
}

void SeriesWindow::fillStars()
{
    const StarChart::FieldChart *chart = keptChart(m_inputs().tableFolder);
    const ReportText::Labels labels
        = chart ? StarChart::labels(*chart, m_catalogue) : ReportText::Labels();
    QList<QStringList> rows;
    QList<int> numbers;
    for (const NightSeries::StarDrift &star : m_night.stars) {
        rows << QStringList {ReportText::rowName(star.row, labels), star.column,
            optionalText(star.meanResidual), optionalText(star.sd),
            optionalText(star.driftPerHour, 4), optionalText(star.driftT, 2),
            star.drifts ? QStringLiteral("✕ ドリフト") : QStringLiteral("—")};
        numbers << star.row;
    }
    for (const int row : m_mapping.excludedRows) {
        rows << QStringList {ReportText::rowName(row, labels), QString(), QString(), QString(),
            QString(), QString(), QStringLiteral("除外")};
        numbers << row;
    }
    m_stars->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            auto *item = new QTableWidgetItem(rows[r][c]);
            item->setData(Qt::UserRole, numbers[r]);
            m_stars->setItem(r, c, item);
        }
    }
}

void SeriesWindow::toggleImage(int index)
{
    if (!m_mapping.excludedImages.removeOne(index))
        m_mapping.excludedImages.append(index);
    recompute();
}

void SeriesWindow::toggleRow(int row)
{
    if (!m_mapping.excludedRows.removeOne(row))
        m_mapping.excludedRows.append(row);
    recompute();
}

void SeriesWindow::rememberRecordFields()
{
    QSettings settings;
    const QString field = m_inputs().field;
    settings.setValue(settings::fieldKey(field, settings::ReportStar), m_star->text().trimmed());
    settings.setValue(settings::fieldKey(field, settings::ReportFilter), m_filter->currentText());
    settings.setValue(
        settings::fieldKey(field, settings::ReportObscode), m_obscode->text().trimmed());
}

QStringList SeriesWindow::lines(SubmissionRecord::Format format, QString &problem,
    QList<AavsoExtended::Fields> *fields, AavsoExtended::Header *header)
{
    recompute(); // what is written is what the window shows
    rememberRecordFields();
    if (!m_table || m_night.summary.used == 0) {
        problem = QStringLiteral("使える画像がありません");
        return {};
    }
    const QSettings settings;
    const QString field = m_inputs().field;
    submission::Typed typed;
    typed.star = m_star->text();
    typed.filter = m_filter->currentText();
    typed.obscode = m_obscode->text();
    typed.chart = settings.value(settings::fieldKey(field, settings::ReportChart)).toString();
    typed.obstype
        = settings.value(settings::fieldKey(field, settings::ReportObstype), QStringLiteral("CCD"))
              .toString();
    typed.check = m_mapping.check.has_value();
    typed.software
        = QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion();
    const StarChart::FieldChart *chart = keptChart(m_inputs().tableFolder);
    const QString checkError = chart
        ? FieldChart::fillFromChart(typed, *chart, m_catalogue, m_mapping.check)
        : QString();
    typed.jd = QStringLiteral("2451545.0"); // each image's own replaces it
    const auto checked = submission::check(format, typed, submission::Interface::Dialog);
    if (!checked.problem.isEmpty()) {
        problem = checked.problem;
        return {};
    }
    SubmissionRecord::Record record = checked.record;
    record.hjd = m_mapping.hjd;
    record.checkError = checkError;
    if (header)
        *header = {record.obscode, record.software, record.obstype,
            record.hjd ? AavsoExtended::DateKind::Hjd : AavsoExtended::DateKind::Jd};
    QStringList texts;
    for (const NightSeries::ImageResult &image : m_night.images) {
        if (image.leftOut != LeftOut::None)
            continue;
        const submission::Line line = submission::line(format,
            NightReport::recordOf(record, m_table->images[image.index - 1], image), image.report,
            image.report.variables.front());
        if (!line.problem.isEmpty()) {
            problem = QStringLiteral("画像 %1: %2").arg(image.index).arg(line.problem);
            return {};
        }
        texts << line.text;
        if (fields)
            fields->append(line.fields);
    }
    return texts;
}

void SeriesWindow::appendToNightFile()
{
    QString problem;
    QList<AavsoExtended::Fields> fields;
    AavsoExtended::Header header;
    lines(SubmissionRecord::Format::Aavso, problem, &fields, &header);
    if (!problem.isEmpty()) {
        m_boxes->show(this, problem, forms::MessageBoxes::Buttons::Ok);
        return;
    }
    const QString path = settings::nightFile(StarFields::dataFolder());
    NightFile::Appended appended = NightFile::append(path, header, fields);
    if (appended.refusal == AavsoFile::Refusal::Duplicate) {
        // The records already there, found as a set: asked about once.
        const int choice = m_boxes->choose(this,
            QStringLiteral("%1 件の記録は %2 にすでにあります")
                .arg(appended.duplicates.size())
                .arg(QFileInfo(path).fileName()),
            {QStringLiteral("それ以外を追加"), QStringLiteral("すべて追加"),
                QStringLiteral("キャンセル")});
        if (choice == 2)
            return;
        appended = NightFile::append(path, header, fields,
            choice == 0 ? AavsoFile::Duplicates::Skip : AavsoFile::Duplicates::Append);
    }
    if (appended.failure || appended.refusal) {
        m_boxes->show(this,
            QStringLiteral("AAVSO ファイルに追加できませんでした\r")
                + messages::appendRefused(path, appended, header),
            forms::MessageBoxes::Buttons::Ok);
        return;
    }
    say(QStringLiteral("%1 に %2 件追加しました（ファイルの記録 %3 件）")
            .arg(QFileInfo(path).fileName())
            .arg(appended.added)
            .arg(appended.records));
    Q_EMIT recordsAppended(path);
}

void SeriesWindow::copyVsnetLines()
{
    QString problem;
    const QStringList texts = lines(SubmissionRecord::Format::Vsnet, problem);
    if (!problem.isEmpty())
        return say(problem);
    QGuiApplication::clipboard()->setText(texts.join(u'\n') + u'\n');
    say(QStringLiteral("VSNET の行 %1 行をコピーしました").arg(texts.size()));
}

} // namespace quillet
