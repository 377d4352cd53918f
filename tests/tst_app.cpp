// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program itself, started as a user starts it.
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

QTEST_GUILESS_MAIN(TestApp)
#include "tst_app.moc"
