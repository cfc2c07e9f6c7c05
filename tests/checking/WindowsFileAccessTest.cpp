#include "FileAccess.h"
#include "FileNameCheck.h"
#include "FileOpenError.h"
#include "SamplingData.h"
#include "TempDir.h"
#include "TransferFileCheck.h"
#include "WideText.h"

#include <gtest/gtest.h>

#include <fstream>

#include <windows.h>

// How the check meets the Windows file system: Unicode names in every path
// form, long paths, and the sharing that keeps writers out while it reads.

namespace {

const std::string Block = "1|E|f3|f4|f5|f6|f7|f8|f9|f10|f11|f12|f13|f14|f15|f16|f17|f18|f19|f20|f21|f22|f23|f24|f25|"
                          "f26|f27|f28|f29|f30|f31|f32|\r\n2|MATW|f35|f36|f37|f38|f39|f40|f41|f42|\r\n3|0\r\n";

std::string Backslashed(std::string path)
{
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

// Opens the file the way another program would, for writing or reading.
HANDLE OpenOther(const std::string& path, DWORD access, DWORD share)
{
    return CreateFileW(PathFromUtf8(path).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

TEST(WindowsFileAccess, UnicodeNamesInEveryPathForm)
{
    TTempDir dir;
    struct Case {
        std::string Name;
        std::int32_t Kind;
        std::string Stored; // Windows-1252 where the name has it, else the UTF-8 bytes
    };
    const Case cases[] = {
        {"ÄÖÜ€_070312_143005.DAT", 1, "\xC4\xD6\xDC\x80_070312_143005.DAT"},
        {"äöüß_efgh_071231_235959.dat", 2, "\xE4\xF6\xFC\xDF_EFGH_071231_235959.DAT"},
        {"Łódź_070312_143005.DAT", 0, "\xC5\x81\xC3\xB3"
                                      "D\xC5\xBA_070312_143005.DAT"},
        {"日本.dat", 0, "日本.DAT"},
    };
    for (const Case& c : cases) {
        const std::string slashed = dir.Write(c.Name, Block);
        const std::string forms[] = {slashed, Backslashed(slashed)};
        for (const std::string& path : forms) {
            SCOPED_TRACE(path);
            TSamplingData data;
            ASSERT_NO_THROW(CheckTransferFile(path, data));
            EXPECT_EQ(GetInterfaceKind(), c.Kind);
            EXPECT_EQ(data.FileName, c.Stored);
            EXPECT_EQ(data.MessageText, "OK");
        }
    }

    // Relative to the working folder, with and without the drive letter.
    wchar_t previous[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(PathFromUtf8(dir.Path()).c_str()));
    const std::string drive = Utf8FromPath(PathFromUtf8(dir.Path()).root_name());
    for (const std::string& path : {std::string("ÄÖÜ€_070312_143005.DAT"), std::string(".\\Łódź_070312_143005.DAT"),
                                    drive + "ÄÖÜ€_070312_143005.DAT"}) {
        SCOPED_TRACE(path);
        TSamplingData data;
        EXPECT_NO_THROW(CheckTransferFile(path, data));
        EXPECT_EQ(data.MessageText, "OK");
    }
    SetCurrentDirectoryW(previous);
}

TEST(WindowsFileAccess, PathsLongerThanMaxPath)
{
    TTempDir dir;
    const std::string folder = Backslashed(dir.Path()) + "\\" + std::string(200, 'd');
    ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8("\\\\?\\" + folder)));
    const std::string path = folder + "\\" + std::string(60, 'n') + "_ABCD_070312_143005.DAT";
    ASSERT_GT(path.size(), static_cast<std::size_t>(MAX_PATH));
    {
        std::ofstream out(PathFromUtf8("\\\\?\\" + path), std::ios::binary);
        out << Block;
    }
    for (const std::string& form : {path, folder + "/" + std::string(60, 'n') + "_ABCD_070312_143005.DAT"}) {
        TSamplingData data;
        EXPECT_NO_THROW(CheckTransferFile(form, data)) << form;
        EXPECT_EQ(data.MessageText, "OK");
    }
}

// The one conversion every wide call takes its path from. Wine does not
// enforce MAX_PATH, so what a short form would do on Windows is not shown
// here: only that the long form is made as Windows wants it.
TEST(WindowsFileAccess, WidePathsTakeTheLongFormPastMaxPath)
{
    const std::string longName(MAX_PATH, 'n');
    const std::wstring wideName(MAX_PATH, L'n');
    struct Case {
        std::string Path;
        std::wstring Wide;
    };
    const Case cases[] = {
        {"C:\\kurz\\\xC5\x81\xC3\xB3"
         "d\xC5\xBA.DAT",
         L"C:\\kurz\\\u0141\u00F3d\u017A.DAT"},
        {"C:/" + longName, L"\\\\?\\C:\\" + wideName},
        {"\\\\server\\share\\" + longName, L"\\\\?\\UNC\\server\\share\\" + wideName},
        {"\\\\?\\C:\\" + longName, L"\\\\?\\C:\\" + wideName}, // already long: kept
        {"C:\\a\xFF.DAT", L""}, // no UTF-8: no file matches
        {std::string("C:\\a\0b", 6), L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WidePath(c.Path), c.Wide) << c.Path;
    EXPECT_EQ(WideToUtf8(Utf8ToWide("\xC5\x81\xC3\xB3"
                                    "d\xC5\xBA \xE6\x97\xA5")),
              "\xC5\x81\xC3\xB3"
              "d\xC5\xBA \xE6\x97\xA5");
    EXPECT_EQ(Utf8ToWide("a\xFF"), L"a\uFFFD"); // text for the console keeps what it can
}

TEST(WindowsFileAccess, ReadingKeepsWritersOut)
{
    TTempDir dir;
    const std::string path = dir.Write("ÄBCD_070312_143005.DAT", Block);
    {
        TReadOnlyFile held(path);
        const HANDLE writer = OpenOther(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        if (writer != INVALID_HANDLE_VALUE)
            CloseHandle(writer);

        // Other readers are welcome.
        const HANDLE reader = OpenOther(path, GENERIC_READ, FILE_SHARE_READ);
        EXPECT_NE(reader, INVALID_HANDLE_VALUE);
        if (reader != INVALID_HANDLE_VALUE)
            CloseHandle(reader);
    }
    const HANDLE afterwards = OpenOther(path, GENERIC_WRITE, FILE_SHARE_READ);
    EXPECT_NE(afterwards, INVALID_HANDLE_VALUE) << "the file stays locked after the check";
    if (afterwards != INVALID_HANDLE_VALUE)
        CloseHandle(afterwards);

    // A file that another program is writing does not open at all.
    const HANDLE writing = OpenOther(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(writing, INVALID_HANDLE_VALUE);
    TSamplingData data;
    EXPECT_THROW(CheckTransferFile(path, data), EFileOpenError);
    CloseHandle(writing);
    EXPECT_NO_THROW(CheckTransferFile(path, data));
}

} // namespace
