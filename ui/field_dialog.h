// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/forms.h"

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace quillet {

// "星野": the star fields of the data folder, each with its number of
// comparison stars and when its table was saved, the current one marked; a
// new field by name, or any folder. Says which folder was chosen; the main
// window switches.
class FieldDialog : public QDialog
{
    Q_OBJECT

public:
    FieldDialog(const QString &dataFolder, const QString &currentFolder, forms::MessageBoxes *boxes,
        QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    QLineEdit *newName() const { return m_newName; }
    QString chosenFolder() const { return m_chosen; }
    // 切り替え: the new field typed, or the one selected.
    void switchTo();

private:
    void chooseFolder();

    QString m_dataFolder;
    QString m_current;
    forms::MessageBoxes *m_boxes;
    QListWidget *m_list = nullptr;
    QLineEdit *m_newName = nullptr;
    QString m_chosen;
};

} // namespace quillet
