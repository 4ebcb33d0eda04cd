// SPDX-License-Identifier: GPL-3.0-or-later
#include "Measure.h"

#include "OwnedFd.h"
#include "Runner.h"
#include "Strings.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <span>
#include <sys/resource.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <linux/magic.h>
#include <sys/syscall.h>
#include <sys/vfs.h>
#endif

namespace Measure {
namespace {

constexpr uint64_t kBlockBytes = 512;
// du's traversal sorts a larger directory by inode number (on file systems
// where that speeds up stat), reading at most this many entries at a time.
constexpr size_t kInodeSortAbove = 10000;
constexpr size_t kReadBatch = 100000;
// How many of a folder's largest files a tree keeps by name.
constexpr size_t kKeptFiles = 8;

// One of the largest files of a folder, while walking. A file with several
// links counts here only if this is where du meets it first (`credited`,
// settled after the walk). Its name lies in the walking thread's arena.
struct FileRecord
{
    const char* name = nullptr;
    uint64_t bytes = 0;
    uint32_t index = 0;
    uint16_t nameLength = 0;
    bool linked = false;
    bool credited = false;
};

// One folder met by the walk. Written only by the thread that lists it, read
// after the walk. A folder's sub-folders lie side by side in one run, its
// kept files in another, its name in the thread's arena.
struct Dir
{
    Dir* parent = nullptr;
    const char* name = nullptr;
    Dir* subdirs = nullptr;      // subdirCount of them, in visiting order
    FileRecord* files = nullptr; // the largest, for a folder a tree shows
    uint64_t bytes = 0;          // own blocks and the files counted here; after
                                 // the walk, the bytes of the whole subtree
    uint64_t fileBytes = 0;      // the files counted here
    dev_t dev = 0;
    ino_t ino = 0;
    uint32_t fileCount = 0;
    uint32_t subdirCount = 0;
    uint32_t index = 0; // position among the parent's entries
    uint32_t root = 0;  // which root it lies below
    uint16_t depth = 0; // levels below its root
    uint16_t nameLength = 0;
    uint8_t fileEntries = 0;
    bool counted = true;  // false: a loop back to an ancestor, or vanished
    bool isFolder = true; // false: replaced by a non-folder while walking
};

// Blocks of T handed out in runs that never move; one per thread, so no lock.
template <class T> class Runs
{
public:
    T* take(size_t n)
    {
        if (n == 0)
            return nullptr;
        if (m_blocks.empty() || m_used + n > m_capacity) {
            m_capacity = std::max(kBlock, n);
            m_blocks.push_back(std::make_unique_for_overwrite<T[]>(m_capacity));
            m_used = 0;
        }
        T* out = m_blocks.back().get() + m_used;
        m_used += n;
        return out;
    }

private:
    static constexpr size_t kBlock = std::max<size_t>(65536 / sizeof(T), 1);
    std::vector<std::unique_ptr<T[]>> m_blocks;
    size_t m_capacity = 0;
    size_t m_used = 0;
};

// One of the largest files of the folder being listed, before it is kept.
struct Candidate
{
    uint64_t bytes;
    uint32_t entry;
    bool linked;
};

// One occurrence of a file with several links, settled after the walk.
struct Link
{
    dev_t dev;
    ino_t ino;
    uint64_t bytes;
    Dir* dir;
    uint32_t index;
};

struct Task
{
    Dir* dir = nullptr;
    std::string rootPath;            // for a root only: the path to open
    std::shared_ptr<OwnedFd> parent; // the open parent folder (none for a root)
    std::shared_ptr<OwnedFd> rootFd; // the open root, for folders opened from it
};

struct Entry
{
    uint64_t ino;
    uint32_t nameOffset;
    uint32_t nameLength;
    unsigned char type;
};

// What one thread gathers.
struct Worker
{
    Runs<Dir> dirs;
    Runs<FileRecord> files;
    Runs<char> names;
    std::vector<Link> links;
    std::vector<Entry> entries;
    std::string entryNames;
    std::vector<char> buffer;
    std::vector<uint32_t> folders;
    std::vector<Candidate> largest;

    const char* keepName(const char* name, size_t length)
    {
        char* out = names.take(length + 1);
        std::memcpy(out, name, length);
        out[length] = 0;
        return out;
    }
};

bool inodeOrderUseful(int fd)
{
#if defined(__linux__)
    struct statfs fs = {};
    if (::fstatfs(fd, &fs) != 0)
        return true;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case TMPFS_MAGIC:
    case NFS_SUPER_MAGIC:
    case 0xFF534D42UL: // CIFS
        return false;
    default:
        return true;
    }
#else
    (void)fd;
    return false;
#endif
}

// The entries of an open folder in read order, "." and ".." left out.
void listFolder(int fd, Worker& w)
{
    w.entries.clear();
    w.entryNames.clear();
    auto add = [&](const char* name, uint64_t ino, unsigned char type) {
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            return;
        size_t length = std::strlen(name);
        w.entries.push_back({ino, uint32_t(w.entryNames.size()), uint32_t(length), type});
        w.entryNames.append(name, length + 1);
    };
#if defined(__linux__)
    // struct linux_dirent64: inode (8 bytes), offset (8), record length (2),
    // type (1), then the name ending in NUL.
    if (w.buffer.empty())
        w.buffer.resize(64 * 1024);
    for (;;) {
        long n = ::syscall(SYS_getdents64, fd, w.buffer.data(), w.buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (long pos = 0; pos < n;) {
            const char* record = w.buffer.data() + pos;
            uint64_t ino = 0;
            unsigned short length = 0;
            std::memcpy(&ino, record, sizeof ino);
            std::memcpy(&length, record + 16, sizeof length);
            add(record + 19, ino, static_cast<unsigned char>(record[18]));
            pos += length;
        }
    }
#else
    int copy = ::dup(fd);
    DIR* dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return;
    }
    while (dirent* e = ::readdir(dir))
        add(e->d_name, e->d_ino, e->d_type);
    ::closedir(dir);
#endif
    if (w.entries.size() > kInodeSortAbove && inodeOrderUseful(fd)) {
        for (size_t start = 0; start < w.entries.size(); start += kReadBatch) {
            auto first = w.entries.begin() + long(start);
            auto last = w.entries.begin() + long(std::min(start + kReadBatch, w.entries.size()));
            if (last - first > long(kInodeSortAbove))
                std::stable_sort(first, last,
                                 [](const Entry& a, const Entry& b) { return a.ino < b.ino; });
        }
    }
}

// The path of a folder below its root, for opening it from the root.
std::string relativePath(const Dir* dir)
{
    std::vector<const Dir*> chain;
    for (const Dir* d = dir; d->parent; d = d->parent)
        chain.push_back(d);
    std::string out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!out.empty())
            out += '/';
        out += (*it)->name;
    }
    return out;
}

int openBelowRoot(int rootFd, const std::string& relative)
{
#if defined(__linux__) && defined(SYS_openat2)
    struct How
    {
        uint64_t flags, mode, resolve;
    } how{uint64_t(O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC), 0,
          0x04 /* RESOLVE_NO_SYMLINKS */ | 0x02 /* RESOLVE_NO_MAGICLINKS */};
    long fd = ::syscall(SYS_openat2, rootFd, relative.c_str(), &how, sizeof how);
    if (fd >= 0 || errno != ENOSYS)
        return int(fd);
#endif
    return ::openat(rootFd, relative.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

class Walk
{
public:
    // Folders less than fileLevels below their root keep their largest
    // files by name.
    Walk(const CancelToken* token, size_t roots, uint32_t fileLevels = 0)
        : m_token(token), m_rootDirs(roots, nullptr), m_fileLevels(fileLevels)
    {
        unsigned n = threads();
        m_workers.resize(n);
        struct rlimit limit = {};
        if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
            m_fdBudget = std::max<long>(4, long(limit.rlim_cur) / 4);
    }

    // Queues a root folder (already known to be a folder).
    void addRoot(uint32_t index, const std::string& path)
    {
        Dir& d = *m_workers[0].dirs.take(1);
        d = Dir{};
        d.name = m_workers[0].keepName(path.data(), path.size());
        d.nameLength = uint16_t(std::min<size_t>(path.size(), UINT16_MAX));
        d.root = index;
        m_rootDirs[index] = &d;
        Task t;
        t.dir = &d;
        t.rootPath = path;
        m_stack.push_back(std::move(t));
    }

    // Runs the walk on the pool; false when it was cancelled.
    bool run()
    {
        // Roots are taken in their order: the stack's top is its end.
        std::reverse(m_stack.begin(), m_stack.end());
        std::vector<std::thread> helpers;
        for (size_t k = 1; k < m_workers.size(); ++k) {
            try {
                helpers.emplace_back([this, k] { work(m_workers[k]); });
            } catch (const std::system_error&) {
                break;
            }
        }
        work(m_workers[0]);
        for (auto& t : helpers)
            t.join();
        // What the threads only needed while listing (grown to the largest
        // folder met) goes before the tree is built.
        m_stack = {};
        for (Worker& w : m_workers) {
            w.entries = {};
            w.entryNames = {};
            w.buffer = {};
            w.folders = {};
            w.largest = {};
        }
        return !m_stopped;
    }

    // Settles hard links and adds up every subtree.
    void finish(bool sharedLinks)
    {
        std::vector<Link> links;
        for (auto& w : m_workers) {
            links.insert(links.end(), w.links.begin(), w.links.end());
            w.links = {};
        }
        auto key = [sharedLinks](const Link& l) {
            return std::make_tuple(sharedLinks ? 0u : l.dir->root, l.dev, l.ino);
        };
        std::sort(links.begin(), links.end(),
                  [&](const Link& a, const Link& b) { return key(a) < key(b); });
        for (size_t i = 0; i < links.size();) {
            size_t j = i + 1;
            const Link* first = &links[i];
            for (; j < links.size() && key(links[j]) == key(links[i]); ++j)
                if (metBefore(links[j], *first))
                    first = &links[j];
            Dir* owner = first->dir;
            owner->bytes += first->bytes;
            owner->fileBytes += first->bytes;
            ++owner->fileCount;
            for (FileRecord& f : std::span(owner->files, owner->fileEntries))
                if (f.linked && f.index == first->index)
                    f.credited = true;
            i = j;
        }

        // Parents come before their children in this list.
        std::vector<Dir*> order;
        for (Dir* r : m_rootDirs)
            if (r)
                order.push_back(r);
        for (size_t i = 0; i < order.size(); ++i)
            for (Dir& c : std::span(order[i]->subdirs, order[i]->subdirCount))
                order.push_back(&c);
        // Children before parents: each adds its subtree to its parent.
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            Dir* d = *it;
            m_nameBytes += d->nameLength;
            m_keptFiles += d->fileEntries;
            for (const FileRecord& f : std::span(d->files, d->fileEntries))
                m_nameBytes += f.nameLength;
            if (!d->counted)
                d->bytes = 0;
            else if (d->parent)
                d->parent->bytes += d->bytes;
        }
    }

    Dir* root(size_t index) const { return m_rootDirs[index]; }
    // How many folders the walk met.
    size_t folderCount() const { return m_folderCount.load(); }
    // After finish: how many files the folders keep by name, and the bytes
    // of all their names and the folders' names.
    size_t keptFiles() const { return m_keptFiles; }
    size_t nameBytes() const { return m_nameBytes; }

private:
    // Keeps the kKeptFiles largest files of a folder among the candidates
    // (a file of no bytes never shows).
    static void keepFile(Worker& w, uint64_t bytes, uint32_t entry, bool linked)
    {
        if (bytes == 0)
            return;
        if (w.largest.size() >= kKeptFiles) {
            auto smallest = std::min_element(
                w.largest.begin(), w.largest.end(),
                [](const Candidate& a, const Candidate& b) { return a.bytes < b.bytes; });
            if (smallest->bytes >= bytes)
                return;
            w.largest.erase(smallest);
        }
        w.largest.push_back(Candidate{bytes, entry, linked});
    }

    bool stopRequested() const { return Shell::stopping() || (m_token && m_token->isCancelled()); }

    // Whether du meets occurrence a before occurrence b: roots in order, then
    // depth first in each folder's visiting order.
    static bool metBefore(const Link& a, const Link& b)
    {
        if (a.dir->root != b.dir->root)
            return a.dir->root < b.dir->root;
        auto chain = [](const Link& l) {
            std::vector<uint32_t> out{l.index};
            for (const Dir* d = l.dir; d->parent; d = d->parent)
                out.push_back(d->index);
            std::reverse(out.begin(), out.end());
            return out;
        };
        return chain(a) < chain(b);
    }

    void work(Worker& w)
    {
        for (;;) {
            Task task;
            {
                std::unique_lock lock(m_lock);
                m_wake.wait(lock, [&] { return m_stopped || !m_stack.empty() || m_busy == 0; });
                if (m_stopped || m_stack.empty()) {
                    m_wake.notify_all();
                    return;
                }
                task = std::move(m_stack.back());
                m_stack.pop_back();
                ++m_busy;
            }
            std::vector<Task> more;
            if (stopRequested()) {
                std::lock_guard lock(m_lock);
                m_stopped = true;
                m_stack.clear();
            } else {
                visit(std::move(task), w, more);
            }
            std::lock_guard lock(m_lock);
            --m_busy;
            if (!m_stopped)
                for (auto it = more.rbegin(); it != more.rend(); ++it)
                    m_stack.push_back(std::move(*it));
            if (!more.empty() || m_busy == 0 || m_stopped)
                m_wake.notify_all();
        }
    }

    // Opens the task's folder, counts what lies in it and queues its
    // sub-folders.
    void visit(Task task, Worker& w, std::vector<Task>& more)
    {
        Dir* d = task.dir;
        int fd = -1;
        // Out of file descriptors (the process holds many elsewhere) is not
        // an unreadable folder: wait for some to be closed, for a while.
        for (int attempt = 0; attempt < 2000; ++attempt) {
            if (!task.rootPath.empty()) {
                fd = ::open(task.rootPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            } else if (task.parent) {
                fd = ::openat(task.parent->fd, d->name,
                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            } else if (task.rootFd) {
                fd = openBelowRoot(task.rootFd->fd, relativePath(d));
            }
            if (fd >= 0 || (errno != EMFILE && errno != ENFILE))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }

        struct stat st = {};
        if (fd < 0) {
            // Not opened: count what can be examined of the entry itself.
            int at = task.parent ? task.parent->fd : AT_FDCWD;
            std::string path = task.parent             ? std::string(d->name)
                               : task.rootPath.empty() ? std::string()
                                                       : task.rootPath;
            bool known = false;
            if (!path.empty())
                known = ::fstatat(at, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
            else if (task.rootFd)
                known = ::fstatat(task.rootFd->fd, relativePath(d).c_str(), &st,
                                  AT_SYMLINK_NOFOLLOW) == 0;
            if (!known) {
                d->counted = false;
                return;
            }
            d->dev = st.st_dev;
            d->ino = st.st_ino;
            d->isFolder = S_ISDIR(st.st_mode);
            d->bytes = uint64_t(st.st_blocks) * kBlockBytes;
            if (!d->isFolder && st.st_nlink > 1) {
                d->bytes = 0;
                w.links.push_back({st.st_dev, st.st_ino, uint64_t(st.st_blocks) * kBlockBytes,
                                   d->parent ? d->parent : d, d->index});
            }
            return;
        }
        task.parent.reset();
        if (::fstat(fd, &st) != 0) {
            ::close(fd);
            d->counted = false;
            return;
        }
        for (const Dir* a = d->parent; a; a = a->parent) {
            if (a->dev == st.st_dev && a->ino == st.st_ino) {
                ::close(fd);
                d->counted = false; // a loop: du skips it whole
                return;
            }
        }
        d->dev = st.st_dev;
        d->ino = st.st_ino;
        d->bytes = uint64_t(st.st_blocks) * kBlockBytes;

        listFolder(fd, w);
        w.folders.clear();
        w.largest.clear();
        for (size_t i = 0; i < w.entries.size(); ++i) {
            const Entry& e = w.entries[i];
            const char* name = w.entryNames.data() + e.nameOffset;
            bool folder = e.type == DT_DIR;
            if (!folder) {
                struct stat es = {};
                if (::fstatat(fd, name, &es, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                if (S_ISDIR(es.st_mode)) {
                    folder = true;
                } else {
                    uint64_t bytes = uint64_t(es.st_blocks) * kBlockBytes;
                    const bool linked = es.st_nlink > 1;
                    if (linked) {
                        w.links.push_back({es.st_dev, es.st_ino, bytes, d, uint32_t(i)});
                    } else {
                        d->bytes += bytes;
                        d->fileBytes += bytes;
                        ++d->fileCount;
                    }
                    if (d->depth < m_fileLevels)
                        keepFile(w, bytes, uint32_t(i), linked);
                    continue;
                }
            }
            w.folders.push_back(uint32_t(i));
        }
        if (!w.largest.empty()) {
            d->files = w.files.take(w.largest.size());
            d->fileEntries = uint8_t(w.largest.size());
            for (size_t k = 0; k < w.largest.size(); ++k) {
                const Candidate& f = w.largest[k];
                const Entry& e = w.entries[f.entry];
                d->files[k] =
                    FileRecord{w.keepName(w.entryNames.data() + e.nameOffset, e.nameLength),
                               f.bytes,
                               f.entry,
                               uint16_t(e.nameLength),
                               f.linked,
                               false};
            }
        }
        d->subdirCount = uint32_t(w.folders.size());
        m_folderCount.fetch_add(w.folders.size(), std::memory_order_relaxed);
        d->subdirs = w.dirs.take(w.folders.size());
        for (size_t k = 0; k < w.folders.size(); ++k) {
            const Entry& e = w.entries[w.folders[k]];
            Dir& c = d->subdirs[k];
            c = Dir{};
            c.parent = d;
            c.name = w.keepName(w.entryNames.data() + e.nameOffset, e.nameLength);
            c.nameLength = uint16_t(e.nameLength);
            c.index = w.folders[k];
            c.root = d->root;
            c.depth = uint16_t(d->depth + 1);
        }
        if (d->subdirCount == 0) {
            ::close(fd);
            return;
        }

        std::shared_ptr<OwnedFd> rootFd = task.rootFd;
        std::shared_ptr<OwnedFd> own;
        if (m_openFds.fetch_add(1) < m_fdBudget) {
            own = std::shared_ptr<OwnedFd>(new OwnedFd(fd), [this](OwnedFd* f) {
                delete f;
                m_openFds.fetch_sub(1);
            });
        } else {
            // Too many folders held open: the sub-folders are opened from
            // the root instead.
            m_openFds.fetch_sub(1);
            if (!rootFd)
                rootFd = std::make_shared<OwnedFd>(fd);
            else
                ::close(fd);
        }
        if (!rootFd && own && !d->parent)
            rootFd = own;
        more.reserve(d->subdirCount);
        for (Dir& c : std::span(d->subdirs, d->subdirCount)) {
            Task t;
            t.dir = &c;
            t.parent = own;
            t.rootFd = rootFd;
            more.push_back(std::move(t));
        }
    }

    const CancelToken* m_token;
    std::vector<Dir*> m_rootDirs;
    std::vector<Worker> m_workers;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::vector<Task> m_stack;
    size_t m_busy = 0;
    bool m_stopped = false;
    std::atomic<long> m_openFds{0};
    std::atomic<size_t> m_folderCount{1};
    size_t m_keptFiles = 0;
    size_t m_nameBytes = 0;
    long m_fdBudget = 256;
    uint32_t m_fileLevels = 0;
};

int64_t kibBytes(uint64_t bytes)
{
    uint64_t kib = bytes / 1024 + (bytes % 1024 != 0);
    if (kib > uint64_t(INT64_MAX) / 1024)
        return INT64_MAX / 1024 * 1024;
    return int64_t(kib * 1024);
}

// Adds d's folder (its sub-folders down to levels below it first) to the
// tree being built. With utf8Only, folders and files whose names are not
// UTF-8 are left out (their bytes still count in d).
void addFolder(FolderTree::Builder& builder, const Dir* d, std::string_view name, int levels,
               bool utf8Only)
{
    uint32_t children = 0;
    if (levels > 0) {
        for (const Dir& c : std::span(d->subdirs, d->subdirCount)) {
            std::string_view childName(c.name, c.nameLength);
            if (!c.counted || !c.isFolder || (utf8Only && !Strings::isValidUtf8(childName)))
                continue;
            addFolder(builder, &c, childName, levels - 1, utf8Only);
            ++children;
        }
        builder.sortPending(children);
    }
    // A file below 1/4096 of its folder never gets a tile of its own.
    std::vector<DiskFile> files;
    for (const FileRecord& f : std::span(d->files, d->fileEntries)) {
        std::string_view fileName(f.name, f.nameLength);
        if ((!f.linked || f.credited) && f.bytes > 0 && f.bytes >= d->bytes / 4096 &&
            (!utf8Only || Strings::isValidUtf8(fileName)))
            files.push_back(
                DiskFile{std::string(fileName), int64_t(std::min<uint64_t>(f.bytes, INT64_MAX))});
    }
    std::sort(files.begin(), files.end(), [](const DiskFile& a, const DiskFile& b) {
        return a.size != b.size ? a.size > b.size : a.name < b.name;
    });
    builder.add(name, kibBytes(d->bytes), int64_t(d->fileCount),
                int64_t(std::min<uint64_t>(d->fileBytes, uint64_t(INT64_MAX))), files, children);
}

// The name a tree gives its root: the path's last component, or the path.
std::string rootName(const std::string& root)
{
    std::string name = Strings::lastComponent(root);
    return name.empty() ? root : name;
}

// What lstat says of a root: a folder to walk, a non-folder of this many
// bytes, or nothing.
struct RootKind
{
    bool exists = false;
    bool folder = false;
    uint64_t bytes = 0;
};

RootKind examineRoot(const std::string& path)
{
    RootKind k;
    struct stat st = {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0)
        return k;
    k.exists = true;
    k.folder = S_ISDIR(st.st_mode);
    k.bytes = uint64_t(st.st_blocks) * kBlockBytes;
    return k;
}

// The walk's folders were allocated by its threads, whose heaps keep freed
// memory; hand it back so the tree that follows does not stack on top of it.
void releaseFreedMemory()
{
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

} // namespace

unsigned threads()
{
    // Listing and examining entries is mostly kernel time that scales with
    // cores; a few more threads than cores keep a cold disk busy too.
    unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp(cores * 2, 2u, 8u);
}

std::optional<DiskNode> tree(const std::string& root, int depth, const CancelToken* token,
                             bool utf8Only)
{
    if ((token && token->isCancelled()) || Shell::stopping())
        return std::nullopt;
    RootKind kind = examineRoot(root);
    if (!kind.exists)
        return std::nullopt;
    FolderTree::Builder builder;
    if (!kind.folder) {
        builder.add(rootName(root), kibBytes(kind.bytes), 0, 0, {}, 0);
        return DiskNode(builder.finish(root), 0);
    }
    {
        Walk walk(token, 1, uint32_t(std::max(depth, 0)));
        walk.addRoot(0, root);
        if (!walk.run())
            return std::nullopt;
        walk.finish(false);
        builder.reserve(walk.folderCount(), walk.keptFiles(), walk.nameBytes());
        addFolder(builder, walk.root(0), rootName(root), std::max(depth, 0), utf8Only);
    }
    releaseFreedMemory();
    auto built = builder.finish(root);
    const uint32_t at = built->root();
    return DiskNode(std::move(built), at);
}

std::vector<int64_t> sizes(const std::vector<std::string>& roots, const CancelToken* token,
                           bool sharedLinks)
{
    std::vector<int64_t> out(roots.size(), -1);
    if ((token && token->isCancelled()) || Shell::stopping())
        return out;
    Walk walk(token, roots.size());
    bool any = false;
    for (size_t i = 0; i < roots.size(); ++i) {
        RootKind kind = examineRoot(roots[i]);
        if (!kind.exists)
            continue;
        if (kind.folder) {
            walk.addRoot(uint32_t(i), roots[i]);
            any = true;
        } else {
            out[i] = kibBytes(kind.bytes);
        }
    }
    if (any) {
        if (!walk.run())
            return std::vector<int64_t>(roots.size(), -1);
        walk.finish(sharedLinks);
        for (size_t i = 0; i < roots.size(); ++i)
            if (const Dir* d = walk.root(i))
                out[i] = d->counted ? kibBytes(d->bytes) : -1;
    }
    return out;
}

} // namespace Measure

namespace Scanner {

// sizeOf and sizesOf differ per platform: PlatformLinux.cpp, PlatformMac.cpp.

std::vector<ScanItem> measuredItems(const std::vector<std::string>& paths, int64_t minBytes,
                                    const std::function<ScanItem(size_t, int64_t)>& make,
                                    const CancelToken* token)
{
    const std::vector<int64_t> sizes = sizesOf(paths, kMeasureWorkers, token);
    if (token && token->isCancelled())
        return {};
    std::vector<ScanItem> items;
    for (size_t i = 0; i < paths.size(); ++i)
        if (sizes[i] > minBytes)
            items.push_back(make(i, sizes[i]));
    std::stable_sort(items.begin(), items.end(),
                     [](const ScanItem& a, const ScanItem& b) { return a.size > b.size; });
    return items;
}

} // namespace Scanner
