// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/form1.h"

#include "core/averaging.h"
#include "core/calibration.h"
#include "core/comparison_data_file.h"
#include "core/comparison_table.h"
#include "core/magnitude_text_parser.h"
#include "core/numeric_text.h"
#include "platform/file_layer.h"
#include "platform/star_fields.h"
#include "report/messages.h"
#include "ui/field_dialog.h"
#include "ui/form2.h"
#include "ui/settings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSessionManager>
#include <QToolTip>

#include <tuple>

// The icon lives in this static library's resources, which need registering.
static void initQuillet3Resources()
{
    Q_INIT_RESOURCE(quillet3);
}

namespace quillet {

namespace {

using forms::ControlKind;
using forms::ControlSpec;

// What a result label shows before the first result, or when there is none.
const QString NoResult = QString::fromUtf16(NoValueText);

// "Text" and 31 make "Text31".
QString controlName(const char *prefix, int n)
{
    return QLatin1String(prefix) + QString::number(n);
}

std::vector<ControlSpec> makeForm1Controls()
{
    const QString mv = QStringLiteral("測光値");
    const QString cat = QStringLiteral("ｶﾀﾛｸﾞ値");
    const QString err = QStringLiteral("測光ｴﾗｰ");
    const QString dash = NoResult;
    const QString c = QStringLiteral("c");
    const QString f1 = QStringLiteral("Frame1");
    const QString f2 = QStringLiteral("Frame2");
    const QString f3 = QStringLiteral("Frame3");
    // clang-format off
    std::vector<ControlSpec> specs = {
        {f1, ControlKind::Frame, {}, QStringLiteral("比較星"), 120, 120, 3255, 6615, 30, {}},
        {f2, ControlKind::Frame, {}, QStringLiteral("変光星"), 3600, 120, 4335, 2895, 50, {}},
        {f3, ControlKind::Frame, {}, QStringLiteral("平均の算出"), 3600, 3120, 4335, 3015, 61, {}},
        {QStringLiteral("Command1"), ControlKind::Button, {}, QStringLiteral("比較星データ全クリア"), 3600, 6240, 2535, 495, 33, {}},
        {QStringLiteral("Command24"), ControlKind::Button, {}, QStringLiteral("比較星グラフ"), 6240, 6240, 1695, 495, 77, {}},
        {QStringLiteral("Text37"), ControlKind::MultiLineTextBox, {}, {}, 8040, 240, 5415, 5895, 80, QStringLiteral("測光結果の貼り付け欄")},
        {QStringLiteral("Command27"), ControlKind::Button, {}, QStringLiteral("比較星測光値"), 11400, 6240, 2055, 495, 81, {}},

        {QStringLiteral("Label1"), ControlKind::HeadingLabel, f1, mv, 360, 360, 735, 255, 32, {}},
        {QStringLiteral("Label2"), ControlKind::HeadingLabel, f1, cat, 1440, 360, 975, 255, 31, {}},
        {QStringLiteral("Label3"), ControlKind::HeadingLabel, f1, QStringLiteral("ｸﾘｱ"), 2640, 360, 495, 255, 49, {}},
        {QStringLiteral("Command25"), ControlKind::Button, f1, QStringLiteral("Clear"), 240, 6240, 1095, 270, 78, QStringLiteral("測光値の列をクリア")},
        {QStringLiteral("Command26"), ControlKind::Button, f1, QStringLiteral("Clear"), 1440, 6240, 1095, 270, 79, QStringLiteral("ｶﾀﾛｸﾞ値の列をクリア")},

        {QStringLiteral("Label4"), ControlKind::HeadingLabel, f2, mv, 240, 360, 855, 255, 51, {}},
        {QStringLiteral("Text31"), ControlKind::TextBox, f2, {}, 240, 720, 975, 405, 53, QStringLiteral("変光星の測光値")},
        {QStringLiteral("Label5"), ControlKind::HeadingLabel, f2, QStringLiteral("変光星の等級"), 1320, 360, 1575, 255, 52, {}},
        {QStringLiteral("Label6"), ControlKind::ValueLabel, f2, dash, 1320, 720, 1335, 375, 54, QStringLiteral("変光星の等級")},
        {QStringLiteral("Label7"), ControlKind::HeadingLabel, f2, err, 3000, 360, 975, 255, 55, {}},
        {QStringLiteral("Label8"), ControlKind::ValueLabel, f2, dash, 2760, 720, 1335, 375, 56, err},
        {QStringLiteral("Command17"), ControlKind::Button, f2, QStringLiteral("測光"), 2760, 1320, 1335, 375, 57, {}},
        {QStringLiteral("Label9"), ControlKind::HeadingLabel, f2, QStringLiteral("比較星の近似結果"), 240, 1560, 3855, 375, 58, {}},
        {QStringLiteral("Label10"), ControlKind::BoxedLabel, f2, QStringLiteral("等級 = 傾き x 測光値 + 定数"), 240, 1920, 3855, 375, 59, QStringLiteral("近似直線の傾き")},
        {QStringLiteral("Label12"), ControlKind::BoxedLabel, f2, {}, 240, 2400, 3855, 375, 60, QStringLiteral("近似直線の定数")},

        {QStringLiteral("Command18"), ControlKind::Button, f3, QStringLiteral("平均計算"), 2400, 360, 1215, 495, 67, {}},
        {QStringLiteral("Label11"), ControlKind::HeadingLabel, f3, QStringLiteral("平均値"), 2160, 1080, 855, 375, 68, {}},
        {QStringLiteral("Label14"), ControlKind::ValueLabel, f3, dash, 2160, 1440, 1695, 375, 70, QStringLiteral("平均値")},
        {QStringLiteral("Label13"), ControlKind::HeadingLabel, f3, err, 2160, 1920, 1335, 375, 69, {}},
        {QStringLiteral("Label15"), ControlKind::ValueLabel, f3, dash, 2160, 2280, 1695, 375, 71, QStringLiteral("平均の測光ｴﾗｰ")},
    };
    // clang-format on

    // The averaging slots Text32..Text36 and their clear buttons Command19..Command23.
    for (int s = 0; s < 5; ++s) {
        const int top = 360 + 480 * s;
        specs.push_back({controlName("Text", 32 + s), ControlKind::TextBox, f3, {}, 240, top, 975,
            405, 62 + s, QStringLiteral("平均の算出 %1").arg(s + 1)});
        specs.push_back({controlName("Command", 19 + s), ControlKind::Button, f3, c, 1320, top, 255,
            s == 0 ? 390 : 375, 72 + s, QStringLiteral("平均の算出 %1 をクリア").arg(s + 1)});
    }

    // The comparison-star table: row k is Text(2k-1), Text(2k) and Command(k+1).
    for (int k = 1; k <= TableRows; ++k) {
        const int top = 720 + 360 * (k - 1);
        specs.push_back({controlName("Text", 2 * k - 1), ControlKind::TextBox, f1, {}, 240, top,
            1095, 405, 2 * k - 2, QStringLiteral("比較星 %1 %2").arg(k).arg(mv)});
        specs.push_back({controlName("Text", 2 * k), ControlKind::TextBox, f1, {}, 1440, top, 1095,
            405, 2 * k - 1, QStringLiteral("比較星 %1 %2").arg(k).arg(cat)});
        specs.push_back({controlName("Command", k + 1), ControlKind::Button, f1, c, 2640, top, 255,
            k <= 2 ? 390 : 375, 33 + k, QStringLiteral("比較星 %1 をクリア").arg(k)});
    }
    return specs;
}

} // namespace

const std::vector<forms::ControlSpec> &form1Controls()
{
    static const std::vector<forms::ControlSpec> specs = makeForm1Controls();
    return specs;
}

namespace {

// Each button's handler.
using Handler = void (Form1::*)();
// clang-format off
constexpr Handler ClickHandlers[28] = {
    nullptr,                &Form1::command1_click,  &Form1::Command2_Click,
    &Form1::Command3_Click,  &Form1::Command4_Click,  &Form1::Command5_Click,
    &Form1::Command6_Click,  &Form1::Command7_Click,  &Form1::Command8_Click,
    &Form1::Command9_Click,  &Form1::Command10_Click, &Form1::Command11_Click,
    &Form1::Command12_Click, &Form1::Command13_Click, &Form1::Command14_Click,
    &Form1::Command15_Click, &Form1::Command16_Click, &Form1::Command17_Click,
    &Form1::Command18_Click, &Form1::Command19_Click, &Form1::Command20_Click,
    &Form1::Command21_Click, &Form1::Command22_Click, &Form1::Command23_Click,
    &Form1::Command24_Click, &Form1::Command25_Click, &Form1::Command26_Click,
    &Form1::Command27_Click,
};
// clang-format on

const QString AverageOutOfRangeMessage
    = QStringLiteral("平均を計算できません\r「平均の算出」エリアの値が大きすぎます");

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    initQuillet3Resources();
    setWindowTitle(QStringLiteral("Quillet3 ver1.00"));
    setWindowIcon(QIcon(QStringLiteral(":/quillet3/quillet3.png")));
    // setGeometry places the client area (move() would place the frame): the
    // design position is that of the client area.
    const QRect client = forms::twipsRect(1080, 1710, 13725, 6960);
    setFixedSize(client.size());
    setGeometry(client);
    forms::useScreenColormap(this);
    // The design's grey, and a dark text of its own for everything that stands
    // on it, whatever the desktop's palette (a dark one would give light text).
    QPalette grey = palette();
    grey.setColor(QPalette::Window, forms::LightGrey);
    grey.setColor(QPalette::WindowText, forms::TextOnGrey);
    setPalette(grey);
    setAutoFillBackground(true);

    const auto controls = forms::buildControls(this, form1Controls());
    for (int n = 1; n <= 36; ++n)
        m_text[n] = qobject_cast<QLineEdit *>(controls.value(controlName("Text", n)));
    m_text37 = qobject_cast<QPlainTextEdit *>(controls.value(QStringLiteral("Text37")));
    for (int n = 1; n <= 15; ++n)
        m_label[n] = qobject_cast<QLabel *>(controls.value(controlName("Label", n)));
    for (int n = 1; n <= 27; ++n) {
        m_command[n] = qobject_cast<QPushButton *>(controls.value(controlName("Command", n)));
        connect(m_command[n], &QPushButton::clicked, this, ClickHandlers[n]);
    }
    m_text[31]->installEventFilter(this);
    // The windows beyond the main window follow its boxes.
    for (int n = 1; n <= 31; ++n) {
        connect(m_text[n], &QLineEdit::textChanged, this, [this] {
            if (m_diagnosis)
                m_diagnosis->inputsChanged();
        });
    }
    m_text[1]->setFocus();

    // Beyond the design: the context menu's entries, each also a shortcut that
    // no text box or button uses, working from anywhere in the window.
    const auto action = [this](QAction *&made, const QString &caption, Qt::Key key) {
        made = new QAction(caption, this);
        made->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | key));
        made->setShortcutContext(Qt::WindowShortcut);
        addAction(made);
    };
    const auto beside = [this, &action](QAction *&made, const QString &caption, Qt::Key key,
                            void (BesideWindows::*open)()) {
        action(made, caption, key);
        connect(made, &QAction::triggered, this, [this, open] {
            if (BesideWindows *windows = diagnosisWindows())
                (windows->*open)();
        });
    };
    beside(m_diagnosisAction, QStringLiteral("比較星の診断…"), Qt::Key_D,
        &BesideWindows::showDiagnosis);
    beside(
        m_reportLinesAction, QStringLiteral("報告行…"), Qt::Key_R, &BesideWindows::showReportLines);
    beside(
        m_lightCurveAction, QStringLiteral("光度曲線…"), Qt::Key_L, &BesideWindows::showLightCurve);
    beside(
        m_chartAction, QStringLiteral("チャートの比較星…"), Qt::Key_C, &BesideWindows::showChart);
    beside(m_seriesAction, QStringLiteral("時系列…"), Qt::Key_T, &BesideWindows::showSeries);
    // One image: its measured values pasted and imported, then its time.
    // The paste and the star fields are the main window's own, no plugin needed.
    action(m_pasteAction, QStringLiteral("貼り付けて比較星測光値"), Qt::Key_V);
    connect(m_pasteAction, &QAction::triggered, this, &Form1::pasteAndImport);
    beside(m_nextImageAction, QStringLiteral("次の画像の時刻"), Qt::Key_O,
        &BesideWindows::openNextImage);
    action(m_fieldsAction, QStringLiteral("星野を切り替え…"), Qt::Key_F);
    connect(m_fieldsAction, &QAction::triggered, this, &Form1::chooseField);
    // Where nothing else has a tip: how to reach what goes beyond the design.
    QStringList keys;
    for (QAction *entry : actions())
        keys << QStringLiteral("%1（%2）")
                    .arg(entry->text(), entry->shortcut().toString(QKeySequence::NativeText));
    m_backgroundTip = QStringLiteral("右クリックのメニュー: ") + keys.join(QStringLiteral("、"));
    // An image dropped anywhere on the window, text boxes included, gives its
    // time to the report lines.
    setAcceptDrops(true);
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->installEventFilter(this);
    m_text37->installEventFilter(this);
    // A multi-line box takes drops on its viewport: the image is the window's
    // there too, never pasted in as its name.
    m_text37->viewport()->installEventFilter(this);
}

void Form1::setDiagnosisWindows(BesideWindows *windows)
{
    m_diagnosis.reset(windows);
}

MainWindowInputs Form1::diagnosisInputs() const
{
    return {tableTexts(), m_text[31]->text(), m_folder.path, m_field, m_lastImport};
}

void Form1::pasteAndImport()
{
    activateWindow();
    raise();
    m_text37->setPlainText(QGuiApplication::clipboard()->text());
    Command27_Click();
    m_text[31]->setFocus();
    m_text[31]->selectAll();
}

// A tip over the window's own background (and its frames and captions):
// the menu and its keys, which the design's window does not show.
bool Form1::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        QWidget *under = childAt(help->pos());
        if (!under || qobject_cast<QGroupBox *>(under) || qobject_cast<QLabel *>(under))
            QToolTip::showText(help->globalPos(), m_backgroundTip, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

// The star fields of the data folder; the chosen one opens.
void Form1::chooseField()
{
    FieldDialog dialog(StarFields::dataFolder(), m_folder.path, m_messageBoxes, this);
    forms::useScreenColormap(&dialog);
    if (dialog.exec() == QDialog::Accepted)
        switchField(dialog.chosenFolder());
}

// Another star field: the table saved or kept as the user says, then the
// window as a fresh start in that folder leaves it.
bool Form1::switchField(const QString &folder)
{
    if (QDir::cleanPath(folder) == m_folder.path)
        return true;
    if (tableTexts() != m_tableAtLoad) {
        const int answer = m_messageBoxes->choose(this,
            QStringLiteral("比較星データを保存してから切り替えますか"),
            {QStringLiteral("保存して切り替え"), QStringLiteral("保存せずに切り替え"),
                QStringLiteral("キャンセル")});
        if (answer == 2 || (answer == 0 && !saveTable()))
            return false; // a save that failed stays, the table as it is
    }
    if (const auto failure = StarFields::enter(folder)) {
        message(QStringLiteral("星野を切り替えられませんでした\r")
            + messages::fileProblem(*failure, folder));
        return false;
    }
    if (m_form2)
        m_form2->close();
    for (const forms::ControlSpec &entry : form1Controls()) {
        if (entry.kind == forms::ControlKind::ValueLabel
            || entry.kind == forms::ControlKind::BoxedLabel)
            findChild<QLabel *>(entry.name)->setText(entry.caption);
    }
    for (int n = 32; n <= 36; ++n)
        m_text[n]->clear();
    m_lastImport = {};
    Form_Load();
    if (m_diagnosis)
        m_diagnosis->fieldChanged();
    return true;
}

// The title names the star field; a folder of the user's own, or the data
// folder itself, keeps the design's own title.
void Form1::showField()
{
    // The data folder as named, or as the system resolves it: a field is its
    // folder, also one reached through a link.
    const QString dataFolder = QFileInfo(StarFields::dataFolder()).canonicalFilePath();
    auto field = StarField::fieldOf(m_folder.path, StarFields::dataFolder());
    if (!field)
        field = StarField::fieldOf(m_folder.path, dataFolder);
    m_field = field.value_or(QString());
    setWindowTitle(field ? QStringLiteral("Quillet3 ver1.00 - ") + *field
                         : QStringLiteral("Quillet3 ver1.00"));
    // The launcher starts where the user worked last in the data folder.
    if (field || m_folder.path == dataFolder || m_folder.path == StarFields::dataFolder()) {
        QSettings settings;
        if (settings.value(settings::key(settings::LastField)).toString() != m_field) {
            settings.setValue(settings::key(settings::LastField), m_field);
            settings::store(settings);
        }
    }
}

BesideWindows *Form1::diagnosisWindows()
{
    if (!m_diagnosis) {
        QString error;
        m_diagnosis.reset(loadBesideWindows(
            m_pluginPath.isEmpty() ? besideWindowsPluginPath() : m_pluginPath, this,
            [this] { return diagnosisInputs(); },
            [this](const QStringList &texts) { setTableTexts(texts); }, error));
        if (!m_diagnosis)
            message(QStringLiteral("診断の窓を開けませんでした\r") + error);
    }
    return m_diagnosis.get();
}

// Right-click, the Menu key or Shift+F10 anywhere but in a text box, which keeps
// its own edit menu.
void Form1::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addActions(actions());
    const QPoint at = event->reason() == QContextMenuEvent::Mouse
        ? event->globalPos()
        : (focusWidget() ? focusWidget() : this)->mapToGlobal(QPoint(4, 4));
    menu.exec(at);
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QWidget *target = focusWidget() ? focusWidget() : this;
        QContextMenuEvent menu(
            QContextMenuEvent::Keyboard, QPoint(4, 4), target->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(target, &menu);
        return;
    }
    QWidget::keyPressEvent(event);
}

Form1::~Form1()
{
    delete m_form2;
}

void Form1::setMessageBoxes(forms::MessageBoxes *boxes)
{
    m_messageBoxes = boxes ? boxes : &m_realMessageBoxes;
}

QLineEdit *Form1::text(int n) const
{
    return n >= 1 && n <= 36 ? m_text[n] : nullptr;
}

QLabel *Form1::label(int n) const
{
    return n >= 1 && n <= 15 ? m_label[n] : nullptr;
}

QPushButton *Form1::command(int n) const
{
    return n >= 1 && n <= 27 ? m_command[n] : nullptr;
}

void Form1::setTableTexts(const QStringList &texts)
{
    for (int n = 1; n <= 2 * TableRows; ++n)
        m_text[n]->setText(texts.value(n - 1));
}

QStringList Form1::tableTexts() const
{
    QStringList texts;
    texts.reserve(2 * TableRows);
    for (int n = 1; n <= 2 * TableRows; ++n)
        texts.append(m_text[n]->text());
    return texts;
}

bool Form1::message(const QString &text, forms::MessageBoxes::Buttons buttons)
{
    return m_messageBoxes->show(this, text, buttons);
}

// Start-up: an empty table and Text31, then the rows saved last time.
void Form1::Form_Load()
{
    command1_click();
    m_text[31]->clear();
    m_folder = FileLayer::workingFolder(qEnvironmentVariable("PWD"));
    const auto loaded = ComparisonDataFile::loaded(
        FileLayer::readFile(dataFilePath(), ComparisonDataFile::ReadLimit));
    m_fileAtStart = loaded.snapshot;
    for (int n = 1; n <= 2 * TableRows; ++n)
        m_text[n]->setText(loaded.tableTexts.value(n - 1));
    m_tableAtLoad = tableTexts();
    showField();
    if (m_folder.removed)
        message(messages::folderRemovedAtStart(m_folder.path));
    if (loaded.failure) {
        QString text = messages::loadFailed(*loaded.failure);
        // A regular file that could not be read in full is kept, never overwritten.
        if (loaded.snapshot.regular)
            text += QStringLiteral("\r保存するときは、このファイルを別の名前で残します");
        message(text);
    }
    m_text[1]->setFocus();
}

QString Form1::dataFilePath() const
{
    return FileLayer::pathInWorkingFolder(
        QString::fromLatin1(ComparisonDataFile::FileName), m_folder);
}

// Shut-down: offers to save. A save that fails keeps the window open (Cancel set)
// so the table is not lost, unless the user saves it to another file instead;
// the user may also fix the cause and close again.
void Form1::Form_Unload(int &Cancel)
{
    if (message(
            QStringLiteral("比較星データを保存しますか"), forms::MessageBoxes::Buttons::OkCancel)
        && !saveTable()) {
        Cancel = 1;
        return;
    }
    if (m_form2)
        m_form2->close();
    if (m_diagnosis)
        m_diagnosis->closeAll();
}

bool Form1::saveTable()
{
    const QString path = dataFilePath();
    // Another program (a second copy, say) wrote the file since start-up, or
    // the name now leads to another file: replacing it could lose its rows.
    const auto change = ComparisonDataFile::changedSince(
        path, m_fileAtStart, FileLayer::readFile(path, ComparisonDataFile::ReadLimit));
    if (change.changed
        && !message(messages::changedSinceStart(path, change.writesTo),
            forms::MessageBoxes::Buttons::OkCancel))
        return false;
    const FileState::ReplacePolicy policy = ComparisonDataFile::replacePolicy(m_fileAtStart);
    const auto saved
        = FileLayer::replaceFile(path, ComparisonDataFile::serialize(tableTexts()), policy);
    if (!saved.keptAs.isEmpty())
        m_fileAtStart.keptAs = saved.keptAs; // kept once, whatever follows
    if (saved.failure)
        return saveElsewhere(messages::saveFailed(*saved.failure, m_fileAtStart.keptAs));
    const QString keptAs = m_fileAtStart.keptAs;
    m_fileAtStart = saved.snapshot;
    m_tableAtLoad = tableTexts();
    if (!keptAs.isEmpty())
        message(messages::keptAside(path, keptAs, policy.defaultMode));
    if (saved.syncFailure)
        message(messages::savedButNotSynced(*saved.syncFailure));
    return true;
}

// After a failed save: offers to save the table to a file the user chooses.
// True when it was saved there.
bool Form1::saveElsewhere(const QString &failure)
{
    QString why = failure;
    while (message(why + QStringLiteral("\r別のファイルに保存しますか"),
        forms::MessageBoxes::Buttons::OkCancel)) {
        const QString chosen
            = m_messageBoxes->saveFileName(this, QStringLiteral("比較星データの保存先"),
                m_folder.path.isEmpty() ? QString::fromLatin1(ComparisonDataFile::FileName)
                                        : StarFields::tablePath(m_folder.path),
                QStringLiteral("テキストファイル (*.txt);;すべてのファイル (*)"));
        if (chosen.isEmpty())
            return false;
        const auto saved
            = FileLayer::replaceFile(chosen, ComparisonDataFile::serialize(tableTexts()));
        if (!saved.failure) {
            message(QStringLiteral("比較星データを %1 に保存しました").arg(chosen));
            if (saved.syncFailure)
                message(messages::savedButNotSynced(*saved.syncFailure));
            return true;
        }
        why = messages::saveFailed(*saved.failure, QString(), chosen);
    }
    return false;
}

void Form1::requestClose()
{
    if (QApplication::activeModalWidget())
        return;
    close();
}

void Form1::commitData(QSessionManager &manager)
{
    if (!manager.allowsInteraction())
        return; // nobody to ask
    int cancel = 0;
    Form_Unload(cancel);
    manager.release();
    // Only a failed save stops the logout: the table would be lost otherwise.
    if (cancel)
        manager.cancel();
}

void Form1::closeEvent(QCloseEvent *event)
{
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void Form1::clearRow(int row)
{
    m_text[2 * row - 1]->clear();
    m_text[2 * row]->clear();
}

void Form1::command1_click()
{
    for (int n = 1; n <= 2 * TableRows; ++n)
        m_text[n]->clear();
}

void Form1::Command2_Click()
{
    clearRow(1);
}
void Form1::Command3_Click()
{
    clearRow(2);
}
void Form1::Command4_Click()
{
    clearRow(3);
}
void Form1::Command5_Click()
{
    clearRow(4);
}
void Form1::Command6_Click()
{
    clearRow(5);
}
void Form1::Command7_Click()
{
    clearRow(6);
}
void Form1::Command8_Click()
{
    clearRow(7);
}
void Form1::Command9_Click()
{
    clearRow(8);
}
void Form1::Command10_Click()
{
    clearRow(9);
}
void Form1::Command11_Click()
{
    clearRow(10);
}
void Form1::Command12_Click()
{
    clearRow(11);
}
void Form1::Command13_Click()
{
    clearRow(12);
}
void Form1::Command14_Click()
{
    clearRow(13);
}
void Form1::Command15_Click()
{
    clearRow(14);
}
void Form1::Command16_Click()
{
    clearRow(15);
}

void Form1::Command25_Click()
{
    for (int n = 1; n <= 2 * TableRows; n += 2)
        m_text[n]->clear();
}

void Form1::Command26_Click()
{
    for (int n = 2; n <= 2 * TableRows; n += 2)
        m_text[n]->clear();
}

// Measure: fit the line through the comparison stars and convert Text31 with it.
void Form1::Command17_Click()
{
    const Measurement result = MeasureVariable(tableTexts(), m_text[31]->text());
    if (result.problem) {
        message(messages::measureProblem(*result.problem));
        return;
    }
    m_label[10]->setText(QStringLiteral("傾き =") + result.slope);
    m_label[12]->setText(QStringLiteral("定数 =") + result.constant);
    m_label[6]->setText(result.magnitude);
    m_label[8]->setText(result.error);
    if (m_diagnosis)
        m_diagnosis->measured();

    for (int n = 32; n <= 36; ++n) {
        if (IsEmptyText(m_text[n]->text())) {
            m_text[n]->setText(result.magnitude);
            return;
        }
    }
    message(QStringLiteral(
        "「平均の算出」エリアが一杯です\rどこかをクリアして、測光ボタンを押して下さい"));
}

// Enter runs the Measure command; the key then reaches the box as usual.
void Form1::Text31_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13)
        Command17_Click();
}

void Form1::dragEnterEvent(QDragEnterEvent *event)
{
    if (!forms::draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent *event)
{
    const QString file = forms::draggedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    openFile(file);
}

// An image gives the report lines its time; a measuring program's table is
// the night at once.
void Form1::openFile(const QString &path)
{
    if (BesideWindows *windows = diagnosisWindows())
        forms::isImageName(path) ? windows->openImage(path) : windows->openSeries(path);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // A text box would take an image's name as text: the window takes the image.
    if (forms::takeFileDrag(event, [this](const QString &path) { openFile(path); }))
        return true;
    if (watched == m_text[31] && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        int keyAscii = 0;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            keyAscii = 13;
        else if (!key->text().isEmpty())
            keyAscii = key->text().at(0).unicode();
        if (keyAscii != 0)
            Text31_KeyPress(keyAscii);
    }
    return QWidget::eventFilter(watched, event);
}

// Averaging. With no slot occupied the labels keep what they show; a mean or
// error too large for a number clears them, so no earlier result stays on view
// as if it were this one.
void Form1::Command18_Click()
{
    QStringList slotTexts;
    for (int n = 32; n <= 36; ++n)
        slotTexts.append(m_text[n]->text());
    const AverageTexts result = AverageSlotTexts(slotTexts);
    if (result.problem == AverageProblem::NoOccupiedSlot)
        return;
    if (result.problem == AverageProblem::OutOfRange) {
        m_label[14]->setText(NoResult);
        m_label[15]->setText(NoResult);
        message(AverageOutOfRangeMessage);
        return;
    }
    m_label[14]->setText(result.mean);
    m_label[15]->setText(result.error);
}

void Form1::clearSlot(int slot)
{
    m_text[31 + slot]->clear();
}

void Form1::Command19_Click()
{
    clearSlot(1);
}
void Form1::Command20_Click()
{
    clearSlot(2);
}
void Form1::Command21_Click()
{
    clearSlot(3);
}
void Form1::Command22_Click()
{
    clearSlot(4);
}
void Form1::Command23_Click()
{
    clearSlot(5);
}

// The one graph window: loaded and drawn from the table when it is not open,
// only raised when it is.
void Form1::Command24_Click()
{
    if (!m_form2)
        m_form2 = new Form2();
    if (!m_form2->isVisible()) {
        m_form2->Form_Load(tableTexts());
        m_form2->show();
    }
    m_form2->raise();
    m_form2->activateWindow();
}

// Import: the values after "Magnitude" in Text37 go into the measured-value column.
void Form1::Command27_Click()
{
    const QStringList values = MagnitudeTextParser(forms::multiLineText(m_text37));
    for (int k = 1; k <= TableRows && k <= values.size(); ++k)
        m_text[2 * k - 1]->setText(values.at(k - 1));
    // What the windows beside say of it: the count, and the rows the import
    // did not reach that still hold a value.
    m_lastImport = {true, int(values.size()), {}};
    for (int k = int(values.size()) + 1; k <= TableRows; ++k) {
        if (!m_text[2 * k - 1]->text().isEmpty())
            m_lastImport.keptRows.push_back(k);
    }
    if (m_diagnosis)
        m_diagnosis->inputsChanged();
}

} // namespace quillet
