// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Quillet3: the core (core/) holds every computation as pure functions over texts,
// the windows (ui/) read their controls, call the core and write the results
// back, and this entry point only opens the main window.
#include "ui/form1.h"
#include "ui/shutdown_signals.h"

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler g_defaultHandler = nullptr;
// What the platform said before a fatal message: it names the real cause.
bool g_displayFailed = false;
QString g_platformWarning;

[[noreturn]] void startupFailed(const QString &fatalText)
{
    const QByteArray display
        = qgetenv("DISPLAY").isEmpty() ? qgetenv("WAYLAND_DISPLAY") : qgetenv("DISPLAY");
    if (g_displayFailed) {
        std::fprintf(stderr,
            "quillet3: cannot open the display \"%s\"; start Quillet3 from a "
            "running desktop session\n",
            display.constData());
    } else if (g_platformWarning.contains(QLatin1String("platform plugin"))) {
        std::fprintf(stderr, "quillet3: cannot start: %s (QT_QPA_PLATFORM=\"%s\")\n",
            qPrintable(g_platformWarning), qgetenv("QT_QPA_PLATFORM").constData());
    } else {
        std::fprintf(
            stderr, "quillet3: cannot start: %s\n", qPrintable(fatalText.section(u'\n', 0, 0)));
    }
    std::_Exit(1);
}

// Qt ends the process with abort() and a core dump when the platform cannot
// start; a user deserves one clear line naming the cause and an ordinary exit
// status instead. Later, a lost X connection ends the program: say what that
// means for the table.
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg)
        startupFailed(text);
    if (text.startsWith(QLatin1String("The X11 connection broke"))) {
        std::fprintf(stderr,
            "quillet3: the connection to the display was lost; changes to the "
            "comparison-star table since the last save are gone\n");
        return;
    }
    if (text.contains(QLatin1String("could not connect to display")))
        g_displayFailed = true;
    else if (g_platformWarning.isEmpty() && text.contains(QLatin1String("platform plugin")))
        g_platformWarning = text;
    if (g_defaultHandler)
        g_defaultHandler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

bool hasDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true; // offscreen, vnc, ...: no desktop session needed
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

} // namespace

int main(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fprintf(stderr,
            "quillet3: no display: neither DISPLAY nor WAYLAND_DISPLAY is set; "
            "start Quillet3 from a desktop session\n");
        return 1;
    }
    // Under a file size limit a save must fail with an error the window reports,
    // not end the program with the table in it.
    std::signal(SIGXFSZ, SIG_IGN);
    g_defaultHandler = qInstallMessageHandler(messageHandler);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet3"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillet3/quillet3.png")));

    quillet::Form1 form;
    quillet::ShutdownSignals shutdownSignals;
    QObject::connect(&shutdownSignals, &quillet::ShutdownSignals::requested, &form,
        &quillet::Form1::requestClose);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, &quillet::Form1::commitData);
    form.Form_Load();
    form.show();
    return app.exec();
}
