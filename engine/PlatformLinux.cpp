// SPDX-License-Identifier: GPL-3.0-or-later
// What the platform unit answers differently on Linux, where that takes more
// than a line.
#include "Platform.h"

namespace Platform {

std::vector<std::string> largeFileExclusions(const std::string& home)
{
    const std::string data = dataHome();
    return {desktopTrash(),
            cacheHome(),
            data + "/containers",
            data + "/flatpak",
            data + "/docker",
            data + "/Steam/steamapps",
            home + "/.var/app",
            home + "/snap",
            home + "/.local/share/gnome-boxes",
            home + "/.local/share/libvirt",
            data + "/gnome-boxes",
            data + "/libvirt"};
}

} // namespace Platform
