// SPDX-License-Identifier: GPL-3.0-or-later
// The preferences store on arbitrary file contents: the app and tclean read
// it on every start, and anything may have written it. Every read must be
// quiet, and writing one key must leave every other key reading as before.
#include "Preferences.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

// The keys the product reads, each read as every type the store knows.
const char* const kKeys[] = {"tc.lang",     "protectedPaths",
                             "tc.firstUse", "tc.guide.basicDone",
                             "tc.use.map",  "NSQuitAlwaysKeepsWindows"};

struct Values
{
    std::optional<std::string> text;
    std::optional<std::vector<std::string>> list;
    std::optional<bool> flag;
    std::optional<Clock::time_point> date;
    bool operator==(const Values&) const = default;
};

Values read(const char* key)
{
    return {Preferences::string(key), Preferences::stringArray(key), Preferences::boolean(key),
            Preferences::date(key)};
}

std::string g_folder;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A throw-away configuration folder, on a memory file system when there
    // is one: every input is written as the store file.
    std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string folder = base + "/tidlo-fuzz-prefs-XXXXXX";
    if (!mkdtemp(folder.data()))
        std::abort();
    g_folder = folder;
    std::filesystem::create_directories(folder + "/TidloCleaner");
    setenv("HOME", folder.c_str(), 1);
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    std::atexit([] { std::filesystem::remove_all(g_folder); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (std::FILE* f = std::fopen(Preferences::filePath().c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    Values before[std::size(kKeys)];
    for (size_t i = 0; i < std::size(kKeys); ++i)
        before[i] = read(kKeys[i]);
    if (!Preferences::setBoolean("tc.fuzz.written", true))
        std::abort();
    for (size_t i = 0; i < std::size(kKeys); ++i)
        if (!(read(kKeys[i]) == before[i]))
            std::abort();
    return 0;
}
