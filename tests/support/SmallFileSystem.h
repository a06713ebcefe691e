#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <sys/mount.h>
#include <unistd.h>

// A small file system of its own at `folder` (tmpfs with mount `options`, "size=4k" or
// "size=64k,ro"), for a full disk or a read-only one, unmounted at the end. Mounting needs
// root: elsewhere nothing is mounted, mounted() says so, and the test skips those cases.
class SmallFileSystem {
public:
    SmallFileSystem(const QString& folder, const char* options) : m_folder(folder) {
        QDir().mkpath(folder);
        m_mounted = geteuid() == 0 && ::mount("tmpfs", QFile::encodeName(folder).constData(),
                                              "tmpfs", 0, options) == 0;
    }
    ~SmallFileSystem() {
        if (m_mounted)
            ::umount(QFile::encodeName(m_folder).constData());
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    bool mounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};
