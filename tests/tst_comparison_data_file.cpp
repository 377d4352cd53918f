#include "core/comparison_data_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include "table_texts.h"

#include <QTest>

using namespace quillet;
using quillet::test::table;

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
    void loadDirectory();
    void loadHugeRandomFile();
    void saveReplacesAndReportsFailure();
};

void TestComparisonDataFile::thirtyOneByteExample()
{
    const QByteArray bytes = ComparisonDataFile::serialize(
        table({{"1234.5", "11.2"}, {"", ""}, {"-8.25", "9.8"}}));
    QCOMPARE(bytes, QByteArray::fromHex("20313233342E35202C2031312E32200D0A2D382E3235202C20392E38200D0A"));
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
    QTest::newRow("empty catalogue") << table({{"1234.50", ""}}) << QByteArray(" 1234.5 , 0 \r\n")
                                     << table({{"1234.5", "0"}});
    QTest::newRow("catalogue only is not saved") << table({{"", "11.2"}, {"1", "2"}})
                                                 << QByteArray(" 1 , 2 \r\n") << table({{"1", "2"}});
    QTest::newRow("abc saved as 0") << table({{"abc", "x"}}) << QByteArray(" 0 , 0 \r\n")
                                    << table({{"0", "0"}});
    QTest::newRow("single blank saved as 0") << table({{" ", "10.5"}}) << QByteArray(" 0 , 10.5 \r\n")
                                             << table({{"0", "10.5"}});
    QTest::newRow("more than 15 digits") << table({{"14.123456789012345", "12.340"}})
                                         << QByteArray(" 14.1234567890123 , 12.34 \r\n")
                                         << table({{"14.1234567890123", "12.34"}});
    QTest::newRow("fraction keeps its zero") << table({{".5", "-.25"}})
                                             << QByteArray(" 0.5 ,-0.25 \r\n")
                                             << table({{"0.5", "-0.25"}});
    QTest::newRow("huge values in exponent form") << table({{"1.5e20", "2e-7"}})
                                                  << QByteArray(" 1.5E+20 , 2E-07 \r\n")
                                                  << table({{"1.5E+20", "2E-07"}});
    QTest::newRow("carriage return from an import") << table({{"-9.871\r", "9"}})
                                                    << QByteArray("-9.871 , 9 \r\n")
                                                    << table({{"-9.871", "9"}});
    QTest::newRow("no rows gives an empty file") << QStringList(30) << QByteArray() << QStringList(30);
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
    QTest::newRow("both forms of a half") << QByteArray(" .5 , 0.5 \r\n") << table({{"0.5", "0.5"}});
    QTest::newRow("LF only") << QByteArray("1,2\n3,4\n") << table({{"1", "2"}, {"3", "4"}});
    QTest::newRow("CR only") << QByteArray("1,2\r3,4\r") << table({{"1", "2"}, {"3", "4"}});
    QTest::newRow("no final line end") << QByteArray("1,2\r\n3,4") << table({{"1", "2"}, {"3", "4"}});
    QTest::newRow("one field per line pairs across lines")
        << QByteArray("1\r\n2\r\n3,4\r\n") << table({{"1", "2"}, {"3", "4"}});
    QTest::newRow("three fields on a line")
        << QByteArray("1,2,3\r\n4,5\r\n") << table({{"1", "2"}, {"3", "4"}, {"5", ""}});
    QTest::newRow("file ends between fields") << QByteArray("7\r\n") << table({{"7", ""}});
    QTest::newRow("empty fields") << QByteArray("1,\r\n,5\r\n") << table({{"1", ""}, {"", "5"}});
    QTest::newRow("blank lines carry no row") << QByteArray("\r\n1,2\r\n\r\n \r\n3,4\r\n\r\n")
                                              << table({{"1", "2"}, {"3", "4"}});
    QTest::newRow("text field kept") << QByteArray("abc , 12x\r\n") << table({{"abc", "12x"}});
    QTest::newRow("quotes removed") << QByteArray("\"Vega\",\" 12 \"\r\n")
                                    << table({{"Vega", " 12 "}});
    QTest::newRow("unterminated quote") << QByteArray("\"abc,1\r\n") << table({{"abc,1\r\n", ""}});
    QTest::newRow("tabs around fields") << QByteArray("\t1\t,\t2\t\r\n") << table({{"1", "2"}});
    QTest::newRow("plus sign and exponent") << QByteArray("+1.50,1e2\r\n") << table({{"1.5", "100"}});
    QTest::newRow("number with blank inside is text") << QByteArray("1 2,3\r\n")
                                                      << table({{"1 2", "3"}});
    QTest::newRow("invalid UTF-8") << QByteArray("\xff\xfe,1\r\n")
                                   << table({{"\xef\xbf\xbd\xef\xbf\xbd", "1"}});
    QTest::newRow("UTF-8 text") << QByteArray("\xe3\x81\x82,1\r\n") << table({{"\xe3\x81\x82", "1"}});
    QTest::newRow("NUL bytes") << QByteArray("1\0002,3\r\n", 7)
                               << QStringList{QStringLiteral("1") + QChar(0) + u'2', QStringLiteral("3")}
                                      + QStringList(28);
    QTest::newRow("overflowing number") << QByteArray("1e999,-1e999\r\n")
                                        << table({{"1.79769313486232E+308", "-1.79769313486232E+308"}});
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
    const auto loaded = ComparisonDataFile::load(dir.filePath(QStringLiteral("compdata.txt")));
    QVERIFY(!loaded.error);
    QCOMPARE(loaded.tableTexts, QStringList(30));
}

void TestComparisonDataFile::loadDirectory()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("compdata.txt"));
    QVERIFY(QDir().mkdir(path));
    const auto loaded = ComparisonDataFile::load(path);
    QVERIFY(loaded.error);
    QVERIFY(!loaded.error->isEmpty());
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

    QElapsedTimer timer;
    timer.start();
    const auto loaded = ComparisonDataFile::load(path);
    QVERIFY2(timer.elapsed() < 500, "a huge file must not slow start-up");
    QVERIFY(!loaded.error);
    QCOMPARE(loaded.tableTexts.size(), 30);
}

void TestComparisonDataFile::saveReplacesAndReportsFailure()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("compdata.txt"));
    QVERIFY(!ComparisonDataFile::save(path, table({{"1", "2"}})));
    QVERIFY(!ComparisonDataFile::save(path, table({{"3", "4"}})));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray(" 3 , 4 \r\n"));

    const QString folder = dir.filePath(QStringLiteral("folder"));
    QVERIFY(QDir().mkdir(folder));
    const auto failure = ComparisonDataFile::save(folder, table({{"1", "2"}}));
    QVERIFY(failure);
    QVERIFY(!failure->isEmpty());
    QVERIFY(QFileInfo(folder).isDir());
}

QTEST_GUILESS_MAIN(TestComparisonDataFile)
#include "tst_comparison_data_file.moc"
