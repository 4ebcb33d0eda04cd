// SPDX-License-Identifier: GPL-3.0-or-later
#include "Strings.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <simdjson.h>
#include <unicode/brkiter.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

namespace Strings {

std::optional<int64_t> parseInt(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    bool negative = false;
    size_t pos = 0;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        pos = 1;
    }
    if (pos == text.size())
        return std::nullopt;
    for (size_t i = pos; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    // Parse the magnitude as unsigned so that INT64_MIN reads back.
    uint64_t magnitude = 0;
    auto [ptr, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), magnitude);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    if (negative) {
        if (magnitude > uint64_t(INT64_MAX) + 1)
            return std::nullopt;
        return magnitude == uint64_t(INT64_MAX) + 1 ? INT64_MIN : -int64_t(magnitude);
    }
    if (magnitude > uint64_t(INT64_MAX))
        return std::nullopt;
    return int64_t(magnitude);
}

std::string_view trimBlanks(std::string_view text)
{
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return text.substr(b, e - b);
}

std::vector<std::string_view> split(std::string_view text, char sep)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t at = text.find(sep, start);
        size_t end = at == std::string_view::npos ? text.size() : at;
        if (end > start)
            out.push_back(text.substr(start, end - start));
        if (at == std::string_view::npos)
            break;
        start = at + 1;
    }
    return out;
}

bool isValidUtf8(std::string_view bytes)
{
    // simdjson's validator: the rules of Unicode's table of well-formed byte
    // sequences, many bytes at a time, which counts for a large tree cache.
    return simdjson::validate_utf8(bytes.data(), bytes.size());
}

std::string dropInvalidUtf8Lines(std::string_view text)
{
    if (isValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        size_t end = nl == std::string_view::npos ? text.size() : nl + 1;
        std::string_view line = text.substr(start, end - start);
        if (isValidUtf8(line))
            out.append(line);
        start = end;
    }
    return out;
}

std::string nameKey(std::string_view name)
{
    return isValidUtf8(name) ? lowercased(name) : std::string(name);
}

int64_t addSaturated(int64_t a, int64_t b)
{
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}

std::string lowercased(std::string_view text)
{
    // ASCII text, most names, lower-cases the same without a trip through UTF-16.
    if (std::all_of(text.begin(), text.end(), [](char c) { return (unsigned char)c < 0x80; })) {
        std::string out(text);
        for (char& c : out)
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
        return out;
    }
    icu::UnicodeString u =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), int32_t(text.size())));
    u.toLower(icu::Locale::getRoot());
    std::string out;
    u.toUTF8String(out);
    return out;
}

namespace {

// Offsets (in UTF-16 units of u) of grapheme cluster boundaries, start excluded.
template <typename F> void eachCluster(const icu::UnicodeString& u, F&& visit)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it) {
        for (int32_t i = 0; i < u.length(); i = u.moveIndex32(i, 1))
            if (!visit(u.moveIndex32(i, 1)))
                return;
        return;
    }
    it->setText(u);
    it->first();
    for (int32_t end = it->next(); end != icu::BreakIterator::DONE; end = it->next())
        if (!visit(end))
            return;
}

// Printable ASCII and tabs, where every byte is one user-perceived character
// (only CR LF joins two ASCII bytes into one cluster); long listings of plain
// names then never build a break iterator.
bool isSimpleAscii(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\r')
            return false;
    return true;
}

} // namespace

size_t characterCount(std::string_view text)
{
    if (isSimpleAscii(text))
        return text.size();
    icu::UnicodeString u =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), int32_t(text.size())));
    size_t count = 0;
    eachCluster(u, [&count](int32_t) {
        ++count;
        return true;
    });
    return count;
}

std::string characterPrefix(std::string_view text, size_t n)
{
    if (isSimpleAscii(text))
        return std::string(text.substr(0, std::min(n, text.size())));
    icu::UnicodeString u =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), int32_t(text.size())));
    int32_t cut = 0;
    size_t count = 0;
    if (n > 0) {
        eachCluster(u, [&](int32_t end) {
            cut = end;
            return ++count < n;
        });
    }
    std::string out;
    u.tempSubString(0, cut).toUTF8String(out);
    return out;
}

size_t byteBoundary(std::string_view text, size_t limit)
{
    if (limit >= text.size())
        return text.size();
    while (limit > 0 && (static_cast<unsigned char>(text[limit]) & 0xC0) == 0x80)
        --limit;
    return limit;
}

std::string lastComponent(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    if (path == "/")
        return "";
    size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return text;
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

} // namespace Strings
