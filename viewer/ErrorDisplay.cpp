#include "ErrorDisplay.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>
#include <new>
#include <utility>

#include "CheckPath.h"
#include "DisplayText.h"
#include "FileOpenError.h"

namespace {

// The window the box belongs to: the modal one in front, else the active
// one, else any visible top-level window (a bare X server activates none).
QWidget* MessageBoxParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->isWindow())
            return widget;
    }
    return nullptr;
}

void Show(const QString& text, const TErrorSink& sink)
{
    const QString title = ApplicationTitle();
    if (sink) {
        sink(title, text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, MessageBoxParent());
    // Paths may hold "<" or "&": show the text as it is, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

// The display must not throw itself: it runs inside a catch handler, and
// anything escaping it would unwind through the toolkit after all.
template <class F>
void ShowNoThrow(F&& makeText, const TErrorSink& sink) noexcept
{
    try {
        Show(makeText(), sink);
    } catch (...) {
        std::fputs("morvask-betrachter: Fehler konnte nicht angezeigt werden\n", stderr);
    }
}

} // namespace

QString WithFullStop(const QString& text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}

QString ApplicationErrorText(const std::exception& error)
{
    if (const auto* openError = dynamic_cast<const EFileOpenError*>(&error)) {
        // The path is in the file system's encoding, not Windows-1252.
        return WithFullStop(CannotOpenText(CheckPathText(openError->Path()), Utf8ToQString));
    }
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return WithFullStop(QStringLiteral("Nicht genügend Arbeitsspeicher"));
    return WithFullStop(Utf8ToQString(error.what()));
}

QString UnknownErrorText()
{
    return WithFullStop(QStringLiteral("Unbekannter Fehler"));
}

QString ApplicationTitleFor(const QString& programFilePath)
{
    const QString fileName = QFileInfo(programFilePath).fileName();
    QString title = fileName.left(fileName.indexOf(QLatin1Char('.')));
    // A name that begins with "." would leave nothing to show.
    if (title.isEmpty())
        title = fileName;
    if (title.isEmpty())
        return title;
    return title.left(1) + title.mid(1).toLower();
}

QString ApplicationTitle()
{
    return ApplicationTitleFor(QCoreApplication::applicationFilePath());
}

void ShowApplicationError(const std::exception& error, const TErrorSink& sink)
{
    ShowNoThrow([&error] { return ApplicationErrorText(error); }, sink);
}

void ShowUnknownError(const TErrorSink& sink)
{
    ShowNoThrow([] { return UnknownErrorText(); }, sink);
}

void ShowApplicationErrorText(const QString& text, const TErrorSink& sink)
{
    ShowNoThrow([&text] { return text; }, sink);
}
