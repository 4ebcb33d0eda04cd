// SPDX-License-Identifier: GPL-3.0-or-later
// Time of the Linux applications listing and of the leftover search with
// evidence, on generated homes in a temporary folder (HOME, the XDG
// variables point there for the whole run; PATH puts its stand-in flatpak
// before the system's folders).
//   Apps/List     appsList on a desktop of 300 entries, 20 of them exported by
//                 the 20 Flatpaks a stand-in flatpak lists; the package
//                 entries start system programs, so the real dpkg-query finds
//                 owners and sizes. Warm: the first run is not timed.
//   Apps/Tools    the tool runs of one listing alone (flatpak, dpkg-query -S,
//                 dpkg-query -W), one after another.
//   Scan/...      the cache scan and the leftover scan of a home shaped as
//                 bench/cache_scan.sh's Linux home, and the leftover search
//                 with evidence alone: Fresh, where every folder was written
//                 today (it stops at the age test), and Aged, where nothing
//                 was written for 120 days (every folder goes through every
//                 test and is measured).
// Run: build/bench/engine_bench --benchmark_filter='Apps|Scan'
#include "Apps.h"
#include "Caches.h"
#include "Leftovers.h"
#include "Runner.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A throw-away home with HOME, the XDG variables and PATH set for the run.
class BenchHome
{
public:
    BenchHome()
    {
        std::string tmpl = (fs::temp_directory_path() / "tidlo-bench-apps-XXXXXX").string();
        m_root = mkdtemp(tmpl.data());
        setenv("HOME", m_root.c_str(), 1);
        for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            unsetenv(var);
        setenv("XDG_DATA_DIRS", (m_root / "sys").c_str(), 1);
        setenv("PATH", (m_root / "bin").string().append(":/usr/local/bin:/usr/bin:/bin").c_str(),
               1);
        setenv("TID_LANG", "en", 1);
        fs::create_directories(m_root / "bin");
    }
    ~BenchHome()
    {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    const fs::path& root() const { return m_root; }

private:
    fs::path m_root;
};

constexpr const char* kPrograms[] = {"/usr/bin/du",    "/usr/bin/find", "/usr/bin/dpkg-query",
                                     "/usr/bin/cmake", "/usr/bin/git",  "/usr/bin/python3"};

// 280 package entries and 20 Flatpaks with their exported entries.
void buildDesktop(const fs::path& root)
{
    std::string list;
    for (int i = 0; i < 20; ++i) {
        const std::string id = "org.example.Flat" + std::to_string(i);
        list += id + "\t" + (i % 2 ? "user" : "system") + "\n";
        write(root / "sys/applications" / (id + ".desktop"),
              "[Desktop Entry]\nType=Application\nName=Flat " + std::to_string(i) +
                  "\nName[zh_CN]=应用\nIcon=" + id + "\nExec=/usr/bin/flatpak run " + id +
                  " @@u %U @@\n");
    }
    for (int i = 0; i < 280; ++i)
        write(root / "sys/applications" / ("app-" + std::to_string(i) + ".desktop"),
              "[Desktop Entry]\nType=Application\nName=App " + std::to_string(i) +
                  "\nName[zh_CN]=应用\nName[de]=Anwendung\nComment=Something\nIcon=app\nExec=" +
                  kPrograms[i % std::size(kPrograms)] + " %F\nCategories=Utility;\n" +
                  "[Desktop Action new]\nName=New\nExec=x\n");
    write(root / "bin/.flatpak-list", list);
    write(root / "bin/flatpak",
          "#!/bin/sh\n/bin/cat '" + (root / "bin/.flatpak-list").string() + "'\n");
    fs::permissions(root / "bin/flatpak", fs::perms::owner_all);
}

void AppsList(benchmark::State& state)
{
    BenchHome home;
    buildDesktop(home.root());
    benchmark::DoNotOptimize(Scanner::appsList());
    for (auto _ : state)
        benchmark::DoNotOptimize(Scanner::appsList());
}
BENCHMARK(AppsList)->Name("Apps/List")->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void AppsTools(benchmark::State& state)
{
    BenchHome home;
    buildDesktop(home.root());
    std::vector<std::string> owners{"-S"};
    for (int i = 0; i < 280; ++i)
        owners.push_back(
            (home.root() / "sys/applications" / ("app-" + std::to_string(i) + ".desktop"))
                .string());
    for (const char* program : kPrograms)
        owners.push_back(program);
    const std::string dpkg = "/usr/bin/dpkg-query";
    Shell::run(dpkg, owners);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Shell::run((home.root() / "bin/flatpak").string(), {"list"}));
        benchmark::DoNotOptimize(Shell::run(dpkg, owners));
        benchmark::DoNotOptimize(
            Shell::run(dpkg, {"-W", "-f=${Package}\t${Installed-Size}\n", "coreutils", "findutils",
                              "dpkg", "cmake", "git", "python3-minimal"}));
    }
}
BENCHMARK(AppsTools)
    ->Name("Apps/Tools")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();

// bench/cache_scan.sh's Linux home: application folders under ~/.config with
// Electron caches, ~/.cache entries, Flatpak data under ~/.var/app.
void buildScanHome(const fs::path& root, bool aged)
{
    buildDesktop(root);
    const std::string zeros(8192, '\0');
    for (int i = 0; i < 320; ++i) {
        // Every other folder is an installed application's ("App 12" of the
        // entry "App 12"), the rest are left by applications gone.
        const fs::path d = root / ".config" / ((i % 2 ? "Gone " : "App ") + std::to_string(i));
        write(d / "Cache/data", zeros.substr(0, 4096 * (i % 2 + 1)));
        write(d / "Other/data", zeros);
        if (i % 4 == 0)
            write(d / "GPUCache/g", zeros.substr(0, 4096));
    }
    for (int i = 0; i < 40; ++i)
        write(root / ".cache" / ("org.example.app" + std::to_string(i)) / "c", zeros);
    for (int i = 0; i < 20; ++i) {
        const fs::path d = root / ".var/app" / ("org.example.Flat" + std::to_string(i));
        write(d / "cache/c", zeros);
        write(d / "config/Flat/Cache/c", zeros);
        write(d / "data/d", zeros);
    }
    for (int i = 0; i < 60; ++i)
        write(root / ".local/share" / ("data-" + std::to_string(i)) / "d", zeros);
    if (!aged)
        return;
    const auto when = fs::file_time_type::clock::now() - std::chrono::hours(24 * 120);
    for (const char* base : {".config", ".local/share"})
        for (const auto& entry : fs::recursive_directory_iterator(root / base))
            fs::last_write_time(entry.path(), when);
}

template <int Which, bool Aged> void Scan(benchmark::State& state)
{
    BenchHome home;
    buildScanHome(home.root(), Aged);
    int64_t found = 0;
    for (auto _ : state) {
        if constexpr (Which == 0)
            found = int64_t(Scanner::cacheItems().size());
        else if constexpr (Which == 1)
            found = int64_t(Scanner::leftoverItems().size());
        else
            found = int64_t(Leftovers::unclaimedFolders(nullptr).size());
    }
    state.counters["items"] = double(found);
}
BENCHMARK(Scan<0, false>)
    ->Name("Scan/Caches/Fresh")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(Scan<1, false>)
    ->Name("Scan/Leftovers/Fresh")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(Scan<2, false>)
    ->Name("Scan/Evidence/Fresh")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(Scan<0, true>)
    ->Name("Scan/Caches/Aged")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(Scan<1, true>)
    ->Name("Scan/Leftovers/Aged")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(Scan<2, true>)
    ->Name("Scan/Evidence/Aged")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

} // namespace
