// SPDX-License-Identifier: GPL-3.0-or-later
#include "Plists.h"

#include "Files.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace Plists {
namespace {

uint64_t bigEndian(const unsigned char* p, unsigned n)
{
    uint64_t v = 0;
    for (unsigned i = 0; i < n; ++i)
        v = v << 8 | p[i];
    return v;
}

// The binary form: a trailer of 32 bytes at the end names the object count,
// the top object and the offset table; each container object lists the
// indexes of its members. The longest chain of containers is found with an
// explicit stack, each object's depth worked out once.
bool binaryNestingWithin(std::string_view bytes, int limit)
{
    constexpr size_t kHeader = 8, kTrailer = 32;
    if (bytes.size() < kHeader + kTrailer)
        return false;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const uint64_t end = bytes.size() - kTrailer;
    const unsigned char* trailer = data + end;
    const unsigned offsetSize = trailer[6], refSize = trailer[7];
    const uint64_t count = bigEndian(trailer + 8, 8), top = bigEndian(trailer + 16, 8),
                   table = bigEndian(trailer + 24, 8);
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8 || top >= count ||
        table < kHeader || table > end || count > (end - table) / offsetSize)
        return false;

    // The members of a container object (no value when the object is not one
    // or runs past the object data; a member index out of range fails).
    struct Members
    {
        uint64_t first = 0, count = 0; // position of the first index and their number
    };
    auto membersOf = [&](uint64_t index, Members& out) -> int {
        const uint64_t at = bigEndian(data + table + index * offsetSize, offsetSize);
        if (at < kHeader || at >= table)
            return -1;
        const unsigned marker = data[at] >> 4;
        if (marker != 0xA && marker != 0xC && marker != 0xD)
            return 0;
        uint64_t n = data[at] & 0xF, pos = at + 1;
        if (n == 0xF) { // the count follows as an integer object
            if (pos >= table || (data[pos] >> 4) != 0x1 || (data[pos] & 0xF) > 3)
                return -1;
            const unsigned width = 1u << (data[pos] & 0xF);
            if (pos + 1 + width > table)
                return -1;
            n = bigEndian(data + pos + 1, width);
            pos += 1 + width;
        }
        const uint64_t perMember = marker == 0xD ? 2 : 1; // a dictionary lists keys, then values
        if (n > (table - pos) / refSize / perMember)
            return -1;
        n *= perMember;
        out = {pos, n};
        return 1;
    };

    // 0 not seen, 1 on the current chain, 2 done (its depth known).
    std::vector<unsigned char> state(count, 0);
    std::vector<uint16_t> depth(count, 0);
    struct Frame
    {
        uint64_t index;
        Members members;
        uint64_t next = 0; // members looked at so far
    };
    std::vector<Frame> chain;
    auto enter = [&](uint64_t index) -> bool {
        Members m;
        const int kind = membersOf(index, m);
        if (kind < 0)
            return false;
        if (kind == 0) {
            state[index] = 2;
            return true;
        }
        if (chain.size() >= size_t(limit))
            return false;
        state[index] = 1;
        chain.push_back({index, m});
        return true;
    };
    if (!enter(top))
        return false;
    while (!chain.empty()) {
        Frame& frame = chain.back();
        if (frame.next == frame.members.count) {
            uint16_t deepest = 0;
            for (uint64_t i = 0; i < frame.members.count; ++i) {
                const uint64_t member =
                    bigEndian(data + frame.members.first + i * refSize, refSize);
                deepest = std::max(deepest, depth[member]);
            }
            depth[frame.index] = uint16_t(deepest + 1);
            state[frame.index] = 2;
            chain.pop_back();
            continue;
        }
        const uint64_t member =
            bigEndian(data + frame.members.first + frame.next * refSize, refSize);
        ++frame.next;
        if (member >= count || state[member] == 1)
            return false; // out of range, or an object inside itself
        if (state[member] == 2) {
            if (chain.size() + depth[member] > size_t(limit))
                return false;
            continue;
        }
        if (!enter(member))
            return false;
    }
    return true;
}

bool xmlNestingWithin(std::string_view text, int limit)
{
    int depth = 0;
    for (size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        std::string_view rest = text.substr(at + 1);
        auto skipTo = [&](std::string_view close) {
            size_t found = text.find(close, at + 1);
            at = found == std::string_view::npos ? text.size() - 1 : found;
        };
        if (rest.starts_with("!--")) {
            skipTo("-->");
            continue;
        }
        if (rest.starts_with("![CDATA[")) {
            skipTo("]]>");
            continue;
        }
        const bool closing = rest.starts_with('/');
        if (closing)
            rest.remove_prefix(1);
        size_t nameLength = rest.starts_with("array") ? 5 : rest.starts_with("dict") ? 4 : 0;
        if (nameLength == 0 || nameLength == rest.size() ||
            !(rest[nameLength] == '>' || rest[nameLength] == '/' || rest[nameLength] == ' ' ||
              rest[nameLength] == '\t' || rest[nameLength] == '\n' || rest[nameLength] == '\r'))
            continue;
        if (closing) {
            --depth;
            continue;
        }
        const size_t tagEnd = rest.find('>');
        if (tagEnd != std::string_view::npos && tagEnd > 0 && rest[tagEnd - 1] == '/')
            continue; // <array/>: empty, nothing nested
        if (++depth > limit)
            return false;
    }
    return true;
}

} // namespace

bool nestingWithin(std::string_view bytes, int limit)
{
    if (bytes.starts_with("bplist"))
        return binaryNestingWithin(bytes, limit);
    return xmlNestingWithin(bytes, limit);
}

plist_t parse(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > UINT32_MAX || !nestingWithin(bytes, kMaxDepth))
        return nullptr;
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    return root;
}

std::optional<std::string> stringValue(plist_t dict, const char* key)
{
    plist_t node = plist_dict_get_item(dict, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    uint64_t length = 0;
    const char* value = plist_get_string_ptr(node, &length);
    if (!value || std::memchr(value, 0, size_t(length)))
        return std::nullopt;
    return std::string(value, size_t(length));
}

std::optional<std::string> infoPlistBytes(const std::string& bundle)
{
    return Files::read(bundle + "/Contents/Info.plist", kMaxInfoPlistBytes);
}

} // namespace Plists
