#include "Image.h"

#include "JpegDecoder.h"
#include "Resources.h"

#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TImage::SetPicture(const QImage& picture)
{
    FPicture = picture;
    if (!FPicture.isNull())
        resize(FPicture.deviceIndependentSize().toSize());
    update();
}

void TImage::SetPictureName(const QString& name)
{
    FPictureName = name;
    if (name == QLatin1String("Logo"))
        SetPicture(DecodeJpeg(LogoJpegData, LogoJpegSize));
    else
        SetPicture(QImage());
}

QSize TImage::sizeHint() const
{
    return FPicture.isNull() ? size() : FPicture.deviceIndependentSize().toSize();
}

void TImage::paintEvent(QPaintEvent*)
{
    if (FPicture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), FPicture);
}
