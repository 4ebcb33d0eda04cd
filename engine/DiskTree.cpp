// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiskTree.h"

#include "Files.h"
#include "Parsers.h"
#include "Platform.h"
#include "Runner.h"
#include "Strings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
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

// Adds the child folders of path down to level levels to the tree being
// built, largest first; returns how many were added.
uint32_t addChildren(FolderTree::Builder& builder, const Index& index, const std::string& path,
                     int level)
{
    std::string prefix = !path.empty() && path.back() == '/' ? path : path + "/";
    auto it = index.find(prefix);
    if (it == index.end())
        return 0;
    uint32_t count = 0;
    for (const auto* entry : it->second) {
        uint32_t grandchildren =
            level >= 2 ? addChildren(builder, index, entry->first, level - 1) : 0;
        builder.add(std::string_view(entry->first).substr(prefix.size()), entry->second, 0, 0, {},
                    grandchildren);
        ++count;
    }
    builder.sortPending(count);
    return count;
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
size_t encodedSize(const FolderTree& tree, uint32_t index, size_t pathLength)
{
    const FolderTree::Folder& f = tree.folder(index);
    size_t n = 160 + 2 * tree.id().size() + 2 * f.nameLength + pathLength;
    n += 40 * size_t(f.fileEntries);
    for (uint32_t c = f.firstChild; c < f.firstChild + f.childCount; ++c)
        n += encodedSize(tree, c, pathLength + 1 + tree.folder(c).nameLength);
    return n;
}

// Where a long encoding goes as it grows, so it is never held whole.
struct Sink
{
    Files::AtomicFile* file = nullptr;
    static constexpr size_t kChunk = size_t(1) << 20;
};

// Writes the folder at index, whose path is `path` (extended and restored
// for its children as they are written).
void appendNode(std::string& out, const FolderTree& tree, uint32_t index, std::string& path,
                const Sink& sink = {})
{
    if (sink.file && out.size() >= Sink::kChunk) {
        sink.file->append(out);
        out.clear();
    }
    const FolderTree::Folder& f = tree.folder(index);
    out += "{\"id\":";
    appendJsonString(out, tree.folderId(index));
    out += ",\"name\":";
    appendJsonString(out, tree.name(index));
    out += ",\"path\":";
    appendJsonString(out, path);
    out += ",\"size\":";
    out += std::to_string(f.size);
    out += ",\"fileCount\":";
    out += std::to_string(f.fileCount);
    out += ",\"fileBytes\":";
    out += std::to_string(f.fileBytes);
    out += ",\"files\":[";
    for (uint32_t i = 0; i < f.fileEntries; ++i) {
        const FolderTree::File& file = tree.file(f.firstFile + i);
        out += i > 0 ? ",{\"name\":" : "{\"name\":";
        appendJsonString(out, tree.fileName(file));
        out += ",\"size\":";
        out += std::to_string(file.size);
        out += '}';
    }
    out += "],\"children\":[";
    const size_t length = path.size();
    for (uint32_t c = f.firstChild; c < f.firstChild + f.childCount; ++c) {
        if (c > f.firstChild)
            out += ',';
        if (path.empty() || path.back() != '/')
            path += '/';
        path += tree.name(c);
        appendNode(out, tree, c, path, sink);
        path.resize(length);
    }
    out += "]}";
}

// A strict reader of the cache's JSON that builds the nodes straight from the
// text, with no document in between. Outside its strings JSON is ASCII, so the
// text is UTF-8 when every string is, and each string is checked as it is
// read. Unknown keys are passed over (their values still have to be JSON), a
// repeated key counts as its last value, and a known key of the wrong type
// rejects the whole text. Below the root, a folder's id and path are checked
// but not kept (they follow from its place), and each level of folders reuses
// one name and one file list, so reading allocates little beyond the tree.
class Reader
{
public:
    // release, when given, is told every megabyte how far the text has been
    // read (what lies before is not looked at again).
    explicit Reader(std::string_view text, std::function<void(const char*)> release = {})
        : m_p(text.data()), m_end(text.data() + text.size()), m_released(text.data()),
          m_release(std::move(release))
    {
        // Upper bounds from the shortest folder and file the grammar allows;
        // room not used is never touched.
        m_builder.reserve(text.size() / kShortestFolder + 1, text.size() / kShortestFile + 1,
                          text.size());
    }

    std::optional<DiskNode> document()
    {
        blanks();
        if (!readNode(1))
            return std::nullopt;
        blanks();
        if (m_p != m_end)
            return std::nullopt;
        auto tree = m_builder.finish(std::move(m_rootPath), std::move(m_rootId));
        if (!tree)
            return std::nullopt;
        const uint32_t root = tree->root();
        return DiskNode(std::move(tree), root);
    }

private:
    // Values nested deeper than this inside unknown keys are refused rather
    // than followed.
    static constexpr int kMaxDepth = 64;
    // {"id":"","name":"","path":"","size":0,"fileCount":0,"fileBytes":0,
    // "files":[],"children":[]} and {"name":"","size":0}, each with a comma.
    static constexpr size_t kShortestFolder = 92;
    static constexpr size_t kShortestFile = 21;
    static constexpr long kReleaseStep = long(1) << 20;

    enum class Key { Other, Id, Name, Path, Size, FileCount, FileBytes, Files, Children };

    // What is read of one folder level: its name and files (their count; the
    // list keeps its strings' room for the next folder of the level).
    struct Level
    {
        std::string name;
        std::vector<DiskFile> files;
        size_t fileCount = 0;
    };

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

    // A string value after its opening quote, checked (UTF-8, escapes) and,
    // when out is given, unescaped into it.
    bool string(std::string* out)
    {
        if (out)
            out->clear();
        for (;;) {
            const char* run = m_p;
            unsigned char seen = 0;
            while (m_p < m_end) {
                const auto c = static_cast<unsigned char>(*m_p);
                if (c == '"' || c == '\\' || c < 0x20)
                    break;
                seen |= c;
                ++m_p;
            }
            const std::string_view plain(run, size_t(m_p - run));
            if ((seen & 0x80) != 0 && !Strings::isValidUtf8(plain))
                return false;
            if (out)
                out->append(plain);
            if (m_p >= m_end || static_cast<unsigned char>(*m_p) < 0x20)
                return false;
            if (*m_p++ == '"')
                return true;
            if (m_p >= m_end)
                return false;
            char e = *m_p++;
            char single = 0;
            switch (e) {
            case '"':
            case '\\':
            case '/':
                single = e;
                break;
            case 'b':
                single = '\b';
                break;
            case 'f':
                single = '\f';
                break;
            case 'n':
                single = '\n';
                break;
            case 'r':
                single = '\r';
                break;
            case 't':
                single = '\t';
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
                if (out)
                    appendUtf8(*out, cp);
                continue;
            }
            default:
                return false;
            }
            if (out)
                *out += single;
        }
    }

    // A key after its opening quote, and its colon.
    bool key(Key& out)
    {
        // The keys written are plain ASCII; any other form is read in full.
        const char* start = m_p;
        while (m_p < m_end && *m_p != '"' && *m_p != '\\' && *m_p >= 0x20)
            ++m_p;
        std::string_view k;
        if (m_p < m_end && *m_p == '"') {
            k = std::string_view(start, size_t(m_p - start));
            ++m_p;
        } else {
            m_p = start;
            if (!string(&m_key))
                return false;
            k = m_key;
        }
        out = k == "id"          ? Key::Id
              : k == "name"      ? Key::Name
              : k == "path"      ? Key::Path
              : k == "size"      ? Key::Size
              : k == "fileCount" ? Key::FileCount
              : k == "fileBytes" ? Key::FileBytes
              : k == "files"     ? Key::Files
              : k == "children"  ? Key::Children
                                 : Key::Other;
        return take(':');
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
            return string(nullptr);
        }
        if (c == '{') {
            ++m_p;
            if (take('}'))
                return true;
            do {
                if (!take('"') || !string(nullptr) || !take(':') || !skipValue(depth + 1))
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

    // A JSON string value, kept in out when given.
    bool text(std::string* out) { return take('"') && string(out); }

    // One folder, added to the tree after its children; the root's id and
    // path are kept for the tree, the others' are derived from their places.
    bool readNode(int nesting)
    {
        if (nesting > kMaxNesting || !take('{'))
            return false;
        if (m_release && m_p - m_released > kReleaseStep) {
            m_release(m_p);
            m_released = m_p;
        }
        Level& level = m_levels[size_t(nesting)];
        const bool root = nesting == 1;
        bool id = false, name = false, path = false, size = false, children = false;
        bool fileCount = false, fileBytes = false, files = false;
        int64_t sizeValue = 0, fileCountValue = 0, fileBytesValue = 0;
        size_t childCount = 0;
        if (!take('}')) {
            do {
                Key k = Key::Other;
                if (!take('"') || !key(k))
                    return false;
                switch (k) {
                case Key::Id:
                    if (!text(root ? &m_rootId : nullptr))
                        return false;
                    id = true;
                    break;
                case Key::Name:
                    if (!text(&level.name))
                        return false;
                    name = true;
                    break;
                case Key::Path:
                    if (!text(root ? &m_rootPath : nullptr))
                        return false;
                    path = true;
                    break;
                case Key::Size:
                    if (!integer(sizeValue, false))
                        return false;
                    size = true;
                    break;
                case Key::FileCount:
                    if (!integer(fileCountValue, true))
                        return false;
                    fileCount = true;
                    break;
                case Key::FileBytes:
                    if (!integer(fileBytesValue, true))
                        return false;
                    fileBytes = true;
                    break;
                case Key::Files:
                    if (!readFiles(level))
                        return false;
                    files = true;
                    break;
                case Key::Children:
                    m_builder.dropPending(childCount); // a repeated key: the last counts
                    childCount = 0;
                    if (!take('['))
                        return false;
                    if (!take(']')) {
                        do {
                            if (!readNode(nesting + 1))
                                return false;
                            ++childCount;
                        } while (take(','));
                        if (!take(']'))
                            return false;
                    }
                    children = true;
                    break;
                case Key::Other:
                    if (!skipValue(nesting))
                        return false;
                    break;
                }
            } while (take(','));
            if (!take('}'))
                return false;
        }
        if (!(id && name && path && size && children && fileCount && fileBytes && files))
            return false;
        m_builder.add(level.name, sizeValue, fileCountValue, fileBytesValue,
                      std::span<const DiskFile>(level.files.data(), level.fileCount),
                      uint32_t(childCount));
        return true;
    }

    // An array of {"name": text, "size": integer}, other keys passed over.
    bool readFiles(Level& level)
    {
        level.fileCount = 0;
        if (!take('['))
            return false;
        if (take(']'))
            return true;
        do {
            if (level.fileCount == level.files.size())
                level.files.emplace_back();
            DiskFile& file = level.files[level.fileCount++];
            if (!take('{'))
                return false;
            bool name = false, size = false;
            if (!take('}')) {
                do {
                    Key k = Key::Other;
                    if (!take('"') || !key(k))
                        return false;
                    if (k == Key::Name) {
                        if (!text(&file.name))
                            return false;
                        name = true;
                    } else if (k == Key::Size) {
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
            if (!name || !size)
                return false;
        } while (take(','));
        return take(']');
    }

    const char* m_p;
    const char* m_end;
    const char* m_released;
    std::function<void(const char*)> m_release;
    FolderTree::Builder m_builder;
    std::array<Level, kMaxNesting + 1> m_levels;
    std::string m_rootId;
    std::string m_rootPath;
    std::string m_key;
};

// A cache file mapped into memory, read once from start to end: the pages
// already read are handed back as the reader moves on, so a large file never
// stays resident whole.
class MappedText
{
public:
    explicit MappedText(const std::string& file)
    {
        int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        struct stat st = {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
            uint64_t(st.st_size) <= kMaxCacheBytes) {
            void* at = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (at != MAP_FAILED) {
                m_data = static_cast<const char*>(at);
                m_size = size_t(st.st_size);
                ::madvise(at, m_size, MADV_SEQUENTIAL);
            }
        }
        ::close(fd);
    }
    ~MappedText()
    {
        if (m_data)
            ::munmap(const_cast<char*>(m_data), m_size);
    }
    MappedText(const MappedText&) = delete;
    MappedText& operator=(const MappedText&) = delete;

    bool valid() const { return m_data != nullptr; }
    std::string_view text() const { return {m_data, m_size}; }

    // Hands back the whole pages before `upTo`.
    void release(const char* upTo) const
    {
        const auto page = size_t(::sysconf(_SC_PAGESIZE));
        size_t length = size_t(upTo - m_data) / page * page;
        if (length > 0)
            ::madvise(const_cast<char*>(m_data), length, MADV_DONTNEED);
    }

private:
    const char* m_data = nullptr;
    size_t m_size = 0;
};

// Whether the cache file was modified less than 30 minutes ago (a date in
// the future counts as fresh).
bool isFresh(const std::string& file)
{
    struct stat st = {};
    if (::stat(file.c_str(), &st) != 0)
        return false;
    auto modified = std::chrono::system_clock::time_point(
        std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec));
    std::chrono::duration<double> age = std::chrono::system_clock::now() - modified;
    return age.count() < kCacheSeconds;
}

// The tree in a fresh cache file. A tree of a million folders takes far less
// than kMaxCacheBytes; a larger file is not one this program wrote, and the
// folder is measured again.
std::optional<DiskNode> readCache(const std::string& file)
{
    if (!isFresh(file))
        return std::nullopt;
    MappedText mapped(file);
    if (!mapped.valid())
        return std::nullopt;
    return Reader(mapped.text(), [&mapped](const char* upTo) { mapped.release(upTo); }).document();
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
    DiskNode root = treeOf(sizes, path, level, 0);
    std::vector<DiskNode> out;
    for (DiskNode child : root.children())
        out.push_back(std::move(child));
    return out;
}

DiskNode treeOf(const std::map<std::string, int64_t>& sizes, const std::string& path, int level,
                int64_t size)
{
    FolderTree::Builder builder;
    uint32_t count = addChildren(builder, indexByParent(sizes), path, level);
    std::string name = Strings::lastComponent(path);
    builder.add(name.empty() ? path : name, size, 0, 0, {}, count);
    auto tree = builder.finish(path);
    const uint32_t root = tree->root();
    return DiskNode(std::move(tree), root);
}

std::string encode(const DiskNode& node)
{
    std::string out;
    if (!node.isValid())
        return encode(DiskNode(FolderDraft{}));
    std::string path = node.path();
    out.reserve(encodedSize(*node.tree(), node.index(), path.size()));
    appendNode(out, *node.tree(), node.index(), path);
    return out;
}

bool writeCache(const std::string& file, const DiskNode& node)
{
    if (!node.isValid())
        return writeCache(file, DiskNode(FolderDraft{}));
    Files::AtomicFile out(file);
    std::string buffer;
    buffer.reserve(Sink::kChunk + 4096);
    std::string path = node.path();
    appendNode(buffer, *node.tree(), node.index(), path, Sink{&out});
    return out.append(buffer) && out.commit(Files::Durability::Cache);
}

std::optional<DiskNode> decode(std::string_view json)
{
    if (json.size() > kMaxCacheBytes)
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
        auto cached = DiskTree::readCache(file);
        if (cached && cached->path() == p)
            return std::move(*cached);
    }

    // The root alone, when nothing could be measured.
    auto alone = [&p] {
        FolderDraft draft;
        draft.name = Strings::lastComponent(p);
        if (draft.name.empty())
            draft.name = p;
        draft.path = p;
        return DiskNode(draft);
    };

    // The sizes du -k -d d would print: on Linux measured in process, the tree
    // straight from the walk, names that are not UTF-8 left out.
    auto measured = Platform::folderTree(p, d, token);
    if (DiskTree::cancelled(token))
        return alone();
    DiskNode rootNode = measured ? std::move(*measured) : alone();
    if (Strings::isValidUtf8(p))
        DiskTree::writeCache(file, rootNode);
    return rootNode;
}

} // namespace Scanner
