// SPDX-License-Identifier: GPL-3.0-or-later
// The application's version and source address for the views, from the one
// place the build sets them (the project's version in CMake).
#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class BuildInfo : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    // "1.0"
    Q_PROPERTY(QString version READ version CONSTANT)
    // The address of the source code, "https://…".
    Q_PROPERTY(QString sourceUrl READ sourceUrl CONSTANT)
    // The same address without its scheme, as the About page shows it.
    Q_PROPERTY(QString sourceLabel READ sourceLabel CONSTANT)

public:
    explicit BuildInfo(QObject* parent = nullptr);

    static QString version();
    static QString sourceUrl();
    static QString sourceLabel();
};
