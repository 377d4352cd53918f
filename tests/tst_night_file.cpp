// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The night's AAVSO file on the disk: appended to in place under a lock, the
// header once, nothing written to a device or a file too large, no half
// record left by a write that failed.
#include "report/night_file.h"
#include "test_support.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillet;
using namespace quillet::test;

namespace {

const AavsoExtended::Header Ours {QStringLiteral("XYZ"), QStringLiteral("q 1"),
    QStringLiteral("CCD"), AavsoExtended::DateKind::Jd};
const QString Record = QStringLiteral("SS Cyg,2461382.5,11.750,0.040,V");

} // namespace

class TestNightFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void append_data();
    void append();
    void together();
};

void TestNightFile::append_data()
{
    QTest::addColumn<QByteArray>("before"); // "-": no file
    QTest::addColumn<QString>("path"); // empty: the test's own file
    QTest::addColumn<int>("sizeLimit"); // 0: none
    QTest::addColumn<bool>("added");
    QTest::addColumn<int>("records");
    const QByteArray header = AavsoExtended::headerText(Ours).toUtf8();
    QTest::newRow("new file") << QByteArray("-") << QString() << 0 << true << 1;
    QTest::newRow("second record") << header + "OLD,1,2\n" << QString() << 0 << true << 2;
    QTest::newRow("device") << QByteArray("-") << QStringLiteral("/dev/null") << 0 << false << 0;
    QTest::newRow("over the night file's limit")
        << header + QByteArray(AavsoFile::ReadLimit, '#') << QString() << 0 << false << 0;
    QTest::newRow("a write cut short is cut back")
        << header + "OLD,1,2\n"
        << QString() << int(header.size() + 20) << false << 1;
}

void TestNightFile::append()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, path);
    QFETCH(int, sizeLimit);
    QFETCH(bool, added);
    QFETCH(int, records);
    QTemporaryDir dir;
    if (path.isEmpty())
        path = dir.filePath(QStringLiteral("night.txt"));
    if (before != "-")
        writeFile(path, before);
    std::optional<FileSizeLimit> limit;
    if (sizeLimit > 0)
        limit.emplace(rlim_t(sizeLimit));
    const NightFile::Appended appended = NightFile::append(path, Ours, {aavsoFields(Record)});
    limit.reset();
    QCOMPARE(appended.added > 0, added);
    QCOMPARE(appended.records, records);
    QVERIFY(!appended.incomplete);
    if (!added) {
        QVERIFY(appended.failure);
        if (path == QLatin1String("/dev/null"))
            QCOMPARE(appended.failure->problem, FileState::Problem::NotRegularFile);
        else
            QCOMPARE(readFile(path), before);
        if (before.size() > AavsoFile::ReadLimit)
            QCOMPARE(appended.failure->limit, AavsoFile::ReadLimit);
    } else {
        QVERIFY(readFile(path).endsWith(Record.toUtf8() + ",na,na,na,na,na,na,na,na,na,na\n"));
    }
    // No temporary file is left beside it.
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() <= 1);
}

// Two writers appending at once while a shell appends with >>: every record
// stays, in the same file, with its owner and mode.
void TestNightFile::together()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("night.txt"));
    writeFile(path, "#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=,\n");
    QVERIFY(QFile::setPermissions(
        path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup));
    struct stat before
    {
    };
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
    QProcess shell;
    shell.start(QStringLiteral("sh"),
        {QStringLiteral("-c"),
            QStringLiteral("for i in $(seq 300); do echo \"SHELL$i\" >> \"$1\"; done"),
            QStringLiteral("sh"), path});
    std::vector<pid_t> writers;
    for (int w = 0; w < 2; ++w) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 0; i < 200; ++i) {
                const auto appended = NightFile::append(path, Ours,
                    {aavsoFields(QStringLiteral("W%1-%2,2461382.5,2,3,V").arg(w).arg(i))});
                if (appended.failure || appended.refusal)
                    ::_exit(1);
            }
            ::_exit(0);
        }
        writers.push_back(pid);
    }
    for (const pid_t pid : writers) {
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    QVERIFY(shell.waitForFinished(60000));
    const QByteArray after = readFile(path);
    QCOMPARE(AavsoFile::countRecords(after), 400 + 300);
    QCOMPARE(after.count("SHELL"), 300);
    struct stat now
    {
    };
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &now), 0);
    QCOMPARE(now.st_ino, before.st_ino);
    QCOMPARE(now.st_mode, before.st_mode);
    QCOMPARE(now.st_uid, before.st_uid);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

QTEST_GUILESS_MAIN(TestNightFile)
#include "tst_night_file.moc"
