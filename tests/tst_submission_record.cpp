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
    const char *aavso[][3] = {{"AAVSO any case", "cv", "CV"}, {"AAVSO Rc is R", "Rc", "R"},
        {"AAVSO ic is I", "ic", "I"}, {"AAVSO Sloan", "sg", "SG"}, {"AAVSO C refused", "C", ""},
        {"AAVSO unknown", "Q", ""}};
    const char *vsnet[][3] = {{"VSNET Rc", "rc", "Rc"}, {"VSNET R is Rc", "R", "Rc"},
        {"VSNET I is Ic", "i", "Ic"}, {"VSNET CV is C", "CV", "C"}, {"VSNET SG unknown", "SG", ""}};
    for (const auto &row : aavso)
        QTest::newRow(row[0]) << Format::Aavso << QString(row[1]) << QString(row[2]);
    for (const auto &row : vsnet)
        QTest::newRow(row[0]) << Format::Vsnet << QString(row[1]) << QString(row[2]);
}

void TestSubmissionRecord::filterCode()
{
    QFETCH(SubmissionRecord::Format, format);
    QFETCH(QString, typed);
    QFETCH(QString, code);
    QCOMPARE(SubmissionRecord::filterCode(format, typed).value_or(QString()), code);
}

// Header names as acquisition programs write them: lower-case letters are
// Sloan's by AAVSO's convention, upper-case R and I Cousins'; Ha or Red not
// guessed.
void TestSubmissionRecord::filterOfImage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("aavso"); // empty: not known
    QTest::addColumn<QString>("vsnet");
    const char *rows[][3] = {{"Johnson V", "V", "V"}, {"R", "R", "Rc"}, {"I", "I", "Ic"},
        {"Cousins I", "I", "Ic"}, {"Luminance", "CV", "C"}, {"r", "SR", ""}, {"i", "SI", ""},
        {"gp", "SG", ""}, {"g'", "SG", ""}, {"z'", "SZ", ""}, {"up", "SU", ""},
        {"sdss r", "SR", ""}, {"SDSS-i", "SI", ""}, {"Sloan g'", "SG", ""}, {"U", "U", ""},
        {"G", "", ""}, {"Ha", "", ""}, {"Red", "", ""}};
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString(row[0]) << QString(row[1]) << QString(row[2]);
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
    const char *rows[][2] = {{"CCD", "CCD"}, {" dslr ", "DSLR"}, {"pep", "PEP"},
        {"VisDig", "VISDIG"}, {"Visual", ""}, {"FOO", ""}, {"", ""}};
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString(row[0]) << QString(row[1]);
}

void TestSubmissionRecord::observationType()
{
    QFETCH(QString, typed);
    QFETCH(QString, type);
    QCOMPARE(SubmissionRecord::observationType(typed).value_or(QString()), type);
}

QTEST_GUILESS_MAIN(TestSubmissionRecord)
#include "tst_submission_record.moc"
