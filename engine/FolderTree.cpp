// SPDX-License-Identifier: GPL-3.0-or-later
#include "FolderTree.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <random>
#include <stdexcept>

namespace {

// A random id in the form of a UUID (version 4), upper-case hex digits.
std::string randomId()
{
    thread_local std::mt19937_64 rng{std::random_device{}()};
    const uint64_t high = rng(), low = rng();
    char text[37];
    std::snprintf(text, sizeof text, "%08llX-%04llX-4%03llX-%04llX-%012llX",
                  static_cast<unsigned long long>(high >> 32),
                  static_cast<unsigned long long>((high >> 16) & 0xFFFF),
                  static_cast<unsigned long long>(high & 0xFFF),
                  static_cast<unsigned long long>(0x8000 | (low >> 50 & 0x3FFF)),
                  static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL));
    return text;
}

} // namespace

FolderTree::Builder::Builder() : m_tree(std::make_shared<FolderTree>()) {}

void FolderTree::Builder::reserve(size_t folders, size_t files, size_t nameBytes)
{
    // Room is a hint: where the system will not promise it (strict memory
    // accounting), the arrays grow as folders are added.
    try {
        m_tree->m_folders.reserve(folders);
        m_tree->m_files.reserve(files);
        m_tree->m_names.reserve(nameBytes);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

void FolderTree::Builder::add(std::string_view name, int64_t size, int64_t fileCount,
                              int64_t fileBytes, std::span<const DiskFile> files,
                              uint32_t childCount)
{
    FolderTree& t = *m_tree;
    Folder f;
    f.size = size;
    f.fileCount = fileCount;
    f.fileBytes = fileBytes;
    f.name = t.addName(name);
    f.nameLength = uint16_t(std::min<size_t>(name.size(), UINT16_MAX));
    f.firstFile = uint32_t(t.m_files.size());
    f.fileEntries = uint8_t(std::min<size_t>(files.size(), UINT8_MAX));
    for (size_t i = 0; i < f.fileEntries; ++i) {
        File file;
        file.size = files[i].size;
        file.name = t.addName(files[i].name);
        file.nameLength = uint16_t(std::min<size_t>(files[i].name.size(), UINT16_MAX));
        t.m_files.push_back(file);
    }
    // The children move from the waiting list to their run, and their own
    // children learn where they are.
    childCount = uint32_t(std::min<size_t>(childCount, m_pending.size()));
    f.firstChild = uint32_t(t.m_folders.size());
    f.childCount = childCount;
    const size_t from = m_pending.size() - childCount;
    for (size_t i = from; i < m_pending.size(); ++i) {
        const uint32_t at = uint32_t(t.m_folders.size());
        const Folder& c = m_pending[i];
        for (uint32_t k = c.firstChild; k < c.firstChild + c.childCount; ++k)
            t.m_folders[k].parent = at;
        t.m_folders.push_back(c);
    }
    m_pending.resize(from);
    m_pending.push_back(f);
}

void FolderTree::Builder::sortPending(size_t count)
{
    count = std::min(count, m_pending.size());
    const std::string& names = m_tree->m_names;
    auto nameOf = [&names](const Folder& f) {
        return std::string_view(names).substr(f.name, f.nameLength);
    };
    std::sort(m_pending.end() - long(count), m_pending.end(),
              [&](const Folder& a, const Folder& b) {
                  return a.size != b.size ? a.size > b.size : nameOf(a) < nameOf(b);
              });
}

void FolderTree::Builder::dropPending(size_t count)
{
    m_pending.resize(m_pending.size() - std::min(count, m_pending.size()));
}

std::shared_ptr<const FolderTree> FolderTree::Builder::finish(std::string rootPath, std::string id)
{
    if (m_pending.size() != 1)
        return nullptr;
    FolderTree& t = *m_tree;
    const uint32_t at = uint32_t(t.m_folders.size());
    const Folder& r = m_pending.back();
    for (uint32_t k = r.firstChild; k < r.firstChild + r.childCount; ++k)
        t.m_folders[k].parent = at;
    t.m_folders.push_back(r);
    m_pending.clear();
    t.m_root = at;
    t.m_rootPath = std::move(rootPath);
    t.m_id = id.empty() ? randomId() : std::move(id);
    std::shared_ptr<const FolderTree> out = std::move(m_tree);
    m_tree = std::make_shared<FolderTree>();
    return out;
}

uint32_t FolderTree::addName(std::string_view name)
{
    const auto at = uint32_t(m_names.size());
    m_names.append(name.substr(0, UINT16_MAX));
    return at;
}

std::string FolderTree::path(uint32_t index) const
{
    if (index == m_root)
        return m_rootPath;
    std::vector<uint32_t> chain;
    size_t length = m_rootPath.size();
    for (uint32_t i = index; i != m_root && i != kNone; i = m_folders[i].parent) {
        chain.push_back(i);
        length += m_folders[i].nameLength + 1;
    }
    std::string out;
    out.reserve(length);
    out = m_rootPath;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (out.empty() || out.back() != '/')
            out += '/';
        out += name(*it);
    }
    return out;
}

namespace {

void addDraft(FolderTree::Builder& builder, const FolderDraft& draft)
{
    for (const FolderDraft& child : draft.children)
        addDraft(builder, child);
    builder.add(draft.name, draft.size, draft.fileCount, draft.fileBytes, draft.files,
                uint32_t(draft.children.size()));
}

} // namespace

DiskNode::DiskNode(const FolderDraft& draft)
{
    FolderTree::Builder builder;
    addDraft(builder, draft);
    m_tree = builder.finish(draft.path, draft.id);
    m_index = m_tree->root();
}

std::string FolderTree::folderId(uint32_t index) const
{
    if (index == m_root)
        return m_id;
    // A UUID's last twelve digits give way to the folder's index; an id of
    // another form is followed by "-" and the index.
    if (m_id.size() != 36)
        return m_id + "-" + std::to_string(index);
    char digits[13];
    std::snprintf(digits, sizeof digits, "%012llX", static_cast<unsigned long long>(index));
    return m_id.substr(0, 24) + digits;
}

std::string DiskNode::id() const
{
    return m_tree ? m_tree->folderId(m_index) : std::string();
}

std::vector<DiskFile> DiskNode::files() const
{
    std::vector<DiskFile> out;
    if (!m_tree)
        return out;
    const FolderTree::Folder& f = m_tree->folder(m_index);
    out.reserve(f.fileEntries);
    for (uint32_t i = f.firstFile; i < f.firstFile + f.fileEntries; ++i) {
        const FolderTree::File& file = m_tree->file(i);
        out.push_back(DiskFile{std::string(m_tree->fileName(file)), file.size});
    }
    return out;
}
