// SPDX-License-Identifier: GPL-3.0-or-later
// The folder-size tree in compact form, and DiskNode, a handle on one of its
// folders. A FolderTree holds every folder as a small fixed record (sizes,
// parent, where its children and files start), the children of a folder side
// by side, every name in one text arena, and the root's path once; a folder's
// path is built on demand from its parent chain. Trees are built bottom-up by
// FolderTree::Builder (a folder's children after their own subtrees), by the
// in-process walk, by the cache reader, or from a FolderDraft made by hand.
// A tree never changes once built; DiskNode handles share it, so copying a
// node copies a pointer and an index.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One of a folder's own files, large enough to be drawn on the storage map.
struct DiskFile
{
    std::string name;
    int64_t size = 0;

    bool operator==(const DiskFile&) const = default;
};

// A folder written out in full, for building a small tree by hand: the root's
// path and id are its own (an empty id gives a new one), the others' are
// derived from their places (their paths and ids are not looked at).
struct FolderDraft
{
    std::string id;
    std::string name;
    std::string path;
    int64_t size = 0;
    std::vector<FolderDraft> children;
    int64_t fileCount = 0;
    int64_t fileBytes = 0;
    std::vector<DiskFile> files;
};

class FolderTree
{
public:
    // One folder: 48 bytes.
    struct Folder
    {
        int64_t size = 0;
        int64_t fileCount = 0;
        int64_t fileBytes = 0;
        uint32_t parent = kNone;
        uint32_t firstChild = 0;
        uint32_t childCount = 0;
        uint32_t name = 0; // offset in the name arena
        uint32_t firstFile = 0;
        uint16_t nameLength = 0;
        uint8_t fileEntries = 0;
    };
    struct File
    {
        int64_t size = 0;
        uint32_t name = 0;
        uint16_t nameLength = 0;
    };
    static constexpr uint32_t kNone = UINT32_MAX;

    // Builds a tree from the leaves up: every folder's children are added
    // (each after its own children) before the folder itself, and the last
    // folder added is the root.
    class Builder
    {
    public:
        Builder();
        // Room for this many folders, files and bytes of names, when known
        // (or an upper bound: room never used costs address space, not memory).
        void reserve(size_t folders, size_t files = 0, size_t nameBytes = 0);
        // A folder whose children are the last `childCount` folders added
        // but not yet placed under a parent, in the order they were added; its
        // files in the order given.
        void add(std::string_view name, int64_t size, int64_t fileCount, int64_t fileBytes,
                 std::span<const DiskFile> files, uint32_t childCount);
        // How many folders wait for a parent.
        size_t pending() const { return m_pending.size(); }
        // Orders the waiting folders' last `count` by size, largest first,
        // equal sizes by name.
        void sortPending(size_t count);
        // Drops the last `count` waiting folders (and leaves their subtrees
        // unreachable).
        void dropPending(size_t count);
        // The finished tree, the root being the one folder left waiting; id
        // empty makes a new one. No value when not exactly one folder waits.
        std::shared_ptr<const FolderTree> finish(std::string rootPath, std::string id = {});

    private:
        std::shared_ptr<FolderTree> m_tree;
        std::vector<Folder> m_pending; // finished folders not yet placed
    };

    uint32_t root() const { return m_root; }
    const Folder& folder(uint32_t index) const { return m_folders[index]; }
    std::string_view name(uint32_t index) const
    {
        const Folder& f = m_folders[index];
        return std::string_view(m_names).substr(f.name, f.nameLength);
    }
    std::string path(uint32_t index) const;
    const std::string& id() const { return m_id; }
    // The id of a folder (DiskNode::id).
    std::string folderId(uint32_t index) const;
    size_t folderCount() const { return m_folders.size(); }
    std::string_view fileName(const File& file) const
    {
        return std::string_view(m_names).substr(file.name, file.nameLength);
    }
    const File& file(uint32_t index) const { return m_files[index]; }

private:
    uint32_t addName(std::string_view name);

    std::vector<Folder> m_folders;
    std::vector<File> m_files;
    std::string m_names;
    std::string m_rootPath;
    std::string m_id;
    uint32_t m_root = 0;
};

// One folder of a FolderTree. A default one stands for an empty folder with
// no name, path, size or children.
class DiskNode
{
public:
    class Children;

    DiskNode() = default;
    DiskNode(std::shared_ptr<const FolderTree> tree, uint32_t index)
        : m_tree(std::move(tree)), m_index(index)
    {
    }
    // A tree built from a draft; the node is its root.
    explicit DiskNode(const FolderDraft& draft);

    // The tree's id for its root; for another folder one derived from it and
    // the folder's index (a UUID with the index as its last twelve digits),
    // so every folder of a tree has its own.
    std::string id() const;
    std::string_view name() const { return m_tree ? m_tree->name(m_index) : std::string_view(); }
    std::string path() const { return m_tree ? m_tree->path(m_index) : std::string(); }
    int64_t size() const { return m_tree ? m_tree->folder(m_index).size : 0; }
    // The files right in this folder (not in its sub-folders): how many, their
    // bytes, and the largest of them by name, largest first. Kept for the
    // folders the map can open into; 0 and empty below them.
    int64_t fileCount() const { return m_tree ? m_tree->folder(m_index).fileCount : 0; }
    int64_t fileBytes() const { return m_tree ? m_tree->folder(m_index).fileBytes : 0; }
    std::vector<DiskFile> files() const;
    // The sub-folders, largest first.
    Children children() const;
    // Whether this is a folder of a tree (not a default node).
    bool isValid() const { return m_tree != nullptr; }
    const std::shared_ptr<const FolderTree>& tree() const { return m_tree; }
    uint32_t index() const { return m_index; }

    // The same folder of the same tree.
    bool operator==(const DiskNode& other) const
    {
        return m_tree == other.m_tree && m_index == other.m_index;
    }

private:
    std::shared_ptr<const FolderTree> m_tree;
    uint32_t m_index = 0;
};

// The sub-folders of a folder, a range of DiskNode values.
class DiskNode::Children
{
public:
    class iterator
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = DiskNode;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = DiskNode;

        iterator() = default;
        iterator(const Children* range, size_t at) : m_range(range), m_at(at) {}
        DiskNode operator*() const { return (*m_range)[m_at]; }
        iterator& operator++()
        {
            ++m_at;
            return *this;
        }
        iterator operator++(int)
        {
            iterator old = *this;
            ++m_at;
            return old;
        }
        bool operator==(const iterator& other) const { return m_at == other.m_at; }
        difference_type operator-(const iterator& other) const
        {
            return difference_type(m_at) - difference_type(other.m_at);
        }

    private:
        const Children* m_range = nullptr;
        size_t m_at = 0;
    };

    Children() = default;
    Children(std::shared_ptr<const FolderTree> tree, uint32_t first, uint32_t count)
        : m_tree(std::move(tree)), m_first(first), m_count(count)
    {
    }
    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    DiskNode operator[](size_t i) const { return DiskNode(m_tree, m_first + uint32_t(i)); }
    DiskNode front() const { return (*this)[0]; }
    DiskNode back() const { return (*this)[m_count - 1]; }
    iterator begin() const { return iterator(this, 0); }
    iterator end() const { return iterator(this, m_count); }

private:
    std::shared_ptr<const FolderTree> m_tree;
    uint32_t m_first = 0;
    uint32_t m_count = 0;
};

inline DiskNode::Children DiskNode::children() const
{
    if (!m_tree)
        return {};
    const FolderTree::Folder& f = m_tree->folder(m_index);
    return Children(m_tree, f.firstChild, f.childCount);
}
