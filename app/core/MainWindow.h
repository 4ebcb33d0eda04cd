// SPDX-License-Identifier: GPL-3.0-or-later
// The application's start: builds the one main window (1100 x 750, minimum
// 980 x 660, titled with the application's name), puts the root view into it,
// and runs a short watchdog that puts the window back to a usable size if
// something shrinks it during the first ten seconds. Closing the window quits.
#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickView>
#include <QTimer>
#include <memory>

class MainWindow : public QObject
{
    Q_OBJECT

public:
    static constexpr int kWidth = 1100;
    static constexpr int kHeight = 750;
    static constexpr int kMinWidth = 980;
    static constexpr int kMinHeight = 660;
    static constexpr int kWatchdogTicks = 20;

    explicit MainWindow(QObject* parent = nullptr);
    ~MainWindow() override;

    // Builds, shows and (unless TID_NOACT=1) activates the main window.
    void open();

    QQuickView* window() const { return m_window.get(); }

private:
    void watchdogTick();

    std::unique_ptr<QQuickView> m_window;
    QTimer m_watchdog;
    int m_ticks = 0;
};
