// SPDX-License-Identifier: GPL-3.0-or-later
// app_screenshot OUT.png [DELAY_MS]: starts the application as TidloCleaner
// does (run it with QT_QPA_PLATFORM=offscreen and a throw-away HOME), waits
// for the first frame plus DELAY_MS (default 600), saves the window's image
// and quits. TID_LANG, TID_PAGE and TID_GUIDE choose what is shown.
#include "Lang.h"
#include "MainWindow.h"

#include <QGuiApplication>
#include <QImage>
#include <QQuickStyle>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: app_screenshot OUT.png [DELAY_MS]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int delay = argc > 2 ? std::atoi(argv[2]) : 600;
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    Lang::install();
    MainWindow mainWindow;
    mainWindow.open();
    QQuickView* window = mainWindow.window();
    bool started = false;
    QObject::connect(window, &QQuickWindow::frameSwapped, &app, [&] {
        if (started)
            return;
        started = true;
        QTimer::singleShot(delay, &app, [&] {
            const bool saved = window->grabWindow().save(out);
            QGuiApplication::exit(saved ? 0 : 1);
        });
    });
    return app.exec();
}
