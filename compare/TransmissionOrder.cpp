#include "TransmissionOrder.h"

#include "FileNameCheck.h"
#include "SamplingData.h"
#include "Utf8Text.h"

#include <optional>
#include <sys/stat.h>
#include <tuple>
#ifdef _WIN32
#include "WideText.h"
#include <windows.h>
#endif

namespace {

// The date and time of a conventional name, as one sortable number.
std::optional<std::tuple<int, int, int, int, int, int>> NameTime(const std::string& path)
{
    TSamplingData scratch;
    TCalendarDate date;
    TTimeOfDay time;
    const std::int32_t kept = InterfaceKind;
    const bool ok = CheckFileName(FileNameForCheck(BareFileName(path)), scratch, date, time);
    InterfaceKind = kept; // the check's verdict belongs to the window's own file
    if (!ok)
        return std::nullopt;
    return std::tuple{date.Year, date.Month, date.Day, time.Hour, time.Minute, time.Second};
}

// Nanoseconds since the epoch, or nothing.
std::optional<long long> ModificationTime(const std::string& path)
{
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return (static_cast<long long>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime) * 100;
#else
    struct stat st { };
    if (stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
#endif
}

} // namespace

TTransmissionOrder OrderOfTransmissions(const std::string& first, const std::string& second)
{
    const auto a = NameTime(first), b = NameTime(second);
    if (a && b && *a != *b)
        return {*a < *b, EOrderRule::FileName};
    const auto ma = ModificationTime(first), mb = ModificationTime(second);
    if (ma && mb && *ma != *mb)
        return {*ma < *mb, EOrderRule::ModificationTime};
    return {true, EOrderRule::None};
}

std::string OrderRuleText(EOrderRule rule)
{
    switch (rule) {
    case EOrderRule::FileName:
        return "nach Datum und Uhrzeit in den Dateinamen";
    case EOrderRule::ModificationTime:
        return "nach dem Änderungsdatum der Dateien";
    case EOrderRule::None:
        break;
    }
    return "wie gewählt (weder Dateinamen noch Änderungsdaten unterscheiden die Dateien)";
}

std::string ReversedOrderNote(const std::string& oldPath, const std::string& newPath)
{
    const TTransmissionOrder order = OrderOfTransmissions(oldPath, newPath);
    if (order.Rule != EOrderRule::FileName || order.FirstIsOlder)
        return {};
    return "Hinweis: " + BytesToUtf8(newPath) + " ist nach Datum und Uhrzeit in den Dateinamen älter als " + BytesToUtf8(oldPath) +
           "; verglichen wird in der angegebenen Reihenfolge, " + BytesToUtf8(oldPath) + " als ALT.DAT.\n";
}
