// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppIconProvider.h"

#include "Symbols.h"

#include <QByteArray>
#include <QDir>
#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QStandardPaths>
#include <QStringList>

namespace {

constexpr auto kEncoding = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

// The generic application glyph, grey on a clear ground.
QImage glyphImage(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QFont font(QString::fromLatin1(Symbols::kFontFamily));
    font.setPixelSize(side);
    painter.setFont(font);
    painter.setPen(QColor(128, 128, 128));
    const char32_t glyph = Symbols::codepoint("square.grid.2x2");
    painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, QString::fromUcs4(&glyph, 1));
    return image;
}

} // namespace

AppIconProvider::AppIconProvider() : QQuickImageProvider(QQuickImageProvider::Image)
{
    // A session without a platform theme (a bare X server, the offscreen
    // platform) names no icon theme and few folders to look in: then the
    // freedesktop.org base theme, in the icons folders of the XDG data folders.
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(QStringLiteral("hicolor"));
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        if (const QString icons = dir + QStringLiteral("/icons"); !paths.contains(icons))
            paths.push_back(icons);
    QIcon::setThemeSearchPaths(paths);
}

QString AppIconProvider::address(const std::string& icon)
{
    if (icon.empty())
        return {};
    // Base64 keeps slashes, percent signs and blanks of a path out of the
    // address, where they would be read as parts of it.
    const QByteArray id = QByteArray::fromStdString(icon).toBase64(kEncoding);
    return QStringLiteral("image://%1/%2").arg(QLatin1String(kName), QString::fromLatin1(id));
}

QImage AppIconProvider::iconImage(const QString& icon, int side)
{
    if (icon.isEmpty())
        return {};
    // An absolute Icon= is an image file; anything else a name in the theme
    // (a name with a slash that is not absolute names nothing).
    QIcon found;
    if (QDir::isAbsolutePath(icon))
        found = QIcon(icon);
    else if (!icon.contains(u'/'))
        found = QIcon::fromTheme(icon);
    if (found.isNull())
        return {};
    const QImage image = found.pixmap(side, side).toImage();
    return image.isNull() ? QImage() : image;
}

QImage AppIconProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    const int side = requestedSize.isValid() && requestedSize.width() > 0
                         ? qMin(requestedSize.width(), 256)
                         : 48;
    const QString icon = QString::fromUtf8(QByteArray::fromBase64(id.toLatin1(), kEncoding));
    QImage image = iconImage(icon, side);
    if (image.isNull())
        image = glyphImage(side);
    if (size)
        *size = image.size();
    return image;
}
