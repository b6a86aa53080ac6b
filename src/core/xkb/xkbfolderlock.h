// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The advisory lock (flock) that serialises every change of the user's XKB folder: the
// lock file sits beside evdev.xml, and a holder keeps it from reading the files to its last
// rename, so that concurrent editors and converters queue instead of overwriting each other.
//
// The uninstall of the last layout removes the lock file with the folders the install
// created; a process that was waiting on the removed file sees that the path no longer
// names the file it holds, and starts again.
class XkbFolderLock
{
public:
    // Takes the lock in the rules folder, waiting for another holder. With createFolders the
    // missing folders up to it are made first; without, no lock is taken when the folder is
    // missing (there is nothing to change then). Throws OperationError.
    XkbFolderLock(const QString &rulesFolder, bool createFolders);
    ~XkbFolderLock();
    XkbFolderLock(const XkbFolderLock &) = delete;
    XkbFolderLock &operator=(const XkbFolderLock &) = delete;

    // Makes the missing folders of the path; the ones made, outermost first. Another
    // process making one at the same time is no error. Throws OperationError.
    static QStringList makeFolders(const QString &path);

    bool held() const { return m_descriptor >= 0; }
    // The folders made for the lock, as full paths, the outermost first.
    const QStringList &createdFolders() const { return m_created; }
    // Removes the lock file while still holding it, before its folder goes.
    void removeFile();

private:
    QString m_path;
    int m_descriptor = -1;
    QStringList m_created;
};
