// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "recentfiles.h"

#include "tavoversion.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString FilesKey = QStringLiteral("RecentFiles/files");

QSettings Settings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral(TAVO_APPLICATION_ID));
}

} // namespace

QStringList RecentFiles::files()
{
    return Settings().value(FilesKey).toStringList();
}

void RecentFiles::add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = files();
    list.removeAll(absolute);
    list.prepend(absolute);
    store(list.mid(0, MaxCount));
}

void RecentFiles::remove(const QString &path)
{
    QStringList list = files();
    list.removeAll(path);
    store(list);
}

void RecentFiles::clear()
{
    store({});
}

void RecentFiles::store(const QStringList &files)
{
    QSettings settings = Settings();
    settings.setValue(FilesKey, files);
}
