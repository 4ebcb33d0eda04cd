// Installing the command-line tool for the user: the tclean that ships next to
// the application is copied to ~/bin/tclean (mode 0755, an older copy removed
// first), and ~/bin is put on the search path of the user's shell by appending
// a marked block to its start-up file once. The start-up file is only ever
// appended to, or created when nothing at all is there: a file that cannot be
// read, a link, a file in another encoding keeps every byte it had.
// Plain functions over paths, no Qt: CommandLineTool runs them off the main
// thread.
#pragma once

#include <string>
#include <string_view>

namespace ToolInstall {

// The line that marks the block; a start-up file holding it anywhere is done.
inline constexpr std::string_view kMarker = "# tidlo-cleaner";
// The export line, as shown on the page and written into the block.
inline constexpr std::string_view kExportLine = "export PATH=\"$HOME/bin:$PATH\"";
// The appended block: a line break, the marker line, the export line.
inline constexpr std::string_view kBlock = "\n# tidlo-cleaner\nexport PATH=\"$HOME/bin:$PATH\"\n";

// home + "/bin/tclean".
std::string installedPath(const std::string& home);

// The start-up file of the shell: ~/.zshrc for zsh, ~/.bashrc for bash,
// ~/.profile otherwise. shell is $SHELL (its last path component decides).
std::string startupFile(const std::string& home, std::string_view shell);

// True when something (following links) is at the installed tool's path.
bool isInstalled(const std::string& home);

enum class StartupEdit {
    Appended,     // the block went at the end of the existing file
    Created,      // there was no file; it now holds only the block
    AlreadyThere, // the marker is in the file: nothing written
    Skipped,      // could not append (not writable, a dangling link, not a
                  // regular file): nothing written
};

// Puts the block into the start-up file unless its bytes hold the marker.
// An existing file is only opened for appending (through a link to a regular
// file too); a missing one is created atomically with the block alone, never
// replacing what may have appeared at that name meanwhile.
StartupEdit addPathToShell(const std::string& file);

struct Outcome
{
    bool ok = false;
    // The system's reason when the tool could not be copied ("Not a directory").
    std::string reason;
    // The start-up file that was considered, empty when the copy failed.
    std::string startupFile;
    StartupEdit edit = StartupEdit::Skipped;
};

// Creates home/bin (errors ignored), removes an older home/bin/tclean (a file
// or link; a folder there is never removed), copies source there with mode
// 0755, then adds ~/bin to the shell's search path. A failed copy leaves no
// partial file and skips the start-up file.
Outcome install(const std::string& source, const std::string& home, std::string_view shell);

// cmd as it should be pasted: with every "tclean" replaced by the installed
// path (quoted for the shell when it holds anything but plain path characters)
// when installed, else unchanged.
std::string commandFor(std::string_view cmd, bool installed, const std::string& installedTool);

} // namespace ToolInstall
