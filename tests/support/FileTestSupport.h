#pragma once

#include "base/Failure.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

// Shared set-up for the image writer tests: a fresh folder per test and checks for the
// failures the writers throw.
namespace FileTestSupport {

// Runs `save` and checks that it throws a Failure with `number` and `description`.
inline void expectFailure(const std::function<void()>& save, int number,
                          const QString& description) {
    try {
        save();
        ADD_FAILURE() << "no failure, expected " << number << " " << description.toStdString();
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), number);
        EXPECT_EQ(failure.description(), description);
    }
}

inline QByteArray readAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString& fileName, const QByteArray& data) {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(data), data.size());
}

// A folder whose permissions forbid writing, or an empty path when this process may write
// there anyway (root ignores the permission bits).
inline QString readOnlyFolder(const QTemporaryDir& dir) {
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QDir().mkdir(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(folder + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        return {};
    }
    return folder;
}

} // namespace FileTestSupport
