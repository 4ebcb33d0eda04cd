#include "Runner.h"

#include "Platform.h"
#include "Strings.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace Shell {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(120);

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
    }
    ::close(fd);
}

} // namespace

std::string run(const std::string& executable, const std::vector<std::string>& args,
                const CancelToken* token)
{
    if (executable.empty() || executable.front() != '/' || access(executable.c_str(), X_OK) != 0)
        return "";

    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return "";

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(executable.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    int rc = posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        return "";
    }

    DataBox box;
    std::mutex m;
    std::condition_variable cv;
    bool readerDone = false;
    std::thread reader([&, fd = out[0]] {
        drain(fd, box);
        std::lock_guard guard(m);
        readerDone = true;
        cv.notify_all();
    });

    if (token) {
        // Poll the token while the tool runs; the reader's end of output wakes
        // us at once, so a run that finishes by itself is not held back.
        bool asked = false;
        std::unique_lock lock(m);
        while (!asked) {
            if (readerDone) {
                lock.unlock();
                int status = 0;
                pid_t w = waitpid(pid, &status, WNOHANG);
                if (w == pid || (w < 0 && errno != EINTR)) {
                    pid = -1;
                    lock.lock();
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                lock.lock();
            } else {
                cv.wait_for(lock, kPollInterval);
            }
            if (token->isCancelled()) {
                if (pid > 0)
                    kill(pid, SIGTERM);
                asked = true;
            }
        }
    }

    if (pid > 0) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    reader.join();
    return Strings::dropInvalidUtf8Lines(box.data);
}

} // namespace Shell

namespace Scanner {

int64_t sizeOf(const std::string& path)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::string out = Shell::run(Platform::Tool::du, {"-sk", path});
        auto pieces = Strings::split(out, '\t');
        if (pieces.empty())
            return 0;
        auto kib = Strings::parseInt(Strings::trimBlanks(pieces.front()));
        if (!kib)
            return 0;
        return *kib * 1024;
    }
    if (::lstat(path.c_str(), &st) != 0)
        return 0;
    return static_cast<int64_t>(st.st_size);
}

} // namespace Scanner
