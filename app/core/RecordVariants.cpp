// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordVariants.h"

#include <QStringList>

bool isHiddenControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0) || (c >= 0x202a && c <= 0x202e) ||
           (c >= 0x2066 && c <= 0x2069);
}

QString displayLine(const std::string& text)
{
    if (text.empty())
        return {};
    // Every such character lies in the basic plane, so no surrogate is touched.
    QString line = QString::fromUtf8(text.data(), qsizetype(text.size()));
    for (QChar& c : line)
        if (isHiddenControl(c.unicode()))
            c = QLatin1Char('?');
    return line;
}

QString qPath(const std::string& path)
{
    QString out;
    out.reserve(qsizetype(path.size()));
    size_t i = 0;
    while (i < path.size()) {
        const auto lead = static_cast<unsigned char>(path[i]);
        size_t len = lead < 0x80           ? 1
                     : (lead >> 5) == 0x6  ? 2
                     : (lead >> 4) == 0xE  ? 3
                     : (lead >> 3) == 0x1E ? 4
                                           : 0;
        bool ok = len > 0 && i + len <= path.size();
        for (size_t k = 1; ok && k < len; ++k)
            ok = (static_cast<unsigned char>(path[i + k]) & 0xC0) == 0x80;
        if (ok && len > 1) {
            // Reject overlong forms, surrogates and values past U+10FFFF.
            const QString piece = QString::fromUtf8(path.data() + i, qsizetype(len));
            ok = piece.toUtf8() == QByteArray(path.data() + i, qsizetype(len)) &&
                 !piece.contains(QChar::ReplacementCharacter);
        }
        if (ok) {
            out += QString::fromUtf8(path.data() + i, qsizetype(len));
            i += len;
        } else {
            out += QChar(char16_t(0xDC00 + lead));
            ++i;
        }
    }
    return out;
}

std::string stdPath(const QString& path)
{
    std::string out;
    out.reserve(size_t(path.size()));
    qsizetype start = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        const bool escaped =
            i < path.size() && path[i].unicode() >= 0xDC80 && path[i].unicode() <= 0xDCFF;
        if (i == path.size() || escaped) {
            out += path.mid(start, i - start).toStdString();
            if (escaped)
                out += char(path[i].unicode() - 0xDC00);
            start = i + 1;
        }
    }
    return out;
}

QVariantMap toVariant(const Category& category)
{
    return {{"name", displayLine(category.name)}, {"size", qint64(category.size)}};
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
