// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The one validator of a submission, as the command line and the dialog ask
// it: every refusal names the field as the asker calls it.
#include "report/submission.h"
#include "test_support.h"

#include <QTest>

using namespace quillet;
using namespace quillet::test;
using submission::Format;
using submission::Interface;

Q_DECLARE_METATYPE(submission::Format)
Q_DECLARE_METATYPE(submission::Interface)

namespace {

// A complete submission, then the changes a row makes ("star=…").
submission::Typed typed(const QStringList &changes)
{
    submission::Typed t;
    t.star = QStringLiteral("SS Cyg");
    t.jd = QStringLiteral("2461382.51234");
    t.filter = QStringLiteral("V");
    t.obscode = QStringLiteral("XYZ");
    for (const QString &change : changes) {
        const QString name = change.section(u'=', 0, 0);
        const QString value = change.section(u'=', 1);
        QString submission::Typed::*field = name == QLatin1String("star") ? &submission::Typed::star
            : name == QLatin1String("jd")                                 ? &submission::Typed::jd
            : name == QLatin1String("filter")    ? &submission::Typed::filter
            : name == QLatin1String("obscode")   ? &submission::Typed::obscode
            : name == QLatin1String("chart")     ? &submission::Typed::chart
            : name == QLatin1String("checkName") ? &submission::Typed::checkName
            : name == QLatin1String("obstype")   ? &submission::Typed::obstype
                                                 : &submission::Typed::airmass;
        if (name == QLatin1String("check"))
            t.check = true;
        else
            t.*field = value;
    }
    return t;
}

} // namespace

class TestSubmission : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void check_data();
    void check();
    void overlongLine();
};

void TestSubmission::check_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<Interface>("asker");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QString>("problem"); // empty: accepted
    const Format A = Format::Aavso;
    const Format V = Format::Vsnet;
    const Interface Cli = Interface::CommandLine;
    const Interface Dialog = Interface::Dialog;
    QTest::newRow("complete") << A << Cli << QStringList() << "";
    QTest::newRow("no star") << A << Cli << QStringList {"star= "} << "--star が必要です";
    QTest::newRow("no star, dialog") << A << Dialog << QStringList {"star="} << "星名がありません";
    QTest::newRow("JD 0") << A << Cli << QStringList {"jd=0"} << "--jd はユリウス日";
    QTest::newRow("JD 1e19") << V << Dialog << QStringList {"jd=1e19"}
                             << "JD がユリウス日ではありません";
    QTest::newRow("star that would be a comment")
        << A << Cli << QStringList {"star=#SS Cyg"} << "--star に使えない文字があります（先頭の #";
    QTest::newRow("comma in the chart") << A << Dialog << QStringList {"chart=X1,X2"}
                                        << "チャート に使えない文字があります（区切りの ,";
    QTest::newRow("escape in the star")
        << A << Cli << QStringList {"star=SS\x1b[2JCyg"} << "制御文字）: SS\\x1b[2JCyg";
    QTest::newRow("blank inside the observer code")
        << V << Cli << QStringList {"obscode=XY Z"} << "--obscode に空白は使えません";
    QTest::newRow("C for AAVSO") << A << Cli << QStringList {"filter=C"} << "CV";
    QTest::newRow("SG for VSNET") << V << Dialog << QStringList {"filter=SG"}
                                  << "VSNET には SG に当たるフィルターがありません";
    QTest::newRow("obstype in any case") << A << Cli << QStringList {"obstype=dslr"} << "";
    QTest::newRow("obstype FOO") << A << Cli << QStringList {"obstype=FOO"}
                                 << "--obstype は CCD, DSLR, PEP, VISDIG のどれかです: FOO";
    QTest::newRow("STARID of 31") << A << Cli << QStringList {"star=" + QString(31, u'x')}
                                  << "AAVSO の STARID 欄は 30 文字までです（31 文字あります）";
    QTest::newRow("DATE of 17") << A << Cli << QStringList {"jd=2461382.512345678"}
                                << "AAVSO の DATE 欄は 16 文字までです（17 文字あります）";
    QTest::newRow("KNAME of 23") << A << Cli
                                 << QStringList {"check", "checkName=000-BCT-001-000-BCT-001"}
                                 << "AAVSO の KNAME 欄は 20 文字までです（23 文字あります）";
    QTest::newRow("CHART of 23") << A << Dialog << QStringList {"chart=X12345ABCX12345ABCXYZAB"}
                                 << "AAVSO の CHART 欄は 20 文字までです（23 文字あります）";
    QTest::newRow("AMASS of 8") << A << Cli << QStringList {"airmass=1.234567"}
                                << "AAVSO の AMASS 欄は 7 文字までです（8 文字あります）";
    QTest::newRow("AMASS of 7") << A << Cli << QStringList {"airmass=1.23456"} << "";
    QTest::newRow("check name without check")
        << A << Cli << QStringList {"checkName=K"} << "--check-name は --check と一緒に使います";
    QTest::newRow("check without name, dialog")
        << A << Dialog << QStringList {"check"} << "チェック星名がありません（AAVSO の KNAME）";
    QTest::newRow("negative airmass")
        << A << Cli << QStringList {"airmass=-1.2"} << "エアマスが数値ではありません";
    QTest::newRow("VSNET takes no obstype") << V << Cli << QStringList {"obstype=FOO"} << "";
}

void TestSubmission::check()
{
    QFETCH(Format, format);
    QFETCH(Interface, asker);
    QFETCH(QStringList, changes);
    QFETCH(QString, problem);
    const submission::Checked checked = submission::check(format, typed(changes), asker);
    QVERIFY2(problem.isEmpty() ? checked.problem.isEmpty() : checked.problem.contains(problem),
        qPrintable(checked.problem));
    if (problem.isEmpty() && format == Format::Aavso) {
        QCOMPARE(checked.record.star, QStringLiteral("SS Cyg"));
        QVERIFY(SubmissionRecord::observationTypes().contains(checked.record.obstype));
    }
}

// A magnitude, error or KMAG the record cannot hold is refused with the
// field, never cut.
void TestSubmission::overlongLine()
{
    QStringList far = workedTable();
    far[12] = QStringLiteral("1E+5");
    far[13] = QStringLiteral("12");
    ReportOutcome outcome = MakeCalibrationReport(far, {QStringLiteral("2.5")}, 7);
    QVERIFY(!outcome.problem);
    const submission::Checked checked
        = submission::check(Format::Aavso, typed({"check", "checkName=K"}), Interface::CommandLine);
    QVERIFY(checked.problem.isEmpty());
    const submission::Line line = submission::line(
        Format::Aavso, checked.record, outcome.report, outcome.report.variables[0]);
    QCOMPARE(line.problem, QStringLiteral("AAVSO の KMAG 欄は 8 文字までです（10 文字あります）"));
    QVERIFY(line.text.isEmpty());
    outcome = MakeCalibrationReport(workedTable(), {QStringLiteral("2.5")});
    const submission::Line fits = submission::line(
        Format::Aavso, checked.record, outcome.report, outcome.report.variables[0]);
    QVERIFY(fits.problem.isEmpty());
    QVERIFY(fits.text.startsWith(QStringLiteral("SS Cyg,2461382.51234,11.750,0.395,V,")));
}

QTEST_GUILESS_MAIN(TestSubmission)
#include "tst_submission.moc"
