// Helpers for tests on real files: failure texts, file contents and folder listings.
#pragma once

#include "platform/Failure.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <functional>
#include <string>

// The failure text that `operation` throws, or an empty text when it succeeds.
inline QString failureOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Failure &failure) {
        return QString::fromUtf8(failure.what());
    }
    return {};
}

inline std::string nativePath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

inline QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

[[nodiscard]] inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every entry, hidden files included: a save must leave no stray file behind.
inline QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                  | QDir::NoDotAndDotDot);
}
