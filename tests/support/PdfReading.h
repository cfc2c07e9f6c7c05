#pragma once

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// A printed PDF as a reader finds it, through poppler's tools on Linux; under
// Wine only its pages are counted.
namespace PdfReading {

#ifndef Q_OS_WIN
inline QString Poppler(const QStringList& arguments)
{
    QProcess tool;
    tool.start(arguments.first(), arguments.mid(1));
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}
#endif

// -1 when the file cannot be read.
inline int Pages(const QString& pdf)
{
#ifdef Q_OS_WIN
    // No poppler under Wine: the page objects of the file, as a reader finds them.
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return static_cast<int>(file.readAll().count("/Type /Page\n"));
#else
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(Poppler({QStringLiteral("pdfinfo"), pdf}));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
#endif
}

// The text of one page (from 1), or of every page; empty under Wine.
inline QString Text(const QString& pdf, int page = 0)
{
#ifdef Q_OS_WIN
    Q_UNUSED(pdf);
    Q_UNUSED(page);
    return QString();
#else
    QStringList arguments{QStringLiteral("pdftotext"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return Poppler(arguments << pdf << QStringLiteral("-"));
#endif
}

// Leaves the PDF and a picture of its first page at keptBase.pdf and .png, for people to look at.
inline void KeepForPeople(const QString& pdf, const QString& keptBase, int resolution = 60)
{
    QFile::remove(keptBase + QStringLiteral(".pdf"));
    QFile::copy(pdf, keptBase + QStringLiteral(".pdf"));
#ifndef Q_OS_WIN
    Poppler({QStringLiteral("pdftoppm"), QStringLiteral("-png"), QStringLiteral("-r"), QString::number(resolution),
             QStringLiteral("-singlefile"), pdf, keptBase});
#else
    Q_UNUSED(resolution);
#endif
}

} // namespace PdfReading
