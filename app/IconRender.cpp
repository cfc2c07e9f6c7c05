// Build tool: writes the icon files that `make install` puts into the
// desktop's icon theme, one PNG per size, for the program and its file type.
#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <cstdio>

#include "AppIcon.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: morvask-icon-render OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2").arg(root).arg(size);
        const QImage image = AppIconImage(size);
        for (const QString& kind : {QStringLiteral("apps/morvask-betrachter"),
                                    QStringLiteral("mimetypes/application-x-morvask-transfer")}) {
            const QString file = folder + QLatin1Char('/') + kind + QStringLiteral(".png");
            if (!QDir().mkpath(QFileInfo(file).absolutePath()) || !image.save(file, "PNG")) {
                std::fprintf(stderr, "morvask-icon-render: cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}
