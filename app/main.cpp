// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Quillet3: the core (core/) holds every computation as pure functions over texts,
// the windows (ui/) read their controls, call the core and write the results
// back, and this entry point only opens the main window.
#include "platform/shutdown_signals.h"
#include "platform/star_fields.h"
#include "platform/startup.h"
#include "quillet3_version.h"
#include "report/messages.h"
#include "ui/form1.h"
#include "ui/settings.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

namespace {

// A lost X connection ends the program from inside Qt: say what that means
// for the table.
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (quillet::startup::isDisplayLost(text)) {
        std::fprintf(stderr,
            "quillet3: the connection to the display was lost; changes to the "
            "comparison-star table since the last save are gone\n");
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

int main(int argc, char *argv[])
{
    if (const auto problem = quillet::startup::displayProblem("quillet3")) {
        std::fprintf(stderr, "%s\n", qPrintable(*problem));
        return 1;
    }
    // Under a file size limit a save must fail with an error the window reports,
    // not end the program with the table in it.
    std::signal(SIGXFSZ, SIG_IGN);
    quillet::startup::StartingHandler starting("quillet3", messageHandler);
    quillet::startup::preferJapaneseFaces();
    QApplication app(argc, argv);
    quillet::startup::speakJapanese();
    quillet::settings::useProgramFile();
    // The windows name the program that writes their report lines.
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLET3_VERSION));
    // Started from the desktop (the launcher says so): in the data folder, or
    // the star field used last. A start from a terminal stays where it is.
    if (qEnvironmentVariable("QUILLET3_START") == QLatin1String("desktop")) {
        qunsetenv("QUILLET3_START");
        const QString last
            = QSettings().value(quillet::settings::key(quillet::settings::LastField)).toString();
        if (const auto failure = quillet::StarFields::enterForDesktop(last)) {
            std::fprintf(stderr, "quillet3: %s\n",
                qPrintable(
                    quillet::messages::fileProblem(*failure, quillet::StarFields::dataFolder())));
        }
    }
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillet3/quillet3.png")));

    quillet::Form1 form;
    quillet::ShutdownSignals shutdownSignals;
    QObject::connect(&shutdownSignals, &quillet::ShutdownSignals::requested, &form,
        &quillet::Form1::requestClose);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, &quillet::Form1::commitData);
    form.Form_Load();
    form.show();
    starting.finish();
    return app.exec();
}
