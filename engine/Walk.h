// SPDX-License-Identifier: GPL-3.0-or-later
// A depth-first walk below a folder for the finders and tclean's own file-type
// count. Each folder's entries are visited in ascending name order (so results
// repeat), a sub-folder's entries right after the sub-folder itself. Symbolic
// links are never followed, so link loops end at the link; a folder that cannot
// be read is passed over and the walk goes on. Only one folder is open at a
// time, however deep the tree.
#pragma once

#include <dirent.h>
#include <functional>
#include <string>

namespace Walk {

// One entry met by a walk.
struct Entry
{
    std::string path;     // absolute: folder + "/" + name
    std::string relative; // below the walked folder
    std::string name;
    bool isFolder = false;  // a real folder, not a link to one
    bool isRegular = false; // a regular file, not a link to one
};

// What the visitor wants next.
enum class Step { Go, Prune, Stop };

// Visits every entry below folder; Prune keeps the walk out of a folder, Stop
// ends the whole walk. Returns false when a visitor stopped it.
bool below(const std::string& folder, const std::function<Step(const Entry&)>& visit);

} // namespace Walk
