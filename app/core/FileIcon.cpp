// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileIcon.h"

#include "Symbols.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>

namespace {

// The Icon= value of a desktop entry, or "" when there is none.
QString desktopIconName(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine(4096)).trimmed();
        if (line.startsWith(QLatin1String("Icon=")))
            return line.mid(5);
    }
    return {};
}

} // namespace

FileIcon::FileIcon(QQuickItem* parent) : QQuickPaintedItem(parent)
{
    setImplicitSize(24, 24);
}

void FileIcon::setPath(const QString& path)
{
    if (path == m_path && (m_fallback || !m_icon.isNull()))
        return;
    m_path = path;
    const QFileInfo info(path);
    m_icon = QIcon();
    if (path.endsWith(QLatin1String(".desktop"))) {
        const QString name = desktopIconName(path);
        m_icon = QFileInfo(name).isAbsolute() ? QIcon(name) : QIcon::fromTheme(name);
        m_fallback = Symbols::codepoint("square.grid.2x2");
    } else {
        const QMimeType mime = QMimeDatabase().mimeTypeForFile(info);
        m_icon = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
        m_fallback = Symbols::codepoint(info.isDir() ? "folder" : "doc");
    }
    if (!m_icon.isNull() && m_icon.availableSizes().isEmpty() && m_icon.pixmap(24).isNull())
        m_icon = QIcon();
    emit pathChanged();
    update();
}

void FileIcon::paint(QPainter* painter)
{
    const QRectF box = boundingRect();
    if (!m_icon.isNull()) {
        m_icon.paint(painter, box.toRect());
        return;
    }
    QFont font(QString::fromLatin1(Symbols::kFontFamily));
    font.setPixelSize(qMax(1, int(box.height())));
    painter->setFont(font);
    painter->setPen(QColor(128, 128, 128));
    painter->drawText(box, Qt::AlignCenter, QString::fromUcs4(&m_fallback, 1));
}
