// SPDX-License-Identifier: GPL-3.0-or-later
// The text catalogue. Every lookup decides the language afresh: TID_LANG, then
// the preference "tc.lang", then the system's preferred languages. A key that is
// not in the catalogue is returned unchanged, so a typo shows on screen rather
// than failing.
#pragma once

#include "Records.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace L {

// "zh" or "en", decided on every call.
std::string lang();

// The text of key in the current language, or key itself when unknown.
std::string s(std::string_view key);

// One argument of f(): "%d" takes an integer, "%@" a text.
using Arg = std::variant<long long, std::string>;

// Looks key up as s() does and fills its "%d" and "%@" placeholders in order.
// Formatting is plain and not locale-aware: no digit grouping.
std::string f(std::string_view key, const std::vector<Arg>& args);

// Fills placeholders of an already looked-up text; "%%" gives "%".
std::string format(std::string_view text, const std::vector<Arg>& args);

// The key of the text that goes with count things: key + ".one" when count is
// 1 and the catalogue holds that text (English says "1 item" but "0 items" and
// "2 items"), else key itself. Chinese has no plural: its ".one" texts read as
// the others. The one place that picks a text by a count, for the app and tclean.
std::string countKey(std::string_view key, long long count);

// f() with the text for count (countKey): count fills the first "%d", then
// more fills the placeholders after it.
std::string fCount(std::string_view key, long long count, const std::vector<Arg>& more = {});

// Keys in defining order (for the tests and the about page).
std::vector<std::string> keys();

} // namespace L

// Display titles of a finding's kind and risk, looked up in the current
// language on every call.
std::string title(ItemKind kind);
std::string title(Risk risk);

// Shorthand for L::s.
inline std::string t(std::string_view key)
{
    return L::s(key);
}
