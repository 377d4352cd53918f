// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers the tests share: tables written row by row, the worked example,
// files written and read back, a working directory of a test's own, and a
// program run as a user runs it.
#include "core/aavso_extended.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <initializer_list>
#include <sys/resource.h>
#include <utility>

namespace quillet::test {

// The thirty texts Text1..Text30: rows from the top as (measured value,
// catalogue magnitude) texts; the rest empty.
inline QStringList table(std::initializer_list<std::pair<const char *, const char *>> rows)
{
    QStringList texts(30);
    int k = 0;
    for (const auto &[measured, catalogue] : rows) {
        texts[2 * k] = QString::fromUtf8(measured);
        texts[2 * k + 1] = QString::fromUtf8(catalogue);
        ++k;
    }
    return texts;
}

// The design's worked example: rows (3, 12.25), (), (1, 9.75), (0, 0), (4,
// 14.25), (2, 10.75); the line through them is 1.5 x + 8.
inline QStringList workedTable()
{
    return table(
        {{"3", "12.25"}, {"", ""}, {"1", "9.75"}, {"0", "0"}, {"4", "14.25"}, {"2", "10.75"}});
}

// The same stars as compdata.txt writes them.
inline const QByteArray WorkedFile(" 3 , 12.25 \r\n 1 , 9.75 \r\n 4 , 14.25 \r\n 2 , 10.75 \r\n");

// An AAVSO record's fields from its line in this program's form, "na" for
// the fields the line does not reach.
inline AavsoExtended::Fields aavsoFields(const QString &line)
{
    AavsoExtended::Fields f;
    const QStringList parts = line.split(u',');
    for (int i = 0; i < AavsoExtended::FieldCount; ++i)
        f[std::size_t(i)] = parts.value(i, QStringLiteral("na"));
    return f;
}

// SS Cyg in V at JD 2461382.51234 by observer XYZ, as the examples write it.
inline SubmissionRecord::Record ssCygRecord()
{
    SubmissionRecord::Record r;
    r.star = QStringLiteral("SS Cyg");
    r.jd = QStringLiteral("2461382.51234");
    r.filter = QStringLiteral("V");
    r.obscode = QStringLiteral("XYZ");
    return r;
}

struct Run
{
    int status = -1; // -1: did not end normally within a minute
    QString out;
    QString err;
};

// Runs program in dir with the arguments and input on its standard input.
inline Run runProgram(const QString &program, const QString &dir, const QStringList &arguments,
    const QByteArray &input = {})
{
    QProcess process;
    process.setWorkingDirectory(dir);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// quillet3-report (named by QUILLET3_REPORT) run in dir.
inline Run runReport(const QString &dir, const QStringList &arguments, const QByteArray &input = {})
{
    return runProgram(qEnvironmentVariable("QUILLET3_REPORT"), dir, arguments, input);
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

// A test's own working directory; the previous one comes back at the end.
struct WorkingDirectory
{
    WorkingDirectory()
        : previous(QDir::currentPath())
    {
        QDir::setCurrent(dir.path());
    }
    ~WorkingDirectory() { QDir::setCurrent(previous); }
    QString file() const { return dir.filePath(QStringLiteral("compdata.txt")); }
    QTemporaryDir dir;
    QString previous;
};

// A file size limit for this process while it lives, with SIGXFSZ ignored as the
// program ignores it, so that writes beyond it fail instead of ending the test.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool isSet() const { return m_set; }

private:
    rlimit m_saved {};
    void (*m_handler)(int) = nullptr;
    bool m_set = false;
};

} // namespace quillet::test
