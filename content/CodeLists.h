#pragma once

#include "CodeList.h"
#include "ListChecks.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

// The code lists of one folder, each named after the field it judges
// ("Feld24.txt", matched without regard to case). A list that is absent
// means its checks do not run; the rules that need no list run always.
class TCodeLists {
public:
    // No lists at all.
    TCodeLists() = default;

    // Reads every list of folder (UTF-8 on Windows, the system's bytes on
    // Linux); other files are left alone. Throws ECodeListError when the
    // folder or a list cannot be read, a list has a malformed line, or two
    // files name the same list.
    static TCodeLists Load(const std::string& folder);

    // The folder the lists came from; empty when none was read.
    const std::string& Folder() const { return FFolder; }

    // The list of field, nullptr when it is absent.
    const TCodeList* Find(int field) const;

    // Puts the list of field in place: for lists built from bytes.
    void Set(int field, TCodeList list);

    // The checks that did not run for want of their list, by field.
    std::vector<const TListCheck*> Missing() const;

private:
    static constexpr int Fields = 56;
    std::string FFolder;
    std::array<std::shared_ptr<const TCodeList>, Fields> FLists{};
};
