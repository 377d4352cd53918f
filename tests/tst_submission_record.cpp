// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What both formats share: the filter codes each writes, the filters image
// headers name, AAVSO's observation types.
#include "core/submission_record.h"

#include <QTest>

using namespace quillet;

class TestSubmissionRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filterCode_data();
    void filterCode();
    void filterOfImage_data();
    void filterOfImage();
    void observationType_data();
    void observationType();
};

void TestSubmissionRecord::filterCode_data()
{
    using SubmissionRecord::Format;
    QTest::addColumn<Format>("format");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("code"); // empty: refused
    QTest::newRow("AAVSO any case") << Format::Aavso << "cv"
                                    << "CV";
    QTest::newRow("AAVSO Rc is R") << Format::Aavso << "Rc"
                                   << "R";
    QTest::newRow("AAVSO ic is I") << Format::Aavso << "ic"
                                   << "I";
    QTest::newRow("AAVSO Sloan") << Format::Aavso << "sg"
                                 << "SG";
    QTest::newRow("AAVSO C refused") << Format::Aavso << "C"
                                     << "";
    QTest::newRow("AAVSO unknown") << Format::Aavso << "Q"
                                   << "";
    QTest::newRow("VSNET Rc") << Format::Vsnet << "rc"
                              << "Rc";
    QTest::newRow("VSNET R is Rc") << Format::Vsnet << "R"
                                   << "Rc";
    QTest::newRow("VSNET I is Ic") << Format::Vsnet << "i"
                                   << "Ic";
    QTest::newRow("VSNET CV is C") << Format::Vsnet << "CV"
                                   << "C";
    QTest::newRow("VSNET SG unknown") << Format::Vsnet << "SG"
                                      << "";
}

void TestSubmissionRecord::filterCode()
{
    QFETCH(SubmissionRecord::Format, format);
    QFETCH(QString, typed);
    QFETCH(QString, code);
    QCOMPARE(SubmissionRecord::filterCode(format, typed).value_or(QString()), code);
}

// Header names as acquisition programs write them: lower-case letters are
// Sloan's by AAVSO's convention, upper-case R and I Cousins'.
void TestSubmissionRecord::filterOfImage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("aavso"); // empty: not known
    QTest::addColumn<QString>("vsnet");
    QTest::newRow("Johnson V") << "Johnson V"
                               << "V"
                               << "V";
    QTest::newRow("R is Cousins") << "R"
                                  << "R"
                                  << "Rc";
    QTest::newRow("I is Cousins") << "I"
                                  << "I"
                                  << "Ic";
    QTest::newRow("Cousins I") << "Cousins I"
                               << "I"
                               << "Ic";
    QTest::newRow("Luminance") << "Luminance"
                               << "CV"
                               << "C";
    QTest::newRow("r is Sloan") << "r"
                                << "SR"
                                << "";
    QTest::newRow("i is Sloan") << "i"
                                << "SI"
                                << "";
    QTest::newRow("gp") << "gp"
                        << "SG"
                        << "";
    QTest::newRow("g'") << "g'"
                        << "SG"
                        << "";
    QTest::newRow("z'") << "z'"
                        << "SZ"
                        << "";
    QTest::newRow("up") << "up"
                        << "SU"
                        << "";
    QTest::newRow("sdss r") << "sdss r"
                            << "SR"
                            << "";
    QTest::newRow("SDSS-i") << "SDSS-i"
                            << "SI"
                            << "";
    QTest::newRow("Sloan g'") << "Sloan g'"
                              << "SG"
                              << "";
    QTest::newRow("U is Johnson") << "U"
                                  << "U"
                                  << "";
    QTest::newRow("G is no band") << "G"
                                  << ""
                                  << "";
    QTest::newRow("Ha is not guessed") << "Ha"
                                       << ""
                                       << "";
    QTest::newRow("red is not guessed") << "Red"
                                        << ""
                                        << "";
}

void TestSubmissionRecord::filterOfImage()
{
    QFETCH(QString, name);
    QFETCH(QString, aavso);
    QFETCH(QString, vsnet);
    using SubmissionRecord::Format;
    QCOMPARE(SubmissionRecord::filterOfImage(Format::Aavso, name).value_or(QString()), aavso);
    QCOMPARE(SubmissionRecord::filterOfImage(Format::Vsnet, name).value_or(QString()), vsnet);
}

void TestSubmissionRecord::observationType_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("type"); // empty: refused
    QTest::newRow("CCD") << "CCD"
                         << "CCD";
    QTest::newRow("dslr in lower case") << " dslr "
                                        << "DSLR";
    QTest::newRow("PEP") << "pep"
                         << "PEP";
    QTest::newRow("VISDIG") << "VisDig"
                            << "VISDIG";
    QTest::newRow("visual is another format") << "Visual"
                                              << "";
    QTest::newRow("FOO") << "FOO"
                         << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestSubmissionRecord::observationType()
{
    QFETCH(QString, typed);
    QFETCH(QString, type);
    QCOMPARE(SubmissionRecord::observationType(typed).value_or(QString()), type);
}

QTEST_GUILESS_MAIN(TestSubmissionRecord)
#include "tst_submission_record.moc"
