// SPDX-License-Identifier: GPL-3.0-or-later
// A fixture desktop inside a TestHome: PATH holds only the home's bin folder,
// where stand-ins for the desktop's tools (flatpak, snap, dpkg-query) print
// prepared answers and log how they were called; XDG_DATA_DIRS names a system
// data folder inside the home. Both variables come back on destruction.
#pragma once

#include "TestHome.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace TestSupport {

class DesktopHome
{
public:
    explicit DesktopHome(const char* lang = "en") : m_home(lang)
    {
        for (const char* var : {"PATH", "XDG_DATA_DIRS"})
            if (const char* v = std::getenv(var))
                m_saved[var] = v;
        setenv("PATH", at("bin").c_str(), 1);
        setenv("XDG_DATA_DIRS", at("sys").c_str(), 1);
        m_home.dir("bin");
    }
    ~DesktopHome()
    {
        for (const char* var : {"PATH", "XDG_DATA_DIRS"}) {
            auto it = m_saved.find(var);
            if (it != m_saved.end())
                setenv(var, it->second.c_str(), 1);
            else
                unsetenv(var);
        }
    }
    DesktopHome(const DesktopHome&) = delete;
    DesktopHome& operator=(const DesktopHome&) = delete;

    TestHome& home() { return m_home; }
    std::string at(const std::string& rel) const { return m_home.at(rel); }

    // A stand-in for tool in the home's bin folder: it appends its arguments
    // (one line, separated by blanks) to bin/<tool>.log, prints the answer
    // kept for its first argument (answers[""] when none is kept) and exits
    // with status.
    void standIn(const std::string& tool, const std::map<std::string, std::string>& answers,
                 int status = 0) const
    {
        std::string script =
            "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + at("bin/" + tool) + ".log'\ncase \"$1\" in\n";
        int n = 0;
        for (const auto& [arg, text] : answers) {
            const std::string file = "bin/." + tool + "." + std::to_string(n++);
            m_home.file(file, text);
            script += "  '" + (arg.empty() ? std::string("*") : arg) + "') /bin/cat '" + at(file) +
                      "' ;;\n";
        }
        script += "esac\nexit " + std::to_string(status) + "\n";
        program(tool, script);
    }

    // An executable file in bin (a program on PATH).
    void program(const std::string& name, const std::string& script = "#!/bin/sh\n") const
    {
        m_home.file("bin/" + name, script);
        ::chmod(at("bin/" + name).c_str(), 0755);
    }

    // How the stand-in for tool was called, one line per run.
    std::string calls(const std::string& tool) const
    {
        std::ifstream in(at("bin/" + tool + ".log"));
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    // Sets the modification time of rel and everything below it to days ago.
    void age(const std::string& rel, int days) const
    {
        namespace fs = std::filesystem;
        const auto when = fs::file_time_type::clock::now() - std::chrono::hours(24 * days);
        const fs::path root = at(rel);
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec))
            if (!it->is_symlink())
                fs::last_write_time(it->path(), when, ec);
        fs::last_write_time(root, when, ec);
    }

private:
    TestHome m_home;
    std::map<std::string, std::string> m_saved;
};

} // namespace TestSupport
