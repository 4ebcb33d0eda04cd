// SPDX-License-Identifier: GPL-3.0-or-later
#include "Runner.h"

#include "Strings.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace Shell {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(120);

// Tools such as du flush every line. Waking for each one costs more than the
// tool's own work on a large tree, so once a tool has proved chatty, a short
// read makes the reader let the pipe fill for a moment; the pipe is enlarged
// so the tool rarely waits. Tools that print a line or two are never paused.
constexpr size_t kChatty = 64 * 1024;
constexpr size_t kShortRead = 16 * 1024;
constexpr auto kFillPause = std::chrono::microseconds(1500);

void drain(int fd, DataBox& box)
{
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        box.data.append(buf, static_cast<size_t>(n));
        if (box.data.size() >= kChatty && static_cast<size_t>(n) < kShortRead)
            std::this_thread::sleep_for(kFillPause);
    }
    ::close(fd);
}

// Waits for pid; its wait status, or -1 when it cannot be had.
int reap(pid_t pid)
{
    int status = 0;
    pid_t w = 0;
    while ((w = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    return w == pid ? status : -1;
}

// Starts executable with its standard output on outFd and standard error on
// /dev/null. The child starts with every signal unblocked and SIGTERM and
// SIGPIPE at their defaults, whatever the calling thread blocks or ignores, so
// that a cancel's SIGTERM always reaches it. Returns the pid, or -1.
pid_t spawn(const std::string& executable, const std::vector<std::string>& args, int outFd)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(executable.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    int rc = posix_spawn(&pid, executable.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// Set once by stopAll and never cleared: the process is on its way out.
std::atomic<bool> g_stopping{false};

bool shouldStop(const CancelToken* token)
{
    return g_stopping.load(std::memory_order_relaxed) || (token && token->isCancelled());
}

} // namespace

void stopAll()
{
    g_stopping = true;
}

bool stopping()
{
    return g_stopping.load(std::memory_order_relaxed);
}

namespace {

// Shell::run (Shell::runRecords with records set), also telling the tool's
// wait status (-1 when it did not run or its status is unknown).
std::string runTool(bool records, const std::string& executable,
                    const std::vector<std::string>& args, const CancelToken* token, int& waitStatus)
{
    waitStatus = -1;
    if (executable.empty() || executable.front() != '/' || access(executable.c_str(), X_OK) != 0)
        return "";
    if (shouldStop(token))
        return "";

    // Both ends close on exec, so a child started at the same time by another
    // thread never holds this pipe open; the dup2 in the child clears the flag
    // on its own standard output.
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return "";
    fcntl(out[0], F_SETPIPE_SZ, 1 << 20); // a larger buffer when allowed; not needed
    pid_t pid = spawn(executable, args, out[1]);
    ::close(out[1]);
    if (pid < 0) {
        ::close(out[0]);
        return "";
    }

    DataBox box;
    std::mutex m;
    std::condition_variable cv;
    bool readerDone = false;
    std::thread reader;
    try {
        reader = std::thread([&, fd = out[0]] {
            drain(fd, box);
            std::lock_guard guard(m);
            readerDone = true;
            cv.notify_all();
        });
    } catch (const std::system_error&) {
        // No thread to drain the pipe: stop the tool rather than let it stall.
        ::close(out[0]);
        kill(pid, SIGTERM);
        reap(pid);
        return "";
    }

    bool reaped = false;
    {
        // Check the token (and stopAll) every 120 ms while the tool runs. The end of its
        // output wakes the wait at once, so a tool that finishes by itself is
        // not held back; after that only its exit is awaited, polled at a
        // growing interval that stays within the 120 ms.
        auto exitPoll = std::chrono::milliseconds(2);
        std::unique_lock lock(m);
        for (;;) {
            if (shouldStop(token)) {
                kill(pid, SIGTERM);
                break;
            }
            if (!readerDone) {
                cv.wait_for(lock, kPollInterval);
                continue;
            }
            lock.unlock();
            int status = 0;
            pid_t w = waitpid(pid, &status, WNOHANG);
            if (w == pid || (w < 0 && errno != EINTR)) {
                if (w == pid)
                    waitStatus = status;
                reaped = true;
                break;
            }
            std::this_thread::sleep_for(exitPoll);
            exitPoll = std::min(exitPoll * 2, std::chrono::milliseconds(kPollInterval));
            lock.lock();
        }
    }

    if (!reaped)
        waitStatus = reap(pid);
    reader.join();
    if (records)
        return std::move(box.data);
    return Strings::dropInvalidUtf8Lines(box.data);
}

} // namespace

std::string run(const std::string& executable, const std::vector<std::string>& args,
                const CancelToken* token)
{
    int status = -1;
    return runTool(false, executable, args, token, status);
}

std::string runRecords(const std::string& executable, const std::vector<std::string>& args,
                       const CancelToken* token)
{
    int status = -1;
    return runTool(true, executable, args, token, status);
}

std::optional<std::string> runSucceeding(const std::string& executable,
                                         const std::vector<std::string>& args,
                                         const CancelToken* token)
{
    int status = -1;
    std::string out = runTool(false, executable, args, token, status);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}

std::string onPath(std::string_view name)
{
    if (name.empty() || name.find('/') != std::string_view::npos || name == "." || name == "..")
        return "";
    const char* path = std::getenv("PATH");
    for (std::string_view dir : Strings::split(path ? path : "", ':')) {
        if (dir.empty() || dir.front() != '/')
            continue;
        std::string candidate = std::string(dir) + "/" + std::string(name);
        struct stat st;
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return "";
}

} // namespace Shell
