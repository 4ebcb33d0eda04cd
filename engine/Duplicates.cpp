// SPDX-License-Identifier: GPL-3.0-or-later
#include "Duplicates.h"

#include "OwnedFd.h"
#include "Platform.h"
#include "Records.h"
#include "Strings.h"
#include "Walk.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <openssl/evp.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace Duplicates {
namespace {

constexpr size_t kEdge = 65536;
constexpr size_t kCompareChunk = 256 * 1024;
constexpr int kNameVisitCap = 40000;
constexpr size_t kNameExamined = 12;
constexpr unsigned kMaxThreads = 4;

bool debugOn()
{
    const char* v = std::getenv("TID_DEBUG");
    return v && std::strcmp(v, "1") == 0;
}

bool cancelled(const CancelToken* token)
{
    return token && token->isCancelled();
}

// Reads up to n bytes at offset, retrying short reads; -1 on an error.
ssize_t readAt(int fd, char* buf, size_t n, off_t offset)
{
    size_t got = 0;
    while (got < n) {
        ssize_t r = ::pread(fd, buf + got, n - got, offset + off_t(got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        got += size_t(r);
    }
    return ssize_t(got);
}

bool underSkipped(const std::string& relative)
{
    const auto& skip = skipDirs();
    for (auto piece : Strings::split(relative, '/'))
        if (skip.count(std::string(piece)))
            return true;
    return false;
}

struct Candidate
{
    std::string path;
    std::string name;
    int64_t size = 0;
    dev_t dev = 0;
    ino_t ino = 0;
};

// Candidates of one bucket with one path per file: of several hard links to
// one file only the first path in ascending order is kept.
std::vector<Candidate> onePathPerFile(std::vector<Candidate> bucket)
{
    std::stable_sort(bucket.begin(), bucket.end(),
                     [](const Candidate& a, const Candidate& b) { return a.path < b.path; });
    std::set<std::pair<dev_t, ino_t>> seen;
    std::vector<Candidate> out;
    for (auto& c : bucket)
        if (seen.insert({c.dev, c.ino}).second)
            out.push_back(std::move(c));
    return out;
}

// Opens path for reading only when it is still a regular file. Between the walk
// and the read a candidate can be replaced: O_NONBLOCK keeps the open of a FIFO
// from waiting for a writer, O_NOFOLLOW refuses a link, and the descriptor's
// own type then rules out everything that is not a regular file (a FIFO, a
// folder, a device). -1 when the file is not to be read.
int openRegular(const std::string& path, struct stat* st)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

enum class Compared { Same, Differ, Cancelled };

// Compares two files chunk by chunk, looking at the token before every chunk:
// a pair of huge (or sparse) twins is read to its end only when nobody
// cancels.
Compared sameBytes(const std::string& a, const std::string& b, const CancelToken* token)
{
    if (cancelled(token))
        return Compared::Cancelled;
    struct stat sa
    {
    }, sb{};
    OwnedFd fa(openRegular(a, &sa));
    OwnedFd fb(openRegular(b, &sb));
    if (fa.fd < 0 || fb.fd < 0 || sa.st_size != sb.st_size)
        return Compared::Differ;
    std::vector<char> ba(kCompareChunk), bb(kCompareChunk);
    for (off_t offset = 0;; offset += off_t(kCompareChunk)) {
        if (cancelled(token))
            return Compared::Cancelled;
        ssize_t na = readAt(fa.fd, ba.data(), kCompareChunk, offset);
        ssize_t nb = readAt(fb.fd, bb.data(), kCompareChunk, offset);
        if (na < 0 || nb < 0 || na != nb)
            return Compared::Differ;
        if (std::memcmp(ba.data(), bb.data(), size_t(na)) != 0)
            return Compared::Differ;
        if (size_t(na) < kCompareChunk)
            return Compared::Same;
    }
}

// Runs job(0) ... job(n - 1) on a few threads, each index once; once the
// token is cancelled, no further job is started. Used for the file reads of
// the comparison stage, where one file is read by one thread at a time, so
// its buffers are freed before the next.
void eachOnThreads(size_t n, const CancelToken* token, const std::function<void(size_t)>& job)
{
    std::atomic<size_t> next{0};
    auto run = [&] {
        for (size_t j; (j = next++) < n;) {
            if (cancelled(token))
                return;
            job(j);
        }
    };
    unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
    if (n < 16)
        threads = 1;
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t)
        helpers.emplace_back(run);
    run();
    for (auto& h : helpers)
        h.join();
}

// Fingerprints of every file of work, in the same layout.
std::vector<std::vector<std::optional<std::string>>>
fingerprintAll(const std::vector<std::vector<Candidate>>& work, const CancelToken* token)
{
    std::vector<std::vector<std::optional<std::string>>> prints(work.size());
    std::vector<std::pair<size_t, size_t>> jobs;
    for (size_t b = 0; b < work.size(); ++b) {
        prints[b].resize(work[b].size());
        for (size_t i = 0; i < work[b].size(); ++i)
            jobs.emplace_back(b, i);
    }
    eachOnThreads(jobs.size(), token, [&](size_t j) {
        auto [b, i] = jobs[j];
        prints[b][i] = quickFingerprint(work[b][i].path, work[b][i].size);
    });
    return prints;
}

} // namespace

std::vector<std::string> roots()
{
    using Platform::UserFolder;
    return Platform::userFolders({UserFolder::Downloads, UserFolder::Desktop, UserFolder::Documents,
                                  UserFolder::Videos, UserFolder::Pictures});
}

std::vector<std::string> nameRoots()
{
    using Platform::UserFolder;
    return Platform::userFolders(
        {UserFolder::Downloads, UserFolder::Desktop, UserFolder::Documents});
}

const std::set<std::string>& skipDirs()
{
    static const std::set<std::string> names = {
        "Library", "node_modules", ".git",   ".cache", "DerivedData",
        ".Trash",  "Applications", "System", ".npm",   "Photos Library.photoslibrary"};
    return names;
}

std::optional<std::string> quickFingerprint(const std::string& path, int64_t size)
{
    struct stat st = {};
    OwnedFd f(openRegular(path, &st));
    if (f.fd < 0)
        return std::nullopt;
    std::vector<char> buf(kEdge);
    ssize_t head = readAt(f.fd, buf.data(), kEdge, 0);
    if (head <= 0)
        return std::nullopt;
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr) != 1)
        return std::nullopt;
    EVP_DigestUpdate(ctx.get(), buf.data(), size_t(head));
    if (size > int64_t(2 * kEdge)) {
        ssize_t tail = readAt(f.fd, buf.data(), kEdge, off_t(size - int64_t(kEdge)));
        if (tail > 0)
            EVP_DigestUpdate(ctx.get(), buf.data(), size_t(tail));
    }
    std::string sizeText = std::to_string(size);
    EVP_DigestUpdate(ctx.get(), sizeText.data(), sizeText.size());
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1)
        return std::nullopt;
    std::string hex;
    char two[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(two, sizeof two, "%02x", digest[i]);
        hex += two;
    }
    return hex;
}

std::vector<std::vector<std::string>> splitByContent(const std::vector<std::string>& paths,
                                                     const CancelToken* token)
{
    std::vector<std::vector<std::string>> sets;
    for (const auto& path : paths) {
        bool placed = false;
        for (auto& set : sets) {
            Compared c = sameBytes(set.front(), path, token);
            if (c == Compared::Cancelled)
                return {};
            if (c == Compared::Same) {
                set.push_back(path);
                placed = true;
                break;
            }
        }
        if (!placed)
            sets.push_back({path});
    }
    return sets;
}

} // namespace Duplicates

namespace Scanner {

std::vector<DuplicateGroup> duplicates(int64_t minKB, int64_t limit, const CancelToken* token)
{
    using namespace Duplicates;
    const int64_t minBytes = minKB * 1024;
    std::vector<Candidate> candidates;
    bool stopped = false;
    bool aborted = false;
    auto visit = [&](const Walk::Entry& e) -> Walk::Step {
        if (cancelled(token)) {
            aborted = true;
            return Walk::Step::Stop;
        }
        // Hidden entries and the skipped folders are not entered at all: every
        // entry below them would be dropped anyway.
        if (e.name.front() == '.' || skipDirs().count(e.name))
            return Walk::Step::Prune;
        if (!e.isRegular)
            return Walk::Step::Go;
        struct stat st = {};
        if (::lstat(e.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return Walk::Step::Go;
        if (int64_t(st.st_size) < minBytes)
            return Walk::Step::Go;
        candidates.push_back({e.path, e.name, int64_t(st.st_size), st.st_dev, st.st_ino});
        if (int64_t(candidates.size()) >= limit) {
            stopped = true;
            return Walk::Step::Stop;
        }
        return Walk::Step::Go;
    };
    if (limit > 0) {
        for (const auto& root : roots()) {
            Walk::below(root, visit);
            if (aborted)
                return {};
            if (stopped)
                break;
        }
    }
    if (debugOn())
        std::fprintf(stderr, "DUP collected %zu\n", candidates.size());

    std::map<int64_t, std::vector<Candidate>> buckets;
    for (auto& c : candidates)
        buckets[c.size / 512].push_back(std::move(c));

    // The files to read, bucket by bucket in ascending key order. The size is
    // part of the fingerprint, so a file whose exact size no other file of its
    // bucket has cannot match: it is not read at all.
    std::vector<std::vector<Candidate>> work;
    for (auto& [key, members] : buckets) {
        if (members.size() < 2)
            continue;
        auto files = onePathPerFile(std::move(members));
        std::map<int64_t, int> perSize;
        for (const auto& c : files)
            ++perSize[c.size];
        std::vector<Candidate> kept;
        for (auto& c : files)
            if (perSize[c.size] >= 2)
                kept.push_back(std::move(c));
        if (kept.size() >= 2)
            work.push_back(std::move(kept));
    }
    auto prints = fingerprintAll(work, token);

    // Groups proposed by equal fingerprints, then confirmed over the whole
    // content: members that differ are split off.
    std::vector<std::pair<int64_t, std::vector<std::string>>> proposed;
    size_t hashed = 0;
    for (size_t b = 0; b < work.size(); ++b) {
        if (cancelled(token))
            break;
        std::map<std::string, std::vector<const Candidate*>> byPrint;
        for (size_t i = 0; i < work[b].size(); ++i) {
            if (!prints[b][i])
                continue;
            ++hashed;
            byPrint[*prints[b][i]].push_back(&work[b][i]);
        }
        for (auto& [print, same] : byPrint) {
            if (same.size() < 2)
                continue;
            std::vector<std::string> paths;
            for (const auto* c : same)
                paths.push_back(c->path);
            proposed.emplace_back(same.front()->size, std::move(paths));
        }
    }
    std::vector<std::vector<std::vector<std::string>>> confirmed(proposed.size());
    // A group whose confirmation a Cancel cut short stays empty: only groups
    // read to the end are reported.
    eachOnThreads(proposed.size(), token,
                  [&](size_t j) { confirmed[j] = splitByContent(proposed[j].second, token); });

    std::vector<DuplicateGroup> groups;
    for (size_t j = 0; j < proposed.size(); ++j) {
        for (auto& set : confirmed[j]) {
            if (set.size() < 2)
                continue;
            DuplicateGroup g;
            g.kind = DuplicateKind::Content;
            g.size = proposed[j].first;
            std::sort(set.begin(), set.end());
            g.files = std::move(set);
            g.isFolder = false;
            g.sameSize = true;
            groups.push_back(std::move(g));
        }
    }
    if (debugOn())
        std::fprintf(stderr, "DUP hashed %zu groups %zu\n", hashed, groups.size());

    std::stable_sort(groups.begin(), groups.end(),
                     [](const DuplicateGroup& a, const DuplicateGroup& b) {
                         bool an = a.sameName(), bn = b.sameName();
                         if (an != bn)
                             return an;
                         return a.wasted() > b.wasted();
                     });
    return groups;
}

std::vector<DuplicateGroup> sameNameGroups(int64_t limit, const CancelToken* token)
{
    using namespace Duplicates;
    std::map<std::string, std::vector<std::string>> byName;
    std::set<std::pair<dev_t, ino_t>> seenItems;
    int visited = 0;
    bool full = false;
    bool aborted = false;
    auto visit = [&](const Walk::Entry& e) -> Walk::Step {
        if (cancelled(token)) {
            aborted = true;
            return Walk::Step::Stop;
        }
        if (++visited > kNameVisitCap) {
            full = true;
            return Walk::Step::Stop;
        }
        if (underSkipped(e.relative) || e.name.front() == '.')
            return Walk::Step::Go;
        // A folder mounted inside itself shows the same items at a second
        // path: each item counts once, as du counts it.
        struct stat st = {};
        if (::lstat(e.path.c_str(), &st) == 0 && !seenItems.insert({st.st_dev, st.st_ino}).second)
            return e.isFolder ? Walk::Step::Prune : Walk::Step::Go;
        byName[Strings::nameKey(e.name)].push_back(e.path);
        return Walk::Step::Go;
    };
    for (const auto& root : nameRoots()) {
        if (full)
            break;
        Walk::below(root, visit);
        if (aborted)
            return {};
    }

    std::vector<DuplicateGroup> groups;
    for (auto& [key, paths] : byName) {
        if (paths.size() < 2)
            continue;
        if (int64_t(groups.size()) >= limit || cancelled(token))
            break;
        bool folder = false;
        bool anySize = false;
        int64_t total = 0, smallest = 0, largest = 0;
        for (size_t i = 0; i < std::min(paths.size(), kNameExamined); ++i) {
            struct stat st = {};
            if (::lstat(paths[i].c_str(), &st) != 0)
                continue;
            if (S_ISDIR(st.st_mode)) {
                folder = true;
                continue;
            }
            int64_t size = st.st_size;
            total += size;
            smallest = anySize ? std::min(smallest, size) : size;
            largest = anySize ? std::max(largest, size) : size;
            anySize = true;
        }
        if (!folder && anySize && largest - smallest >= 513)
            continue;
        DuplicateGroup g;
        g.kind = DuplicateKind::Name;
        g.size = total;
        g.name = Strings::lastComponent(paths.front());
        g.isFolder = folder;
        g.sameSize = true;
        g.files = paths;
        std::sort(g.files.begin(), g.files.end());
        groups.push_back(std::move(g));
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const DuplicateGroup& a, const DuplicateGroup& b) {
                         return a.files.size() > b.files.size();
                     });
    return groups;
}

} // namespace Scanner
