// SPDX-License-Identifier: GPL-3.0-or-later
// The in-process measurement against GNU du itself: on every fixture each
// folder of the tree has exactly the size `du -k -0 -d N --` prints for it, no
// folder more or less, and each path's size is `du -sk --`'s. Unreadable
// folders are measured as an unprivileged user, both by du and by the walk.
#include "Measure.h"
#include "DiskTree.h"
#include "TestHome.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using TestSupport::runProgram;

namespace {

using SizeMap = std::map<std::string, int64_t>;

constexpr uid_t kNobody = 65534;

// du's lines "KiB\tpath\0" as a map of path to bytes.
SizeMap duTree(const std::string& root, int depth, bool asNobody = false)
{
    std::vector<std::string> args{"-k", "-0", "-d", std::to_string(depth), "--", root};
    std::string program = "/usr/bin/du";
    if (asNobody) {
        args.insert(args.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", program});
        program = "/usr/bin/setpriv";
    }
    SizeMap out;
    std::string text = runProgram(program, args).out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        size_t tab = line.find('\t');
        if (tab != std::string::npos)
            out[line.substr(tab + 1)] = std::stoll(line.substr(0, tab)) * 1024;
        start = end + 1;
    }
    return out;
}

int64_t duTotal(const std::string& path)
{
    std::string text = runProgram("/usr/bin/du", {"-sk", "--", path}).out;
    if (text.empty())
        return -1;
    return std::stoll(text.substr(0, text.find('\t'))) * 1024;
}

void flatten(const DiskNode& node, SizeMap& out)
{
    out[node.path()] = node.size();
    for (const DiskNode c : node.children())
        flatten(c, out);
}

// The walk's tree as a map of path to bytes (empty when nothing was measured).
SizeMap walkTree(const std::string& root, int depth)
{
    SizeMap out;
    if (auto node = Measure::tree(root, depth))
        flatten(*node, out);
    return out;
}

// The same walk run in a child process as the unprivileged user, its map
// passed back through a pipe.
SizeMap walkTreeAsNobody(const std::string& root, int depth)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0)
            ::_exit(2);
        std::string text;
        for (const auto& [path, size] : walkTree(root, depth))
            text += std::to_string(size) + '\t' + path + '\0';
        for (size_t at = 0; at < text.size();) {
            ssize_t n = ::write(fds[1], text.data() + at, text.size() - at);
            if (n <= 0)
                ::_exit(3);
            at += size_t(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buf[65536];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
        text.append(buf, size_t(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    SizeMap out;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\0', start);
        std::string line = text.substr(start, end - start);
        size_t tab = line.find('\t');
        out[line.substr(tab + 1)] = std::stoll(line.substr(0, tab));
        start = end + 1;
    }
    return out;
}

// A fixture folder open to everyone (so the unprivileged user can walk it),
// removed with whatever is mounted inside it.
class Folder
{
public:
    Folder()
    {
        std::string tmpl = fs::temp_directory_path().string() + "/tidlo-measure-XXXXXX";
        m_path = ::mkdtemp(tmpl.data());
        ::chmod(m_path.c_str(), 0755);
    }
    ~Folder()
    {
        for (auto it = m_mounts.rbegin(); it != m_mounts.rend(); ++it)
            ::umount2(it->c_str(), MNT_DETACH);
        runProgram("/bin/chmod", {"-R", "u+rwx", m_path});
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const std::string& path() const { return m_path; }
    std::string at(const std::string& rel) const { return m_path + "/" + rel; }
    void dir(const std::string& rel) const { fs::create_directories(at(rel)); }
    void file(const std::string& rel, size_t bytes) const
    {
        fs::create_directories(fs::path(at(rel)).parent_path());
        int fd = ::open(at(rel).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::string data(bytes, 'x');
        EXPECT_EQ(::write(fd, data.data(), data.size()), ssize_t(bytes));
        ::close(fd);
    }
    void link(const std::string& from, const std::string& to) const
    {
        fs::create_directories(fs::path(at(to)).parent_path());
        ASSERT_EQ(::link(at(from).c_str(), at(to).c_str()), 0) << to;
    }
    void symlink(const std::string& target, const std::string& rel) const
    {
        fs::create_directories(fs::path(at(rel)).parent_path());
        ASSERT_EQ(::symlink(target.c_str(), at(rel).c_str()), 0) << rel;
    }
    // Binds source over target (both relative); false when mounting is not
    // permitted here.
    bool bind(const std::string& source, const std::string& target)
    {
        dir(target);
        if (::mount(at(source).c_str(), at(target).c_str(), nullptr, MS_BIND, nullptr) != 0)
            return false;
        m_mounts.push_back(at(target));
        return true;
    }

private:
    std::string m_path;
    std::vector<std::string> m_mounts;
};

struct Case
{
    const char* name;
    // Builds the fixture below the root folder; returns false to skip the case
    // (with the reason in skip).
    std::function<bool(Folder&, std::string& skip)> build;
    bool unprivileged = false;
    // The root to measure, relative to the folder ("" for the folder itself).
    const char* root = "root";
    // When set, the walk runs with at most this many open files allowed.
    rlim_t openFiles = 0;
};

// Lowers the soft limit of open files for the life of the object.
class OpenFilesLimit
{
public:
    explicit OpenFilesLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_NOFILE, &m_saved);
        if (limit > 0) {
            struct rlimit lowered = m_saved;
            lowered.rlim_cur = limit;
            ::setrlimit(RLIMIT_NOFILE, &lowered);
        }
    }
    ~OpenFilesLimit() { ::setrlimit(RLIMIT_NOFILE, &m_saved); }
    OpenFilesLimit(const OpenFilesLimit&) = delete;
    OpenFilesLimit& operator=(const OpenFilesLimit&) = delete;

private:
    struct rlimit m_saved = {};
};

void sparse(Folder& f, const std::string& rel, off_t length, off_t writeAt)
{
    fs::create_directories(fs::path(f.at(rel)).parent_path());
    int fd = ::open(f.at(rel).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, length), 0);
    if (writeAt >= 0) {
        ASSERT_EQ(::pwrite(fd, "data", 4, writeAt), 4);
    }
    ::close(fd);
}

// A few thousand folders with files, hard links between random folders, a
// link to a file outside the root and one folder of more than 10,000 entries
// that holds links whose other names lie in its own sub-folders and elsewhere.
void generated(Folder& f)
{
    std::mt19937 rnd(11);
    std::vector<std::string> folders{"root"};
    f.dir("root");
    f.file("outside/shared", 9000);
    std::vector<std::string> files;
    while (folders.size() < 3000) {
        const std::string& parent = folders[rnd() % folders.size()];
        if (std::count(parent.begin(), parent.end(), '/') >= 10)
            continue;
        std::string path = parent + "/d" + std::to_string(rnd() % 100000);
        if (fs::exists(f.at(path)))
            continue;
        f.dir(path);
        folders.push_back(path);
        if (rnd() % 3 == 0) {
            f.file(path + "/f", rnd() % 30000);
            files.push_back(path + "/f");
        }
    }
    for (int i = 0; i < 300; ++i) {
        const std::string& from = files[rnd() % files.size()];
        f.link(from, folders[rnd() % folders.size()] + "/l" + std::to_string(i));
    }
    f.link("outside/shared", folders[7] + "/shared");
    f.link("outside/shared", folders[900] + "/shared");
    // The big folder: files in its sub-folders with second names in the big
    // folder itself, so which name is met first depends on the order the big
    // folder is visited in.
    for (int i = 0; i < 40; ++i) {
        std::string file = "root/big/s" + std::to_string(i % 5) + "/m" + std::to_string(i);
        f.file(file, 8000);
        f.link(file, "root/big/l" + std::to_string(i));
    }
    for (int i = 0; i < 10050; ++i)
        f.file("root/big/e" + std::to_string(i), 0);
}

// The entries where two maps differ, for a readable failure.
std::string differences(const SizeMap& walked, const SizeMap& du)
{
    std::string out;
    int shown = 0;
    auto note = [&](const std::string& path, const std::string& a, const std::string& b) {
        if (shown++ < 12)
            out += "  " + path + ": walk " + a + ", du " + b + "\n";
    };
    for (const auto& [path, size] : walked) {
        auto it = du.find(path);
        if (it == du.end())
            note(path, std::to_string(size), "none");
        else if (it->second != size)
            note(path, std::to_string(size), std::to_string(it->second));
    }
    for (const auto& [path, size] : du)
        if (!walked.count(path))
            note(path, "none", std::to_string(size));
    return out;
}

const std::vector<Case>& cases()
{
    static const std::vector<Case> table{
        {"empty folders",
         [](Folder& f, std::string&) {
             f.dir("root/a/b/c");
             f.dir("root/e");
             return true;
         }},
        {"sparse files",
         [](Folder& f, std::string&) {
             sparse(f, "root/s/hole", off_t(1) << 30, -1);
             sparse(f, "root/s/partly", off_t(1) << 30, (off_t(1) << 20) + 17);
             f.file("root/s/plain", 5000);
             return true;
         }},
        {"hard links inside and across folders",
         [](Folder& f, std::string&) {
             f.file("root/a/f", 20000);
             f.link("root/a/f", "root/a/g");
             f.link("root/a/f", "root/a/sub/h");
             f.link("root/a/f", "root/b/i");
             f.file("root/c/x", 7000);
             f.link("root/c/x", "root/b/y");
             f.link("root/c/x", "root/c/deep/er/z");
             return true;
         }},
        {"a hard link to a file outside the root",
         [](Folder& f, std::string&) {
             f.file("elsewhere/big", 50000);
             f.link("elsewhere/big", "root/in/big");
             return true;
         }},
        {"links to folders and files, and link loops",
         [](Folder& f, std::string&) {
             f.file("root/real/f", 9000);
             f.symlink("../real", "root/l/tofolder");
             f.symlink("../real/f", "root/l/tofile");
             f.symlink(std::string(200, 'x'), "root/l/longtarget");
             f.symlink("..", "root/loop/up");
             f.symlink("self", "root/loop/self");
             f.symlink(f.path(), "root/loop/outside");
             return true;
         }},
        {"a bind mount inside the root, and one looping back",
         [](Folder& f, std::string& skip) {
             f.file("root/src/f", 12000);
             f.file("root/src/g", 3000);
             f.link("root/src/g", "root/src/sub/g2");
             f.file("root/a/own", 4000);
             if (!f.bind("root/src", "root/a/mnt") || !f.bind("root/a", "root/a/loop")) {
                 skip = "mount --bind is not permitted here";
                 return false;
             }
             return true;
         }},
        {"names with line feeds, tabs and bytes that are not UTF-8",
         [](Folder& f, std::string&) {
             f.file("root/line\nfeed/f", 6000);
             f.file("root/tab\there/f", 6000);
             f.file("root/bad\xff\xfe/f", 6000);
             f.file("root/bad\xff\xfe/inner\x80/f", 6000);
             f.dir("root/ends in blank ");
             return true;
         }},
        {"a root that is a file",
         [](Folder& f, std::string&) {
             f.file("root", 10000);
             return true;
         }},
        {"a root that is a link to a folder",
         [](Folder& f, std::string&) {
             f.file("real/f", 10000);
             f.symlink("real", "root");
             return true;
         }},
        {"a root that does not exist", [](Folder&, std::string&) { return true; }},
        {"folders an unprivileged user cannot read",
         [](Folder& f, std::string&) {
             f.file("root/open/f", 8000);
             f.file("root/closed/f", 8000);
             f.file("root/closed/sub/f", 8000);
             f.file("root/listonly/f", 8000);
             f.dir("root/listonly/sub");
             f.file("root/enteronly/f", 8000);
             f.dir("root/enteronly/sub");
             ::chmod(f.at("root/closed").c_str(), 0700);
             ::chmod(f.at("root/listonly").c_str(), 0744);
             ::chmod(f.at("root/enteronly").c_str(), 0711);
             return true;
         },
         true},
        {"a binary tree 10 levels deep with few open files allowed",
         [](Folder& f, std::string&) {
             // Each folder's second half waits while the first is walked, so
             // more folders wait than the walk may keep open: the deeper ones
             // are opened from the root instead.
             std::function<void(const std::string&, int)> grow = [&](const std::string& at,
                                                                     int level) {
                 f.file(at + "/f", size_t(level) * 1000);
                 if (level < 10) {
                     grow(at + "/a", level + 1);
                     grow(at + "/b", level + 1);
                 }
             };
             grow("root", 0);
             return true;
         },
         false, "root", 32},
        {"a generated tree of 3,000 folders",
         [](Folder& f, std::string&) {
             generated(f);
             return true;
         }},
    };
    return table;
}

class MeasureAgainstDu : public ::testing::TestWithParam<size_t>
{
};

TEST_P(MeasureAgainstDu, EveryFolderAsDuPrintsIt)
{
    const Case& c = cases()[GetParam()];
    if (c.unprivileged && !TestSupport::canDropPrivileges())
        GTEST_SKIP() << "no unprivileged user to switch to";
    Folder f;
    std::string skip;
    if (!c.build(f, skip))
        GTEST_SKIP() << skip;
    const std::string root = f.at(c.root);
    for (int depth : {1, 3, 8}) {
        SCOPED_TRACE(std::string(c.name) + ", depth " + std::to_string(depth));
        SizeMap du = duTree(root, depth, c.unprivileged);
        SizeMap walked;
        {
            OpenFilesLimit limit(c.openFiles);
            walked = c.unprivileged ? walkTreeAsNobody(root, depth) : walkTree(root, depth);
        }
        EXPECT_TRUE(walked == du) << differences(walked, du);
    }
    if (c.unprivileged)
        return;
    // Every folder measured on its own, as du -sk measures it, in one pool.
    std::vector<std::string> paths{root};
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(root)))
        for (auto it = fs::recursive_directory_iterator(root, ec);
             it != fs::recursive_directory_iterator() && paths.size() < 400; it.increment(ec))
            if (it->is_directory(ec) && !it->is_symlink(ec))
                paths.push_back(it->path().string());
    std::vector<int64_t> sizes;
    {
        OpenFilesLimit limit(c.openFiles);
        sizes = Measure::sizes(paths);
    }
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(sizes[i], duTotal(paths[i])) << paths[i];
}

INSTANTIATE_TEST_SUITE_P(Fixtures, MeasureAgainstDu, ::testing::Range(size_t(0), cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& param) {
                             std::string name;
                             for (char ch : std::string(cases()[param.param].name))
                                 if (std::isalnum(static_cast<unsigned char>(ch)))
                                     name += ch;
                             return name;
                         });

// With shared links, a file linked from two measured paths counts in the
// first one only, as a single du run over both paths counts it.
TEST(Measure, SharedLinksCountInTheFirstPathAsOneDuRunDoes)
{
    Folder f;
    f.file("one.app/f", 40000);
    f.link("one.app/f", "two.app/f");
    f.file("two.app/own", 4000);
    std::vector<std::string> paths{f.at("one.app"), f.at("two.app")};
    std::string text = runProgram("/usr/bin/du", {"-sk", "--", paths[0], paths[1]}).out;
    std::vector<int64_t> du;
    for (size_t at = 0; at < text.size(); at = text.find('\n', at) + 1)
        du.push_back(std::stoll(text.substr(at, text.find('\t', at) - at)) * 1024);
    EXPECT_EQ(Measure::sizes(paths, nullptr, true), du);
    EXPECT_EQ(Measure::sizes(paths), (std::vector<int64_t>{duTotal(paths[0]), duTotal(paths[1])}));
}

// A cancel in the middle of a walk ends it soon and leaves no cache file.
TEST(Measure, CancelMidWalkReturnsTheBareRootAndCachesNothing)
{
    TestSupport::TestHome home;
    Folder f;
    for (int i = 0; i < 60; ++i)
        for (int j = 0; j < 60; ++j)
            f.dir("root/a" + std::to_string(i) + "/b" + std::to_string(j));
    const std::string root = DiskTree::resolveRoot(f.at("root"));

    CancelToken before;
    before.cancel();
    EXPECT_FALSE(Measure::tree(root, 8, &before));

    CancelToken token;
    std::chrono::steady_clock::time_point cancelledAt;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        cancelledAt = std::chrono::steady_clock::now();
        token.cancel();
    });
    DiskNode node = Scanner::diskTree(root, 8, false, &token);
    auto returned = std::chrono::steady_clock::now();
    canceller.join();
    EXPECT_TRUE(node.children().empty());
    EXPECT_EQ(node.size(), 0);
    EXPECT_LT(returned - cancelledAt, std::chrono::milliseconds(500));
    EXPECT_FALSE(fs::exists(DiskTree::cacheFolder() + "/" + DiskTree::cacheFileName(root, 8)));
}

} // namespace
