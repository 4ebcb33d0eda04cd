// SPDX-License-Identifier: GPL-3.0-or-later
// Starting system tools and reading what they print. Shell::run is the one way
// the engine starts a tool: the exact argument list (no shell unless the tool is
// one), standard output drained on its own thread so a chatty tool never
// stalls, standard error discarded. A CancelToken lets a caller stop a long run.
#pragma once

#include "CancelToken.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The buffer the output reader fills for the waiting caller.
struct DataBox
{
    std::string data;
};

namespace Shell {

// Runs the executable at an absolute path with exactly these arguments, waits
// for it and returns its standard output. Lines that are not valid UTF-8 (a
// file name in another encoding, say) are dropped one by one; the rest of the
// output is kept. Never fails: a tool that cannot start yields "". With a
// token, the tool is asked to stop (SIGTERM) within about 120 ms of a cancel
// and whatever it printed until then is returned.
std::string run(const std::string& executable, const std::vector<std::string>& args,
                const CancelToken* token = nullptr);

// The same with the output exactly as the tool printed it, for NUL-ended
// records (find -printf '...\0', du -0): the caller judges each record on its
// own, since dropping whole lines would cut through records and lose every
// path around one name that is not UTF-8.
std::string runRecords(const std::string& executable, const std::vector<std::string>& args,
                       const CancelToken* token = nullptr);

// The same for a tool whose silence must not be mistaken for an empty answer:
// no value unless the tool ran and exited with status 0 (a tool stopped by a
// cancel did not).
std::optional<std::string> runSucceeding(const std::string& executable,
                                         const std::vector<std::string>& args,
                                         const CancelToken* token = nullptr);

// The executable named name in the folders of $PATH, the first that holds
// one: its absolute path, or "" when none does (or name is empty, holds a "/",
// or PATH names no absolute folder). For the desktop's own tools (flatpak,
// snap, dpkg-query), which live where their packages put them.
std::string onPath(std::string_view name);

// Stops every running tool (SIGTERM within about 120 ms) and makes every later
// run return "" at once, for the rest of the process. The desktop application
// calls it when it quits, so a scan in progress never keeps it alive.
void stopAll();

// Whether stopAll has been called: in-process walks look at it too.
bool stopping();

} // namespace Shell
