// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What a program says when Qt's platform cannot start, in one line and with exit
// status 1 instead of Qt's abort and core dump. What can be checked is checked
// before the application object exists; only what Qt alone knows (a platform
// plugin that cannot be loaded) is read from Qt's own messages, here and nowhere
// else, with a plain line that quotes Qt when its words are not recognised.
namespace quillet::startup {

// Why the platform the environment asks for has no display to show windows on:
// no DISPLAY nor WAYLAND_DISPLAY, or an X display that does not answer. Nothing
// for platforms that need no display (offscreen, vnc, ...).
std::optional<QString> displayProblem(const char *program);

// The line for Qt's fatal message during the platform's set-up, given the
// warnings Qt gave before it (they name the real cause).
QString platformFailure(
    const char *program, const QString &fatalText, const QStringList &earlierWarnings);

// Qt's warning that the X connection was lost (the program then ends).
bool isDisplayLost(const QString &text);

// Qt's notes about its own set-up that are no concern of a user (a missing
// XDG_RUNTIME_DIR, what the offscreen platform cannot do).
bool isSetUpNote(const QString &text);

// The user interface is Japanese whatever the user's locale: fontconfig picks
// faces by the language it is told, and the locale would make it draw kanji-only
// texts in Chinese forms. Call before the application object exists.
void preferJapaneseFaces();

// Qt's own words (buttons, file dialogs) in Japanese like the rest of the
// program, whatever the locale: Qt's translations from its translations folder
// (Debian's qt6-translations-l10n). Call once the application object exists.
void speakJapanese();

// While starting: Qt's fatal message during the platform's set-up becomes
// platformFailure's line and exit status 1 instead of Qt's abort; everything
// else goes to forward (or is printed). Once the program runs (finish(), or
// at the end of the guard's life) forward alone takes Qt's messages, so that a
// later fatal error aborts as Qt's own do, with its core dump.
class StartingHandler
{
public:
    explicit StartingHandler(const char *program, QtMessageHandler forward = nullptr);
    ~StartingHandler();
    StartingHandler(const StartingHandler &) = delete;
    StartingHandler &operator=(const StartingHandler &) = delete;
    void finish();
};

} // namespace quillet::startup
