#include "FuzzSupport.h"

#include "Cp1252.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

void FuzzFailure(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "property violated: %s\n%s\n", what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

QString Cp1252Text(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        text[static_cast<qsizetype>(i)] = QChar(Cp1252ToUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

TFuzzFile::TFuzzFile()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "morvask-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    FFolder = pattern;
    FPath = FFolder + "/FUZZ_261207_120000.DAT";
}

TFuzzFile::~TFuzzFile()
{
    std::error_code ignored;
    std::filesystem::remove_all(FFolder, ignored);
}

void TFuzzFile::Write(const uint8_t* data, std::size_t size)
{
    std::ofstream out(FPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.flush())
        FuzzFailure("the fuzz input could be written", FPath);
}

void EnsureApplication()
{
    if (QApplication::instance() != nullptr)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "morvask-fuzz";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends; libFuzzer never returns to us.
    new QApplication(argc, argv);
}
