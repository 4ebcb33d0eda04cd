// SPDX-License-Identifier: GPL-3.0-or-later
// tclean: one command against the user's home folder, then exit.
#include "Entry.h"
#include "Platform.h"

#include <cstdio>

int main(int argc, char** argv)
{
    Cli::setHome(Platform::homeDir());
    std::vector<std::string> args(argv + 1, argv + argc);
    int status = Cli::dispatch(Cli::parse(args, Cli::home()));
    std::fflush(stdout);
    return status;
}
