// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/startup.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>

namespace quillet::startup {

namespace {

QString platformName()
{
    return QString::fromLocal8Bit(qgetenv("QT_QPA_PLATFORM"));
}

} // namespace

std::optional<QString> displayProblem(const char *program)
{
    const QString platform = platformName();
    const bool xcb = platform.startsWith(QLatin1String("xcb"));
    if (!platform.isEmpty() && !xcb && !platform.startsWith(QLatin1String("wayland")))
        return std::nullopt; // offscreen, vnc, ...: no desktop session needed
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (display.isEmpty() && wayland.isEmpty()) {
        return QStringLiteral("%1: no display: neither DISPLAY nor WAYLAND_DISPLAY is set; "
                              "start it from a desktop session")
            .arg(QLatin1String(program));
    }
    // Qt picks X11 when asked to, or when there is no Wayland display: that one
    // can be tried here. A Wayland session is left to Qt.
    if (!xcb && !(platform.isEmpty() && wayland.isEmpty()))
        return std::nullopt;
    xcb_connection_t *connection = xcb_connect(display.constData(), nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    if (!failed)
        return std::nullopt;
    return QStringLiteral("%1: cannot open the display \"%2\"; start it from a running desktop "
                          "session")
        .arg(QLatin1String(program), QString::fromLocal8Bit(display));
}

QString platformFailure(
    const char *program, const QString &fatalText, const QStringList &earlierWarnings)
{
    QString cause = fatalText.section(u'\n', 0, 0).trimmed();
    for (const QString &warning : earlierWarnings) {
        if (warning.contains(QLatin1String("platform plugin"))) {
            cause = warning.section(u'\n', 0, 0).trimmed();
            break;
        }
    }
    if (cause.isEmpty())
        cause = QStringLiteral("the platform could not be initialised");
    QString line = QStringLiteral("%1: cannot start: %2").arg(QLatin1String(program), cause);
    if (!platformName().isEmpty())
        line += QStringLiteral(" (QT_QPA_PLATFORM=\"%1\")").arg(platformName());
    return line;
}

void preferJapaneseFaces()
{
    // fontconfig's own setting for the language it matches faces for, taken from
    // the same variables fontconfig reads; a Japanese locale already says it.
    // The platform's default face and size stay as they are.
    QByteArray locale = qgetenv("LC_ALL");
    if (locale.isEmpty())
        locale = qgetenv("LC_CTYPE");
    if (locale.isEmpty())
        locale = qgetenv("LANG");
    if (!locale.startsWith("ja") && !qgetenv("FC_LANG").startsWith("ja"))
        qputenv("FC_LANG", "ja");
}

void speakJapanese()
{
    static QTranslator qt;
    if (qt.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);
}

bool isDisplayLost(const QString &text)
{
    return text.startsWith(QLatin1String("The X11 connection broke"));
}

bool isSetUpNote(const QString &text)
{
    return text.startsWith(QLatin1String("QStandardPaths:"))
        || text.startsWith(QLatin1String("This plugin does not support"));
}

namespace {

const char *g_program = "";
QtMessageHandler g_forward = nullptr;
QStringList g_warnings; // Qt's warnings before a fatal one: they name its cause
bool g_starting = false;

void startingHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        // Qt would abort with a core dump while nothing of the program has run.
        std::fprintf(stderr, "%s\n", qPrintable(platformFailure(g_program, text, g_warnings)));
        std::_Exit(1);
    }
    if (type == QtWarningMsg && g_warnings.size() < 20)
        g_warnings.append(text);
    if (g_forward)
        g_forward(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

StartingHandler::StartingHandler(const char *program, QtMessageHandler forward)
{
    g_program = program;
    g_forward = forward;
    g_starting = true;
    const QtMessageHandler previous = qInstallMessageHandler(startingHandler);
    if (!g_forward)
        g_forward = previous;
}

StartingHandler::~StartingHandler()
{
    finish();
}

void StartingHandler::finish()
{
    if (!g_starting)
        return;
    g_starting = false;
    g_warnings.clear();
    qInstallMessageHandler(g_forward);
}

} // namespace quillet::startup
