// Quillet3: the core (core/) holds every computation as pure functions over texts,
// the windows (ui/) read their controls, call the core and write the results
// back, and this entry point only opens the main window.
#include "ui/form1.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// Without a display Qt ends the process with abort() and a core dump; a user
// deserves one clear line and an ordinary exit status instead.
void startupMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        Q_UNUSED(text); // Qt's own advice to reinstall would mislead here
        std::fprintf(stderr, "quillet3: cannot open the display \"%s\"; start Quillet3 from a "
                             "running desktop session\n",
                     qgetenv("DISPLAY").isEmpty() ? qgetenv("WAYLAND_DISPLAY").constData()
                                                  : qgetenv("DISPLAY").constData());
        std::_Exit(1);
    }
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
        std::fprintf(stderr, "quillet3: no display: neither DISPLAY nor WAYLAND_DISPLAY is set; "
                             "start Quillet3 from a desktop session\n");
        return 1;
    }
    g_defaultHandler = qInstallMessageHandler(startupMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_defaultHandler);
    QApplication::setApplicationName(QStringLiteral("Quillet3"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillet3/quillet3.png")));

    quillet::Form1 form;
    form.Form_Load();
    form.show();
    return app.exec();
}
