// The yardstick for start-up: an empty Qt Widgets window of Quillet3's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.setFixedSize(915, 464);
    window.show();
    return app.exec();
}
