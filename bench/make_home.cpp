// SPDX-License-Identifier: GPL-3.0-or-later
// Builds a large generated home for the whole-program benchmarks, fast enough
// for ten million files: a random tree of folders within a given depth (each
// new folder below a folder picked at random), the files spread over the
// folders, a few folders of exactly `huge` entries each, every tenth file with
// 1 to 4 KiB of data (the rest empty) and every thousandth file hard-linked
// into another folder. The same arguments give the same tree.
//   make_home ROOT FOLDERS FILES [MAXDEPTH=8] [HUGE_FOLDERS=3] [HUGE=100000] [THREADS=4]
// ROOT must not exist yet. Prints what it made.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Folder
{
    uint32_t parent;
    uint32_t depth;
    std::string path;
};

// How many files one folder gets.
struct Plan
{
    uint32_t files = 0;
};

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "make_home: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_home ROOT FOLDERS FILES [MAXDEPTH] [HUGE_FOLDERS] "
                             "[HUGE] [THREADS]\n");
        return 2;
    }
    const std::string root = argv[1];
    const uint64_t folderCount = std::strtoull(argv[2], nullptr, 10);
    const uint64_t fileCount = std::strtoull(argv[3], nullptr, 10);
    const uint32_t maxDepth = argc > 4 ? uint32_t(std::atoi(argv[4])) : 8;
    const uint32_t hugeFolders = argc > 5 ? uint32_t(std::atoi(argv[5])) : 3;
    const uint32_t huge = argc > 6 ? uint32_t(std::atoi(argv[6])) : 100000;
    const unsigned threads = argc > 7 ? unsigned(std::atoi(argv[7])) : 4;
    if (folderCount < 1 + hugeFolders || maxDepth < 1)
        return 2;

    std::mt19937_64 rng(7);
    std::vector<Folder> folders;
    folders.reserve(folderCount);
    if (::mkdir(root.c_str(), 0755) != 0)
        fail(root);
    folders.push_back({0, 0, root});
    // Folders that may still get sub-folders (above the deepest level).
    std::vector<uint32_t> open{0};
    while (folders.size() < folderCount) {
        uint32_t parent = open[rng() % open.size()];
        const Folder& p = folders[parent];
        std::string path = p.path + "/d" + std::to_string(rng() % 1000000);
        if (::mkdir(path.c_str(), 0755) != 0) {
            if (errno == EEXIST)
                continue;
            fail(path);
        }
        uint32_t depth = p.depth + 1;
        folders.push_back({parent, depth, std::move(path)});
        if (depth < maxDepth)
            open.push_back(uint32_t(folders.size() - 1));
    }

    // The huge folders first (the last few made, deep in the tree), then the
    // rest of the files at random.
    std::vector<Plan> plans(folders.size());
    uint64_t left = fileCount;
    for (uint32_t i = 0; i < hugeFolders && left > 0; ++i) {
        uint32_t n = uint32_t(std::min<uint64_t>(huge, left));
        plans[folders.size() - 1 - i].files = n;
        left -= n;
    }
    const uint64_t ordinary = folders.size() - hugeFolders;
    for (uint64_t k = 0; k < left; ++k)
        ++plans[rng() % ordinary].files;

    std::atomic<size_t> next{0};
    std::atomic<uint64_t> linked{0};
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) {
        pool.emplace_back([&, t] {
            std::mt19937_64 local(1000 + t);
            std::vector<char> data(4096, 'x');
            for (;;) {
                size_t i = next.fetch_add(64);
                if (i >= folders.size())
                    return;
                for (size_t f = i; f < std::min(i + 64, folders.size()); ++f) {
                    if (plans[f].files == 0)
                        continue;
                    int dir = ::open(folders[f].path.c_str(), O_RDONLY | O_DIRECTORY);
                    if (dir < 0)
                        fail(folders[f].path);
                    for (uint32_t k = 0; k < plans[f].files; ++k) {
                        char name[32];
                        std::snprintf(name, sizeof name, "f%u", k);
                        int fd = ::openat(dir, name, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
                        if (fd < 0)
                            fail(folders[f].path + "/" + name);
                        uint64_t draw = local();
                        if (draw % 10 == 0 &&
                            ::write(fd, data.data(), 1024 + (draw >> 8) % 3072) < 0)
                            fail(name);
                        ::close(fd);
                        if ((draw >> 20) % 1000 == 0) {
                            const std::string& other = folders[(draw >> 32) % folders.size()].path;
                            std::string link = other + "/l" + std::to_string(f) + "_" + name;
                            if (::linkat(dir, name, AT_FDCWD, link.c_str(), 0) == 0)
                                linked.fetch_add(1);
                        }
                    }
                    ::close(dir);
                }
            }
        });
    }
    for (auto& t : pool)
        t.join();
    std::printf("%s: %zu folders, %llu files, %llu hard links, %u folders of %u entries\n",
                root.c_str(), folders.size(), static_cast<unsigned long long>(fileCount),
                static_cast<unsigned long long>(linked.load()), hugeFolders, huge);
    return 0;
}
