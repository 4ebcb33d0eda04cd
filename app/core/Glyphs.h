// SPDX-License-Identifier: GPL-3.0-or-later
// Symbols.h for QML: the glyph text and font family that draw a symbol name.
#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class Glyphs : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(QString family READ family CONSTANT)

public:
    using QObject::QObject;

    QString family() const;
    // The one-character text of the symbol's glyph (a question mark glyph when
    // the name is not mapped).
    Q_INVOKABLE QString glyph(const QString& sfName) const;
};
