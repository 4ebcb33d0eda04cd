#include "DiskTree.h"

#include "Files.h"
#include "Measure.h"
#include "Parsers.h"
#include "Platform.h"
#include "Scanner.h"
#include "Strings.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <simdjson.h>
#include <sys/stat.h>
#include <unordered_map>

namespace DiskTree {
namespace {

// Root plus the eight levels a tree can hold.
constexpr int kMaxNesting = 9;

using Index =
    std::unordered_map<std::string_view, std::vector<const std::pair<const std::string, int64_t>*>>;

// Groups the size map's entries under the prefix their parent is looked up by
// (the parent path with its trailing "/"). Map order is kept inside a group.
Index indexByParent(const std::map<std::string, int64_t>& sizes)
{
    Index index;
    index.reserve(sizes.size());
    for (const auto& entry : sizes) {
        const std::string& key = entry.first;
        size_t slash = key.rfind('/');
        if (slash == std::string::npos || slash + 1 == key.size())
            continue;
        index[std::string_view(key).substr(0, slash + 1)].push_back(&entry);
    }
    return index;
}

std::vector<DiskNode> build(const Index& index, const std::string& path, int level)
{
    std::vector<DiskNode> nodes;
    std::string prefix = !path.empty() && path.back() == '/' ? path : path + "/";
    auto it = index.find(prefix);
    if (it == index.end())
        return nodes;
    nodes.reserve(it->second.size());
    for (const auto* entry : it->second) {
        DiskNode node;
        node.name = entry->first.substr(prefix.size());
        node.path = entry->first;
        node.size = entry->second;
        if (level >= 2)
            node.children = build(index, entry->first, level - 1);
        nodes.push_back(std::move(node));
    }
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const DiskNode& a, const DiskNode& b) { return a.size > b.size; });
    return nodes;
}

void appendJsonString(std::string& out, std::string_view text)
{
    out += '"';
    size_t run = 0; // start of the bytes that need no escape
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        out.append(text.substr(run, i - run));
        run = i + 1;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default: {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        }
        }
    }
    out.append(text.substr(run));
    out += '"';
}

// Roughly the encoded length, so the text grows once.
size_t encodedSize(const DiskNode& node)
{
    size_t n = 100 + node.id.size() + node.name.size() + node.path.size();
    for (const auto& child : node.children)
        n += encodedSize(child);
    return n;
}

void appendNode(std::string& out, const DiskNode& node)
{
    out += "{\"id\":";
    appendJsonString(out, node.id);
    out += ",\"name\":";
    appendJsonString(out, node.name);
    out += ",\"path\":";
    appendJsonString(out, node.path);
    out += ",\"size\":";
    out += std::to_string(node.size);
    out += ",\"children\":[";
    for (size_t i = 0; i < node.children.size(); ++i) {
        if (i > 0)
            out += ',';
        appendNode(out, node.children[i]);
    }
    out += "]}";
}

// One node object and everything below it. Unknown keys are passed over; a
// repeated key counts as its last value.
bool readNode(simdjson::dom::element element, DiskNode& node, int nesting)
{
    simdjson::dom::object object;
    if (nesting > kMaxNesting || element.get_object().get(object))
        return false;
    bool id = false, name = false, path = false, size = false, children = false;
    for (auto [key, value] : object) {
        std::string_view text;
        if (key == "id" || key == "name" || key == "path") {
            if (value.get_string().get(text))
                return false;
            if (key == "id") {
                node.id.assign(text);
                id = true;
            } else if (key == "name") {
                node.name.assign(text);
                name = true;
            } else {
                node.path.assign(text);
                path = true;
            }
        } else if (key == "size") {
            // An integer that fits 64 signed bits; 1.0 or 2^63 is not one.
            if (value.type() != simdjson::dom::element_type::INT64)
                return false;
            node.size = int64_t(value);
            size = true;
        } else if (key == "children") {
            simdjson::dom::array list;
            if (value.get_array().get(list))
                return false;
            node.children.clear();
            node.children.reserve(list.size());
            for (simdjson::dom::element item : list) {
                node.children.emplace_back();
                if (!readNode(item, node.children.back(), nesting + 1))
                    return false;
            }
            children = true;
        }
    }
    return id && name && path && size && children;
}

// text must have simdjson::SIMDJSON_PADDING bytes of capacity beyond its end.
std::optional<DiskNode> decodePadded(std::string& text, bool release)
{
    if (text.size() > kMaxCacheBytes)
        return std::nullopt;
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    if (parser.parse(text.data(), text.size(), false).get(root))
        return std::nullopt;
    if (release)
        text = std::string(); // the parser holds its own copy of every string
    DiskNode node;
    if (!readNode(root, node, 1))
        return std::nullopt;
    return node;
}

// Folders whose names are not UTF-8 cannot be written as JSON text (nor shown
// as names): they stay out of the tree, their sizes counted in their parents.
void dropNamesNotUtf8(std::vector<DiskNode>& nodes)
{
    std::erase_if(nodes, [](const DiskNode& n) { return !Strings::isValidUtf8(n.name); });
    for (auto& n : nodes)
        dropNamesNotUtf8(n.children);
}

// The cache file's content when it was modified less than 30 minutes ago
// (a date in the future counts as fresh).
std::optional<std::string> freshCache(const std::string& file)
{
    struct stat st = {};
    if (::stat(file.c_str(), &st) != 0)
        return std::nullopt;
    auto modified = std::chrono::system_clock::time_point(
        std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec));
    std::chrono::duration<double> age = std::chrono::system_clock::now() - modified;
    if (age.count() >= kCacheSeconds)
        return std::nullopt;
    // A tree of a million folders takes far less; a larger file is not one
    // this program wrote, and the folder is measured again.
    static_assert(Files::kReadSlack >= simdjson::SIMDJSON_PADDING);
    return Files::read(file, kMaxCacheBytes);
}

bool cancelled(const CancelToken* token)
{
    return token && token->isCancelled();
}

} // namespace

int clampDepth(int depth)
{
    return std::clamp(depth, 1, 8);
}

std::string resolveRoot(const std::string& root)
{
    std::string standard = Parse::standardPath(root);
    char* real = ::realpath(standard.c_str(), nullptr);
    if (!real)
        return standard;
    std::string out = real;
    std::free(real);
    return out;
}

std::string cacheFileName(const std::string& resolvedRoot, int depth)
{
    return "tree_" + Strings::replaceAll(resolvedRoot, "/", "_") + "_d" + std::to_string(depth) +
           ".json";
}

std::string cacheFolder()
{
    return Platform::cacheFolder();
}

std::vector<DiskNode> childrenOf(const std::map<std::string, int64_t>& sizes,
                                 const std::string& path, int level)
{
    return build(indexByParent(sizes), path, level);
}

std::string encode(const DiskNode& node)
{
    std::string out;
    out.reserve(encodedSize(node));
    appendNode(out, node);
    return out;
}

std::optional<DiskNode> decode(std::string_view json)
{
    if (json.size() > kMaxCacheBytes)
        return std::nullopt;
    std::string text;
    text.reserve(json.size() + simdjson::SIMDJSON_PADDING);
    text.assign(json);
    return decodePadded(text, true);
}

std::optional<DiskNode> decodeCacheText(std::string& text)
{
    if (text.capacity() < text.size() + simdjson::SIMDJSON_PADDING)
        text.reserve(text.size() + simdjson::SIMDJSON_PADDING);
    return decodePadded(text, true);
}

} // namespace DiskTree

namespace Scanner {

DiskNode diskTree(const std::string& root, int depth, bool useCache, const CancelToken* token)
{
    const int d = DiskTree::clampDepth(depth);
    const std::string p = DiskTree::resolveRoot(root);
    const std::string folder = DiskTree::cacheFolder();
    const std::string file = folder + "/" + DiskTree::cacheFileName(p, d);
    Files::makeDirs(folder);

    if (useCache && !DiskTree::cancelled(token)) {
        if (auto text = DiskTree::freshCache(file)) {
            auto cached = DiskTree::decodeCacheText(*text);
            if (cached && cached->path == p)
                return std::move(*cached);
        }
    }

    DiskNode rootNode;
    rootNode.name = Strings::lastComponent(p);
    if (rootNode.name.empty())
        rootNode.name = p;
    rootNode.path = p;

    if constexpr (Platform::kIsMac) {
        std::string out = Shell::run(
            Platform::Tool::du, Parse::duArguments({"-k", "-d", std::to_string(d)}, {p}), token);
        auto sizes = Parse::duSizeMap(Parse::toolSizes(out, 1024));
        if (DiskTree::cancelled(token))
            return rootNode;

        rootNode.children = DiskTree::childrenOf(sizes, p, d);
        if (auto own = sizes.find(p); own != sizes.end()) {
            rootNode.size = own->second;
        } else {
            int64_t sum = 0;
            for (const auto& child : rootNode.children)
                sum += child.size;
            rootNode.size = sum;
        }
    } else {
        // Measured in process, the sizes du -k -d d would print; the tree
        // comes straight from the walk.
        auto measured = Measure::tree(p, d, token);
        if (DiskTree::cancelled(token))
            return rootNode;
        if (measured) {
            rootNode.size = measured->size;
            rootNode.children = std::move(measured->children);
            DiskTree::dropNamesNotUtf8(rootNode.children);
        }
    }
    if (DiskTree::cancelled(token))
        return rootNode;

    if (Strings::isValidUtf8(p))
        Files::writeAtomically(file, DiskTree::encode(rootNode), Files::Durability::Cache);
    return rootNode;
}

} // namespace Scanner
