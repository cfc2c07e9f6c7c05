// The small widgets: the logo decoder, the glyphs, labels, panels, the picture
// and the classic look.
#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QTest>
#include <QToolTip>

#include <vector>

#include "BitBtn.h"
#include "CaptionLabel.h"
#include "ClassicLook.h"
#include "Glyphs.h"
#include "Image.h"
#include "JpegDecoder.h"
#include "Panel.h"
#include "PixelProbe.h"
#include "Resources.h"
#include "ValueLabel.h"

Q_DECLARE_METATYPE(std::vector<unsigned char>)

namespace {

std::vector<unsigned char> Logo()
{
    return std::vector<unsigned char>(LogoJpegData, LogoJpegData + LogoJpegSize);
}

} // namespace

class TWidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void LogoIsBaselineJpeg();
    void DecodeLogo();
    void DamagedJpeg_data();
    void DamagedJpeg();
    void Glyphs_data();
    void Glyphs();
    void BitBtnShowsGreyedGlyphWhenDisabled();
    void CaptionLabelSizesToText();
    void LabelHints();
    void Panel_data();
    void Panel();
    void Image();
    void ClassicLook();
};

void TWidgetsTest::LogoIsBaselineJpeg()
{
    const std::vector<unsigned char> logo = Logo();
    QVERIFY(logo.size() > 4);
    QCOMPARE(logo[0], 0xFF);
    QCOMPARE(logo[1], 0xD8);
    // The frame header is a baseline one (SOF0) of 30 x 200 with three components.
    bool found = false;
    for (std::size_t i = 2; i + 9 < logo.size(); ++i) {
        if (logo[i] != 0xFF)
            continue;
        QVERIFY2(logo[i + 1] != 0xC2, "progressive frame");
        if (logo[i + 1] == 0xC0) {
            QCOMPARE((logo[i + 5] << 8) | logo[i + 6], 30);
            QCOMPARE((logo[i + 7] << 8) | logo[i + 8], 200);
            QCOMPARE(logo[i + 9], 3);
            found = true;
            break;
        }
    }
    QVERIFY(found);
}

void TWidgetsTest::DecodeLogo()
{
    const std::vector<unsigned char> logo = Logo();
    const QImage image = DecodeJpeg(logo.data(), logo.size());
    QCOMPARE(image.size(), QSize(200, 30));
    // A band from deep blue at the left to light blue at the right.
    const QColor left = image.pixelColor(2, 28);
    const QColor right = image.pixelColor(197, 2);
    QVERIFY2(left.blue() > left.red() + 60, qPrintable(left.name()));
    QVERIFY2(right.blue() > right.red() && right.lightness() > left.lightness(), qPrintable(right.name()));
}

void TWidgetsTest::DamagedJpeg_data()
{
    QTest::addColumn<std::vector<unsigned char>>("bytes");
    const std::vector<unsigned char> logo = Logo();
    QTest::newRow("empty") << std::vector<unsigned char>();
    QTest::newRow("not a JPEG") << std::vector<unsigned char>{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
    QTest::newRow("start marker only") << std::vector<unsigned char>{0xFF, 0xD8};
    QTest::newRow("cut in the header") << std::vector<unsigned char>(logo.begin(), logo.begin() + 100);
    QTest::newRow("cut in the picture data") << std::vector<unsigned char>(logo.begin(), logo.begin() + logo.size() / 2);
    QTest::newRow("last bytes missing") << std::vector<unsigned char>(logo.begin(), logo.end() - 2);
    std::vector<unsigned char> noise(logo.size());
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<unsigned char>((i * 2654435761u) >> 13);
    noise[0] = 0xFF;
    noise[1] = 0xD8;
    QTest::newRow("noise after the start marker") << noise;

    // A frame header that claims an absurd size.
    std::vector<unsigned char> huge = logo;
    for (std::size_t i = 2; i + 9 < huge.size(); ++i) {
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = 0xFF;
            huge[i + 6] = 0xFF;
            huge[i + 7] = 0xFF;
            huge[i + 8] = 0xFF;
            break;
        }
    }
    QTest::newRow("absurd size") << huge;
    std::vector<unsigned char> zero = huge;
    for (std::size_t i = 2; i + 9 < zero.size(); ++i) {
        if (zero[i] == 0xFF && zero[i + 1] == 0xC0) {
            zero[i + 5] = 0;
            zero[i + 6] = 0;
            break;
        }
    }
    QTest::newRow("zero height") << zero;
}

void TWidgetsTest::DamagedJpeg()
{
    QFETCH(std::vector<unsigned char>, bytes);
    const QImage image = DecodeJpeg(bytes.empty() ? nullptr : bytes.data(), bytes.size());
    QVERIFY(image.isNull());
    // A picture component handed the result stays empty and keeps its place.
    TImage picture;
    picture.setGeometry(5, 672, 200, 30);
    picture.SetPicture(image);
    QCOMPARE(picture.size(), QSize(200, 30));
    QVERIFY(picture.Picture().isNull());
}

void TWidgetsTest::Glyphs_data()
{
    QTest::addColumn<QIcon>("glyph");
    QTest::addColumn<QColor>("ink");
    QTest::newRow("check mark") << CheckMarkGlyph() << QColor(0, 255, 0);
    QTest::newRow("question mark") << HelpGlyph() << QColor(0, 0, 255);
}

void TWidgetsTest::Glyphs()
{
    QFETCH(QIcon, glyph);
    QFETCH(QColor, ink);
    QVERIFY(!glyph.isNull());
    QCOMPARE(glyph.availableSizes(QIcon::Normal), QList<QSize>({QSize(18, 18)}));
    QCOMPARE(glyph.availableSizes(QIcon::Disabled), QList<QSize>({QSize(18, 18)}));
    const QImage normal = glyph.pixmap(QSize(18, 18), QIcon::Normal).toImage();
    const QImage greyed = glyph.pixmap(QSize(18, 18), QIcon::Disabled).toImage();
    int inkPixels = 0;
    int colouredInGreyed = 0;
    int transparent = 0;
    for (int y = 0; y < 18; ++y) {
        for (int x = 0; x < 18; ++x) {
            if (normal.pixelColor(x, y) == ink)
                ++inkPixels;
            const QColor grey = greyed.pixelColor(x, y);
            if (grey.alpha() > 0 && (grey.red() != grey.green() || grey.green() != grey.blue()))
                ++colouredInGreyed;
            if (normal.pixelColor(x, y).alpha() == 0)
                ++transparent;
        }
    }
    QVERIFY(inkPixels > 5);
    QCOMPARE(colouredInGreyed, 0);
    // The lower-left pixel's colour, the background, is transparent.
    QCOMPARE(normal.pixelColor(0, 17).alpha(), 0);
    QCOMPARE(greyed.pixelColor(0, 17).alpha(), 0);
    QVERIFY(transparent > 18 * 18 / 2);
}

void TWidgetsTest::BitBtnShowsGreyedGlyphWhenDisabled()
{
    TBitBtn button;
    button.SetGlyph(QStringLiteral("CheckMark"));
    button.setText(QStringLiteral("OK"));
    button.resize(120, 28);
    QCOMPARE(button.iconSize(), QSize(18, 18));
    auto greenPixels = [&button] {
        const QImage image = button.grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == QColor(0, 255, 0))
                    ++count;
        return count;
    };
    QVERIFY(greenPixels() > 5);
    button.setEnabled(false);
    QCOMPARE(greenPixels(), 0);
    button.SetGlyph(QStringLiteral("nonsense"));
    QVERIFY(button.icon().isNull());
}

void TWidgetsTest::CaptionLabelSizesToText()
{
    TCaptionLabel label;
    label.setGeometry(8, 40, 0, 13);
    const QString text = QStringLiteral("vom Wasserversorgungsunternehmen zum Gesundheitsamt");
    label.setText(text);
    QCOMPARE(label.width(), QFontMetrics(label.font()).horizontalAdvance(text));
    QCOMPARE(label.height(), 13);
    QCOMPARE(label.pos(), QPoint(8, 40));
    QFont bold = label.font();
    bold.setBold(true);
    label.setFont(bold);
    QCOMPARE(label.width(), QFontMetrics(bold).horizontalAdvance(text));
    label.setText(QString());
    QCOMPARE(label.width(), 0);
    // An ampersand is text, not an accelerator.
    label.setText(QStringLiteral("A&B"));
    QCOMPARE(label.width(), QFontMetrics(label.font()).horizontalAdvance(QStringLiteral("A&B")));
}

void TWidgetsTest::LabelHints()
{
    QWidget window;
    window.resize(300, 100);
    auto* shown = new TValueLabel(&window);
    shown->setGeometry(10, 10, 100, 13);
    shown->setToolTip(QStringLiteral("Feld 14"));
    auto* silent = new TValueLabel(&window);
    silent->setGeometry(10, 40, 100, 13);
    silent->setToolTip(QStringLiteral("Feld 22"));
    silent->SetShowHint(false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QHelpEvent silentHelp(QEvent::ToolTip, QPoint(5, 5), silent->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(silent, &silentHelp);
    QVERIFY(!QToolTip::isVisible());
    QHelpEvent shownHelp(QEvent::ToolTip, QPoint(5, 5), shown->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(shown, &shownHelp);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Feld 14"));
    QToolTip::hideText();
}

void TWidgetsTest::Panel_data()
{
    QTest::addColumn<bool>("raised");
    QTest::addColumn<QColor>("topLeft");
    QTest::addColumn<QColor>("bottomRight");
    QTest::newRow("raised bevel") << true << QColor(255, 255, 255) << QColor(160, 160, 160);
    QTest::newRow("flat") << false << QColor(255, 0, 0) << QColor(255, 0, 0);
}

void TWidgetsTest::Panel()
{
    QFETCH(bool, raised);
    QFETCH(QColor, topLeft);
    QFETCH(QColor, bottomRight);
    TPanel panel;
    panel.resize(60, 40);
    panel.SetColor(QColor(255, 0, 0));
    panel.SetRaisedBevel(raised);
    const QImage image = panel.grab().toImage();
    QCOMPARE(PixelAt(image, {0, 0}), topLeft);
    QCOMPARE(PixelAt(image, {59, 39}), bottomRight);
    QCOMPARE(PixelAt(image, {30, 20}), QColor(255, 0, 0));
    QCOMPARE(PixelAt(image, {1, 1}), QColor(255, 0, 0));
}

void TWidgetsTest::Image()
{
    TImage picture;
    picture.setGeometry(5, 672, 50, 10);
    picture.SetPictureName(QStringLiteral("Logo"));
    QCOMPARE(picture.size(), QSize(200, 30)); // sizes itself to its picture
    QCOMPARE(picture.Picture().size(), QSize(200, 30));
    const QImage shown = picture.grab().toImage();
    const QImage decoded = picture.Picture().convertToFormat(shown.format());
    const QRect middle(90, 10, 20, 10);
    const QColor seen = MeanColour(shown, middle);
    const QColor expected = MeanColour(decoded, middle);
    QVERIFY2(NearColour(seen, expected, 4), qPrintable(ColourPair(seen, expected)));
    picture.SetPictureName(QStringLiteral("unknown"));
    QVERIFY(picture.Picture().isNull());
    QCOMPARE(picture.size(), QSize(200, 30));
}

void TWidgetsTest::ClassicLook()
{
    const QPalette palette = QApplication::palette();
    QCOMPARE(palette.color(QPalette::Window), QColor(240, 240, 240));
    QCOMPARE(palette.color(QPalette::Button), QColor(240, 240, 240));
    QCOMPARE(palette.color(QPalette::Base), QColor(255, 255, 255));
    QCOMPARE(palette.color(QPalette::WindowText), QColor(0, 0, 0));
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight), QColor(0, 120, 215));
    QCOMPARE(palette.color(QPalette::HighlightedText), QColor(255, 255, 255));
    QCOMPARE(QApplication::font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(QApplication::font().pixelSize(), 11);
    QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent), 16);
    QVERIFY(QApplication::style()->inherits("QProxyStyle"));
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ApplyClassicLook(application);
    TWidgetsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WidgetsTest.moc"
