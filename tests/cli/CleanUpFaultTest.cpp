// SPDX-License-Identifier: GPL-3.0-or-later
// tclean clean --yes when the clean-up is cut short, raced or refused: killed
// between two moves, run twice at once on one home, or facing a Trash it
// cannot write. Every item must end either in place or in the desktop's Trash
// with its record, and the counts must add up.
#include "Files.h"
#include "Platform.h"
#include "TestHome.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using TestSupport::runProgram;
using TestSupport::tcleanPath;
using TestSupport::TestHome;

namespace {

constexpr long long kMiB = 1024 * 1024;
const std::vector<std::string> kItems = {"Library/Caches/pip", "Library/Caches/a.b.c", ".cache/pip",
                                         ".npm/_cacache", ".cache/yarn"};

void buildHome(const TestHome& home)
{
    for (const auto& rel : kItems)
        home.sizedFile(rel + "/blob", 2 * kMiB);
}

size_t movedIn(const std::string& out)
{
    size_t n = 0;
    if (size_t at = out.find("已移动 "); at != std::string::npos)
        return std::sscanf(out.c_str() + at, "已移动 %zu 项", &n) == 1 ? n : 0;
    if (size_t at = out.find("Moved "); at != std::string::npos)
        return std::sscanf(out.c_str() + at, "Moved %zu items", &n) == 1 ? n : 0;
    return 0;
}

// Every item is in place or has one Trash entry with its record; returns how
// many are in the Trash.
size_t checkNothingLost(const TestHome& home)
{
    std::string files = Platform::desktopTrash() + "/files";
    std::string info = Platform::desktopTrash() + "/info";
    std::set<std::string> entries;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(files, ec)) {
        std::string name = e.path().filename().string();
        entries.insert(name);
        EXPECT_TRUE(fs::exists(info + "/" + name + ".trashinfo")) << name;
        EXPECT_TRUE(fs::exists(e.path() / "blob")) << name;
    }
    size_t inPlace = 0;
    for (const auto& rel : kItems)
        if (fs::exists(home.at(rel + "/blob")))
            ++inPlace;
    EXPECT_EQ(inPlace + entries.size(), kItems.size());
    return entries.size();
}

} // namespace

TEST(CleanUpFaults, KilledBetweenMovesLosesNothing)
{
    if (!fs::exists("/usr/bin/strace"))
        GTEST_SKIP() << "strace is needed to kill the clean-up in the middle";
    TestHome home("zh");
    buildHome(home);
    // SIGKILL on the third no-overwrite rename: two items moved, the third
    // has its record written and is still in place.
    auto r = runProgram("/usr/bin/strace",
                        {"-f", "-o", "/dev/null", "-e", "inject=renameat2:signal=SIGKILL:when=3",
                         tcleanPath(), "clean", "--yes"});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(checkNothingLost(home), 2u);
    const std::string info = Platform::desktopTrash() + "/info";
    EXPECT_EQ(std::distance(fs::directory_iterator(info), fs::directory_iterator()), 3);

    // Once old enough, the record the killed run left for the item still in
    // place goes with the next clean-up, which moves the rest.
    const timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    for (const auto& e : fs::directory_iterator(info))
        ASSERT_EQ(::utimensat(AT_FDCWD, e.path().c_str(), hourAgo, 0), 0);
    EXPECT_EQ(runProgram(tcleanPath(), {"clean", "--yes"}).status, 0);
    EXPECT_EQ(checkNothingLost(home), kItems.size());
    EXPECT_EQ(std::distance(fs::directory_iterator(info), fs::directory_iterator()),
              std::ptrdiff_t(kItems.size()));
}

TEST(CleanUpFaults, AReadOnlyTrashMovesNothingAndSaysSo)
{
    // Permission bits do not stop root: those cases run tclean as an
    // unprivileged user on a home it owns. A read-only mount stops root too.
    enum class Way { InfoReadOnly, FilesReadOnly, TrashReadOnly, ReadOnlyMount };
    std::vector<std::string> skipped;
    for (Way way :
         {Way::InfoReadOnly, Way::FilesReadOnly, Way::TrashReadOnly, Way::ReadOnlyMount}) {
        SCOPED_TRACE(int(way));
        const bool asUser = way != Way::ReadOnlyMount;
        if (asUser && !TestSupport::canDropPrivileges()) {
            skipped.push_back("no way to run as an unprivileged user");
            continue;
        }
        TestHome home("zh");
        // The reason is told in the language of the output; the mounted
        // case reads it in English.
        const bool english = way == Way::ReadOnlyMount;
        setenv("TID_LANG", english ? "en" : "zh", 1);
        buildHome(home);
        const std::string trash = Platform::desktopTrash();
        fs::create_directories(trash);
        if (way != Way::TrashReadOnly) {
            fs::create_directories(trash + "/files");
            fs::create_directories(trash + "/info");
        }
        std::vector<std::string> command = {tcleanPath(), "clean", "--yes"};
        bool mounted = false;
        if (asUser) {
            for (const auto& e : fs::recursive_directory_iterator(home.path()))
                ASSERT_EQ(::lchown(e.path().c_str(), 65534, 65534), 0);
            ASSERT_EQ(::chown(home.path().c_str(), 65534, 65534), 0);
            const char* locked = way == Way::InfoReadOnly    ? "/info"
                                 : way == Way::FilesReadOnly ? "/files"
                                                             : "";
            fs::permissions(trash + locked, fs::perms(0500));
            command.insert(command.begin(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                             "--clear-groups"});
        } else {
            mounted = ::mount(trash.c_str(), trash.c_str(), nullptr, MS_BIND, nullptr) == 0;
            if (mounted && ::mount(nullptr, trash.c_str(), nullptr,
                                   MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
                ::umount2(trash.c_str(), MNT_DETACH);
                mounted = false;
            }
            if (!mounted) {
                skipped.push_back("mounting is not permitted");
                continue;
            }
        }
        // Standard error goes to a file of its own, beside the home.
        const std::string errors = home.path() + ".stderr";
        command.insert(command.begin(), {"-c", "exec \"$@\" 2>\"$0\"", errors});
        auto r = runProgram("/bin/sh", command);
        if (mounted)
            ::umount2(trash.c_str(), MNT_DETACH);
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_TRUE(r.out.starts_with(english ? "Will move 5 items, " : "将移动 5 项，共 "))
            << r.out;
        EXPECT_EQ(movedIn(r.out), 0u) << r.out;
        // Each item that stayed is named, under the reason that kept it.
        std::string why = Files::read(errors, 4096).value_or("");
        EXPECT_TRUE(why.starts_with(english ? "5 items stay where they are: the Trash cannot be "
                                              "written:\n"
                                            : "回收站无法写入，有 5 项仍留在原处：\n"))
            << why;
        for (const auto& rel : kItems)
            EXPECT_NE(why.find("\n  · ~/" + rel + "\n"), std::string::npos) << rel << why;
        ::unlink(errors.c_str());
        EXPECT_EQ(checkNothingLost(home), 0u);
        std::error_code ec;
        EXPECT_TRUE(fs::is_empty(trash + "/info", ec) || ec);
        fs::permissions(trash, fs::perms(0700), ec);
        fs::permissions(trash + "/info", fs::perms(0700), ec);
        fs::permissions(trash + "/files", fs::perms(0700), ec);
    }
    if (!skipped.empty())
        GTEST_SKIP() << "some cases were not tried: " << skipped.front();
}

TEST(CleanUpFaults, TwoCleanUpsAtOnceMoveEachItemOnce)
{
    TestHome home("zh");
    setenv("TID_LANG", "zh", 1);
    buildHome(home);
    TestSupport::RunResult a, b;
    // Standard error of each run goes to a file of its own, beside the home.
    const std::string errorsA = home.path() + ".a", errorsB = home.path() + ".b";
    auto clean = [](const std::string& errors) {
        return runProgram("/bin/sh",
                          {"-c", "exec \"$@\" 2>\"$0\"", errors, tcleanPath(), "clean", "--yes"});
    };
    std::thread first([&] { a = clean(errorsA); });
    std::thread second([&] { b = clean(errorsB); });
    first.join();
    second.join();
    size_t inTrash = checkNothingLost(home);
    EXPECT_EQ(inTrash, kItems.size());
    EXPECT_EQ(movedIn(a.out) + movedIn(b.out), kItems.size()) << a.out << b.out;
    // A run that found an item already gone counts it as not moved, says so
    // by its status, and says the item was gone rather than still in place.
    for (const auto& [run, errors] : {std::pair{&a, errorsA}, std::pair{&b, errorsB}}) {
        const std::string why = Files::read(errors, 4096).value_or("");
        ::unlink(errors.c_str());
        size_t announced = 0;
        if (std::sscanf(run->out.c_str(), "将移动 %zu 项", &announced) != 1)
            continue;
        const size_t missed = announced - movedIn(run->out);
        EXPECT_EQ(run->status, missed == 0 ? 0 : 1) << run->out;
        if (missed == 0) {
            EXPECT_EQ(why, "");
            continue;
        }
        EXPECT_TRUE(why.starts_with("有 " + std::to_string(missed) +
                                    " 项已不在原处（可能已被另一次清理移走）：\n"))
            << why;
        EXPECT_EQ(why.find("仍留在原处"), std::string::npos) << why;
    }
}
