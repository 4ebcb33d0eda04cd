// SPDX-License-Identifier: GPL-3.0-or-later
// The features whose use the application remembers for its guides and the
// return reminder. A feature is named by its raw value in the preferences
// ("tc.use.map") and in the views; each knows the page that hosts it and the
// symbol that stands for it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

enum class Feature { Overview, Clean, Map, Files, Duplicates, Procs, Cli, History };

// Every feature, in the order the guides and the reminder list them.
const std::array<Feature, 8>& allFeatures();

// "overview", "clean", "map", ...; featureFromRaw gives no value for any other text.
std::string_view rawValue(Feature feature);
std::optional<Feature> featureFromRaw(std::string_view raw);

// Catalogue key of the feature's title: "feat." + raw value.
std::string titleKey(Feature feature);

// Raw value of the main-window page that hosts the feature ("tools" for dupes and procs).
std::string_view pageOf(Feature feature);

// SF Symbol name of the feature's icon (Symbols.h maps it to a glyph).
std::string_view iconOf(Feature feature);
