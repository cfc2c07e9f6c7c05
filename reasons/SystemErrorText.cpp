#include "SystemErrorText.h"

#include <cerrno>
#include <system_error>

namespace {

// GetLastError values as Windows documents them. Named here rather than taken
// from windows.h, so that the table is the same and is tested on every system.
namespace WinError {
    constexpr long FileNotFound = 2, PathNotFound = 3, TooManyOpenFiles = 4, AccessDenied = 5, NotEnoughMemory = 8,
                   OutOfMemory = 14, WriteProtect = 19, NotReady = 21, Crc = 23, WriteFault = 29, ReadFault = 30,
                   GenFailure = 31, SharingViolation = 32, LockViolation = 33, HandleDiskFull = 39, BadNetPath = 53,
                   BadNetName = 67, BrokenPipe = 109, DiskFull = 112, InvalidName = 123, AlreadyExists = 183,
                   FilenameExcedRange = 206, NoData = 232, FileTooLarge = 223, Directory = 267, TooManyLinks = 1142,
                   CantResolveFilename = 1921, DiskQuotaExceeded = 1295;
}

// The entries both tables share.
const TReason NotFound{"not-found", "Datei oder Ordner nicht vorhanden"};
const TReason NoPermission{"no-permission", "keine Berechtigung"};
const TReason IsFolder{"is-folder", "es ist ein Ordner"};
const TReason NotAFolder{"not-a-folder", "ein Teil des Pfads ist kein Ordner"};
const TReason NotAFile{"not-a-file", "keine gewöhnliche Datei (ein Gerät, eine Pipe oder ein Socket)"};
const TReason DiskFull{"disk-full", "kein Platz mehr auf dem Datenträger"};
const TReason Quota{"disk-full", "Speicherkontingent erschöpft"};
const TReason ReadOnly{"read-only", "Dateisystem nur lesbar"};
const TReason WriteProtected{"read-only", "Datenträger schreibgeschützt"};
const TReason LinkLoop{"too-many-links", "zu viele symbolische Verknüpfungen"};
const TReason TooManyLinks{"too-many-links", "zu viele Verknüpfungen"};
const TReason NameTooLong{"name-too-long", "Name zu lang"};
const TReason InvalidName{"invalid-name", "ungültiger Name"};
const TReason InUse{"in-use", "die Datei wird von einem anderen Programm benutzt"};
const TReason IoError{"io-error", "Ein-/Ausgabefehler des Datenträgers"};
const TReason TooLarge{"too-large", "Datei zu groß"};
const TReason NoMemory{"no-memory", "nicht genug Arbeitsspeicher"};
const TReason TooManyOpen{"too-many-open-files", "zu viele offene Dateien"};
const TReason PipeClosed{"pipe-closed", "der Empfänger hat die Verbindung geschlossen"};
const TReason NotReady{"not-ready", "Gerät nicht bereit"};
const TReason Exists{"exists", "Datei bereits vorhanden"};

TReason FromErrno(long code)
{
    switch (code) {
    case ENOENT:
        return NotFound;
    case EACCES:
    case EPERM:
        return NoPermission;
    case EISDIR:
        return IsFolder;
    case ENOTDIR:
        return NotAFolder;
    case ENOSPC:
        return DiskFull;
#ifdef EDQUOT
    case EDQUOT:
        return Quota;
#endif
    case EROFS:
        return ReadOnly;
#ifdef ELOOP
    case ELOOP:
        return LinkLoop;
#endif
    case EMLINK:
        return TooManyLinks;
    case ENAMETOOLONG:
        return NameTooLong;
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return InUse;
    case EIO:
        return IoError;
    case EFBIG:
        return TooLarge;
    case ENOMEM:
        return NoMemory;
    case EMFILE:
    case ENFILE:
        return TooManyOpen;
    case EPIPE:
        return PipeClosed;
    case ENXIO:
    case ENODEV:
        return NotReady;
    case EEXIST:
        return Exists;
    case 0:
        return {"unknown", ""};
    default:
        return {"other", "Systemfehler " + std::to_string(code)};
    }
}

TReason FromWindows(long code)
{
    switch (code) {
    case WinError::FileNotFound:
    case WinError::PathNotFound:
    case WinError::BadNetPath:
    case WinError::BadNetName:
        return NotFound;
    case WinError::AccessDenied:
        return NoPermission;
    case WinError::Directory:
        return NotAFolder;
    case WinError::DiskFull:
    case WinError::HandleDiskFull:
        return DiskFull;
    case WinError::DiskQuotaExceeded:
        return Quota;
    case WinError::WriteProtect:
        return WriteProtected;
    case WinError::CantResolveFilename:
        return LinkLoop;
    case WinError::TooManyLinks:
        return TooManyLinks;
    case WinError::FilenameExcedRange:
        return NameTooLong;
    case WinError::InvalidName:
        return InvalidName;
    case WinError::SharingViolation:
    case WinError::LockViolation:
        return InUse;
    case WinError::Crc:
    case WinError::WriteFault:
    case WinError::ReadFault:
    case WinError::GenFailure:
        return IoError;
    case WinError::FileTooLarge:
        return TooLarge;
    case WinError::NotEnoughMemory:
    case WinError::OutOfMemory:
        return NoMemory;
    case WinError::TooManyOpenFiles:
        return TooManyOpen;
    case WinError::BrokenPipe:
    case WinError::NoData:
        return PipeClosed;
    case WinError::NotReady:
        return NotReady;
    case WinError::AlreadyExists:
        return Exists;
    case 0:
        return {"unknown", ""};
    default:
        return {"other", "Windows-Fehler " + std::to_string(code)};
    }
}

} // namespace

TReason ReasonOf(const TSystemError& error)
{
    switch (error.Origin) {
    case TSystemError::EOrigin::Errno:
        return FromErrno(error.Code);
    case TSystemError::EOrigin::Windows:
        return FromWindows(error.Code);
    case TSystemError::EOrigin::NotAFile:
        return NotAFile;
    case TSystemError::EOrigin::None:
        break;
    }
    return {"unknown", ""};
}

std::string WithReason(std::string sentence, const TSystemError& error)
{
    const TReason reason = ReasonOf(error);
    if (!reason.Text.empty())
        sentence += " Grund: " + reason.Text + ".";
    return sentence;
}

std::string ExceptionText(const std::exception& e)
{
    const auto* system = dynamic_cast<const std::system_error*>(&e);
    if (!system)
        return std::string("Interner Fehler: ") + e.what();
    const std::error_code code = system->code();
    TSystemError why;
    if (code.category() == std::generic_category())
        why = TSystemError::FromErrno(code.value());
    else if (code.category() == std::system_category())
#ifdef _WIN32
        why = {TSystemError::EOrigin::Windows, code.value()};
#else
        why = TSystemError::FromErrno(code.value());
#endif
    else
        return std::string("Interner Fehler: ") + e.what();
    return WithReason("Ein Aufruf des Betriebssystems ist gescheitert.", why);
}
