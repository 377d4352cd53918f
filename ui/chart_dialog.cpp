// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/chart_dialog.h"

#include "core/comparison_table.h"
#include "core/star_chart.h"
#include "core/submission_record.h"
#include "report/field_chart.h"
#include "report/messages.h"
#include "ui/settings.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace quillet {

namespace {

// The most comparison stars the table holds.
constexpr int MostStars = 15;

// VSP's chart API, or the base the environment names (tests serve a
// recorded answer from their own server).
QString chartService()
{
    const QString base = qEnvironmentVariable("QUILLET3_VSP_URL");
    return base.isEmpty() ? QStringLiteral("https://apps.aavso.org/vsp/api/chart/") : base;
}

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    return b;
}

} // namespace

ChartDialog::ChartDialog(
    InputsProvider inputs, TableWriter writeTable, forms::MessageBoxes *boxes, QWidget *parent)
    : QDialog(parent)
    , m_inputs(std::move(inputs))
    , m_writeTable(std::move(writeTable))
    , m_boxes(boxes)
{
    setWindowTitle(QStringLiteral("チャートの比較星"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    auto *fileRow = new QHBoxLayout;
    auto *open = button(QStringLiteral("ファイルを開く…"), this);
    fileRow->addWidget(open);
    fileRow->addStretch();
    layout->addLayout(fileRow);

    auto *fetchRow = new QHBoxLayout;
    m_star = new QLineEdit(this);
    forms::addCaptioned(fetchRow, QStringLiteral("星名"), m_star);
    m_fov = new QDoubleSpinBox(this);
    m_fov->setRange(1, 600);
    m_fov->setDecimals(0);
    m_fov->setValue(60);
    forms::addCaptioned(fetchRow, QStringLiteral("視野（分）"), m_fov);
    m_limit = new QLineEdit(QStringLiteral("14.5"), this);
    m_limit->setMaximumWidth(
        m_limit->fontMetrics().horizontalAdvance(QStringLiteral("00.00")) + 16);
    forms::addCaptioned(fetchRow, QStringLiteral("限界等級"), m_limit);
    m_fetch = button(QStringLiteral("取得"), this);
    m_cancel = button(QStringLiteral("中止"), this);
    m_cancel->setEnabled(false);
    fetchRow->addWidget(m_fetch);
    fetchRow->addWidget(m_cancel);
    layout->addLayout(fetchRow);

    m_title = new QLabel(this);
    m_title->setWordWrap(true);
    forms::showsResult(m_title, QStringLiteral("チャート"));
    layout->addWidget(m_title);
    auto *filterRow = new QHBoxLayout;
    auto *filterLabel = new QLabel(QStringLiteral("フィルター"), this);
    m_filter = new QComboBox(this);
    m_filter->addItems(SubmissionRecord::filterCodes(SubmissionRecord::Format::Aavso));
    m_filter->setAccessibleName(QStringLiteral("フィルター"));
    filterLabel->setBuddy(m_filter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter);
    filterRow->addStretch();
    layout->addLayout(filterRow);

    m_table = new QTableWidget(0, 6, this);
    m_table->setAccessibleName(QStringLiteral("チャートの星"));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("入れる"), QStringLiteral("ﾗﾍﾞﾙ"), QStringLiteral("AUID"),
            QStringLiteral("等級"), QStringLiteral("誤差"), QStringLiteral("注記")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table, 1);

    auto *bottom = new QHBoxLayout;
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    forms::showsResult(m_status, QStringLiteral("チャートの状態"));
    auto *put = button(QStringLiteral("表に入れる"), this);
    bottom->addWidget(m_status, 1);
    bottom->addWidget(put);
    layout->addLayout(bottom);
    resize(720, 560);

    const QString field = m_inputs().field;
    const QSettings settings;
    m_star->setText(
        settings.value(settings::fieldKey(field, settings::ReportStar), field).toString());
    const int at = m_filter->findText(
        settings.value(settings::fieldKey(field, settings::ReportFilter)).toString());
    m_filter->setCurrentIndex(at < 0 ? m_filter->findText(QStringLiteral("V")) : at);

    m_network = new QNetworkAccessManager(this);
    connect(open, &QPushButton::clicked, this, [this] {
        const QString path = m_boxes->openFileName(this, QStringLiteral("VSP のチャート（JSON）"),
            m_inputs().tableFolder, QStringLiteral("JSON (*.json);;すべてのファイル (*)"));
        if (!path.isEmpty())
            openFile(path);
    });
    connect(m_fetch, &QPushButton::clicked, this, &ChartDialog::fetch);
    connect(m_cancel, &QPushButton::clicked, this, &ChartDialog::cancelFetch);
    connect(put, &QPushButton::clicked, this, &ChartDialog::putIntoTable);
    connect(m_filter, &QComboBox::currentIndexChanged, this, &ChartDialog::showChart);
    connect(m_table, &QTableWidget::itemChanged, this,
        [this](QTableWidgetItem *item) { starChecked(item->row()); });
}

ChartDialog::~ChartDialog()
{
    if (m_reply)
        m_reply->abort();
}

bool ChartDialog::fetching() const
{
    return m_reply;
}

QString ChartDialog::status() const
{
    return m_status->text();
}

QString ChartDialog::chartTitle() const
{
    return m_title->text();
}

void ChartDialog::say(const QString &status)
{
    m_status->setText(status);
}

void ChartDialog::openFile(const QString &path)
{
    const FieldChart::Loaded loaded = FieldChart::loadAnswer(path);
    if (!loaded.chart) {
        say(QStringLiteral("%1 を読めません: %2").arg(messages::visible(path), loaded.problem));
        return;
    }
    m_chart = loaded.chart;
    m_answer = loaded.answer;
    showChart();
}

// The chart's stars in the band of the filter, brightest first; those without
// it at the end, not to be taken; the first 15 checked.
void ChartDialog::showChart()
{
    if (!m_chart)
        return;
    const QString band = VspChart::bandFor(m_filter->currentText());
    m_title->setText(QStringLiteral("チャート %1　%2（%3）　バンド %4")
                         .arg(messages::visible(m_chart->chartId), messages::visible(m_chart->star),
                             messages::visible(m_chart->auid), band));
    QList<int> order = VspChart::byMagnitude(*m_chart, band);
    const int withBand = int(order.size());
    for (int i = 0; i < m_chart->stars.size(); ++i) {
        if (!order.contains(i))
            order.append(i);
    }
    const QSignalBlocker blocker(m_table);
    m_table->setRowCount(int(order.size()));
    for (int r = 0; r < order.size(); ++r) {
        const VspChart::Star &star = m_chart->stars[order[r]];
        const VspChart::Band *b = star.band(band);
        auto *check = new QTableWidgetItem;
        check->setData(Qt::UserRole, order[r]);
        if (b) {
            check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            check->setCheckState(r < MostStars ? Qt::Checked : Qt::Unchecked);
        } else {
            check->setFlags(Qt::ItemIsEnabled);
            check->setToolTip(QStringLiteral("%1 の等級がないので入れられません").arg(band));
        }
        const QStringList cells {messages::visible(star.label), messages::visible(star.auid),
            b ? b->magText : QStringLiteral("—（%1 なし）").arg(band),
            b && b->error ? QString::number(*b->error, 'f', 3) : QStringLiteral("—"),
            star.comments.isEmpty() ? QString()
                                    : QStringLiteral("⚠ ") + messages::visible(star.comments)};
        m_table->setItem(r, 0, check);
        for (int c = 0; c < cells.size(); ++c)
            m_table->setItem(r, c + 1, new QTableWidgetItem(cells[c]));
    }
    say(withBand < m_chart->stars.size()
            ? QStringLiteral("%1 個の星に %2 の等級がありません（入れられません）")
                  .arg(m_chart->stars.size() - withBand)
                  .arg(band)
            : QString());
}

QList<int> ChartDialog::checked() const
{
    QList<int> stars;
    for (int r = 0; r < m_table->rowCount(); ++r) {
        const QTableWidgetItem *item = m_table->item(r, 0);
        if (item && item->checkState() == Qt::Checked)
            stars.append(item->data(Qt::UserRole).toInt());
    }
    return stars;
}

void ChartDialog::starChecked(int row)
{
    QTableWidgetItem *item = m_table->item(row, 0);
    if (!item || item->checkState() != Qt::Checked || checked().size() <= MostStars)
        return;
    const QSignalBlocker blocker(m_table);
    item->setCheckState(Qt::Unchecked);
    say(QStringLiteral("比較星は %1 個までです").arg(MostStars));
}

void ChartDialog::fetch()
{
    const QString star = m_star->text().trimmed();
    if (star.isEmpty())
        return say(QStringLiteral("星名を入れて下さい"));
    if (m_reply)
        return;
    QUrl url(chartService());
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("star"), star);
    query.addQueryItem(QStringLiteral("fov"), QString::number(m_fov->value(), 'f', 0));
    query.addQueryItem(QStringLiteral("maglimit"), m_limit->text().trimmed());
    query.addQueryItem(QStringLiteral("format"), QStringLiteral("json"));
    url.setQuery(query);
    QNetworkRequest request(url);
    request.setTransferTimeout(m_timeout);
    m_cancelled = false;
    m_tooLarge = false;
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::finished, this, &ChartDialog::fetchEnded);
    // No chart is that large: an endless answer is stopped, not held in memory.
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received) {
        if (m_reply && received > VspChart::ReadLimit) {
            m_tooLarge = true;
            m_reply->abort();
        }
    });
    m_fetch->setEnabled(false);
    m_cancel->setEnabled(true);
    say(QStringLiteral("AAVSO から %1 のチャートを取得しています…").arg(messages::visible(star)));
}

void ChartDialog::cancelFetch()
{
    if (!m_reply)
        return;
    m_cancelled = true;
    m_reply->abort();
}

// Whatever the end, nothing changes but on a chart: each failure said as it is.
void ChartDialog::fetchEnded()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    m_fetch->setEnabled(true);
    m_cancel->setEnabled(false);
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (m_cancelled) {
        say(QStringLiteral("取得を中止しました"));
    } else if (m_tooLarge) {
        say(QStringLiteral("AAVSO の答えがチャートではありません（%1）")
                .arg(FieldChart::problemText({std::nullopt, VspChart::Problem::TooLarge, {}})));
    } else if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        say(QStringLiteral("AAVSO がエラーを返しました（HTTP %1）").arg(status.toInt()));
    } else if (reply->error() == QNetworkReply::OperationCanceledError
        || reply->error() == QNetworkReply::TimeoutError) {
        say(QStringLiteral("AAVSO から %1 秒のうちに答えがありませんでした")
                .arg(m_timeout / 1000.0));
    } else if (reply->error() != QNetworkReply::NoError) {
        say(QStringLiteral("AAVSO につながりません（%1）").arg(reply->errorString()));
    } else {
        const QByteArray answer = reply->read(VspChart::ReadLimit + 1);
        const FieldChart::Loaded loaded = FieldChart::readAnswer(answer);
        if (!loaded.chart) {
            say(QStringLiteral("AAVSO の答えがチャートではありません（%1）").arg(loaded.problem));
        } else {
            m_chart = loaded.chart;
            m_answer = loaded.answer;
            showChart();
            say(QStringLiteral("チャート %1 を取得しました")
                    .arg(messages::visible(m_chart->chartId)));
        }
    }
    Q_EMIT fetched();
}

void ChartDialog::putIntoTable()
{
    if (!m_chart)
        return say(QStringLiteral("チャートを開くか取得して下さい"));
    const QString band = VspChart::bandFor(m_filter->currentText());
    QList<int> stars = checked();
    if (stars.isEmpty())
        return say(QStringLiteral("入れる星に印を付けて下さい"));
    const QList<int> bright = VspChart::byMagnitude(*m_chart, band);
    std::sort(stars.begin(), stars.end(),
        [&bright](int a, int b) { return bright.indexOf(a) < bright.indexOf(b); });
    const MainWindowInputs inputs = m_inputs();
    const bool held = std::any_of(inputs.tableTexts.cbegin(), inputs.tableTexts.cend(),
        [](const QString &text) { return !text.isEmpty(); });
    if (held
        && m_boxes->choose(this,
               QStringLiteral("今の比較星の表をチャートの星で置き換えますか\r今の表は "
                              "compdata.txt.before-chart として残します"),
               {QStringLiteral("置き換える"), QStringLiteral("キャンセル")})
            != 0)
        return;
    const StarChart::Imported made = StarChart::import(*m_chart, m_answer, band, stars);
    const QString why = FieldChart::keep(inputs.tableFolder, made.chart, inputs.tableTexts, {});
    if (!why.isEmpty()) {
        m_boxes->show(this, QStringLiteral("チャートを星野に残せませんでした\r") + why,
            forms::MessageBoxes::Buttons::Ok);
        return;
    }
    m_writeTable(made.tableTexts);
    say(QStringLiteral("行 1 ～ %1 にチャートの星を入れました（測光値はまだ空です）")
            .arg(made.chart.rows.size()));
    Q_EMIT tableReplaced();
}

} // namespace quillet
