// Small file helpers shared by the units that keep state on disk (preferences,
// history, tree cache, reports).
#pragma once

#include <optional>
#include <string>

namespace Files {

// The whole content of a regular file, or no value when it cannot be read.
std::optional<std::string> read(const std::string& path);

// Writes data to a temporary file in the same folder, flushes it and renames it
// over path, so readers see either the old or the new content, never a part.
// False (and path untouched) on any failure.
bool writeAtomically(const std::string& path, const std::string& data);

// Creates a folder and its missing parents; true when it exists afterwards.
bool makeDirs(const std::string& path);

} // namespace Files
