#pragma once

// Helpers the tests share: tables written row by row, files written and read
// back, and a working directory of a test's own.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <initializer_list>
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

} // namespace quillet::test
