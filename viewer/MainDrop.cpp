#include "Main.h"

#include "ui_Main.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QUrl>

#include "ErrorDisplay.h"

namespace {

constexpr int MaxDroppedFiles = 10;

// The local files that a drag carries; empty when it carries anything else
// (a web address, a folder, text), so that such a drag is refused as a whole.
QStringList LocalFiles(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls())
        return {};
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        const QString path = url.toLocalFile();
        if (path.isEmpty() || QFileInfo(path).isDir())
            return {};
        files << path;
    }
    return files;
}

// Another copy of this program on the file; QProcess passes the path's bytes
// as the file system spells them (QFile::encodeName).
bool StartViewer(const QString& path)
{
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), {path});
}

// Takes a drag of local files as a copy; false for anything else, left as it is.
bool AcceptFileDrag(QDragMoveEvent* drag)
{
    if (LocalFiles(drag->mimeData()).isEmpty())
        return false;
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    return true;
}

// Drags over the error text box would otherwise drop the file's address into
// its text; a drag of files goes to the window instead.
class TFileDropForwarder : public QObject {
public:
    TFileDropForwarder(TMainForm* form, QObject* parent) : QObject(parent),
                                                           FForm(form) { }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
            if (AcceptFileDrag(static_cast<QDragMoveEvent*>(event)))
                return true;
            break;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (LocalFiles(drop->mimeData()).isEmpty())
                break;
            Guarded([this, drop] { FForm->OpenDroppedFiles(drop->mimeData()); }, FForm->ErrorSink());
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            return true;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TMainForm* FForm;
};

} // namespace

void TMainForm::SetUpDrop()
{
    FFileLauncher = StartViewer;
    setAcceptDrops(true);
    auto* forwarder = new TFileDropForwarder(this, this);
    ui->memErrorText->installEventFilter(forwarder);
    ui->memErrorText->viewport()->installEventFilter(forwarder);
}

bool TMainForm::OpenDroppedFiles(const QMimeData* mime)
{
    const QStringList files = LocalFiles(mime);
    if (files.isEmpty())
        return false;
    bool allStarted = files.size() <= MaxDroppedFiles;
    for (const QString& file : files.mid(0, MaxDroppedFiles))
        if (!FFileLauncher || !FFileLauncher(file))
            allStarted = false;
    // Files beyond the tenth, or a copy that would not start: a short signal.
    if (!allStarted)
        QApplication::beep();
    return true;
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TMainForm::dragMoveEvent(QDragMoveEvent* event)
{
    if (!AcceptFileDrag(event))
        event->ignore();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    bool opened = false;
    Guarded([this, event, &opened] { opened = OpenDroppedFiles(event->mimeData()); }, FErrorSink);
    if (!opened) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
