// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/numeric_text.h"

#include <QRandomGenerator>
#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>

using namespace quillet;

class TestNumericText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // strtod and snprintf serve as references and must read "." as the point.
    void initTestCase() { std::setlocale(LC_NUMERIC, "C"); }
    void parseNumber_data();
    void parseNumber();
    void parseNumberUnderGermanLocale();
    void isEmptyText_data();
    void isEmptyText();
    void formatPattern_data();
    void formatPattern();
    void signedNumberText_data();
    void signedNumberText();
    void fileAndPlainNumberText_data();
    void fileAndPlainNumberText();
    void floorValue_data();
    void floorValue();
    void nonFiniteValues();
    void roundTripRandomDoubles();
    void parseMatchesCorrectRounding();
};

void TestNumericText::parseNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("whole"); // a number in full, for ParseWholeNumber

    QTest::newRow("empty") << QString() << 0.0 << false;
    QTest::newRow("single blank") << QStringLiteral(" ") << 0.0 << false;
    QTest::newRow("abc") << QStringLiteral("abc") << 0.0 << false;
    QTest::newRow("Text1") << QStringLiteral("Text1") << 0.0 << false;
    QTest::newRow("12.3") << QStringLiteral("12.3") << 12.3 << true;
    QTest::newRow("leading blanks") << QStringLiteral("   -8.125") << -8.125 << false;
    QTest::newRow("plus sign") << QStringLiteral("+3") << 3.0 << true;
    QTest::newRow("point first") << QStringLiteral(".5") << 0.5 << true;
    QTest::newRow("minus point") << QStringLiteral("-.50") << -0.5 << true;
    QTest::newRow("blank between digits") << QStringLiteral("1 2.5") << 12.5 << false;
    QTest::newRow("blank after sign") << QStringLiteral("- 5") << -5.0 << false;
    QTest::newRow("trailing letters") << QStringLiteral("12.3abc") << 12.3 << false;
    QTest::newRow("comma stops") << QStringLiteral("1,5") << 1.0 << false;
    QTest::newRow("second point stops") << QStringLiteral("1.2.3") << 1.2 << false;
    QTest::newRow("exponent") << QStringLiteral("1.5E2") << 150.0 << true;
    QTest::newRow("negative exponent") << QStringLiteral("2.5e-1") << 0.25 << true;
    QTest::newRow("CR LF after number") << QStringLiteral("-12.345\r\n") << -12.345 << false;
    QTest::newRow("pasted window") << QStringLiteral("-8.1 2.") << -8.12 << false;
    QTest::newRow("tab and line feed removed") << QStringLiteral("\t1\n2.\n5") << 12.5 << false;
    QTest::newRow("carriage return stops") << QStringLiteral("1\r2") << 1.0 << false;
    QTest::newRow("format text .50") << QStringLiteral(".50") << 0.5 << true;
    QTest::newRow("format text -.50") << QStringLiteral("-.50") << -0.5 << true;
    QTest::newRow("format text 10.00") << QStringLiteral("10.00") << 10.0 << true;
    QTest::newRow("sign alone") << QStringLiteral("-") << 0.0 << false;
    QTest::newRow("point alone") << QStringLiteral(".") << 0.0 << false;
    QTest::newRow("two signs") << QStringLiteral("+-5") << 0.0 << false;
    QTest::newRow("exponent without digits") << QStringLiteral("3e") << 3.0 << false;
    QTest::newRow("exponent sign without digits") << QStringLiteral("3e-x") << 3.0 << false;
    QTest::newRow("exponent before digits") << QStringLiteral("e5") << 0.0 << false;
    QTest::newRow("D is no exponent") << QStringLiteral("2D3") << 2.0 << false;
    QTest::newRow("hex prefix") << QStringLiteral("&H10") << 0.0 << false;
    QTest::newRow("full-width digit") << QStringLiteral("\uFF11\uFF12") << 0.0 << false;
    QTest::newRow("exponent form of writer") << QStringLiteral("1.5E+20") << 1.5e20 << true;
    QTest::newRow("overflow") << QStringLiteral("1e999") << std::numeric_limits<double>::max()
                              << true;
    QTest::newRow("negative overflow")
        << QStringLiteral("-1e999") << -std::numeric_limits<double>::max() << true;
    QTest::newRow("huge exponent digits")
        << QStringLiteral("1e99999999999999999999") << std::numeric_limits<double>::max() << true;
    QTest::newRow("underflow") << QStringLiteral("1e-999") << 0.0 << true;
    QTest::newRow("long integer overflow")
        << QString(400, u'9') << std::numeric_limits<double>::max() << true;
    QTest::newRow("largest double written and read")
        << QStringLiteral("1.79769313486232E+308") << std::numeric_limits<double>::max() << true;
    QTest::newRow("small fraction underflow")
        << (QStringLiteral("0.") + QString(400, u'0') + u'1') << 0.0 << true;
    QTest::newRow("zero with huge exponent") << QStringLiteral("0e99999") << 0.0 << true;
    QTest::newRow("correct rounding") << QStringLiteral("0.1") << 0.1 << true;
    QTest::newRow("letter O for zero") << QStringLiteral("1O.5") << 1.0 << false;
    QTest::newRow("full-width 2.5") << QStringLiteral("\uFF12.\uFF15") << 0.0 << false;
    QTest::newRow("17 digits") << QStringLiteral("14.123456789012345") << 14.123456789012345
                               << true;
}

void TestNumericText::parseNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QFETCH(bool, whole);
    QCOMPARE(ParseNumber(text), expected);
    QCOMPARE(ParseWholeNumber(text), whole ? std::optional<double>(expected) : std::nullopt);
}

void TestNumericText::parseNumberUnderGermanLocale()
{
    // Under a locale with a decimal comma the point must still be the separator.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const char *c = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (!c)
        c = std::setlocale(LC_NUMERIC, "de_DE");
    QCOMPARE(ParseNumber(u"12.5"), 12.5);
    QCOMPARE(ParseNumber(u"1,5"), 1.0);
    QCOMPARE(FormatPattern(2.675, u"#0.00"), QStringLiteral("2.68"));
    QCOMPARE(SignedNumberText(-3.5), QStringLiteral("-3.5"));
    QCOMPARE(PlainNumberText(0.25), QStringLiteral("0.25"));
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(saved);
}

void TestNumericText::isEmptyText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("empty");
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("empty not null") << QStringLiteral("") << true;
    QTest::newRow("blank") << QStringLiteral(" ") << false;
    QTest::newRow("zero") << QStringLiteral("0") << false;
    QTest::newRow("carriage return") << QStringLiteral("\r") << false;
}

void TestNumericText::isEmptyText()
{
    QFETCH(QString, text);
    QFETCH(bool, empty);
    QCOMPARE(IsEmptyText(text), empty);
}

void TestNumericText::formatPattern_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("withZero"); // "#0.00"
    QTest::addColumn<QString>("hashOnly"); // "##.00", "####.00", "#####.00"

    QTest::newRow("0") << 0.0 << "0.00"
                       << ".00";
    QTest::newRow("0.5") << 0.5 << "0.50"
                         << ".50";
    QTest::newRow("0.125") << 0.125 << "0.13"
                           << ".13";
    QTest::newRow("0.285") << 0.285 << "0.29"
                           << ".29";
    QTest::newRow("1.005") << 1.005 << "1.01"
                           << "1.01";
    QTest::newRow("2.675") << 2.675 << "2.68"
                           << "2.68";
    QTest::newRow("9.995") << 9.995 << "10.00"
                           << "10.00";
    QTest::newRow("12.345") << 12.345 << "12.35"
                            << "12.35";
    QTest::newRow("12.3449") << 12.3449 << "12.34"
                             << "12.34";
    QTest::newRow("-0.5") << -0.5 << "-0.50"
                          << "-.50";
    QTest::newRow("-8.1234") << -8.1234 << "-8.12"
                             << "-8.12";
    QTest::newRow("-12.345") << -12.345 << "-12.35"
                             << "-12.35";
    QTest::newRow("123.4") << 123.4 << "123.40"
                           << "123.40";
    QTest::newRow("4500") << 4500.0 << "4500.00"
                          << "4500.00";
    QTest::newRow("five integer digits") << 12345.678 << "12345.68"
                                         << "12345.68";
    QTest::newRow("more digits than pattern") << 123456.789 << "123456.79"
                                              << "123456.79";
    QTest::newRow("-11998.8") << -11998.8 << "-11998.80"
                              << "-11998.80";
    QTest::newRow("carry to 1") << 0.995 << "1.00"
                                << "1.00";
    QTest::newRow("carry through nines") << 999.999 << "1000.00"
                                         << "1000.00";
    QTest::newRow("negative carry") << -9.995 << "-10.00"
                                    << "-10.00";
    QTest::newRow("just below half") << 0.004999 << "0.00"
                                     << ".00";
    QTest::newRow("half of smallest") << 0.005 << "0.01"
                                      << ".01";
    QTest::newRow("negative to zero") << -0.004 << "0.00"
                                      << ".00";
    QTest::newRow("negative zero") << -0.0 << "0.00"
                                   << ".00";
    QTest::newRow("tiny") << 1e-300 << "0.00"
                          << ".00";
    QTest::newRow("1e20") << 1e20 << "100000000000000000000.00"
                          << "100000000000000000000.00";
    QTest::newRow("16 digits rounded to 15") << 1234567890123456.7 << "1234567890123460.00"
                                             << "1234567890123460.00";
    QTest::newRow("0.15 neighbour") << 0.145 << "0.15"
                                    << ".15";
}

void TestNumericText::formatPattern()
{
    QFETCH(double, value);
    QFETCH(QString, withZero);
    QFETCH(QString, hashOnly);
    QCOMPARE(FormatPattern(value, u"#0.00"), withZero);
    QCOMPARE(FormatPattern(value, u"##.00"), hashOnly);
    QCOMPARE(FormatPattern(value, u"####.00"), hashOnly);
    QCOMPARE(FormatPattern(value, u"#####.00"), hashOnly);
}

void TestNumericText::signedNumberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.0234") << 1.0234 << " 1.0234";
    QTest::newRow("-3.5") << -3.5 << "-3.5";
    QTest::newRow("2") << 2.0 << " 2";
    QTest::newRow("0") << 0.0 << " 0";
    QTest::newRow("negative zero") << -0.0 << " 0";
    QTest::newRow("1.1 + 2.2") << (1.1 + 2.2) << " 3.3";
    QTest::newRow("15 digits") << 14.123456789012345 << " 14.1234567890123";
    QTest::newRow("-10/3") << (-10.0 / 3.0) << "-3.33333333333333";
    QTest::newRow("half") << 0.5 << " 0.5";
    QTest::newRow("-0.25") << -0.25 << "-0.25";
    QTest::newRow("1234.5") << 1234.5 << " 1234.5";
    QTest::newRow("trailing integer zeros") << 1200.0 << " 1200";
    QTest::newRow("largest plain") << 999999999999999.0 << " 999999999999999";
    QTest::newRow("1e15 exponent form") << 1e15 << " 1E+15";
    QTest::newRow("rounds up to 1e15") << 999999999999999.9 << " 1E+15";
    QTest::newRow("1.5e20") << -1.5e20 << "-1.5E+20";
    QTest::newRow("1e-5 plain") << 1e-5 << " 0.00001";
    QTest::newRow("2e-7 exponent form") << 2e-7 << " 2E-07";
    QTest::newRow("1e-300") << 1e-300 << " 1E-300";
    QTest::newRow("max double") << std::numeric_limits<double>::max() << " 1.79769313486232E+308";
}

void TestNumericText::signedNumberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(SignedNumberText(value), text);
}

void TestNumericText::fileAndPlainNumberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("plain");
    QTest::newRow("-12.345") << -12.345 << "-12.345 "
                             << "-12.345";
    QTest::newRow("10.5") << 10.5 << " 10.5 "
                          << "10.5";
    QTest::newRow("0") << 0.0 << " 0 "
                       << "0";
    QTest::newRow("0.5") << 0.5 << " 0.5 "
                         << "0.5";
    QTest::newRow("10") << 10.0 << " 10 "
                        << "10";
    QTest::newRow("12.340 parsed") << ParseNumber(u"12.340") << " 12.34 "
                                   << "12.34";
}

void TestNumericText::fileAndPlainNumberText()
{
    QFETCH(double, value);
    QFETCH(QString, file);
    QFETCH(QString, plain);
    QCOMPARE(FileNumberText(value), file);
    QCOMPARE(PlainNumberText(value), plain);
}

void TestNumericText::floorValue_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("floor");
    QTest::newRow("2.9") << 2.9 << 2.0;
    QTest::newRow("2") << 2.0 << 2.0;
    QTest::newRow("-0.5") << -0.5 << -1.0;
    QTest::newRow("-2.1") << -2.1 << -3.0;
    QTest::newRow("just below 375") << ((1 - 0.8) / (3.2 - 0.8) * 4500) << 374.0;
}

void TestNumericText::floorValue()
{
    QFETCH(double, value);
    QFETCH(double, floor);
    QCOMPARE(FloorValue(value), floor);
}

void TestNumericText::nonFiniteValues()
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QCOMPARE(FormatPattern(inf, u"#0.00"), QStringLiteral("Infinity"));
    QCOMPARE(FormatPattern(-inf, u"##.00"), QStringLiteral("-Infinity"));
    QCOMPARE(FormatPattern(nan, u"#0.00"), QStringLiteral("NaN"));
    QCOMPARE(SignedNumberText(inf), QStringLiteral(" Infinity"));
    QCOMPARE(SignedNumberText(-inf), QStringLiteral("-Infinity"));
    QCOMPARE(SignedNumberText(nan), QStringLiteral(" NaN"));
    QCOMPARE(FileNumberText(-inf), QStringLiteral("-Infinity "));
    QCOMPARE(PlainNumberText(nan), QStringLiteral("NaN"));
    // None of them reads back as a number.
    QCOMPARE(ParseNumber(FormatPattern(inf, u"#0.00")), 0.0);
    QCOMPARE(ParseNumber(SignedNumberText(-inf)), -0.0);
    QCOMPARE(ParseNumber(PlainNumberText(nan)), 0.0);
}

// Property: every displayed text reads back to the value it displays.
void TestNumericText::roundTripRandomDoubles()
{
    QRandomGenerator random(20261207);
    for (int i = 0; i < 20000; ++i) {
        // Mix of scales typical of the program and far beyond it.
        const int scale = int(random.bounded(-12, 25));
        double x = (random.generateDouble() * 2 - 1) * std::pow(10.0, scale);
        if (i % 7 == 0)
            x = std::round(x * 1000) / 1000; // many exact halves at the third decimal

        // 15 significant digits: the text and the value's own 15-digit rounding agree.
        const QString plain = PlainNumberText(x);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.14e", x);
        QCOMPARE(ParseNumber(plain), std::strtod(expected, nullptr));

        for (const auto pattern : {u"#0.00", u"##.00", u"#####.00"}) {
            const QString shown = FormatPattern(x, pattern);
            // The displayed value lies within half a hundredth of the 15-digit decimal.
            const double back = ParseNumber(shown);
            const double x15 = std::strtod(expected, nullptr);
            QVERIFY2(std::fabs(back - x15) <= 0.005 * (1 + 1e-12) + std::fabs(x15) * 1e-15,
                qPrintable(shown + QStringLiteral(" for ") + plain));
            // Two decimals always, and the text is exactly what the rounded value prints.
            QCOMPARE(shown.mid(shown.indexOf(u'.') + 1).size(), 2);
            QCOMPARE(FormatPattern(back, pattern), shown);
        }
    }
}

// Random decimal texts: the parse is the correctly rounded double, the same as
// the C library's strtod in the C locale, on the fast path and off it.
void TestNumericText::parseMatchesCorrectRounding()
{
    QRandomGenerator random(1234);
    for (int i = 0; i < 50000; ++i) {
        std::string text;
        if (random.bounded(2))
            text += '-';
        const int digits = int(random.bounded(1, 22));
        const int point = int(random.bounded(0, digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point)
                text += '.';
            text += char('0' + random.bounded(10));
        }
        if (random.bounded(3) == 0)
            text += 'e' + std::to_string(int(random.bounded(-40, 40)));
        const double expected = std::strtod(text.c_str(), nullptr);
        QCOMPARE(ParseNumber(QString::fromLatin1(text.c_str())), expected);
    }
}

QTEST_GUILESS_MAIN(TestNumericText)
#include "tst_numeric_text.moc"
