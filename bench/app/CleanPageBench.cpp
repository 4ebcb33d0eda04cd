// SPDX-License-Identifier: GPL-3.0-or-later
// app_clean_bench: how long the main thread stalls on the Clean page with
// 2,000 findings. The real window (offscreen, software renderer) scans a
// generated home whose cache and leftover phases answer with 2,000 findings,
// then: opens the Clean page, scrolls its list from top to bottom and back in
// 40-pixel steps, types a search one letter at a time, clears it, presses
// Select All and Deselect All. A 10 ms timer records how late each tick comes
// during each step; reported beside the same timer in an idle window, and the
// worst as a share of the 50 ms budget.
#include "AppModel.h"
#include "BenchWindow.h"
#include "Findings.h"
#include "GeneratedHome.h"
#include "Lateness.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQuickItem>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Runs steps one per tick of the 10 ms timer and returns the worst lateness
// of the ticks while they ran (including the time each step took).
double worstWhile(const std::vector<std::function<void()>>& steps)
{
    size_t next = 0;
    return measure([&] {
               if (next == steps.size())
                   return true;
               steps[next++]();
               return false;
           })
        .worst();
}

void idleFor(int ticks, std::vector<std::function<void()>>& steps)
{
    for (int i = 0; i < ticks; ++i)
        steps.emplace_back([] {});
}

QQuickItem* child(QQuickItem* root, const char* name)
{
    return root->findChild<QQuickItem*>(QString::fromLatin1(name));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("TID_NOGUIDE", "1");
    qputenv("TID_PAGE", "about");
    GeneratedHome home;
    BenchWindow bench(argc, argv, BenchWindow::Platform::Offscreen);
    AppModel* model = bench.open();
    if (!model)
        return 1;
    QQuickItem* root = bench.root();
    model->setEngine(benchFindingCalls(home.path().toStdString()));

    std::vector<std::function<void()>> idle;
    idleFor(200, idle);
    const double idleWorst = worstWhile(idle);

    model->fullScan();
    while (model->scanning())
        QGuiApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("findings: %d (selected %d)\n", model->cleanList()->rowCount(),
                model->selectedCount());

    std::vector<std::function<void()>> open{[&] { root->setProperty("page", "clean"); }};
    idleFor(50, open);
    const double openWorst = worstWhile(open);

    QQuickItem* page = child(root, "pageLoader")->childItems().value(0);
    QQuickItem* list = page ? child(page, "itemList") : nullptr;
    QObject* search = page ? page->findChild<QObject*>(QStringLiteral("searchField")) : nullptr;
    QObject* selectAll = page ? page->findChild<QObject*>(QStringLiteral("selectAll")) : nullptr;
    QObject* selectNone = page ? page->findChild<QObject*>(QStringLiteral("selectNone")) : nullptr;
    if (!list || !search || !selectAll || !selectNone)
        return 1;

    std::vector<std::function<void()>> scroll;
    const double end = list->property("contentHeight").toDouble();
    for (double y = 0; y < end; y += 40)
        scroll.emplace_back([list, y] { list->setProperty("contentY", y); });
    for (double y = end; y > 0; y -= 40)
        scroll.emplace_back([list, y] { list->setProperty("contentY", y); });
    const double scrollWorst = worstWhile(scroll);

    std::vector<std::function<void()>> typing;
    const QString query = QStringLiteral("browser 1");
    for (int i = 1; i <= query.size(); ++i)
        typing.emplace_back([search, text = query.left(i)] { search->setProperty("text", text); });
    typing.emplace_back([search] { search->setProperty("text", QString()); });
    idleFor(20, typing);
    const double typingWorst = worstWhile(typing);

    std::vector<std::function<void()>> select{
        [selectNone] { QMetaObject::invokeMethod(selectNone, "clicked"); },
        [selectAll] { QMetaObject::invokeMethod(selectAll, "clicked"); }};
    idleFor(20, select);
    const double selectWorst = worstWhile(select);
    std::printf("after Select All: %d selected\n", model->selectedCount());

    const double worst = std::max({openWorst, scrollWorst, typingWorst, selectWorst});
    std::printf("idle window: worst lateness %.1f ms\n", idleWorst);
    std::printf("open page %.1f ms, scroll %zu steps %.1f ms, type %lld letters %.1f ms, "
                "Deselect All + Select All %.1f ms\n",
                openWorst, scroll.size(), scrollWorst, static_cast<long long>(query.size()),
                typingWorst, selectWorst);
    std::printf("worst / 50 ms budget = %.2f; worst / idle worst = %.2f\n", worst / 50.0,
                idleWorst > 0 ? worst / idleWorst : 0.0);
    return worst <= 50.0 ? 0 : 2;
}
