#pragma once

#include "Output.h"
#include "SystemError.h"

#include <cstdint>
#include <cstdio>
#include <string>

// The few things the export asks of the platform, kept in one place.

// Standard output as a table's output, UTF-8 text: a console gets it as
// characters (see WriteText).
class TStandardOutput : public TOutput {
public:
    void Write(std::string_view bytes) override;
    // Throws EOutputError when what was written did not all arrive.
    void Finish();

private:
    // The start of a character whose rest comes with the next Write, so that a
    // console never gets half a character.
    std::string FPartial;
};

// Creates a new, empty file with a name of its own in the folder of path, so
// that it can later replace path by a rename on the same file system. Returns
// its name; throws EOutputError when the folder takes no file.
std::string CreateFileBeside(const std::string& path);

// The folder that holds path ("." for a bare name).
std::string FolderOf(const std::string& path);

// Puts from in place of to, replacing an existing to in one step. False on
// failure, with the reason in why when given.
bool MoveIntoPlace(const std::string& from, const std::string& to, TSystemError* why = nullptr);

// Writes the file's data through to the disk. False on failure, as MoveIntoPlace.
bool SyncFile(const std::string& path, TSystemError* why = nullptr);

// Removes path if it is there; quiet when it is not.
void RemoveFile(const std::string& path);

// Opens path (UTF-8 on Windows, where the narrow C functions would read it in
// the ANSI code page) with an fopen mode; null on failure, errno set.
std::FILE* OpenFile(const std::string& path, const char* mode);

// Moves to offset from the start of file, and tells where file stands: in
// 64 bits on every system (Windows' long has 32). False and -1 on failure.
bool SeekFile(std::FILE* file, std::uint64_t offset);
bool SeekFileEnd(std::FILE* file);
std::int64_t FilePosition(std::FILE* file);

// Opens path for reading in binary mode; null on failure.
std::FILE* OpenForReading(const std::string& path);

// Opens a new file, already named, for writing and reading back, whose name
// the caller removes at once: on Windows, where an open file keeps its name,
// the system removes it when it is closed.
std::FILE* OpenScratchFile(const std::string& path);
