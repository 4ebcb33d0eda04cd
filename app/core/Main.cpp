// SPDX-License-Identifier: GPL-3.0-or-later
// TidloCleaner: the desktop application. Qt Quick with the Basic controls style;
// MainWindow builds the window once the event loop is about to run.
#include "ButtonAccessible.h"
#include "Lang.h"
#include "MainWindow.h"
#include "Runner.h"

#include <QGuiApplication>
#include <QIcon>
#include <QQuickStyle>
#include <QTimer>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("TidloCleaner"));
    QGuiApplication::setDesktopFileName(QStringLiteral(TIDLO_APP_ID));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/" TIDLO_APP_ID ".svg")));
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    Lang::install();
    ButtonAccessible::install();
    // Closing the window ends the process at once: running tools are stopped,
    // so a scan's worker returns within a moment and its result is dropped.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { Shell::stopAll(); });

    MainWindow mainWindow;
    QTimer::singleShot(0, &mainWindow, &MainWindow::open);
    return app.exec();
}
