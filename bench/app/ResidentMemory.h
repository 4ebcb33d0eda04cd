// SPDX-License-Identifier: GPL-3.0-or-later
// What the memory benchmarks share: this process's resident memory, printed
// once the window has settled, and the bare Qt Quick window every figure is
// set beside.
#pragma once

#include <QFile>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQuickView>
#include <QTimer>
#include <cstdio>

// VmRSS of this process in KiB (-1 when it cannot be read).
inline long rssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

// Prints "MODE KiB" 3 seconds from now, then ends the event loop.
inline void printAfterSettling(const char* mode)
{
    QTimer::singleShot(3000, qGuiApp, [mode] {
        std::printf("%s %ld\n", mode, rssKiB());
        std::fflush(stdout);
        QGuiApplication::exit(0);
    });
}

// Shows a bare Qt Quick window of the app's size and prints its memory once
// settled: the baseline.
inline int runBareWindow(const char* mode)
{
    QQuickView view;
    QQmlComponent component(view.engine());
    component.setData("import QtQuick\nRectangle { width: 1100; height: 750 }", QUrl());
    view.setContent(QUrl(), &component, component.create());
    view.resize(1100, 750);
    view.show();
    printAfterSettling(mode);
    return QGuiApplication::exec();
}
