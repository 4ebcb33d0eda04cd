// SPDX-License-Identifier: GPL-3.0-or-later
// The icons of the Apps pane's rows, as the image provider "appicon": an
// application's Icon= value (a name in the icon theme, or an absolute path to
// an image) travels in the image's address, and the provider answers with
// that icon, or with a generic application glyph when the theme or the file
// has none, so every row has an image. The main window registers it; its
// requests run on the main thread, so a lookup stays a theme lookup or one
// small file read, and the theme caches what it found.
#pragma once

#include <QImage>
#include <QQuickImageProvider>
#include <QString>

#include <string>

class AppIconProvider : public QQuickImageProvider
{
public:
    // The provider's name in "image://appicon/...".
    static constexpr const char* kName = "appicon";

    // Makes sure the icon theme has a name and looks in the XDG data folders.
    AppIconProvider();

    // The address of the icon named by an Icon= value; "" for an empty value.
    static QString address(const std::string& icon);
    // The icon as an image side x side pixels; a null image when the theme has
    // no such icon and no image file is there.
    static QImage iconImage(const QString& icon, int side);

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;
};
