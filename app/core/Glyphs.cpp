// SPDX-License-Identifier: GPL-3.0-or-later
#include "Glyphs.h"

#include "Symbols.h"

QString Glyphs::family() const
{
    return QString::fromLatin1(Symbols::kFontFamily);
}

QString Glyphs::glyph(const QString& sfName) const
{
    const char32_t cp = Symbols::codepoint(sfName.toStdString());
    return QString::fromUcs4(&cp, 1);
}
