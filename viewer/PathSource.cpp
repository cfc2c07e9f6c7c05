#include "PathSource.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLocale>
#include <QSortFilterProxyModel>
#include <QTreeView>

#include <utility>

#include "FilePath.h"
#ifdef _WIN32
#include "SystemOpenDialog.h"
#endif

namespace {

const QString KOpenDialogTitle = QStringLiteral("Morvask-Betrachter  -  Schnittstellen-Datei öffnen ...");
const QString KDatFilter = QStringLiteral("DAT-Dateien (*.dat)");
const QString KAllFilter = QStringLiteral("Alle Dateien (*.*)");
const QString KFolderDialogTitle = QStringLiteral("Morvask-Betrachter  -  Ordner der Kodelisten wählen ...");

#ifndef _WIN32

enum EColumn { ColName,
               ColSize,
               ColType,
               ColModified };

// The dialog's detail columns in German, whatever the system's locale: sizes,
// dates and a type named after the extension. The type is never guessed from
// the content, so a slow or blocking file (a pipe, a network share) is not
// read just to be listed.
class TGermanFileColumns : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr || index.column() == ColName)
            return QSortFilterProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QFileInfo info = files->fileInfo(source);
        switch (index.column()) {
        case ColSize:
            return info.isDir() ? QString() : Size(info.size());
        case ColType:
            return Type(info);
        case ColModified:
            return FGerman.toString(files->lastModified(source), QStringLiteral("dd.MM.yyyy HH:mm"));
        default:
            return QSortFilterProxyModel::data(index, role);
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QSortFilterProxyModel::headerData(section, orientation, role);
        switch (section) {
        case ColName:
            return QStringLiteral("Name");
        case ColSize:
            return QStringLiteral("Größe");
        case ColType:
            return QStringLiteral("Typ");
        case ColModified:
            return QStringLiteral("Änderungsdatum");
        default:
            return QSortFilterProxyModel::headerData(section, orientation, role);
        }
    }

    // The file system model sorts by the values behind the columns (sizes
    // as numbers, dates as dates); the texts here would sort as words.
    void sort(int column, Qt::SortOrder order) override
    {
        if (sourceModel() != nullptr)
            sourceModel()->sort(column, order);
    }

private:
    static QString Type(const QFileInfo& info)
    {
        if (info.isDir())
            return QStringLiteral("Dateiordner");
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? QStringLiteral("Datei") : suffix.toUpper() + QStringLiteral("-Datei");
    }

    QString Size(qint64 bytes) const
    {
        if (bytes < 1024)
            return bytes == 1 ? QStringLiteral("1 Byte") : QStringLiteral("%1 Bytes").arg(bytes);
        return FGerman.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
    }

    QLocale FGerman{QLocale::German, QLocale::Germany};
};

// Gives the detail columns room for what they show in German.
void SizeColumns(QFileDialog& dialog)
{
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (view == nullptr)
        return;
    const QFontMetrics metrics(view->font());
    const int margin = 2 * metrics.horizontalAdvance(QLatin1Char('M'));
    QHeaderView* header = view->header();
    header->resizeSection(ColName, metrics.horizontalAdvance(QStringLiteral("WVMO_WWWW_261015_093000.DAT")) + margin);
    header->resizeSection(ColSize, metrics.horizontalAdvance(QStringLiteral("1023,9 MB")) + margin);
    header->resizeSection(ColType, metrics.horizontalAdvance(QStringLiteral("Dateiordner")) + margin);
    header->resizeSection(ColModified, metrics.horizontalAdvance(QStringLiteral("00.00.0000 00:00")) + margin);
}

#endif

} // namespace

TPathSource GivenPath(std::string path)
{
    return [path = std::move(path)](QWidget*) { return std::optional<std::string>(path); };
}

TPathSource OpenDialogChoice(QString startFolder)
{
    return [folder = std::move(startFolder)](QWidget* parent) { return ChooseTransferFile(parent, folder); };
}

TPathSource FolderChoice(QString startFolder)
{
    return [folder = std::move(startFolder)](QWidget* parent) { return ChooseCodeListFolder(parent, folder); };
}

#ifdef _WIN32

// Windows users know its own dialog; the toolkit's would also keep its state
// in the registry.
std::optional<std::string> ChooseTransferFile(QWidget* parent, const QString& startFolder)
{
    const std::optional<QString> chosen = SystemOpenDialog(parent, KOpenDialogTitle, {KDatFilter, KAllFilter}, startFolder);
    if (!chosen)
        return std::nullopt;
    return ChosenPath(*chosen);
}

std::optional<std::string> ChooseCodeListFolder(QWidget* parent, const QString& startFolder)
{
    const std::optional<QString> chosen = SystemFolderDialog(parent, KFolderDialogTitle, startFolder);
    if (!chosen)
        return std::nullopt;
    return ChosenPath(*chosen);
}

#else

// The toolkit's own widget dialog, so that it looks and behaves the same on
// every Linux desktop. It takes a typed name of a file that does not exist (the
// open then reports it), and offers no way to create, rename or delete anything.
std::optional<std::string> ChooseTransferFile(QWidget* parent, const QString& startFolder)
{
    QFileDialog dialog(parent, KOpenDialogTitle, startFolder);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({KDatFilter, KAllFilter});
    dialog.selectNameFilter(KDatFilter);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Öffnen"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    dialog.setProxyModel(new TGermanFileColumns(&dialog));
    SizeColumns(dialog);
    // "*.*" would hide every name without a dot; all files means all files.
    if (auto* files = dialog.findChild<QFileSystemModel*>(QStringLiteral("qt_filesystem_model"))) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, files, [files](const QString& filter) {
            if (filter == KAllFilter)
                files->setNameFilters({QStringLiteral("*")});
        });
    }
    dialog.setSizeGripEnabled(true);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return ChosenPath(dialog.selectedFiles().constFirst());
}

// The toolkit's dialog as for the file, showing folders only.
std::optional<std::string> ChooseCodeListFolder(QWidget* parent, const QString& startFolder)
{
    QFileDialog dialog(parent, KFolderDialogTitle, startFolder);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly | QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Ordner:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Wählen"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    dialog.setProxyModel(new TGermanFileColumns(&dialog));
    SizeColumns(dialog);
    dialog.setSizeGripEnabled(true);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return ChosenPath(dialog.selectedFiles().constFirst());
}

#endif
