// SPDX-License-Identifier: GPL-3.0-or-later
// The icon of a file, folder or application, for AppIcon. The icon theme is
// asked by the item's MIME type (a .desktop entry by its Icon= name); when the
// theme has nothing, as on a bare desktop, a generic document, folder or
// application glyph is painted, so there is always an image.
#pragma once

#include <QIcon>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

class FileIcon : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QString path READ path WRITE setPath NOTIFY pathChanged)
    // Whether the icon came from the theme (false: the generic glyph).
    Q_PROPERTY(bool themed READ themed NOTIFY pathChanged)

public:
    explicit FileIcon(QQuickItem* parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString& path);
    bool themed() const { return !m_icon.isNull(); }

    void paint(QPainter* painter) override;

signals:
    void pathChanged();

private:
    QString m_path;
    QIcon m_icon;
    char32_t m_fallback = 0;
};
