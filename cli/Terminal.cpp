// SPDX-License-Identifier: GPL-3.0-or-later
#include "Terminal.h"

#include "Platform.h"
#include "Strings.h"
#include "Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace ANSI {

bool on()
{
    static const bool value = Platform::stdoutIsTerminal();
    return value;
}

std::string c(std::string_view code, std::string_view text)
{
    if (!on())
        return std::string(text);
    std::string out = "\x1b[";
    out += code;
    out += 'm';
    out += text;
    out += "\x1b[0m";
    return out;
}

std::string bold(std::string_view text)
{
    return c("1", text);
}
std::string dim(std::string_view text)
{
    return c("2", text);
}
std::string red(std::string_view text)
{
    return c("31", text);
}
std::string green(std::string_view text)
{
    return c("32", text);
}
std::string yellow(std::string_view text)
{
    return c("33", text);
}
std::string cyan(std::string_view text)
{
    return c("36", text);
}

} // namespace ANSI

namespace {

// value with one decimal, as "%.1f" prints it (correctly rounded, no locale),
// without the cost of printf on every line of a large tree.
std::string fixed1(double value)
{
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    if (ec != std::errc())
        return "0.0";
    return std::string(buf, end);
}

} // namespace

std::string printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
        const unsigned char lead = byte(0);
        if (lead < 0x20 || lead == 0x7f) {
            out += '?';
            ++i;
            continue;
        }
        // U+0080 to U+009F: C2 80 to C2 9F.
        if (lead == 0xC2 && i + 1 < text.size() && byte(1) >= 0x80 && byte(1) <= 0x9F) {
            out += '?';
            i += 2;
            continue;
        }
        // U+202A to U+202E: E2 80 AA to E2 80 AE; U+2066 to U+2069: E2 81 A6 to E2 81 A9.
        if (lead == 0xE2 && i + 2 < text.size() &&
            ((byte(1) == 0x80 && byte(2) >= 0xAA && byte(2) <= 0xAE) ||
             (byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9))) {
            out += '?';
            i += 3;
            continue;
        }
        out += text[i];
        ++i;
    }
    return out;
}

std::string human(int64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    static const char* units[] = {"KB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 3) {
        value /= 1024.0;
        ++unit;
    }
    return fixed1(value) + " " + units[unit];
}

std::string pad(std::string_view text, size_t width)
{
    std::string out(text);
    size_t count = Strings::characterCount(text);
    if (count < width)
        out.append(width - count, ' ');
    return out;
}

std::string column(std::string_view text, size_t width)
{
    std::string out = pad(text, width);
    if (Strings::characterCount(text) >= width)
        out += ' ';
    return out;
}

std::string bar(double fraction, int width)
{
    if (width < 0)
        width = 0;
    double cells = std::round(fraction * width);
    int n = std::isnan(cells) ? 0 : static_cast<int>(std::clamp(cells, 0.0, double(width)));
    std::string out;
    out.reserve(size_t(width) * 3);
    for (int i = 0; i < n; ++i)
        out += "█";
    for (int i = n; i < width; ++i)
        out += "░";
    return out;
}

std::string riskTag(Risk risk)
{
    // The English words differ in length: padded to the longest, so the
    // columns after the tag line up as the Chinese ones do.
    const size_t width = L::lang() == "zh" ? 0 : 7;
    switch (risk) {
    case Risk::Safe:
        return ANSI::green(pad(t("risk.safe"), width));
    case Risk::Care:
        return ANSI::yellow(pad(t("risk.care"), width));
    case Risk::Data:
        return ANSI::red(pad(t("risk.data"), width));
    }
    return "";
}

std::string cutName(std::string_view name)
{
    if (Strings::characterCount(name) <= 24)
        return std::string(name);
    return Strings::characterPrefix(name, 23) + "…";
}

std::string treeLine(const DiskNode& node, const std::string& prefix, bool isLast, int64_t total)
{
    double share = total >= 1 ? static_cast<double>(node.size()) / static_cast<double>(total) : 0;
    std::string size = human(node.size());
    if (size.size() <= 8)
        size = pad(size, 9);
    std::string percent = fixed1(share * 100.0);
    if (percent.size() < 4)
        percent.insert(0, 4 - percent.size(), ' ');
    percent.insert(0, 1, ' ');
    percent += '%';
    std::string line;
    const std::string name = printable(node.name());
    line.reserve(prefix.size() + name.size() + 128);
    line += prefix;
    line += ANSI::dim(isLast ? "└── " : "├── ");
    line += pad(cutName(name), 26);
    line += ANSI::cyan(size);
    line += ANSI::dim(bar(share, 14) + percent);
    return line;
}

void renderTree(const DiskNode& node, const std::string& prefix, bool isLast, int depth,
                int maxDepth, int64_t total)
{
    printLine(treeLine(node, prefix, isLast, total));
    if (depth >= maxDepth)
        return;
    std::string childPrefix = prefix + (isLast ? "    " : "│   ");
    const auto children = node.children();
    for (size_t i = 0; i < children.size(); ++i)
        renderTree(children[i], childPrefix, i + 1 == children.size(), depth + 1, maxDepth, total);
}

void printLine(std::string_view line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}
