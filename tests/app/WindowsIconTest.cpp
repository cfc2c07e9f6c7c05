// The Windows build cannot run the icon renderer and takes its icon from the
// committed app/morvask-betrachter.ico: it must still show what the renderer
// draws today, one PNG entry per size.
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

#include "AppIcon.h"

namespace {

// The icon was rendered on another machine. Rasterisers round antialiased
// edges differently by processor and compiler (one unit of one channel in a
// few pixels between two machines), so pixels are compared with this
// tolerance; a changed drawing differs by far more. Premultiplied, so that
// nearly transparent pixels do not magnify the rounding.
constexpr int KTolerance = 3;

// The PNG of each entry of an ICO file, by its side.
QMap<int, QByteArray> IconEntries(const QByteArray& ico)
{
    QMap<int, QByteArray> entries;
    const auto* bytes = reinterpret_cast<const uchar*>(ico.constData());
    if (ico.size() < 6 || qFromLittleEndian<quint16>(bytes + 2) != 1)
        return entries;
    const int count = qFromLittleEndian<quint16>(bytes + 4);
    for (int i = 0; i < count && 6 + 16 * (i + 1) <= ico.size(); ++i) {
        const uchar* entry = bytes + 6 + 16 * i;
        const quint32 size = qFromLittleEndian<quint32>(entry + 8);
        const quint32 offset = qFromLittleEndian<quint32>(entry + 12);
        if (offset > quint32(ico.size()) || size > quint32(ico.size()) - offset)
            return {};
        entries.insert(entry[0] == 0 ? 256 : entry[0], ico.mid(offset, size));
    }
    return entries;
}

} // namespace

class TWindowsIconTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void entryMatchesTheRenderer_data();
    void entryMatchesTheRenderer();

private:
    QMap<int, QByteArray> FEntries;
};

void TWindowsIconTest::initTestCase()
{
    QFile file(QStringLiteral(MORVASK_WINDOWS_ICON));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    FEntries = IconEntries(file.readAll());
    QCOMPARE(FEntries.keys(), QList<int>({16, 24, 32, 48, 64, 128, 256}));
}

void TWindowsIconTest::entryMatchesTheRenderer_data()
{
    QTest::addColumn<int>("side");
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        QTest::addRow("%d", side) << side;
}

void TWindowsIconTest::entryMatchesTheRenderer()
{
    QFETCH(int, side);
    const QImage committed =
        QImage::fromData(FEntries.value(side), "PNG").convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(committed.size(), QSize(side, side));
    const QImage drawn = AppIconImage(side).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int worst = 0;
    QPoint where;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const QRgb a = committed.pixel(x, y);
            const QRgb b = drawn.pixel(x, y);
            const int difference = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                             std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            if (difference > worst) {
                worst = difference;
                where = QPoint(x, y);
            }
        }
    }
    QVERIFY2(worst <= KTolerance,
             qPrintable(QStringLiteral("%1 units off at (%2, %3); regenerate the icon with app/make-windows-icon.py")
                            .arg(worst)
                            .arg(where.x())
                            .arg(where.y())));
}

QTEST_GUILESS_MAIN(TWindowsIconTest)
#include "WindowsIconTest.moc"
