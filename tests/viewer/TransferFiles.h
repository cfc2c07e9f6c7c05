#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include "FieldLayout.h"

#include <string>

// Builders for the lines of transfer files in tests. Every field carries its
// own name, so a test can tell which field ended up where: in block b, field
// N of a header line holds "b<b>f<N>", field N of parameter k "b<b>p<k>f<N>".
namespace TransferFiles {

inline QByteArray Header1(int block)
{
    QByteArray line = "1|E|";
    for (int field = FieldLayout::Header1.FirstField + 2; field < FieldLayout::Header2.FirstField; ++field)
        line += "b" + QByteArray::number(block) + "f" + QByteArray::number(field) + "|";
    return line;
}

inline QByteArray Header2(int block)
{
    QByteArray line = "2|MATW|";
    for (int field = FieldLayout::Header2.FirstField + 2; field < FieldLayout::Parameter.FirstField; ++field)
        line += "b" + QByteArray::number(block) + "f" + QByteArray::number(field) + "|";
    return line;
}

inline QByteArray Parameter(int block, int k)
{
    QByteArray line = "2|";
    for (int field = FieldLayout::Parameter.FirstField + 1; field < FieldLayout::End.FirstField; ++field)
        line += "b" + QByteArray::number(block) + "p" + QByteArray::number(k) + "f" + QByteArray::number(field) + "|";
    return line;
}

inline QByteArray EndLine(int parameters) { return "3|" + QByteArray::number(parameters); }

// Header lines, the given number of parameter lines and the end line.
inline QList<QByteArray> Block(int block, int parameters)
{
    QList<QByteArray> lines{Header1(block), Header2(block)};
    for (int k = 0; k < parameters; ++k)
        lines += Parameter(block, k);
    lines += EndLine(parameters);
    return lines;
}

inline QByteArray Join(const QList<QByteArray>& lines, const QByteArray& lineBreak = "\r\n")
{
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line + lineBreak;
    return text;
}

// Writes bytes into a file of dir with a conforming name; returns its path.
inline QString Write(const QTemporaryDir& dir, const QByteArray& bytes,
                     const QString& name = QStringLiteral("WVMO_261015_093000.DAT"))
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

inline std::string FileSystemPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace TransferFiles
