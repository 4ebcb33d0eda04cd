// SPDX-License-Identifier: GPL-3.0-or-later
// app_dupes_cancel_bench: how soon Cancel ends the app's duplicate search.
// A generated home holds the duplicates corpus (unique files, groups of 2 to 4
// copies, head/tail traps whose middles differ, all of 64 KiB or more) and,
// in the second round, two sparse 64 GiB twins whose byte-for-byte comparison
// would take minutes. For each cancel point the model's search is started, the
// search is cancelled that long after, and the time from DuplicateSearch::cancel() to
// the task's end (scanned turning true) is measured. Reported beside the
// time of one uncancelled search of the same corpus.
#include "AppModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

void write(const QString& path, const QByteArray& data)
{
    QDir().mkpath(path.left(path.lastIndexOf('/')));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

QByteArray randomBytes(std::mt19937& rng, int size)
{
    QByteArray out(size, '\0');
    for (auto& c : out)
        c = char(rng() & 0xFF);
    return out;
}

void buildCorpus(const QString& home)
{
    std::mt19937 rng(11);
    const char* roots[] = {"Downloads", "Desktop", "Documents", "Movies", "Pictures"};
    auto place = [&](const QString& name) {
        return home + "/" + roots[rng() % 5] + QString("/f%1/").arg(rng() % 40, 2, 10, QChar('0')) +
               name;
    };
    auto between = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    for (int i = 0; i < 1200; ++i)
        write(place(QString("u%1.bin").arg(i)), randomBytes(rng, between(65536, 200000)));
    for (int g = 0; g < 150; ++g) {
        const QByteArray data = randomBytes(rng, between(65536, 1000000));
        for (int c = between(2, 4); c > 0; --c)
            write(place(QString("g%1-%2.dat").arg(g).arg(c)), data);
    }
    for (int t = 0; t < 60; ++t) {
        QByteArray data = randomBytes(rng, between(200000, 1000000));
        write(place(QString("t%1-a.bin").arg(t)), data);
        data[data.size() / 2] = char(data[data.size() / 2] ^ 0xFF);
        write(place(QString("t%1-b.bin").arg(t)), data);
    }
}

void addSparseTwins(const QString& home)
{
    for (const char* rel : {"/Downloads/disk.img", "/Documents/disk.img"}) {
        QFile f(home + rel);
        if (f.open(QIODevice::WriteOnly))
            f.resize(qint64(64) << 30);
    }
}

// Runs one search; cancels it after cancelAfterMs (never when negative).
// Returns the milliseconds from the cancel (or the start) to the search's end,
// or -1 when the search ended before the cancel came.
double runOnce(AppModel& model, int cancelAfterMs)
{
    QElapsedTimer clock;
    clock.start();
    qint64 cancelledAt = -1;
    QTimer cancel;
    cancel.setSingleShot(true);
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        cancelledAt = clock.nsecsElapsed();
        model.duplicates()->cancel();
    });
    model.duplicates()->load();
    if (cancelAfterMs >= 0)
        cancel.start(cancelAfterMs);
    while (!model.duplicates()->scanned())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const qint64 end = clock.nsecsElapsed();
    cancel.stop();
    model.waitForWorkers();
    if (cancelAfterMs < 0)
        return double(end) / 1e6;
    return cancelledAt < 0 ? -1 : double(end - cancelledAt) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QDir::tempPath() + "/tidlo-bench-dupes-XXXXXX");
    qputenv("HOME", dir.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/.config").toUtf8());
    buildCorpus(dir.path());

    AppModel model;
    const double full = runOnce(model, -1);
    std::printf("corpus: %d content groups; one uncancelled search %.0f ms\n",
                model.duplicates()->content()->count(), full);

    const int points[] = {20, 100, 300, 1000};
    double worst = 0;
    for (int round = 0; round < 2; ++round) {
        if (round == 1)
            addSparseTwins(dir.path());
        for (int at : points) {
            std::vector<double> runs;
            for (int i = 0; i < 3; ++i)
                if (double ms = runOnce(model, at); ms >= 0)
                    runs.push_back(ms);
            if (runs.empty()) {
                std::printf("cancel at %4d ms: the search had ended\n", at);
                continue;
            }
            std::sort(runs.begin(), runs.end());
            worst = std::max(worst, runs.back());
            std::printf("%s cancel at %4d ms: median %.1f ms, worst %.1f ms to the end\n",
                        round == 0 ? "corpus            " : "corpus + 64 GiB twins", at,
                        runs[runs.size() / 2], runs.back());
        }
    }
    std::printf("worst cancel latency / 500 ms budget = %.3f\n", worst / 500.0);
    return worst <= 500 ? 0 : 2;
}
