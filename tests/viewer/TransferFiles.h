#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include "TransferText.h"

#include <string>

// The lines of transfer files for the window tests, as QByteArray: the one
// builder of tests/support (TransferText.h), whose fields carry their own
// names ("b<b>f<N>", "b<b>p<k>f<N>").
namespace TransferFiles {

inline QByteArray Bytes(const std::string& text) { return QByteArray::fromStdString(text); }
inline QByteArray Header1(int block) { return Bytes(TransferText::Header1(block)); }
inline QByteArray Header2(int block) { return Bytes(TransferText::Header2(block)); }
inline QByteArray Parameter(int block, int k) { return Bytes(TransferText::Parameter(block, k)); }
inline QByteArray EndLine(int parameters) { return Bytes(TransferText::EndLine(parameters)); }

// Header lines, the given number of parameter lines and the end line.
inline QList<QByteArray> Block(int block, int parameters)
{
    QList<QByteArray> lines;
    for (const std::string& line : TransferText::Block(block, parameters))
        lines += Bytes(line);
    return lines;
}

inline QByteArray Join(const QList<QByteArray>& lines, const QByteArray& lineBreak = "\r\n")
{
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line + lineBreak;
    return text;
}

// Writes bytes into a file of dir with a conforming name; returns its path,
// empty when the file could not be written whole.
inline QString Write(const QTemporaryDir& dir, const QByteArray& bytes,
                     const QString& name = QStringLiteral("WVMO_261015_093000.DAT"))
{
    const QString path = dir.filePath(name);
    QFile file(path);
    // Buffered: a full disk may show only when the bytes go out.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        return QString();
    return path;
}

inline std::string FileSystemPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace TransferFiles
