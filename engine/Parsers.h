// SPDX-License-Identifier: GPL-3.0-or-later
// Readers of the text the system tools print. Each is a pure function from the
// tool's standard output to records, so that odd output (blank lines, lines
// without a tab, sizes that are not numbers, names with tabs, line feeds or
// trailing blanks) can be tested on sample text. The Scanner units run the tool
// through Shell::run and hand its output here. Nothing here starts a process;
// the only file-system look is the existence test that callers pass in so that
// a file name holding a line feed can be joined back together.
#pragma once

#include "Records.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Parse {

// One "size TAB path" record of du, find -printf or stat.
struct SizeLine
{
    int64_t size = 0; // the number as printed (KiB for du, bytes for find)
    std::string path; // exactly as printed, never trimmed
};

// Splits size-tab-path output into records. A line starts a record when it
// splits at its first tab into a number (blanks around it allowed, an optional
// sign) and a path that begins with "/" (blanks before it allowed); the path
// is kept exactly, trailing blanks and further tabs included. Sizes are
// multiplied by scale (1024 for du's KiB); a number that does not fit in 64
// bits then does not start a record. Blank lines and other odd lines are
// skipped, except where a file name holds a line feed: when exists is given
// and accepts the last record's path joined with the following odd lines by
// line feeds, they become part of that path.
std::vector<SizeLine> sizeLines(std::string_view text, int64_t scale,
                                const std::function<bool(const std::string&)>& exists = {});

// Splits NUL-ended size-tab-path records (du -0, find -printf '%s\t%p\0').
// Each record splits at its first tab into a number (as for sizeLines) and a
// path that begins with "/"; the path is kept exactly, line feeds included, so
// a file name can never forge another record. Other records are skipped.
std::vector<SizeLine> sizeRecords(std::string_view text, int64_t scale);

// How a tool ends its size-tab-path records: GNU du -0 and find -printf
// '%s\t%p\0' end each with a NUL (Linux); du and stat on macOS with a line
// feed.
enum class RecordEnd { LineFeed, Nul };

// The records of a du or find run started with duArguments or with find's
// size-tab-path format: sizeRecords for NUL-ended records, else sizeLines
// joining a name that holds a line feed back together (itemExists).
std::vector<SizeLine> toolSizes(std::string_view text, int64_t scale, RecordEnd end);

// du's arguments: the options, "-0" for NUL-ended records, then "--" so that
// a path starting with "-" is never read as an option, then the paths.
std::vector<std::string> duArguments(std::vector<std::string> options,
                                     const std::vector<std::string>& paths, RecordEnd end);

// Whether something (a link included) is at path: the usual exists test.
bool itemExists(const std::string& path);

// The absolute path with "." and ".." components and repeated or trailing
// slashes removed, the way a file URL is standardised. A relative path is
// taken against the working folder. Symbolic links are not resolved.
std::string standardPath(std::string_view path);

// The size map of a du -k -d N run: standardised path to bytes; a later line
// for the same path replaces the earlier one. exists as for sizeLines.
std::map<std::string, int64_t>
duSizeMap(std::string_view text, const std::function<bool(const std::string&)>& exists = {});

// The same size map from already split records.
std::map<std::string, int64_t> duSizeMap(std::vector<SizeLine> records);

// The file-name extension as used for file types: the text after the last "."
// of the last path component, where a "." that begins the component does not
// count; "" when there is none. Not lower-cased.
std::string extensionOf(std::string_view path);

// Processes from "ps -axo pid=,rss=,comm=": pid, resident KiB and the command
// (the remaining columns joined with one blank). name is the command's last
// path component, or the whole command when shortNames is set (Linux prints
// the short command name, which may itself hold a "/"). Lines with fewer than
// three columns or a non-numeric pid or size are skipped. Table order.
std::vector<ProcInfo> processLines(std::string_view text, bool shortNames);

// The bytes of a program's name the kernel keeps as its comm (ps's name).
inline constexpr size_t kCommBytes = 15;

// The program's whole name where the kernel cut it (comm keeps 15 bytes):
// the last path component of argv[0] (cmdline up to its first NUL) when it
// starts with comm, else that of the executable's link target (less the
// kernel's " (deleted)"), when it does; comm itself otherwise, and always
// when comm is shorter than 15 bytes (a name the program chose).
std::string fullProgramName(std::string_view comm, std::string_view cmdline,
                            std::string_view exeTarget);

// The largest limit records by rss, table order kept among equal sizes.
std::vector<ProcInfo> largestProcesses(std::vector<ProcInfo> procs, int limit);

// Resident KiB from "ps -o rss= -p PID", in bytes; 0 when it does not read.
int64_t ownRss(std::string_view text);

// Free bytes from vm_stat: "Pages free", "Pages inactive" and "Pages
// speculative" times the stated page size (4096 when none is stated). Not
// capped.
int64_t vmStatFree(std::string_view text);

// MemAvailable of /proc/meminfo in bytes; no value when it is absent.
std::optional<int64_t> meminfoAvailable(std::string_view text);

// Snapshot names from "tmutil listlocalsnapshots /": the trimmed lines that
// mention com.apple.TimeMachine, in output order.
std::vector<std::string> snapshotLines(std::string_view text);

// What an autostart desktop entry says of itself ([Desktop Entry] group only):
// its untranslated Name, Hidden=true (removed for this user) and
// X-GNOME-Autostart-enabled=false (switched off).
struct DesktopEntry
{
    std::string name;
    bool hidden = false;
    bool disabled = false;
};
DesktopEntry desktopEntry(std::string_view text);

// Unit names from "systemctl --user list-unit-files --state=enabled
// --no-legend --no-pager": the first word of each line that has a state
// word after it, in output order.
std::vector<std::string> enabledUnits(std::string_view text);

// Snapper's info.xml: the text of its <date> and <description> elements
// (entities &amp; &lt; &gt; &quot; &apos; read back), "" when absent.
std::pair<std::string, std::string> snapperInfo(std::string_view xml);

// Read-only snapshots from "btrfs subvolume list -s PATH": each line's otime
// ("yyyy-MM-dd HH:mm:ss") and path (relative to the file system's top, may
// hold blanks), in output order; lines without both are skipped.
std::vector<std::pair<std::string, std::string>> btrfsSnapshots(std::string_view text);

// One application of `flatpak list --app --columns=application,installation`:
// its id and the installation that holds it ("user", "system" or the name of
// another system installation).
struct FlatpakApp
{
    std::string id;
    std::string installation;
    bool operator==(const FlatpakApp&) const = default;
};
// Lines of an id and an installation separated by a tab (flatpak's output when
// not on a terminal) or blanks; a header line ("Application ID ...") and lines
// without an installation are skipped. Output order, each id once.
std::vector<FlatpakApp> flatpakApps(std::string_view text);

// One snap of `snap list`: its name and revision. Snaps whose Notes column
// says they are a base, a core, snapd, a kernel or a gadget are not
// applications and are left out, as are the header and lines of fewer than
// three columns or whose revision is not a number.
struct SnapApp
{
    std::string name;
    std::string revision;
    bool operator==(const SnapApp&) const = default;
};
std::vector<SnapApp> snapApps(std::string_view text);

// The owners `dpkg-query -S PATH...` prints ("pkg: /path", "pkg1, pkg2:
// /path", "pkg:arch: /path"): path to the first package named, without its
// architecture. "diversion by" lines and anything else are skipped.
std::map<std::string, std::string> dpkgOwners(std::string_view text);

// The lines "PACKAGE TAB SIZE" of `dpkg-query -W -f='${Package}\t${Installed-Size}\n'`:
// package to bytes (the size is in KiB). A package without a size is left out.
std::map<std::string, int64_t> dpkgSizes(std::string_view text);

// The installed packages of `dpkg-query -W -f='${db:Status-Status}\t${Package}\n'`:
// the names whose status is "installed" (a package removed but for its
// configuration files is not), in output order.
std::vector<std::string> dpkgInstalled(std::string_view text);

} // namespace Parse
