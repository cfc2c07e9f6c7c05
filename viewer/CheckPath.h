#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <string>

// The check takes a path as the file system's bytes on Linux and as UTF-8 on
// Windows, where it opens files through the wide API: any name opens on both.
inline std::string CheckPathBytes(const QString& path)
{
#ifdef Q_OS_WIN
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

inline QString CheckPathText(const std::string& bytes)
{
#ifdef Q_OS_WIN
    return QString::fromStdString(bytes);
#else
    return QFile::decodeName(bytes.c_str());
#endif
}

// A path as the user's system writes it, whole: for the heading of a window or a print.
inline QString NativeCheckPath(const std::string& bytes)
{
    return QDir::toNativeSeparators(QFileInfo(CheckPathText(bytes)).absoluteFilePath());
}
