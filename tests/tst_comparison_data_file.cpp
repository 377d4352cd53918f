// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/comparison_data_file.h"
#include "platform/file_layer.h"

#include "test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace quillet;
using namespace quillet::test;
using FileState::Problem;

namespace {

using FileStatus = struct stat;

// Start-up's read, the close's save and its question, as the window does them.
ComparisonDataFile::Loaded load(const QString &path)
{
    return ComparisonDataFile::loaded(FileLayer::readFile(path, ComparisonDataFile::ReadLimit));
}

FileLayer::Replaced save(
    const QString &path, const QStringList &table, const FileState::Snapshot &atStart)
{
    return FileLayer::replaceFile(
        path, ComparisonDataFile::serialize(table), ComparisonDataFile::replacePolicy(atStart));
}

ComparisonDataFile::Change changedNow(const QString &path, const FileState::Snapshot &atStart)
{
    return ComparisonDataFile::changedSince(
        path, atStart, FileLayer::readFile(path, ComparisonDataFile::ReadLimit));
}

bool isFifo(const QString &path)
{
    FileStatus status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}

// Makes what stands at dir/compdata.txt for a kind of entry that is not a
// regular file; the FIFO it uses is dir/pipe.
QString makeEntry(const QTemporaryDir &dir, const QString &kind)
{
    const QString path = dir.filePath(QStringLiteral("compdata.txt"));
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    if (kind == QLatin1String("fifo") || kind == QLatin1String("link to fifo"))
        ::mkfifo(QFile::encodeName(kind == QLatin1String("fifo") ? path : pipe).constData(), 0644);
    if (kind == QLatin1String("link to fifo"))
        QFile::link(pipe, path);
    if (kind == QLatin1String("broken link"))
        QFile::link(dir.filePath(QStringLiteral("nowhere")), path);
    if (kind == QLatin1String("folder"))
        QDir().mkdir(path);
    return path;
}

} // namespace

class TestComparisonDataFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void thirtyOneByteExample();
    void roundTrip_data();
    void roundTrip();
    void deserialize_data();
    void deserialize();
    void stableAfterOneRoundTrip();
    void loadMissingFile();
    void loadHugeRandomFile();
    void saveReplacesAndReportsFailure();
    void neverOpensWhatIsNoFile_data();
    void neverOpensWhatIsNoFile();
    void saveThroughLinkReplacesTarget();
    void saveKeepsUnreadableFile();
    void changedSince();
    void failureNamesCause();
};

void TestComparisonDataFile::thirtyOneByteExample()
{
    const QByteArray bytes
        = ComparisonDataFile::serialize(table({{"1234.5", "11.2"}, {"", ""}, {"-8.25", "9.8"}}));
    QCOMPARE(bytes,
        QByteArray::fromHex("20313233342E35202C2031312E32200D0A2D382E3235202C20392E38200D0A"));
    QCOMPARE(bytes.size(), 31);
}

void TestComparisonDataFile::roundTrip_data()
{
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("loaded");

    QTest::newRow("rows 1 and 3 move up") << table({{"1234.5", "11.2"}, {"", ""}, {"-8.25", "9.8"}})
                                          << QByteArray(" 1234.5 , 11.2 \r\n-8.25 , 9.8 \r\n")
                                          << table({{"1234.5", "11.2"}, {"-8.25", "9.8"}});
    QTest::newRow("empty catalogue")
        << table({{"1234.50", ""}}) << QByteArray(" 1234.5 , 0 \r\n") << table({{"1234.5", "0"}});
    // A chart's magnitude not yet measured is never lost by a save.
    QTest::newRow("catalogue only is kept")
        << table({{"", "11.2"}, {"1", "2"}, {"", ""}, {"", "8.204"}})
        << QByteArray(", 11.2 \r\n 1 , 2 \r\n, 8.204 \r\n")
        << table({{"", "11.2"}, {"1", "2"}, {"", "8.204"}});
    QTest::newRow("abc saved as 0")
        << table({{"abc", "x"}}) << QByteArray(" 0 , 0 \r\n") << table({{"0", "0"}});
    QTest::newRow("single blank saved as 0")
        << table({{" ", "10.5"}}) << QByteArray(" 0 , 10.5 \r\n") << table({{"0", "10.5"}});
    QTest::newRow("more than 15 digits")
        << table({{"14.123456789012345", "12.340"}}) << QByteArray(" 14.1234567890123 , 12.34 \r\n")
        << table({{"14.1234567890123", "12.34"}});
    QTest::newRow("fraction keeps its zero")
        << table({{".5", "-.25"}}) << QByteArray(" 0.5 ,-0.25 \r\n") << table({{"0.5", "-0.25"}});
    QTest::newRow("huge values in exponent form")
        << table({{"1.5e20", "2e-7"}}) << QByteArray(" 1.5E+20 , 2E-07 \r\n")
        << table({{"1.5E+20", "2E-07"}});
    QTest::newRow("carriage return from an import")
        << table({{"-9.871\r", "9"}}) << QByteArray("-9.871 , 9 \r\n") << table({{"-9.871", "9"}});
    QTest::newRow("no rows gives an empty file")
        << QStringList(30) << QByteArray() << QStringList(30);
    QStringList full(30);
    QByteArray fullBytes;
    for (int k = 1; k <= 15; ++k) {
        full[2 * k - 2] = QString::number(k);
        full[2 * k - 1] = QString::number(k + 10);
        fullBytes += ' ' + QByteArray::number(k) + " , " + QByteArray::number(k + 10) + " \r\n";
    }
    QTest::newRow("fifteen rows") << full << fullBytes << full;
}

void TestComparisonDataFile::roundTrip()
{
    QFETCH(QStringList, table);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, loaded);
    QCOMPARE(ComparisonDataFile::serialize(table), bytes);
    QCOMPARE(ComparisonDataFile::deserialize(bytes), loaded);
}

void TestComparisonDataFile::deserialize_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("loaded");

    QTest::newRow("empty file") << QByteArray() << QStringList(30);
    QTest::newRow("three lines") << QByteArray(" 1 , 2 \r\n 3 , 4 \r\n 5 , 6 \r\n")
                                 << table({{"1", "2"}, {"3", "4"}, {"5", "6"}});
    QByteArray twenty;
    QStringList first15(30);
    for (int k = 1; k <= 20; ++k) {
        twenty += QByteArray::number(k) + ',' + QByteArray::number(-k) + "\r\n";
        if (k <= 15) {
            first15[2 * k - 2] = QString::number(k);
            first15[2 * k - 1] = QString::number(-k);
        }
    }
    QTest::newRow("twenty lines") << twenty << first15;
    QTest::newRow("both forms of a half")
        << QByteArray(" .5 , 0.5 \r\n") << table({{"0.5", "0.5"}});
    QTest::newRow("LF only") << QByteArray("1,2\n3,4\n") << table({{"1", "2"}, {"3", "4"}});
    QTest::newRow("CR only") << QByteArray("1,2\r3,4\r") << table({{"1", "2"}, {"3", "4"}});
    QTest::newRow("no final line end")
        << QByteArray("1,2\r\n3,4") << table({{"1", "2"}, {"3", "4"}});
    QTest::newRow("one field per line pairs across lines")
        << QByteArray("1\r\n2\r\n3,4\r\n") << table({{"1", "2"}, {"3", "4"}});
    QTest::newRow("three fields on a line")
        << QByteArray("1,2,3\r\n4,5\r\n") << table({{"1", "2"}, {"3", "4"}, {"5", ""}});
    QTest::newRow("file ends between fields") << QByteArray("7\r\n") << table({{"7", ""}});
    QTest::newRow("empty fields") << QByteArray("1,\r\n,5\r\n") << table({{"1", ""}, {"", "5"}});
    QTest::newRow("blank lines carry no row")
        << QByteArray("\r\n1,2\r\n\r\n \r\n3,4\r\n\r\n") << table({{"1", "2"}, {"3", "4"}});
    QTest::newRow("text field kept") << QByteArray("abc , 12x\r\n") << table({{"abc", "12x"}});
    QTest::newRow("quotes removed")
        << QByteArray("\"Vega\",\" 12 \"\r\n") << table({{"Vega", " 12 "}});
    QTest::newRow("unterminated quote") << QByteArray("\"abc,1\r\n") << table({{"abc,1\r\n", ""}});
    QTest::newRow("tabs around fields") << QByteArray("\t1\t,\t2\t\r\n") << table({{"1", "2"}});
    QTest::newRow("plus sign and exponent")
        << QByteArray("+1.50,1e2\r\n") << table({{"1.5", "100"}});
    QTest::newRow("number with blank inside is text")
        << QByteArray("1 2,3\r\n") << table({{"1 2", "3"}});
    QTest::newRow("invalid UTF-8")
        << QByteArray("\xff\xfe,1\r\n") << table({{"\xef\xbf\xbd\xef\xbf\xbd", "1"}});
    QTest::newRow("UTF-8 text") << QByteArray("\xe3\x81\x82,1\r\n")
                                << table({{"\xe3\x81\x82", "1"}});
    QTest::newRow("NUL bytes") << QByteArray("1\0002,3\r\n", 7)
                               << QStringList {QStringLiteral("1") + QChar(0) + u'2',
                                      QStringLiteral("3")}
            + QStringList(28);
    QTest::newRow("overflowing number") << QByteArray(
        "1e999,-1e999\r\n") << table({{"1.79769313486232E+308", "-1.79769313486232E+308"}});
}

void TestComparisonDataFile::deserialize()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, loaded);
    QCOMPARE(ComparisonDataFile::deserialize(bytes), loaded);
}

// After one save and load the table no longer changes: saving it again writes
// the same bytes, whatever the file held before.
void TestComparisonDataFile::stableAfterOneRoundTrip()
{
    QRandomGenerator random(7);
    const QByteArray alphabet("0123456789.-+eE ,\r\n\"abc\t");
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes;
        const int size = int(random.bounded(0, 200));
        for (int i = 0; i < size; ++i)
            bytes += alphabet[int(random.bounded(alphabet.size()))];
        const QStringList once = ComparisonDataFile::deserialize(
            ComparisonDataFile::serialize(ComparisonDataFile::deserialize(bytes)));
        const QByteArray saved = ComparisonDataFile::serialize(once);
        QCOMPARE(ComparisonDataFile::deserialize(saved), once);
        QCOMPARE(ComparisonDataFile::serialize(ComparisonDataFile::deserialize(saved)), saved);
    }
}

void TestComparisonDataFile::loadMissingFile()
{
    QTemporaryDir dir;
    const auto loaded = load(dir.filePath(QStringLiteral("compdata.txt")));
    QVERIFY(!loaded.failure);
    QVERIFY(!loaded.snapshot.exists);
    QCOMPARE(loaded.tableTexts, QStringList(30));
}

void TestComparisonDataFile::loadHugeRandomFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("compdata.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    QRandomGenerator random(99);
    for (int i = 0; i < 50; ++i) {
        random.fillRange(reinterpret_cast<quint32 *>(chunk.data()), chunk.size() / 4);
        QCOMPARE(file.write(chunk), qint64(chunk.size()));
    }
    file.close();

    // Only its beginning was read: it counts as not read, and a save keeps it.
    const auto loaded = load(path);
    QVERIFY(loaded.failure);
    QCOMPARE(loaded.failure->problem, Problem::ReadCutShort);
    QVERIFY(loaded.snapshot.regular && !loaded.snapshot.read);
    QCOMPARE(loaded.tableTexts.size(), 30);
}

void TestComparisonDataFile::saveReplacesAndReportsFailure()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("compdata.txt"));
    QVERIFY(!save(path, table({{"1", "2"}}), {}).failure);
    const auto saved = save(path, table({{"3", "4"}}), {});
    QVERIFY(!saved.failure);
    QCOMPARE(readFile(path), QByteArray(" 3 , 4 \r\n"));
    QCOMPARE(saved.snapshot.bytes, QByteArray(" 3 , 4 \r\n"));
    QVERIFY(!changedNow(path, saved.snapshot).changed);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"compdata.txt"});
}

// A folder, a pipe, a link to a pipe or a link to nothing is never opened (a pipe
// would block start-up for ever) and never replaced (a device would be destroyed).
void TestComparisonDataFile::neverOpensWhatIsNoFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Problem>("problem");
    QTest::newRow("folder") << "folder" << Problem::Folder;
    QTest::newRow("fifo") << "fifo" << Problem::NotRegularFile;
    QTest::newRow("link to fifo") << "link to fifo" << Problem::NotRegularFile;
    QTest::newRow("broken link") << "broken link" << Problem::BrokenLink;
}

void TestComparisonDataFile::neverOpensWhatIsNoFile()
{
    QFETCH(QString, kind);
    QFETCH(Problem, problem);
    QTemporaryDir dir;
    const QString path = makeEntry(dir, kind);
    const QStringList before
        = QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);

    const auto loaded = load(path);
    QVERIFY(loaded.failure);
    QCOMPARE(loaded.failure->problem, problem);
    QCOMPARE(loaded.tableTexts, QStringList(30));

    const auto saved = save(path, table({{"1", "2"}}), loaded.snapshot);
    QVERIFY(saved.failure);
    QCOMPARE(saved.failure->problem, problem);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden), before);
    if (kind.contains(QLatin1String("fifo")))
        QVERIFY(isFifo(dir.filePath(kind == QLatin1String("fifo") ? "compdata.txt" : "pipe")));
}

// The link stays; its target is replaced in its own folder with its permissions.
void TestComparisonDataFile::saveThroughLinkReplacesTarget()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("elsewhere")));
    const QString target = dir.filePath(QStringLiteral("elsewhere/table.txt"));
    const QString link = dir.filePath(QStringLiteral("compdata.txt"));
    writeFile(target, " 1 , 2 \r\n");
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(QFile::link(target, link));

    const auto loaded = load(link);
    QVERIFY(!loaded.failure);
    QVERIFY(!save(link, table({{"5", "6"}}), loaded.snapshot).failure);
    QCOMPARE(QFileInfo(link).symLinkTarget(), target);
    QCOMPARE(readFile(target), QByteArray(" 5 , 6 \r\n"));
    FileStatus status {};
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, mode_t(0640));
    QCOMPARE(QDir(dir.filePath("elsewhere")).entryList(QDir::Files | QDir::Hidden),
        QStringList {"table.txt"});
}

// A file that was there but could not be read is kept beside the new one.
void TestComparisonDataFile::saveKeepsUnreadableFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("compdata.txt"));
    FileState::Snapshot unread;
    unread.exists = true;
    unread.regular = true;
    for (const char *kept : {"compdata.txt.unreadable", "compdata.txt.unreadable-2"}) {
        writeFile(path, "precious");
        const auto saved = save(path, table({{"1", "2"}}), unread);
        QVERIFY(!saved.failure);
        QCOMPARE(saved.keptAs, dir.filePath(QString::fromLatin1(kept)));
        QCOMPARE(readFile(saved.keptAs), QByteArray("precious"));
        QCOMPARE(readFile(path), QByteArray(" 1 , 2 \r\n"));
    }
    // The new file is one its owner can read, whatever the unreadable one's mode.
    QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
    QVERIFY(ComparisonDataFile::replacePolicy(unread).defaultMode);
    const auto saved = save(path, table({{"1", "2"}}), unread);
    QVERIFY(!saved.failure);
    FileStatus status {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    QCOMPARE(status.st_mode & 0777, 0666 & ~mask);
    // Kept copies stop at a limit, saying so; the file stays as it was.
    for (int n = 4; n <= FileState::KeptCopiesLimit; ++n)
        writeFile(path + QStringLiteral(".unreadable-%1").arg(n), "kept");
    writeFile(path, "precious");
    const auto full = save(path, table({{"1", "2"}}), unread);
    QVERIFY(full.failure);
    QCOMPARE(full.failure->problem, Problem::TooManyKeptCopies);
    QCOMPARE(readFile(path), QByteArray("precious"));
    // Kept by an earlier attempt: not kept again.
    unread.keptAs = path + QStringLiteral(".unreadable");
    const auto again = save(path, table({{"1", "2"}}), unread);
    QVERIFY(!again.failure && again.keptAs.isEmpty());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).size() == FileState::KeptCopiesLimit + 1);
    QVERIFY(QFile::remove(path));
    for (int n = 2; n <= FileState::KeptCopiesLimit; ++n)
        QVERIFY(QFile::remove(path + QStringLiteral(".unreadable-%1").arg(n)));

    // Read at start-up: replaced, nothing kept.
    writeFile(path, "read");
    const auto readSaved = save(path, table({{"1", "2"}}), load(path).snapshot);
    QVERIFY(readSaved.keptAs.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

void TestComparisonDataFile::changedSince()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("compdata.txt"));
    const auto none = load(path).snapshot;
    writeFile(path, " 1 , 2 \r\n");
    QVERIFY(changedNow(path, none).changed); // appeared
    const auto read = load(path).snapshot;
    QVERIFY(!changedNow(path, read).changed);

    // Touched, or the same bytes under a new inode: nothing to lose.
    QFile touched(path);
    QVERIFY(touched.open(QIODevice::ReadWrite));
    QVERIFY(touched.setFileTime(
        QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime));
    touched.close();
    QVERIFY(!changedNow(path, read).changed);
    QVERIFY(QFile::remove(path));
    writeFile(path, " 1 , 2 \r\n");
    QVERIFY(!changedNow(path, read).changed);

    // Same size, time and file, other contents.
    const QDateTime time = QFileInfo(path).lastModified();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QCOMPARE(file.write(" 7 , 2 \r\n"), qint64(9));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(changedNow(path, read).changed);

    // The name now leads to another file: the question names it.
    const QString other = dir.filePath(QStringLiteral("other.txt"));
    writeFile(other, " 1 , 2 \r\n");
    QVERIFY(QFile::remove(path) && QFile::link(other, path));
    const auto linked = changedNow(path, read);
    QVERIFY(linked.changed);
    QCOMPARE(linked.writesTo, other);

    QVERIFY(QFile::remove(path));
    QVERIFY(!changedNow(path, read).changed); // nothing there to lose
}

// Failures say what went wrong, not just that something did.
void TestComparisonDataFile::failureNamesCause()
{
    QTemporaryDir dir;
    // A folder on the way that is not there is named.
    const auto noFolder
        = save(dir.filePath(QStringLiteral("nodir/compdata.txt")), table({{"1", "2"}}), {});
    QCOMPARE(noFolder.failure->problem, Problem::FolderMissing);
    QCOMPARE(noFolder.failure->folder, dir.filePath(QStringLiteral("nodir")));

    // A loop of links is named as one.
    const QString loop = dir.filePath(QStringLiteral("loop"));
    QVERIFY(QFile::link(loop, loop));
    QCOMPARE(load(loop).failure->problem, Problem::TooManyLinks);
    QCOMPARE(save(loop, table({{"1", "2"}}), {}).failure->problem, Problem::TooManyLinks);
    QVERIFY(QFile::remove(loop));

    // Under a file size limit the write fails (SIGXFSZ ignored, as the program does).
    const QString path = dir.filePath(QStringLiteral("compdata.txt"));
    const auto tooLarge = [&path] {
        const FileSizeLimit limit(4);
        return save(path, table({{"1", "2"}}), {});
    }();
    QVERIFY(tooLarge.failure);
    QCOMPARE(tooLarge.failure->problem, Problem::TooLarge);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestComparisonDataFile)
#include "tst_comparison_data_file.moc"
