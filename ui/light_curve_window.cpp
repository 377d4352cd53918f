// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/light_curve_window.h"

#include "platform/star_fields.h"
#include "report/messages.h"
#include "report/report_text.h"
#include "ui/settings.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace quillet {

LightCurveCanvas::LightCurveCanvas(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(320, 240);
    setAccessibleName(QStringLiteral("光度曲線のグラフ"));
}

void LightCurveCanvas::makeView()
{
    m_view.emplace(m_records, QSizeF(size()),
        PlotColours::window(palette().color(QPalette::Base), palette().color(QPalette::Text)));
}

void LightCurveCanvas::setRecords(QList<AavsoReader::Record> records)
{
    m_records = std::move(records);
    makeView();
    update();
}

void LightCurveCanvas::resizeEvent(QResizeEvent *event)
{
    makeView();
    QWidget::resizeEvent(event);
}

void LightCurveCanvas::changeEvent(QEvent *event)
{
    // The desktop's scheme changed: the plot's colours follow.
    if (event->type() == QEvent::PaletteChange) {
        makeView();
        update();
    }
    QWidget::changeEvent(event);
}

void LightCurveCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_records.isEmpty()) {
        // No axes around nothing: what to do instead.
        painter.fillRect(rect(), palette().color(QPalette::Base));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
            QStringLiteral(
                "記録がありません\n「ファイルを開く…」で AAVSO のファイルを選んで下さい"));
        return;
    }
    if (m_view)
        m_view->paint(painter);
}

void LightCurveCanvas::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT pointed(m_view ? m_view->recordAt(event->position()) : -1);
    QWidget::mouseMoveEvent(event);
}

LightCurveWindow::LightCurveWindow(
    InputsProvider inputs, forms::MessageBoxes *boxes, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_inputs(std::move(inputs))
    , m_boxes(boxes)
{
    setWindowTitle(QStringLiteral("光度曲線"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_file = new QLabel(this);
    m_file->setWordWrap(true);
    forms::showsResult(m_file, QStringLiteral("ファイル"));
    auto *open = new QPushButton(QStringLiteral("ファイルを開く…"), this);
    top->addWidget(m_file, 1);
    top->addWidget(open);
    layout->addLayout(top);
    auto *choice = new QHBoxLayout;
    auto *seriesLabel = new QLabel(QStringLiteral("星とフィルター"), this);
    m_series = new QComboBox(this);
    m_series->setAccessibleName(QStringLiteral("星とフィルター"));
    seriesLabel->setBuddy(m_series);
    choice->addWidget(seriesLabel);
    choice->addWidget(m_series, 1);
    layout->addLayout(choice);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    forms::showsResult(m_summary, QStringLiteral("光度曲線の要約"));
    layout->addWidget(m_summary);
    m_canvas = new LightCurveCanvas(this);
    layout->addWidget(m_canvas, 1);
    m_pointed = new QLabel(this);
    forms::showsResult(m_pointed, QStringLiteral("ポインタの記録"));
    layout->addWidget(m_pointed);
    resize(900, 640);

    connect(open, &QPushButton::clicked, this, &LightCurveWindow::chooseFile);
    connect(m_series, &QComboBox::currentIndexChanged, this, &LightCurveWindow::showSeries);
    connect(m_canvas, &LightCurveCanvas::pointed, this, &LightCurveWindow::point);
    // Records other programs add show at once too.
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &LightCurveWindow::reload);
    // The file chosen last, else the night's own.
    const QString chosen = QSettings().value(settings::key(settings::LightCurveFile)).toString();
    m_path = chosen.isEmpty() ? settings::nightFile(StarFields::dataFolder()) : chosen;
}

void LightCurveWindow::chooseFile()
{
    const QString path
        = m_boxes->openFileName(this, QStringLiteral("光度曲線にする AAVSO ファイル"),
            m_path.isEmpty() ? m_inputs().tableFolder : QFileInfo(m_path).absolutePath(),
            forms::aavsoFilter());
    if (path.isEmpty())
        return;
    QSettings settings;
    settings.setValue(settings::key(settings::LightCurveFile), path);
    settings::store(settings);
    showFile(path);
}

void LightCurveWindow::showFile(const QString &path)
{
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    m_path = path;
    reload();
}

void LightCurveWindow::reload()
{
    // A file replaced by a rename is watched anew; one that cannot be watched
    // (no more watches left, say) is said, so that nobody waits for it.
    m_watchProblem.clear();
    if (!m_path.isEmpty() && QFileInfo::exists(m_path) && !m_watcher.files().contains(m_path)
        && !m_watcher.addPath(m_path))
        m_watchProblem = QStringLiteral("このファイルの変更を見張れません。新しい記録は"
                                        "「ファイルを開く…」で開き直すと表示されます");
    m_night = m_path.isEmpty() ? LightCurve::Night() : LightCurve::read({m_path});
    m_file->setText(m_path.isEmpty() ? QStringLiteral("ファイルがありません")
            : m_watchProblem.isEmpty()
            ? m_path
            : m_path + QStringLiteral("（") + m_watchProblem + QStringLiteral("）"));
    fillSeries();
}

// Each star and filter of the file; the star of the field open first.
void LightCurveWindow::fillSeries()
{
    const QString was = m_series->currentData().toString();
    const QString star
        = QSettings()
              .value(settings::fieldKey(m_inputs().field, settings::ReportStar), m_inputs().field)
              .toString()
              .simplified();
    QList<AavsoReader::Series> all = AavsoReader::series(m_night.records);
    std::stable_partition(all.begin(), all.end(), [&star](const AavsoReader::Series &s) {
        return !star.isEmpty() && s.name.simplified().compare(star, Qt::CaseInsensitive) == 0;
    });
    const QSignalBlocker blocker(m_series);
    m_series->clear();
    for (const AavsoReader::Series &s : all) {
        const QString key = s.name + QChar(0) + s.filter;
        m_series->addItem(
            QStringLiteral("%1 %2（%3 点）")
                .arg(messages::visible(s.name),
                    s.filter.isEmpty() ? QStringLiteral("—") : messages::visible(s.filter))
                .arg(s.count),
            key);
    }
    const int kept = was.isEmpty() ? -1 : m_series->findData(was);
    m_series->setCurrentIndex(kept >= 0 ? kept : 0);
    showSeries();
}

void LightCurveWindow::showSeries()
{
    const QString key = m_series->currentData().toString();
    m_shown.clear();
    QList<AavsoReader::Record> records;
    for (qsizetype i = 0; i < m_night.records.size(); ++i) {
        const AavsoReader::Record &r = m_night.records[i];
        if (r.name + QChar(0) + r.filter == key) {
            m_shown.append(i);
            records.append(r);
        }
    }
    QString text = m_night.problems.join(u'\n');
    if (m_night.records.isEmpty() && text.isEmpty() && !m_path.isEmpty())
        text = QFileInfo::exists(m_path)
            ? QStringLiteral("記録がありません")
            : QStringLiteral("まだ記録がありません（ファイルはまだ作られていません）");
    if (!m_night.records.isEmpty())
        text = LightCurve::text(m_night).trimmed();
    m_summary->setText(text);
    m_pointed->clear();
    m_canvas->setRecords(records);
}

void LightCurveWindow::fieldChanged()
{
    fillSeries();
}

QString LightCurveWindow::summary() const
{
    return m_summary->text();
}

QString LightCurveWindow::pointedRecord() const
{
    return m_pointed->text();
}

void LightCurveWindow::point(qsizetype record)
{
    if (record < 0 || record >= m_shown.size()) {
        m_pointed->clear();
        return;
    }
    const AavsoReader::Record &r = m_night.records[m_shown[record]];
    QString text = QStringLiteral("%1 %2　JD %3　%4%5")
                       .arg(messages::visible(r.name), messages::visible(r.filter),
                           QString::number(r.jd, 'f', 5),
                           r.fainter ? QStringLiteral("<") : QString(), ReportText::fixed(r.mag));
    if (r.merr)
        text += QStringLiteral(" ± %1").arg(ReportText::errorText(*r.merr));
    text += QStringLiteral("（%1 行目）").arg(r.line);
    m_pointed->setText(text);
}

} // namespace quillet
