// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiskTree.h"

#include "Files.h"
#include "Parsers.h"
#include "Platform.h"
#include "Runner.h"
#include "Strings.h"

#include <algorithm>
#include <charconv>
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
    size_t n = 140 + node.id.size() + node.name.size() + node.path.size();
    for (const auto& file : node.files)
        n += 40 + file.name.size();
    for (const auto& child : node.children)
        n += encodedSize(child);
    return n;
}

// Where a long encoding goes as it grows, so it is never held whole.
struct Sink
{
    Files::AtomicFile* file = nullptr;
    static constexpr size_t kChunk = size_t(1) << 20;
};

void appendNode(std::string& out, const DiskNode& node, const Sink& sink = {})
{
    if (sink.file && out.size() >= Sink::kChunk) {
        sink.file->append(out);
        out.clear();
    }
    out += "{\"id\":";
    appendJsonString(out, node.id);
    out += ",\"name\":";
    appendJsonString(out, node.name);
    out += ",\"path\":";
    appendJsonString(out, node.path);
    out += ",\"size\":";
    out += std::to_string(node.size);
    out += ",\"fileCount\":";
    out += std::to_string(node.fileCount);
    out += ",\"fileBytes\":";
    out += std::to_string(node.fileBytes);
    out += ",\"files\":[";
    for (size_t i = 0; i < node.files.size(); ++i) {
        out += i > 0 ? ",{\"name\":" : "{\"name\":";
        appendJsonString(out, node.files[i].name);
        out += ",\"size\":";
        out += std::to_string(node.files[i].size);
        out += '}';
    }
    out += "],\"children\":[";
    for (size_t i = 0; i < node.children.size(); ++i) {
        if (i > 0)
            out += ',';
        appendNode(out, node.children[i], sink);
    }
    out += "]}";
}

// A strict reader of the cache's JSON that builds the nodes straight from the
// text, with no document in between: a cache of 100,000 folders then needs its
// text and its nodes, nothing more. The text is checked to be UTF-8 first
// (Strings::isValidUtf8); everything else is JSON's grammar. Unknown keys
// are passed over (their values still have to be JSON), a repeated key counts
// as its last value, and a known key of the wrong type rejects the whole text.
class Reader
{
public:
    explicit Reader(std::string_view text) : m_p(text.data()), m_end(text.data() + text.size()) {}

    std::optional<DiskNode> document()
    {
        DiskNode node;
        blanks();
        if (!readNode(node, 1))
            return std::nullopt;
        blanks();
        if (m_p != m_end)
            return std::nullopt;
        return node;
    }

private:
    // Values nested deeper than this inside unknown keys are refused rather
    // than followed.
    static constexpr int kMaxDepth = 64;

    void blanks()
    {
        while (m_p < m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }

    bool take(char c)
    {
        blanks();
        if (m_p < m_end && *m_p == c) {
            ++m_p;
            return true;
        }
        return false;
    }

    static int hexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    bool hex4(uint32_t& out)
    {
        if (m_end - m_p < 4)
            return false;
        out = 0;
        for (int i = 0; i < 4; ++i) {
            int d = hexDigit(m_p[i]);
            if (d < 0)
                return false;
            out = out * 16 + uint32_t(d);
        }
        m_p += 4;
        return true;
    }

    static void appendUtf8(std::string& out, uint32_t cp)
    {
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }

    // A string value after its opening quote, unescaped into out.
    bool string(std::string& out)
    {
        out.clear();
        for (;;) {
            const char* run = m_p;
            while (m_p < m_end && *m_p != '"' && *m_p != '\\' &&
                   static_cast<unsigned char>(*m_p) >= 0x20)
                ++m_p;
            out.append(run, size_t(m_p - run));
            if (m_p >= m_end || static_cast<unsigned char>(*m_p) < 0x20)
                return false;
            if (*m_p++ == '"')
                return true;
            if (m_p >= m_end)
                return false;
            char e = *m_p++;
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                uint32_t cp = 0;
                if (!hex4(cp) || (cp >= 0xDC00 && cp <= 0xDFFF))
                    return false;
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    uint32_t low = 0;
                    if (m_end - m_p < 2 || m_p[0] != '\\' || m_p[1] != 'u')
                        return false;
                    m_p += 2;
                    if (!hex4(low) || low < 0xDC00 || low > 0xDFFF)
                        return false;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, cp);
                break;
            }
            default:
                return false;
            }
        }
    }

    // A number; integer tells whether it is one that fits 64 signed bits.
    bool number(int64_t& value, bool& integer)
    {
        const char* start = m_p;
        if (m_p < m_end && *m_p == '-')
            ++m_p;
        if (m_p >= m_end || *m_p < '0' || *m_p > '9')
            return false;
        if (*m_p == '0')
            ++m_p;
        else
            while (m_p < m_end && *m_p >= '0' && *m_p <= '9')
                ++m_p;
        integer = true;
        if (m_p < m_end && *m_p == '.') {
            integer = false;
            ++m_p;
            if (m_p >= m_end || *m_p < '0' || *m_p > '9')
                return false;
            while (m_p < m_end && *m_p >= '0' && *m_p <= '9')
                ++m_p;
        }
        if (m_p < m_end && (*m_p == 'e' || *m_p == 'E')) {
            integer = false;
            ++m_p;
            if (m_p < m_end && (*m_p == '+' || *m_p == '-'))
                ++m_p;
            if (m_p >= m_end || *m_p < '0' || *m_p > '9')
                return false;
            while (m_p < m_end && *m_p >= '0' && *m_p <= '9')
                ++m_p;
        }
        if (integer) {
            auto [end, ec] = std::from_chars(start, m_p, value);
            integer = ec == std::errc() && end == m_p;
        }
        return true;
    }

    bool literal(std::string_view word)
    {
        if (size_t(m_end - m_p) < word.size() || std::string_view(m_p, word.size()) != word)
            return false;
        m_p += word.size();
        return true;
    }

    // Any JSON value, checked and passed over.
    bool skipValue(int depth)
    {
        if (depth > kMaxDepth)
            return false;
        blanks();
        if (m_p >= m_end)
            return false;
        char c = *m_p;
        if (c == '"') {
            ++m_p;
            return string(m_scratch);
        }
        if (c == '{') {
            ++m_p;
            if (take('}'))
                return true;
            do {
                if (!take('"') || !string(m_scratch) || !take(':') || !skipValue(depth + 1))
                    return false;
            } while (take(','));
            return take('}');
        }
        if (c == '[') {
            ++m_p;
            if (take(']'))
                return true;
            do {
                if (!skipValue(depth + 1))
                    return false;
            } while (take(','));
            return take(']');
        }
        if (c == 't')
            return literal("true");
        if (c == 'f')
            return literal("false");
        if (c == 'n')
            return literal("null");
        int64_t value = 0;
        bool integer = false;
        return number(value, integer);
    }

    // A JSON integer that fits 64 signed bits (and, with nonNegative, is not
    // below 0).
    bool integer(int64_t& value, bool nonNegative)
    {
        blanks();
        bool isInteger = false;
        return number(value, isInteger) && isInteger && (!nonNegative || value >= 0);
    }

    // A JSON array, each element read into a new item of out by read.
    template <class T, class Read> bool array(std::vector<T>& out, Read read)
    {
        if (!take('['))
            return false;
        out.clear();
        if (take(']'))
            return true;
        do {
            out.emplace_back();
            if (!read(out.back()))
                return false;
        } while (take(','));
        return take(']');
    }

    bool readNode(DiskNode& node, int nesting)
    {
        if (nesting > kMaxNesting || !take('{'))
            return false;
        bool id = false, name = false, path = false, size = false, children = false;
        bool fileCount = false, fileBytes = false, files = false;
        if (!take('}')) {
            do {
                if (!take('"') || !string(m_key) || !take(':'))
                    return false;
                if (m_key == "id" || m_key == "name" || m_key == "path") {
                    std::string& field = m_key == "id"     ? node.id
                                         : m_key == "name" ? node.name
                                                           : node.path;
                    (m_key == "id" ? id : m_key == "name" ? name : path) = true;
                    if (!take('"') || !string(field))
                        return false;
                } else if (m_key == "size") {
                    if (!integer(node.size, false))
                        return false;
                    size = true;
                } else if (m_key == "fileCount" || m_key == "fileBytes") {
                    int64_t& field = m_key == "fileCount" ? node.fileCount : node.fileBytes;
                    (m_key == "fileCount" ? fileCount : fileBytes) = true;
                    if (!integer(field, true))
                        return false;
                } else if (m_key == "files") {
                    if (!array(node.files, [this](DiskFile& f) { return readFile(f); }))
                        return false;
                    files = true;
                } else if (m_key == "children") {
                    if (!array(node.children,
                               [this, nesting](DiskNode& n) { return readNode(n, nesting + 1); }))
                        return false;
                    children = true;
                } else if (!skipValue(nesting)) {
                    return false;
                }
            } while (take(','));
            if (!take('}'))
                return false;
        }
        return id && name && path && size && children && fileCount && fileBytes && files;
    }

    // {"name": text, "size": integer}, other keys passed over.
    bool readFile(DiskFile& file)
    {
        if (!take('{'))
            return false;
        bool name = false, size = false;
        if (!take('}')) {
            do {
                if (!take('"') || !string(m_key) || !take(':'))
                    return false;
                if (m_key == "name") {
                    if (!take('"') || !string(file.name))
                        return false;
                    name = true;
                } else if (m_key == "size") {
                    if (!integer(file.size, true))
                        return false;
                    size = true;
                } else if (!skipValue(1)) {
                    return false;
                }
            } while (take(','));
            if (!take('}'))
                return false;
        }
        return name && size;
    }

    const char* m_p;
    const char* m_end;
    std::string m_key;
    std::string m_scratch;
};

// Folders and files whose names are not UTF-8 cannot be written as JSON text (nor shown
// as names): they stay out of the tree, their sizes counted in their parents.
void dropNamesNotUtf8(DiskNode& node)
{
    std::erase_if(node.files, [](const DiskFile& f) { return !Strings::isValidUtf8(f.name); });
    std::erase_if(node.children, [](const DiskNode& n) { return !Strings::isValidUtf8(n.name); });
    for (auto& n : node.children)
        dropNamesNotUtf8(n);
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

bool writeCache(const std::string& file, const DiskNode& node)
{
    Files::AtomicFile out(file);
    std::string buffer;
    buffer.reserve(Sink::kChunk + 4096);
    appendNode(buffer, node, Sink{&out});
    return out.append(buffer) && out.commit(Files::Durability::Cache);
}

std::optional<DiskNode> decode(std::string_view json)
{
    if (json.size() > kMaxCacheBytes || !Strings::isValidUtf8(json))
        return std::nullopt;
    return Reader(json).document();
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
    // A run killed while writing its cache leaves a temporary file that a
    // run for the same folder and depth would clear; for every other name
    // it is cleared here.
    Files::removeStaleTemporaries(folder, "tree_", ".json");

    if (useCache && !DiskTree::cancelled(token)) {
        if (auto text = DiskTree::freshCache(file)) {
            auto cached = DiskTree::decode(*text);
            if (cached && cached->path == p)
                return std::move(*cached);
        }
    }

    DiskNode rootNode;
    rootNode.name = Strings::lastComponent(p);
    if (rootNode.name.empty())
        rootNode.name = p;
    rootNode.path = p;

    // The sizes du -k -d d would print: on Linux measured in process, the tree
    // straight from the walk.
    auto measured = Platform::folderTree(p, d, token);
    if (DiskTree::cancelled(token))
        return rootNode;
    if (measured) {
        rootNode.size = measured->size;
        rootNode.children = std::move(measured->children);
        rootNode.fileCount = measured->fileCount;
        rootNode.fileBytes = measured->fileBytes;
        rootNode.files = std::move(measured->files);
        DiskTree::dropNamesNotUtf8(rootNode);
    }
    if (DiskTree::cancelled(token))
        return rootNode;

    if (Strings::isValidUtf8(p))
        DiskTree::writeCache(file, rootNode);
    return rootNode;
}

} // namespace Scanner
