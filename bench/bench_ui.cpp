// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Window benchmarks under the offscreen platform, each beside its floor: the
// import of a 10 MB paste against taking its text out of the box, and
// opening the graph window on a full table against showing a bare window.
#include "bench_common.h"
#include "ui/form1.h"
#include "ui/forms.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace quillet;
using namespace quillet::bench;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

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
