// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestHome.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <pty.h>
#include <sched.h>
#include <string_view>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace TestSupport {

namespace {

// Every variable that could lead a test to the real home's files.
const char* kVars[] = {"HOME",
                       "XDG_CONFIG_HOME",
                       "XDG_DATA_HOME",
                       "XDG_CACHE_HOME",
                       "XDG_STATE_HOME",
                       "XDG_DESKTOP_DIR",
                       "XDG_DOCUMENTS_DIR",
                       "XDG_DOWNLOAD_DIR",
                       "XDG_MUSIC_DIR",
                       "XDG_PICTURES_DIR",
                       "XDG_VIDEOS_DIR",
                       "TID_LANG",
                       "XDG_CONFIG_DIRS",
                       "XDG_DATA_DIRS"};

std::string readAll(int fd)
{
    std::string out;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        out.append(buf, size_t(n));
    }
    return out;
}

std::vector<char*> argvOf(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TestHome::TestHome(const char* lang)
{
    std::string tmpl = (fs::temp_directory_path() / "tidlo-home-XXXXXX").string();
    char* made = mkdtemp(tmpl.data());
    m_path = made ? made : "";
    for (const char* var : kVars) {
        if (const char* v = std::getenv(var))
            m_saved[var] = v;
        else
            m_unset.push_back(var);
    }
    for (const char* var : kVars)
        unsetenv(var);
    setenv("HOME", m_path.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_path + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (m_path + "/.local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (m_path + "/.cache").c_str(), 1);
    setenv("XDG_STATE_HOME", (m_path + "/.local/state").c_str(), 1);
    // The machine's own applications stay out of the lists.
    setenv("XDG_DATA_DIRS", (m_path + "/.system-data").c_str(), 1);
    if (lang)
        setenv("TID_LANG", lang, 1);
}

TestHome::~TestHome()
{
    for (const auto& [k, v] : m_saved)
        setenv(k.c_str(), v.c_str(), 1);
    for (const auto& k : m_unset)
        unsetenv(k.c_str());
    std::error_code ec;
    // Make everything removable again (tests may drop permissions).
    for (auto it = fs::recursive_directory_iterator(
             m_path, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(m_path, ec);
}

std::string TestHome::at(const std::string& rel) const
{
    return rel.empty() ? m_path : m_path + "/" + rel;
}

void TestHome::file(const std::string& rel, const std::string& content) const
{
    fs::path p = at(rel);
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
}

void TestHome::sizedFile(const std::string& rel, long long size) const
{
    fs::path p = at(rel);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    std::string chunk(65536, 'x');
    for (long long left = size; left > 0; left -= (long long)chunk.size())
        out.write(chunk.data(), std::min<long long>(left, (long long)chunk.size()));
}

void TestHome::dir(const std::string& rel) const
{
    fs::create_directories(at(rel));
}

ZoneGuard::ZoneGuard(const char* zone)
{
    if (const char* old = std::getenv("TZ"))
        m_old = old;
    setenv("TZ", zone, 1);
    tzset();
}

ZoneGuard::~ZoneGuard()
{
    if (m_old)
        setenv("TZ", m_old->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 2);
        close(fds[0]);
        close(fds[1]);
        for (const auto& [k, v] : env)
            setenv(k.c_str(), v.c_str(), 1);
        auto argv = argvOf(program, args);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    RunResult r;
    r.out = readAll(fds[0]);
    close(fds[0]);
    r.status = waitFor(pid);
    return r;
}

RunResult runOnTerminal(const std::string& program, const std::vector<std::string>& args)
{
    int master = -1;
    pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0)
        return {};
    if (pid == 0) {
        termios t{};
        tcgetattr(0, &t);
        cfmakeraw(&t);
        tcsetattr(0, TCSANOW, &t);
        auto argv = argvOf(program, args);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    RunResult r;
    r.out = readAll(master); // ends with EIO once the child has gone
    close(master);
    r.status = waitFor(pid);
    return r;
}

bool canDropPrivileges()
{
    return geteuid() == 0 && access("/usr/bin/setpriv", X_OK) == 0;
}

int runInChild(bool privateMounts, bool asUser, const std::function<int()>& step)
{
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return kNoSetUp;
    if (pid == 0) {
        if (privateMounts && (unshare(CLONE_NEWNS) != 0 ||
                              mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0))
            _exit(kNoSetUp);
        if (asUser && (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
                       setresuid(65534, 65534, 65534) != 0))
            _exit(kNoSetUp);
        _exit(step() & 0xFF);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

std::string hexText(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (char c : bytes) {
        out += kHex[static_cast<unsigned char>(c) >> 4];
        out += kHex[static_cast<unsigned char>(c) & 0xF];
    }
    return out;
}

void describe(const std::string& root, const std::string& rel,
              const std::vector<std::string>& leaveOut, std::vector<std::string>& lines)
{
    const std::string path = rel.empty() ? root : root + "/" + rel;
    struct stat st = {};
    if (::lstat(path.c_str(), &st) != 0) {
        lines.push_back(hexText(rel) + " unreadable");
        return;
    }
    char mode[16];
    std::snprintf(mode, sizeof mode, "%04o", unsigned(st.st_mode & 07777));
    std::string line = hexText(rel) + " " + mode + " ";
    if (S_ISLNK(st.st_mode)) {
        std::string target(4096, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        target.resize(n > 0 ? size_t(n) : 0);
        lines.push_back(line + "link " + hexText(target));
    } else if (S_ISDIR(st.st_mode)) {
        lines.push_back(line + "folder");
        DIR* dir = ::opendir(path.c_str());
        if (!dir)
            return;
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
        for (const auto& name : names) {
            const std::string child = rel.empty() ? name : rel + "/" + name;
            if (std::find(leaveOut.begin(), leaveOut.end(), child) == leaveOut.end())
                describe(root, child, leaveOut, lines);
        }
    } else {
        std::ifstream in(path, std::ios::binary);
        std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Short contents as they are, longer ones by length and hash.
        if (content.size() <= 64)
            lines.push_back(line + "file " + hexText(content));
        else
            lines.push_back(line + "file " + std::to_string(content.size()) + " " +
                            std::to_string(std::hash<std::string>{}(content)));
    }
}

void writeFile(const std::string& path, const std::string& content, mode_t mode = 0644)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return;
    if (::write(fd, content.data(), content.size()) < 0) {
    }
    ::fchmod(fd, mode);
    ::close(fd);
}

} // namespace

std::string treeText(const std::string& root, const std::vector<std::string>& leaveOut)
{
    std::vector<std::string> lines;
    describe(root, "", leaveOut, lines);
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const auto& line : lines)
        out += line + "\n";
    return out;
}

std::vector<std::string> makeOddTree(const std::string& root, int filler)
{
    std::filesystem::create_directories(root);
    std::vector<std::string> top;
    auto add = [&](const std::string& name) {
        top.push_back(name);
        return root + "/" + name;
    };
    writeFile(add("plain.txt"), "plain");
    writeFile(add("line\nfeed"), "a name with a line feed", 0600);
    writeFile(add("100% done"), "percent");
    writeFile(add(std::string("latin1-\xe9t\xe9")), "not UTF-8");
    writeFile(add(std::string(255, 'n')), "longest name");
    writeFile(add(std::string(250, 'w') + "\xe4\xb8\xad"),
              "a long name ending in a wide character");
    std::filesystem::create_symlink("plain.txt", add("link"));
    std::filesystem::create_symlink("/nowhere/at/all", add("dangling"));
    const std::string folder = add("folder with\x01odd bytes");
    ::mkdir(folder.c_str(), 0750);
    ::mkdir((folder + "/inner").c_str(), 0700);
    writeFile(folder + "/inner/deep.bin", std::string("\0\xff\n", 3), 0400);
    writeFile(folder + "/run.sh", "#!/bin/sh\n", 0755);
    std::filesystem::create_symlink("inner/deep.bin", folder + "/to inner");
    ::mkdir((folder + "/empty").c_str(), 0711);
    for (int i = 0; i < filler; ++i)
        writeFile(add("filler-" + std::to_string(i)), std::to_string(i));
    return top;
}

} // namespace TestSupport
