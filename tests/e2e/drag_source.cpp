// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What a file manager does when a file is dragged out of it: the end-to-end
// tests press the mouse on this window and move it onto the program's, and
// the file given goes there by the desktop's own drag and drop (XDND).
//     drag_source FILE
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <cstdio>

namespace {

class Source : public QLabel
{
public:
    explicit Source(const QString &file)
        : QLabel(file)
        , m_file(file)
    {
        setWindowTitle(QStringLiteral("drag-source"));
        setMinimumSize(160, 80);
    }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        auto *drag = new QDrag(this);
        auto *mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(m_file)});
        drag->setMimeData(mime);
        // Said as soon as a window under the pointer takes the file: the
        // tests release the button only then.
        connect(drag, &QDrag::actionChanged, this, [](Qt::DropAction action) {
            if (action == Qt::CopyAction) {
                std::printf("accepted\n");
                std::fflush(stdout);
            }
        });
        const Qt::DropAction done = drag->exec(Qt::CopyAction);
        std::printf("%s\n", done == Qt::CopyAction ? "dropped" : "not dropped");
        std::fflush(stdout);
    }

private:
    QString m_file;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    Source source(QString::fromLocal8Bit(argv[1]));
    source.move(20, 620);
    source.show();
    // Ready once the window is shown and the event loop runs.
    QMetaObject::invokeMethod(
        &source,
        [] {
            std::printf("ready\n");
            std::fflush(stdout);
        },
        Qt::QueuedConnection);
    return app.exec();
}
