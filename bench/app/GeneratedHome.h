// SPDX-License-Identifier: GPL-3.0-or-later
// The home folder the app benchmarks scan: caches, leftovers, two large files
// (sparse, so they cost no disk) and a deep tree of small documents for the
// walks, built under a fresh temporary folder. HOME and XDG_CONFIG_HOME point
// into it for the life of the object.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <unistd.h>

class GeneratedHome
{
public:
    GeneratedHome()
    {
        const QString h = m_dir.path();
        qputenv("HOME", h.toUtf8());
        qputenv("XDG_CONFIG_HOME", (h + "/.config").toUtf8());
        const QByteArray meg(1024 * 1024, 'x');
        for (int i = 0; i < 20; ++i)
            write(h + QString("/Library/Caches/app%1/blob").arg(i), meg, 3);
        for (int i = 0; i < 10; ++i)
            write(h + QString("/Library/Application Support/Gone%1/data").arg(i), meg, 2);
        write(h + "/.npm/_cacache/blob", meg, 3);
        for (int i = 0; i < 2; ++i) {
            QFile big(h + QString("/Downloads/video%1.mov").arg(i));
            QDir().mkpath(h + "/Downloads");
            if (big.open(QIODevice::WriteOnly))
                big.resize(qint64(250 + i) * 1024 * 1024);
        }
        const QByteArray small(900, 'd');
        for (int p = 0; p < 40; ++p)
            for (int d = 0; d < 10; ++d)
                for (int f = 0; f < 50; ++f)
                    write(h + QString("/Documents/p%1/d%2/f%3.txt").arg(p).arg(d).arg(f), small, 1);
    }

    QString path() const { return m_dir.path(); }

private:
    static void write(const QString& path, const QByteArray& chunk, int times)
    {
        QDir().mkpath(path.left(path.lastIndexOf('/')));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        for (int i = 0; i < times; ++i)
            file.write(chunk);
    }

    QTemporaryDir m_dir{QDir::tempPath() + "/tidlo-bench-XXXXXX"};
};
