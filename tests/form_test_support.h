// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers shared by the window tests: a message-box double and access to the
// main window's boxes by number.
#include "test_support.h"
#include "ui/form1.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <cmath>

namespace quillet::test {

// Records every message and answers from a script (OK when the script runs out).
class ScriptedMessageBoxes final : public forms::MessageBoxes
{
public:
    bool show(QWidget *, const QString &text, Buttons buttons) override
    {
        texts.append(text);
        buttonsShown.append(buttons);
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &title, const QString &suggested, const QString &,
        bool = false) override
    {
        fileDialogs.append(title + u'|' + suggested);
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
    QString openFileName(
        QWidget *, const QString &title, const QString &folder, const QString &) override
    {
        fileDialogs.append(title + u'|' + folder);
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
    int choose(QWidget *, const QString &text, const QStringList &buttons) override
    {
        texts.append(text + u'|' + buttons.join(u'|'));
        return choices.isEmpty() ? 0 : choices.takeFirst();
    }
    QString folderName(QWidget *, const QString &title, const QString &folder) override
    {
        fileDialogs.append(title + u'|' + folder);
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }

    QStringList texts;
    QList<Buttons> buttonsShown;
    QList<bool> answers;
    QStringList fileNames; // what the file dialog gives; empty: cancelled
    QStringList fileDialogs; // each file dialog's "title|suggested"
    QList<int> choices; // the buttons chosen in turn (the first when the script runs out)
};

// A main window whose message boxes the test answers.
struct ScriptedWindow
{
    ScriptedWindow() { form.setMessageBoxes(&boxes); }
    Form1 form;
    ScriptedMessageBoxes boxes;
};

// Texts of every box and label, to check that a command touched nothing else.
inline QStringList allTexts(const Form1 &form)
{
    QStringList texts;
    for (int n = 1; n <= 36; ++n)
        texts.append(form.text(n)->text());
    texts.append(form.text37()->toPlainText());
    for (int n = 1; n <= 15; ++n)
        texts.append(form.label(n)->text());
    return texts;
}

// WCAG's contrast ratio of two colours (1 to 21; 4.5 is AA for text).
inline double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF())
            + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

inline void setTable(Form1 &form, const QStringList &texts)
{
    for (int n = 1; n <= 30; ++n)
        form.text(n)->setText(texts.value(n - 1));
}

} // namespace quillet::test
