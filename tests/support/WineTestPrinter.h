#pragma once

#ifdef _WIN32

#include <windows.h>
// After windows.h, whose declarations it needs.
#include <winspool.h>

// Under Wine only: a printer of Wine's PostScript driver that prints into a
// file, made the default, so that the system's print dialog has one to
// offer in a fresh prefix, which has none. True when a default printer is
// there (already or now). A real Windows is left alone.
inline bool EnsureWineTestPrinter()
{
    wchar_t name[256];
    DWORD size = 256;
    if (GetDefaultPrinterW(name, &size))
        return true;
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr)
        return false;
    wchar_t driverName[] = L"Wine PostScript Driver";
    wchar_t environment[] = L"Windows x64";
    wchar_t driverFile[] = L"wineps.drv";
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = driverName;
    driver.pEnvironment = environment;
    driver.pDriverPath = driverFile;
    driver.pDataFile = driverFile;
    driver.pConfigFile = driverFile;
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver), APD_COPY_NEW_FILES))
        return false;
    wchar_t printerName[] = L"Testdrucker";
    wchar_t port[] = L"FILE:";
    wchar_t processor[] = L"WinPrint";
    wchar_t dataType[] = L"RAW";
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = printerName;
    printer.pPortName = port;
    printer.pDriverName = driverName;
    printer.pPrintProcessor = processor;
    printer.pDatatype = dataType;
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
    if (added == nullptr)
        return false;
    ClosePrinter(added);
    return SetDefaultPrinterW(printerName) != FALSE;
}

#endif
