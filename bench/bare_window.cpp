// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for start-up: an empty Qt Widgets window of Quillet3's size.
// With --label it also shows one Japanese caption, which makes Qt load its font
// database, as every window that shows text must.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.setFixedSize(915, 464);
    if (argc > 1 && std::strcmp(argv[1], "--label") == 0)
        new QLabel(QStringLiteral("比較星"), &window);
    window.show();
    return app.exec();
}
