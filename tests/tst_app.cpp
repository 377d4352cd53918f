// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program itself, started as a user starts it.
#include "platform/startup.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

class TestApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutDisplay_data();
    void withoutDisplay();
    void platformFailureWording_data();
    void platformFailureWording();
};

void TestApp::withoutDisplay_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("cause"); // what the one line names
    const QString display = QStringLiteral("display");
    QTest::newRow("no DISPLAY") << QString() << QString() << display;
    QTest::newRow("no DISPLAY, xcb asked for") << QString() << QStringLiteral("xcb") << display;
    QTest::newRow("DISPLAY without a server") << QStringLiteral(":87654") << QString() << display;
    // A platform that does not exist is the cause, not the display.
    QTest::newRow("unknown platform")
        << QString() << QStringLiteral("bogus") << QStringLiteral("\"bogus\"");
}

// When the platform cannot start the program says why in one line and exits
// with status 1: no abort, no core dump.
void TestApp::withoutDisplay()
{
    QFETCH(QString, display);
    QFETCH(QString, platform);
    QFETCH(QString, cause);
    const QString binary = qEnvironmentVariable("QUILLET3_BINARY");
    QVERIFY2(!binary.isEmpty(), "QUILLET3_BINARY names the program under test");

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    if (!platform.isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);

    QTemporaryDir dir;
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir.path());
    process.start(binary, {});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QStringList lines = QString::fromLocal8Bit(process.readAllStandardError())
                                  .split(u'\n', Qt::SkipEmptyParts)
                                  .filter(QStringLiteral("quillet3:"));
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().contains(cause));
    QCOMPARE(lines.first().contains(QStringLiteral("display")), cause == QStringLiteral("display"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("compdata.txt"))));
}

void TestApp::platformFailureWording_data()
{
    QTest::addColumn<QString>("fatal");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QString>("line");
    const QString fatal
        = QStringLiteral("This application failed to start because no Qt platform "
                         "plugin could be initialized.\nAvailable platform plugins");
    QTest::newRow("Qt's words name the plugin")
        << fatal
        << QStringList {QStringLiteral("Could not find the Qt platform plugin \"x\" in \"\"")}
        << QStringLiteral(
               "quillet3: cannot start: Could not find the Qt platform plugin \"x\" in \"\"");
    QTest::newRow("changed words: Qt's first line")
        << QStringLiteral("Plattform fehlt\nzweite Zeile")
        << QStringList {QStringLiteral("Plugin x nicht gefunden")}
        << QStringLiteral("quillet3: cannot start: Plattform fehlt");
    QTest::newRow("no words at all") << QString() << QStringList()
                                     << QStringLiteral("quillet3: cannot start: the platform could "
                                                       "not be initialised");
}

// Whatever Qt's wording, one plain line; Qt's own words where it has any.
void TestApp::platformFailureWording()
{
    QFETCH(QString, fatal);
    QFETCH(QStringList, warnings);
    QFETCH(QString, line);
    qunsetenv("QT_QPA_PLATFORM");
    QCOMPARE(quillet::startup::platformFailure("quillet3", fatal, warnings), line);
}

QTEST_GUILESS_MAIN(TestApp)
#include "tst_app.moc"
