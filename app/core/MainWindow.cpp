// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindow.h"

#include "AppIconProvider.h"
#include "Text.h"

#include <QGuiApplication>
#include <QPalette>
#include <QQmlEngine>
#include <QScreen>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool envIsOne(const char* name)
{
    const char* v = std::getenv(name);
    return v && std::strcmp(v, "1") == 0;
}

const char* boolText(bool b)
{
    return b ? "true" : "false";
}

// Windows that can become the main window: ordinary top-level windows, not
// menus, tooltips or other popups.
bool canBecomeMain(const QWindow* w)
{
    const Qt::WindowType type = w->type();
    return type == Qt::Window || type == Qt::Dialog;
}

void centre(QWindow* w)
{
    if (QScreen* screen = w->screen()) {
        const QRect area = screen->availableGeometry();
        w->setPosition(area.center() - QPoint(w->width() / 2, w->height() / 2));
    }
}

} // namespace

MainWindow::MainWindow(QObject* parent) : QObject(parent)
{
    m_watchdog.setInterval(500);
    connect(&m_watchdog, &QTimer::timeout, this, &MainWindow::watchdogTick);
}

MainWindow::~MainWindow() = default;

void MainWindow::open()
{
    m_window = std::make_unique<QQuickView>();
    QQuickView* w = m_window.get();
    w->setObjectName(QStringLiteral("main"));
    w->setTitle(QString::fromStdString(t("app.name")));
    w->setMinimumSize(QSize(kMinWidth, kMinHeight));
    w->setResizeMode(QQuickView::SizeRootObjectToView);
    w->setColor(QGuiApplication::palette().color(QPalette::Window));
    w->engine()->addImportPath(QStringLiteral("qrc:/qt/qml"));
    w->engine()->addImageProvider(QLatin1String(AppIconProvider::kName), new AppIconProvider);
    w->resize(kWidth, kHeight);
    w->setSource(QUrl(QStringLiteral("qrc:/qt/qml/Tidlo/Views/RootView.qml")));
    for (const QQmlError& e : w->errors())
        std::fprintf(stderr, "%s\n", qPrintable(e.toString()));
    centre(w);
    w->show();

    m_ticks = 0;
    m_watchdog.start();

    // The offscreen platform of the tests has no window stacking to ask for.
    if (!envIsOne("TID_NOACT") && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        w->raise();
        w->requestActivate();
    }
}

void MainWindow::watchdogTick()
{
    ++m_ticks;
    QQuickView* main = m_window.get();
    if (!main) {
        m_watchdog.stop();
        return;
    }
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow* w : windows) {
        if (!canBecomeMain(w))
            continue;
        if (w->width() < 900 || w->height() < 600) {
            w->resize(kWidth, kHeight);
            centre(w);
        }
    }
    const bool debug = envIsOne("TID_DEBUG");
    if (debug) {
        for (QWindow* w : windows) {
            const char* cls = w->metaObject()->className();
            std::printf("WIN %llu %dx%d vis=%s main=%s cls=%s\n",
                        static_cast<unsigned long long>(w->winId()), w->width(), w->height(),
                        boolText(w->isVisible()), boolText(canBecomeMain(w)), cls);
        }
        std::fflush(stdout);
    }
    if (m_ticks > kWatchdogTicks - 1)
        m_watchdog.stop();
    if (debug) {
        QStringList entries;
        for (QWindow* w : windows)
            entries.push_back(QStringLiteral("%1=%2x%3 vis=%4")
                                  .arg(w->title())
                                  .arg(w->width())
                                  .arg(w->height())
                                  .arg(QLatin1String(boolText(w->isVisible()))));
        std::printf("PIN %d main=%dx%d windows: %s\n", m_ticks, main->width(), main->height(),
                    qPrintable(entries.join(QStringLiteral(" | "))));
        std::fflush(stdout);
    }
}
