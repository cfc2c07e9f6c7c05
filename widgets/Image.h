#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// A picture that takes the size of its content. The layout names the picture:
// "Logo" is the program's logo.
class TImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString picture READ PictureName WRITE SetPictureName)

public:
    explicit TImage(QWidget* parent = nullptr);

    const QImage& Picture() const { return FPicture; }
    // A null picture empties the component and keeps its size.
    void SetPicture(const QImage& picture);
    QString PictureName() const { return FPictureName; }
    void SetPictureName(const QString& name);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage FPicture;
    QString FPictureName;
};
