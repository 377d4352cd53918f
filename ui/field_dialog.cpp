// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/field_dialog.h"

#include "platform/star_fields.h"
#include "report/messages.h"

#include <QDateTime>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

namespace {

QString nameProblemText(StarField::NameProblem problem, const QString &name)
{
    switch (problem) {
    case StarField::NameProblem::Empty:
        return QStringLiteral("星野の名前がありません");
    case StarField::NameProblem::Slash:
        return QStringLiteral("星野の名前に / は使えません: %1").arg(name);
    case StarField::NameProblem::LeadingDot:
        return QStringLiteral("星野の名前を . で始めることはできません: %1").arg(name);
    case StarField::NameProblem::NotAFolderName:
        break;
    }
    return QStringLiteral("星野の名前がフォルダの名前になりません（制御文字か、長すぎます）: %1")
        .arg(messages::visible(name));
}

} // namespace

FieldDialog::FieldDialog(const QString &dataFolder, const QString &currentFolder,
    forms::MessageBoxes *boxes, QWidget *parent)
    : QDialog(parent)
    , m_dataFolder(dataFolder)
    , m_current(QDir::cleanPath(currentFolder))
    , m_boxes(boxes)
{
    setWindowTitle(QStringLiteral("星野"));
    auto *layout = new QVBoxLayout(this);
    auto *caption = new QLabel(QStringLiteral("星野（比較星の表）"), this);
    m_list = new QListWidget(this);
    m_list->setAccessibleName(QStringLiteral("星野の一覧"));
    caption->setBuddy(m_list);
    layout->addWidget(caption);
    layout->addWidget(m_list, 1);
    for (const StarFields::Listed &field : StarFields::list(dataFolder)) {
        const bool current = QDir::cleanPath(field.path) == m_current;
        const QString saved = field.savedMs
            ? QDateTime::fromMSecsSinceEpoch(*field.savedMs).toString(u"yyyy-MM-dd HH:mm")
            : QStringLiteral("未保存");
        auto *item = new QListWidgetItem(
            QStringLiteral("%1%2　比較星 %3 個　保存 %4")
                .arg(current ? QStringLiteral("● ") : QString(),
                    field.name.isEmpty() ? QStringLiteral("（データフォルダ）") : field.name)
                .arg(field.stars)
                .arg(saved),
            m_list);
        item->setData(Qt::UserRole, field.path);
        if (current)
            m_list->setCurrentItem(item);
    }
    auto *form = new QFormLayout;
    m_newName = new QLineEdit(this);
    m_newName->setAccessibleName(QStringLiteral("新しい星野"));
    auto *newLabel = new QLabel(QStringLiteral("新しい星野"), this);
    newLabel->setBuddy(m_newName);
    form->addRow(newLabel, m_newName);
    layout->addLayout(form);
    auto *buttons = new QHBoxLayout;
    auto *folder = new QPushButton(QStringLiteral("フォルダを選ぶ…"), this);
    auto *go = new QPushButton(QStringLiteral("切り替え"), this);
    auto *cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    go->setDefault(true);
    folder->setAutoDefault(false);
    buttons->addWidget(folder);
    buttons->addStretch();
    buttons->addWidget(go);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    resize(520, 420);

    connect(go, &QPushButton::clicked, this, &FieldDialog::switchTo);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(folder, &QPushButton::clicked, this, &FieldDialog::chooseFolder);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &FieldDialog::switchTo);
}

void FieldDialog::switchTo()
{
    const QString name = m_newName->text().trimmed();
    if (!name.isEmpty()) {
        if (const auto problem = StarField::nameProblem(name)) {
            m_boxes->show(this, nameProblemText(*problem, name), forms::MessageBoxes::Buttons::Ok);
            return;
        }
        const StarFields::Made made = StarFields::make(m_dataFolder, name);
        if (made.exists) {
            m_boxes->show(this,
                made.isFolder
                    ? QStringLiteral("星野「%1」はもうあります\r一覧から選んで下さい").arg(name)
                    : QStringLiteral("データフォルダに「%1」という名前のファイルがあるので、"
                                     "その名前の星野は作れません\r別の名前にするか、そのファイルを"
                                     "移して下さい")
                          .arg(name),
                forms::MessageBoxes::Buttons::Ok);
            return;
        }
        if (made.failure) {
            m_boxes->show(this,
                QStringLiteral("星野「%1」を作れませんでした\r").arg(name)
                    + messages::fileProblem(*made.failure, made.path),
                forms::MessageBoxes::Buttons::Ok);
            return;
        }
        m_chosen = made.path;
        accept();
        return;
    }
    if (QListWidgetItem *item = m_list->currentItem()) {
        m_chosen = item->data(Qt::UserRole).toString();
        accept();
    }
}

void FieldDialog::chooseFolder()
{
    const QString folder
        = m_boxes->folderName(this, QStringLiteral("比較星の表を置くフォルダ"), m_current);
    if (folder.isEmpty())
        return;
    m_chosen = QDir::cleanPath(folder);
    accept();
}

} // namespace quillet
