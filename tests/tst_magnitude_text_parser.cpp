// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/magnitude_text_parser.h"

#include <QTest>

using namespace quillet;

class TestMagnitudeParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void manyKeywords();
    void largePaste();
};

void TestMagnitudeParser::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("values");

    const QString x91(91, u'x');
    const QString x92(92, u'x');
    const QString x93(93, u'x');

    QTest::newRow("worked example")
        << QStringLiteral(
               "Star  Magnitude\r\nNo.1  Magnitude -10.532  0.012\r\nNo.2  Magnitude -9.871\r\n")
        << QStringList {QStringLiteral("-10.532"), QStringLiteral("-9.871\r")};
    QTest::newRow("empty") << QString() << QStringList {};
    QTest::newRow("no keyword") << QStringLiteral("Star -1.234 -5.678") << QStringList {};
    QTest::newRow("lower case") << QStringLiteral("magnitude -1.234") << QStringList {};
    QTest::newRow("upper case") << QStringLiteral("MAGNITUDE -1.234") << QStringList {};
    QTest::newRow("value right after keyword")
        << QStringLiteral("Magnitude-12.345") << QStringList {QStringLiteral("-12.345")};
    QTest::newRow("short number takes what follows")
        << QStringLiteral("Magnitude -8.1 2.3") << QStringList {QStringLiteral("-8.1 2.")};
    QTest::newRow("value cut by end of text")
        << QStringLiteral("Magnitude -1.2") << QStringList {QStringLiteral("-1.2")};
    QTest::newRow("keyword at end") << QStringLiteral("xxMagnitude") << QStringList {QString()};
    QTest::newRow("fewer than 93 characters without dash")
        << (QStringLiteral("Magnitude") + QString(50, u'x')) << QStringList {QString()};
    QTest::newRow("exactly 92 characters without dash")
        << (QStringLiteral("Magnitude") + x92) << QStringList {QString()};
    QTest::newRow("93rd character without dash")
        << (QStringLiteral("Magnitude") + x92 + QStringLiteral("12.3456789"))
        << QStringList {QStringLiteral("12.3456")};
    QTest::newRow("dash is 92nd character")
        << (QStringLiteral("Magnitude") + x91 + QStringLiteral("-12.345"))
        << QStringList {QStringLiteral("-12.345")};
    QTest::newRow("dash is 93rd character")
        << (QStringLiteral("Magnitude") + x92 + QStringLiteral("-12.345"))
        << QStringList {QStringLiteral("-12.345")};
    QTest::newRow("dash is 94th character")
        << (QStringLiteral("Magnitude") + x93 + QStringLiteral("-12.345"))
        << QStringList {QStringLiteral("x-12.34")};
    QTest::newRow("Japanese counts one each")
        << (QStringLiteral("Magnitude") + QString(93, QChar(0x3042)) + QStringLiteral("-12.345"))
        << QStringList {QStringLiteral("\u3042-12.34")};
    QTest::newRow("Japanese before the keyword") << QStringLiteral(
        "変光星 比較星1 Magnitude -11.234\r\n") << QStringList {QStringLiteral("-11.234")};
    QTest::newRow("heading takes next value")
        << QStringLiteral("Magnitude Magnitude -1.111111 Magnitude -2.222222")
        << QStringList {QStringLiteral("-1.1111"), QStringLiteral("-2.2222")};
    QTest::newRow("value without minus is not found") << QStringLiteral(
        "Magnitude 10.532 Magnitude -9.5") << QStringList {QStringLiteral("-9.5")};
    QTest::newRow("scan resumes right after the dash")
        << QStringLiteral("Magnitude -Magnitude -5.000000")
        << QStringList {QStringLiteral("-Magnit"), QStringLiteral("-5.0000")};
    QTest::newRow("dash far away after window")
        << (QStringLiteral("Magnitude") + QString(200, u' ')
               + QStringLiteral("-1.000000 Magnitude -2.000000"))
        << QStringList {QStringLiteral("       "), QStringLiteral("-2.0000")};
}

void TestMagnitudeParser::parse()
{
    QFETCH(QString, text);
    QFETCH(QStringList, values);
    QCOMPARE(MagnitudeTextParser(text), values);
}

void TestMagnitudeParser::manyKeywords()
{
    QString text;
    QStringList expected;
    for (int k = 1; k <= 20; ++k) {
        const QString value = QStringLiteral("-%1.123").arg(k, 2, 10, QLatin1Char('0'));
        text += QStringLiteral("No.%1  Magnitude %2  0.012\r\n").arg(k).arg(value);
        expected.append(value);
    }
    QCOMPARE(MagnitudeTextParser(text), expected);
    // The import needs only the first fifteen: the scan stops there.
    QCOMPARE(MagnitudeTextParser(text, 15), expected.mid(0, 15));
    QCOMPARE(MagnitudeTextParser(text, 0), QStringList());
}

void TestMagnitudeParser::largePaste()
{
    // Keywords without any dash, densely packed: each window is searched in full
    // (bench_core times this case).
    const QString text = QStringLiteral("Magnitude").repeated(400'000); // 3.6 M characters
    const QStringList values = MagnitudeTextParser(text);
    // Each keyword without a dash resumes 102 positions on: one value per 108 characters.
    QCOMPARE(values.size(), 33334);
}

QTEST_GUILESS_MAIN(TestMagnitudeParser)
#include "tst_magnitude_text_parser.moc"
