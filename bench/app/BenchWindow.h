// SPDX-License-Identifier: GPL-3.0-or-later
// The application as a benchmark brings it up: the GUI application with the
// Basic controls style, and, when asked, the real main window with the app's
// language, as TidloCleaner builds it at start-up. Offscreen puts the window
// on the offscreen platform with the software renderer; AsRun leaves the
// platform to the environment (memory.sh compares platforms).
#pragma once

#include "AppModel.h"
#include "Lang.h"
#include "MainWindow.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickView>

#include <optional>

class BenchWindow
{
public:
    enum class Platform { Offscreen, AsRun };

    BenchWindow(int& argc, char** argv, Platform platform)
        : m_app(setPlatform(platform, argc), argv)
    {
        QQuickStyle::setStyle(QStringLiteral("Basic"));
    }

    // Builds and shows the main window; the app's model, or null when the
    // window has none (a broken QML module).
    AppModel* open()
    {
        Lang::install();
        m_mainWindow.emplace();
        m_mainWindow->open();
        return root()->property("app").value<AppModel*>();
    }

    QQuickView* window() const { return m_mainWindow->window(); }
    QQuickItem* root() const { return window()->rootObject(); }

private:
    // Before the application reads the platform; hands argc through.
    static int& setPlatform(Platform platform, int& argc)
    {
        if (platform == Platform::Offscreen) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            qputenv("QT_QUICK_BACKEND", "software");
        }
        return argc;
    }

    QGuiApplication m_app;
    std::optional<MainWindow> m_mainWindow;
};
