#pragma once

#include <string>

// Which of two transfer files is the earlier transmission. The names of the
// convention carry the date and time the file was made; where a name carries
// none, or both carry the same, the files' modification times decide.
enum class EOrderRule {
    FileName, // the dates and times in both names
    ModificationTime,
    None, // neither tells: the order stays as given
};

struct TTransmissionOrder {
    bool FirstIsOlder = true;
    EOrderRule Rule = EOrderRule::None;
};

// Paths in the file system's bytes (UTF-8 on Windows). A file whose time
// cannot be read leaves that rule undecided.
TTransmissionOrder OrderOfTransmissions(const std::string& first, const std::string& second);

// The note for a user who gave the files the other way round, as the names'
// dates and times tell (the order given stays), with its line end; empty
// otherwise. UTF-8.
std::string ReversedOrderNote(const std::string& oldPath, const std::string& newPath);

// "nach Datum und Uhrzeit in den Dateinamen", ...: the rule as the window and
// the tool name it, UTF-8.
std::string OrderRuleText(EOrderRule rule);
