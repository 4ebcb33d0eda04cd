// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's records as QML values: each record becomes a JavaScript object
// with the record's field names (sizes as numbers of bytes, plus a ready
// "sizeText" where the views show one). Conversions copy; nothing refers back.
#pragma once

#include "Records.h"

#include <QString>
#include <QVariant>
#include <string>
#include <string_view>
#include <vector>

// UTF-8 text (a name, a catalogue text, a raw value) as a QString.
inline QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// True for a character a name is never shown with: C0 and C1 controls, DEL,
// and the bidirectional embeddings, overrides and isolates, which would
// reorder what follows them ("a\u202egnp.exe" reading as "aexe.png").
bool isHiddenControl(char16_t c);

// A name or path as one line of text: line breaks, tabs, other control
// characters and bidirectional controls become "?" (as tclean prints them),
// bytes that are not UTF-8 the replacement character. (The rows align their
// texts left explicitly, so a right-to-left mark in a name reorders only that
// name.)
QString displayLine(const std::string& text);

QVariantMap toVariant(const Category& category);
QVariantMap toVariant(const TypeBucket& bucket);
QVariantMap toVariant(const VolumeInfo& volume);

// A file-system path as a QString and back without loss: valid UTF-8 reads as
// text; each byte that is not (a name in another encoding) becomes one of the
// code units U+DC80 to U+DCFF, and stdPath turns those back into the bytes.
QString qPath(const std::string& path);
std::string stdPath(const QString& path);

template <class T> QVariantList toVariantList(const std::vector<T>& records)
{
    QVariantList out;
    out.reserve(qsizetype(records.size()));
    for (const T& r : records)
        out.push_back(toVariant(r));
    return out;
}
