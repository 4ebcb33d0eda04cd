// SPDX-License-Identifier: GPL-3.0-or-later
#include "BuildInfo.h"

#include "Version.h"

#include <QUrl>

BuildInfo::BuildInfo(QObject* parent) : QObject(parent) {}

QString BuildInfo::version()
{
    return QStringLiteral(TIDLO_VERSION);
}

QString BuildInfo::sourceUrl()
{
    return QStringLiteral(TIDLO_SOURCE_URL);
}

QString BuildInfo::sourceLabel()
{
    const QUrl url(sourceUrl());
    return url.toString(QUrl::RemoveScheme).remove(0, 2);
}
