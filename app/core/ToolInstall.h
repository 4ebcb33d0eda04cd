// SPDX-License-Identifier: GPL-3.0-or-later
// Installing the command-line tool for the user: the tclean that ships next to
// the application is copied to ~/.local/bin/tclean (mode 0755, an older copy
// removed first). When ~/.local/bin is not on PATH yet, it is put on the search
// path of the user's shell by a marked block in its start-up file, once:
// ~/.zshrc for zsh, ~/.bashrc for bash, fish's conf.d/tidlo.fish for fish,
// ~/.profile for any other. The start-up file is only ever appended to, or
// created when nothing at all is there: a file that cannot be read, a link, a
// file in another encoding keeps every byte it had. A tclean that came with
// the installed package (on PATH, outside the home) is found, so the page can
// show that one instead of offering a second copy that would hide its updates.
// Plain functions over paths, no Qt: CommandLineTool runs them off the main
// thread.
#pragma once

#include <string>
#include <string_view>

namespace ToolInstall {

// The line that marks the block; a start-up file holding it anywhere is done.
inline constexpr std::string_view kMarker = "# tidlo-cleaner";

// Where the tool is installed and whose shell it is, as the process sees them.
struct Session
{
    std::string home;
    std::string shell;      // $SHELL (its last path component decides)
    std::string path;       // $PATH
    std::string configHome; // the XDG configuration folder
};

// The session of this process: the home folder, $SHELL, $PATH and the XDG
// configuration folder.
Session currentSession();

// home + "/.local/bin".
std::string binDir(const std::string& home);
// home + "/.local/bin/tclean".
std::string installedPath(const std::string& home);

// Whether the shell is fish (by the last path component of $SHELL).
bool isFish(std::string_view shell);

// The line that puts ~/.local/bin on the search path, in the shell's syntax.
std::string exportLine(std::string_view shell);
// The appended block: a line break, the marker line, the export line.
std::string block(std::string_view shell);

// The start-up file of the shell: ~/.zshrc for zsh, ~/.bashrc for bash,
// configHome/fish/conf.d/tidlo.fish for fish, ~/.profile otherwise.
std::string startupFile(const Session& session);

// Whether folder is one of the entries of a PATH value (a trailing slash of
// an entry does not count; empty and relative entries never match).
bool onPath(const std::string& folder, std::string_view path);

// The first executable regular file named tclean in a PATH entry outside the
// home folder (an absolute entry that is neither the home nor below it), the
// tclean of the installed package; empty when there is none.
std::string packagedTool(std::string_view path, const std::string& home);

// True when something (following links) is at the installed tool's path.
bool isInstalled(const std::string& home);

enum class StartupEdit {
    Appended,     // the block went at the end of the existing file
    Created,      // there was no file; it now holds only the block
    AlreadyThere, // the marker is in the file: nothing written
    Skipped,      // could not append (not writable, a dangling link, not a
                  // regular file): nothing written
    NotNeeded,    // ~/.local/bin is already on PATH: no file considered
};

// Puts the block into the start-up file unless its bytes hold the marker.
// An existing file is only opened for appending (through a link to a regular
// file too); a missing one is created atomically with the block alone, never
// replacing what may have appeared at that name meanwhile. The file's folder
// is created (0700) when missing, which fish's conf.d may be.
StartupEdit addPathToShell(const std::string& file, std::string_view block);

struct Outcome
{
    bool ok = false;
    // The system's reason when the tool could not be copied ("Not a directory").
    std::string reason;
    // The start-up file that was considered, empty when the copy failed or
    // no file was needed.
    std::string startupFile;
    StartupEdit edit = StartupEdit::Skipped;
};

// Creates ~/.local/bin (errors ignored), removes an older tclean there (a file
// or link; a folder there is never removed), copies source there with mode
// 0755, then, unless ~/.local/bin is on PATH, adds it to the shell's search
// path. A failed copy leaves no partial file and skips the start-up file.
Outcome install(const std::string& source, const Session& session);

// cmd as it should be pasted: with every "tclean" replaced by the installed
// path (quoted for the shell when it holds anything but plain path characters)
// when installed, else unchanged.
std::string commandFor(std::string_view cmd, bool installed, const std::string& installedTool);

} // namespace ToolInstall
