// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers the tests share: tables written row by row, files written and read
// back, and a working directory of a test's own.
#include <QDir>
#include <QFile>
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
