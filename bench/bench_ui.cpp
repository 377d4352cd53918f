// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Window benchmarks under the offscreen platform, each beside its floor: the
// import of a 10 MB paste against taking its text out of the box, and
// opening the graph window on a full table against showing a bare window.
//     bench_ui --series TABLE: the series window on TABLE (compdata.txt in the
// working folder): its first picture, and a recompute after an image is
// clicked out, against reading and splitting the table's fields; peak memory.
#include "bench_common.h"
#include "ui/beside_windows_hub.h"
#include "ui/form1.h"
#include "ui/forms.h"
#include "ui/series_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <sys/resource.h>

using namespace quillet;
using namespace quillet::bench;

namespace {

int seriesWindow(const QString &table)
{
    Form1 form;
    form.Form_Load();
    BesideWindowsHub windows(&form, [&form] { return form.diagnosisInputs(); });
    windows.showSeries();
    SeriesWindow *series = windows.series();
    // Once: the picture of a window that shows the table for the first time.
    const double first = medianSeconds(1, [&] {
        series->openFile(table);
        series->grab();
    });
    const double floor = medianSeconds(5, [&] { splitFields(table.toLocal8Bit().constData()); });
    report("series window, first picture", first, "reading and splitting fields", floor);
    std::printf("  bar 1.5 s: %s; images used %d\n", first <= 1.5 ? "met" : "not met",
        series->night().summary.used);
    int image = 0;
    const double recompute = medianSeconds(9, [&] {
        series->toggleImage(++image);
        series->grab();
    });
    report("  ... recompute after a click", recompute, "reading and splitting fields", floor);
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("  bar 0.1 s: %s; peak memory %.1f MiB (bar 150 MiB)\n",
        recompute <= 0.1 ? "met" : "not met", usage.ru_maxrss / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--series")
        return seriesWindow(QString::fromLocal8Bit(argv[2]));

    Form1 form;
    form.show();
    // A plain-text paste: line feeds as the text box holds them.
    QString paste = realisticPaste(10 * 1000 * 1000);
    paste.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    form.text37()->setPlainText(paste);
    const double import = medianSeconds(5, [&] { form.Command27_Click(); });
    qsizetype held = 0;
    const double takeOut
        = medianSeconds(5, [&] { held += forms::multiLineText(form.text37()).size(); });
    report("Command27_Click, 10 MB in Text37", import, "taking the text out of the box", takeOut);
    std::printf("  row 1 now holds \"%s\"\n", qPrintable(form.text(1)->text()));

    for (int n = 1; n <= 30; ++n)
        form.text(n)->setText(QString::number(n % 2 ? 1.0 + n : 9.0 + 0.1 * n));
    const double graph = medianSeconds(9, [&] {
        form.Command24_Click();
        QApplication::processEvents();
        form.graphWindow()->close();
    });
    const double bare = medianSeconds(9, [&] {
        QWidget window;
        window.resize(305, 330);
        window.show();
        QApplication::processEvents();
    });
    report("Command24_Click, full table", graph, "a bare window shown", bare);
    return 0;
}
