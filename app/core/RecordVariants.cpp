#include "RecordVariants.h"

#include <QStringList>

QVariantMap toVariant(const ScanItem& item)
{
    return {
        {"id", qs(item.id)},
        {"path", qs(item.path)},
        {"name", qs(item.name)},
        {"size", qint64(item.size)},
        {"sizeText", qs(humanSize(item.size))},
        {"kind", qs(std::string(rawValue(item.kind)))},
        {"risk", qs(std::string(rawValue(item.risk)))},
        {"note", qs(item.note)},
    };
}

QVariantMap toVariant(const Category& category)
{
    return {{"name", qs(category.name)}, {"size", qint64(category.size)}};
}

QVariantMap toVariant(const TypeBucket& bucket)
{
    return {{"name", qs(bucket.name)}, {"size", qint64(bucket.size)}, {"index", bucket.index}};
}

QVariantMap toVariant(const VolumeInfo& volume)
{
    return {{"total", qint64(volume.total)},
            {"free", qint64(volume.free)},
            {"used", qint64(volume.used())}};
}

QVariantMap toVariant(const DupGroup& group)
{
    QStringList files;
    for (const auto& f : group.files)
        files.push_back(qs(f));
    return {
        {"id", qs(group.id())},
        {"kind", qs(std::string(rawValue(group.kind)))},
        {"size", qint64(group.size)},
        {"wasted", qint64(group.wasted())},
        {"files", files},
        {"name", qs(group.name)},
        {"isFolder", group.isFolder},
        {"sameSize", group.sameSize},
    };
}

QVariantMap toVariant(const ProcInfo& proc)
{
    return {{"pid", proc.pid},
            {"name", qs(proc.name)},
            {"rss", qint64(proc.rss)},
            {"path", qs(proc.path)}};
}

QVariantMap toVariant(const DiskNode& node)
{
    return {
        {"id", qs(node.id)},
        {"name", qs(node.name)},
        {"path", qs(node.path)},
        {"size", qint64(node.size)},
        {"children", toVariantList(node.children)},
    };
}
