#include "Comparison.h"

#include "FieldLayout.h"
#include "Fields.h"
#include "FileNameCheck.h"
#include "InvestigationSource.h"
#include "TransferFileCheck.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

namespace {

constexpr int LabKeyField = 31;
constexpr int LabSampleField = 3;
constexpr int OfficeSampleField = 5;
constexpr int ParameterIdField = 44;
constexpr int ParameterTextField = 45;

using TMaster = std::array<std::string_view, FieldLayout::HeaderEntries>;
using TParameterFields = std::array<std::string_view, FieldLayout::ParameterEntries>;
using TKeyView = std::vector<std::pair<int, std::string_view>>;

// Fields 1 to upTo of an examination from its two header lines, trimmed;
// fields a line lacks stay empty.
void CutMaster(std::string_view header1, std::string_view header2, int upTo, TMaster& fields)
{
    fields.fill({});
    int n = 0;
    const int header1End = std::min(upTo, FieldLayout::Header1.FieldCount);
    ForEachField(header1, [&](std::string_view field) {
        if (n >= header1End)
            return false;
        fields[static_cast<std::size_t>(n++)] = field;
        return true;
    });
    if (upTo <= FieldLayout::Header1.FieldCount)
        return;
    n = FieldLayout::Header1.FieldCount;
    ForEachField(header2, [&](std::string_view field) {
        if (n >= FieldLayout::HeaderEntries)
            return false;
        fields[static_cast<std::size_t>(n++)] = field;
        return true;
    });
}

template <std::size_t N>
void CutLine(std::string_view line, std::array<std::string_view, N>& fields)
{
    fields.fill({});
    std::size_t n = 0;
    ForEachField(line, [&](std::string_view field) {
        if (n >= N)
            return false;
        fields[n++] = field;
        return true;
    });
}

class TKeyMaker {
public:
    explicit TKeyMaker(std::vector<int> fields)
        : FFields(std::move(fields)),
          FUpTo(FFields.empty() ? LabKeyField : *std::max_element(FFields.begin(), FFields.end()))
    {
    }

    void Make(std::string_view header1, std::string_view header2, TKeyView& key) const
    {
        CutMaster(header1, header2, FUpTo, FScratch);
        key.clear();
        if (FFields.empty()) {
            key.emplace_back(LabKeyField, Entry(LabKeyField));
            if (!Entry(LabSampleField).empty())
                key.emplace_back(LabSampleField, Entry(LabSampleField));
            else
                key.emplace_back(OfficeSampleField, Entry(OfficeSampleField));
            return;
        }
        for (const int field : FFields)
            key.emplace_back(field, Entry(field));
    }

    // Only a key with a field of header line 2 needs that line.
    bool NeedsHeader2() const { return FUpTo > FieldLayout::Header1.FieldCount; }

private:
    std::string_view Entry(int field) const { return FScratch[static_cast<std::size_t>(FieldLayout::Entry(field))]; }

    std::vector<int> FFields;
    int FUpTo;
    mutable TMaster FScratch;
};

// A key as one string: per field its number as a byte, its value and "|",
// which no value holds.
void SerializeKey(const TKeyView& key, std::string& out)
{
    out.clear();
    for (const auto& [field, value] : key) {
        out += static_cast<char>(field);
        out += value;
        out += '|';
    }
}

std::uint64_t HashKey(std::string_view key)
{
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const char c : key) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

TInvestigationKey KeyOf(const TKeyView& key)
{
    TInvestigationKey out;
    out.reserve(key.size());
    for (const auto& [field, value] : key)
        out.push_back({field, std::string(value)});
    return out;
}

// Hashes to numbers, for the keys of a whole file: one probe where a search
// through a sorted list would take a cache miss per step.
class THashIndex {
public:
    static constexpr std::uint32_t None = UINT32_MAX;

    explicit THashIndex(std::size_t count)
    {
        std::size_t capacity = 16;
        while (capacity < 2 * count)
            capacity *= 2;
        FSlots.assign(capacity, {0, None});
    }

    // The value of hash, or None.
    std::uint32_t Find(std::uint64_t hash) const
    {
        for (std::size_t i = Slot(hash);; i = (i + 1) & (FSlots.size() - 1)) {
            if (FSlots[i].Value == None || FSlots[i].Hash == hash)
                return FSlots[i].Value;
        }
    }
    // Sets the value of a hash not yet held; false when it is held.
    bool Insert(std::uint64_t hash, std::uint32_t value)
    {
        if (2 * (FCount + 1) > FSlots.size())
            Grow();
        for (std::size_t i = Slot(hash);; i = (i + 1) & (FSlots.size() - 1)) {
            if (FSlots[i].Value == None) {
                FSlots[i] = {hash, value};
                ++FCount;
                return true;
            }
            if (FSlots[i].Hash == hash)
                return false;
        }
    }

private:
    struct TSlot {
        std::uint64_t Hash;
        std::uint32_t Value;
    };
    std::size_t Slot(std::uint64_t hash) const { return static_cast<std::size_t>(hash >> 17 ^ hash) & (FSlots.size() - 1); }
    void Grow()
    {
        std::vector<TSlot> old(FSlots.size() * 2, TSlot{0, None});
        old.swap(FSlots);
        FCount = 0;
        for (const TSlot& slot : old)
            if (slot.Value != None)
                Insert(slot.Hash, slot.Value);
    }

    std::vector<TSlot> FSlots;
    std::size_t FCount = 0;
};

// The old file's examinations by key, each key kept as one string. Equal keys
// are taken in order of occurrence; a cursor per run of equal hashes skips
// those already taken.
class TOldKeys {
public:
    explicit TOldKeys(const TKeyMaker& keys) : FKeys(keys) { }

    // The key of examination index, in file order; an index already held
    // begins the keys anew from there.
    void Add(std::size_t index, std::string_view header1, std::string_view header2)
    {
        if (index < FSorted.size()) {
            FSorted.resize(index);
            FKeyBytes.resize(FKeyStart[index]);
            FKeyStart.resize(index);
        }
        FKeys.Make(header1, header2, FKey);
        SerializeKey(FKey, FText);
        FKeyStart.push_back(FKeyBytes.size());
        FKeyBytes.insert(FKeyBytes.end(), FText.begin(), FText.end());
        FSorted.push_back({HashKey(FText), static_cast<std::uint32_t>(index)});
    }

    // After the last Add: the keys sorted for the lookup.
    void Seal()
    {
        FKeyStart.push_back(FKeyBytes.size());
        FMatched.assign(FSorted.size(), 0);
        std::sort(FSorted.begin(), FSorted.end(),
                  [](const TEntry& a, const TEntry& b) { return a.Hash != b.Hash ? a.Hash < b.Hash : a.Index < b.Index; });
        FRuns = THashIndex(FSorted.size());
        FCursor.resize(FSorted.size());
        for (std::size_t j = 0; j < FSorted.size(); ++j) {
            FCursor[j] = static_cast<std::uint32_t>(j);
            if (j == 0 || FSorted[j].Hash != FSorted[j - 1].Hash)
                FRuns.Insert(FSorted[j].Hash, static_cast<std::uint32_t>(j));
        }
    }

    // The examination whose key, of those that occur more than once, comes first.
    std::optional<std::size_t> Repeated() const
    {
        std::optional<std::size_t> first;
        for (std::size_t j = 1; j < FSorted.size(); ++j) {
            const std::uint32_t a = FSorted[j - 1].Index;
            if (FSorted[j].Hash == FSorted[j - 1].Hash && Key(a) == Key(FSorted[j].Index) && (!first || a < *first))
                first = a;
        }
        return first;
    }

    // The first examination not yet taken with this key.
    std::optional<std::size_t> Take(std::string_view key, std::uint64_t hash)
    {
        const std::uint32_t run = FRuns.Find(hash);
        if (run == THashIndex::None)
            return std::nullopt;
        std::uint32_t& cursor = FCursor[run];
        while (cursor < FSorted.size() && FSorted[cursor].Hash == hash && FMatched[FSorted[cursor].Index])
            ++cursor;
        for (std::size_t j = cursor; j < FSorted.size() && FSorted[j].Hash == hash; ++j) {
            const std::uint32_t index = FSorted[j].Index;
            if (!FMatched[index] && Key(index) == key) {
                FMatched[index] = 1;
                return index;
            }
        }
        return std::nullopt;
    }

    bool Taken(std::size_t index) const { return FMatched[index] != 0; }

private:
    struct TEntry {
        std::uint64_t Hash;
        std::uint32_t Index;
    };
    std::string_view Key(std::size_t index) const
    {
        return {FKeyBytes.data() + FKeyStart[index], FKeyStart[index + 1] - FKeyStart[index]};
    }

    const TKeyMaker& FKeys;
    TKeyView FKey;
    std::string FText;
    std::vector<TEntry> FSorted;
    THashIndex FRuns{0}; // where each run of equal hashes begins in FSorted
    std::vector<std::uint32_t> FCursor; // per run start: the first entry maybe not taken
    std::vector<std::uint8_t> FMatched;
    std::vector<char> FKeyBytes;
    std::vector<std::size_t> FKeyStart;
};

struct TParameterRef {
    std::string_view Id;
    std::size_t Line; // index into the examination's lines
};

// The parameters of an examination in order of Param.-ID, repeated ids in file order.
void ParametersById(const TInvestigationText& investigation, std::vector<TParameterRef>& out)
{
    out.clear();
    for (std::size_t k = FieldLayout::HeaderLines; k < investigation.Lines.size(); ++k) {
        const std::string_view line = investigation.Lines[k];
        out.push_back({FieldOfLine(line, static_cast<std::size_t>(ParameterIdField - FieldLayout::Parameter.FirstField)), k});
    }
    std::stable_sort(out.begin(), out.end(), [](const TParameterRef& a, const TParameterRef& b) { return a.Id < b.Id; });
}

// Compares the examinations of both files as they come and keeps the differences.
class TComparer {
public:
    TComparer(const TIndexedFile& oldFile, const TKeyMaker& keys, TOldKeys& oldKeys, bool keepFields, TComparison& result)
        : FOld(oldFile),
          FKeys(keys),
          FOldKeys(oldKeys),
          FKeepFields(keepFields),
          FResult(result)
    {
        if (const std::optional<std::size_t> repeated = FOldKeys.Repeated())
            FResult.RepeatedKey = KeyOf(OldKey(*repeated));
    }

    void NewInvestigation(const TInvestigationText& investigation)
    {
        const std::string_view header2 = investigation.Lines.size() > 1 ? investigation.Lines[1] : std::string_view();
        FKeys.Make(investigation.Lines.front(), header2, FKey);
        SerializeKey(FKey, FKeyText);
        const std::uint64_t hash = HashKey(FKeyText);
        if (!FSeen.Insert(hash, 0) && !FResult.RepeatedKey)
            FResult.RepeatedKey = KeyOf(FKey);
        const std::optional<std::size_t> old = FOldKeys.Take(FKeyText, hash);
        if (!old) {
            TDifference& added = Add(EDifference::InvestigationAdded, FKey);
            added.NewLine = added.NewInvestigationLine = investigation.FirstLine;
            ++FResult.Added;
            Keep(nullptr, &investigation);
            return;
        }
        // Most examinations are the same byte for byte: no need to cut them.
        if (FOld.Bytes(*old) == investigation.Bytes()) {
            ++FResult.Same;
            return;
        }
        const TInvestigationText before = FOld.Investigation(*old, FOldLines);
        if (!ComparePair(before, investigation)) {
            ++FResult.Same;
            return;
        }
        ++FResult.Changed;
        Keep(&before, &investigation);
    }

    // The old file's examinations that no new one took, in their order.
    void Finish()
    {
        for (std::size_t i = 0; i < FOld.Count(); ++i) {
            if (FOldKeys.Taken(i))
                continue;
            TDifference& removed = Add(EDifference::InvestigationRemoved, OldKey(i));
            removed.OldLine = removed.OldInvestigationLine = FOld.FirstLine(i);
            ++FResult.Removed;
            if (FKeepFields) {
                const TInvestigationText before = FOld.Investigation(i, FOldLines);
                Keep(&before, nullptr);
            }
        }
    }

private:
    // The master fields of a pair, or of one side, for a workbook.
    void Keep(const TInvestigationText* before, const TInvestigationText* after)
    {
        if (!FKeepFields)
            return;
        TInvestigationFields& kept = FResult.Investigations.emplace_back();
        kept.Key = FResult.Differences.back().Key;
        const auto fields = [this](const TInvestigationText& inv, std::vector<std::string>& out) {
            CutMaster(inv.Lines[0], inv.Lines.size() > 1 ? inv.Lines[1] : std::string_view(), FieldLayout::HeaderEntries, FOldMaster);
            out.assign(FOldMaster.begin(), FOldMaster.end());
        };
        if (before) {
            kept.OldLine = before->FirstLine;
            fields(*before, kept.Old);
        }
        if (after) {
            kept.NewLine = after->FirstLine;
            fields(*after, kept.New);
        }
    }

    const TKeyView& OldKey(std::size_t i)
    {
        FKeys.Make(FOld.Header1(i), FOld.Header2(i), FOldKey);
        return FOldKey;
    }

    TDifference& Add(EDifference kind, const TKeyView& key)
    {
        TDifference& d = FResult.Differences.emplace_back();
        d.Kind = kind;
        d.Key = KeyOf(key);
        return d;
    }

    TDifference& AddInPair(EDifference kind, const TInvestigationText& before, const TInvestigationText& after)
    {
        TDifference& d = Add(kind, FKey);
        d.OldInvestigationLine = before.FirstLine;
        d.NewInvestigationLine = after.FirstLine;
        return d;
    }

    // True when the pair differs in a field or a parameter.
    bool ComparePair(const TInvestigationText& before, const TInvestigationText& after)
    {
        const std::size_t differences = FResult.Differences.size();
        const auto header = [](const TInvestigationText& inv, std::size_t k) {
            return k < inv.Lines.size() ? inv.Lines[k] : std::string_view();
        };
        CutMaster(header(before, 0), header(before, 1), FieldLayout::HeaderEntries, FOldMaster);
        CutMaster(header(after, 0), header(after, 1), FieldLayout::HeaderEntries, FNewMaster);
        for (std::size_t entry = 0; entry < FOldMaster.size(); ++entry) {
            if (FOldMaster[entry] == FNewMaster[entry])
                continue;
            const std::size_t line = entry < static_cast<std::size_t>(FieldLayout::Header1.FieldCount) ? 0 : 1;
            TDifference& d = AddInPair(EDifference::FieldChanged, before, after);
            d.OldLine = before.LineOf(line);
            d.NewLine = after.LineOf(line);
            d.Field = static_cast<int>(entry) + 1;
            d.Old = FOldMaster[entry];
            d.New = FNewMaster[entry];
        }
        CompareParameters(before, after);
        return FResult.Differences.size() > differences;
    }

    void CompareParameters(const TInvestigationText& before, const TInvestigationText& after)
    {
        ParametersById(before, FOldParameters);
        ParametersById(after, FNewParameters);
        std::size_t i = 0, j = 0;
        while (i < FOldParameters.size() || j < FNewParameters.size()) {
            if (j == FNewParameters.size() || (i < FOldParameters.size() && FOldParameters[i].Id < FNewParameters[j].Id)) {
                OneSided(EDifference::ParameterRemoved, before, after, FOldParameters[i++]);
            } else if (i == FOldParameters.size() || FNewParameters[j].Id < FOldParameters[i].Id) {
                OneSided(EDifference::ParameterAdded, before, after, FNewParameters[j++]);
            } else {
                CompareParameter(before, after, FOldParameters[i++], FNewParameters[j++]);
            }
        }
    }

    void OneSided(EDifference kind, const TInvestigationText& before, const TInvestigationText& after, const TParameterRef& parameter)
    {
        const TInvestigationText& side = kind == EDifference::ParameterRemoved ? before : after;
        CutLine(side.Lines[parameter.Line], FOldParameter);
        TDifference& d = AddInPair(kind, before, after);
        (kind == EDifference::ParameterRemoved ? d.OldLine : d.NewLine) = side.LineOf(parameter.Line);
        SetParameter(d, FOldParameter);
    }

    void CompareParameter(const TInvestigationText& before, const TInvestigationText& after, const TParameterRef& a,
                          const TParameterRef& b)
    {
        if (before.Lines[a.Line] == after.Lines[b.Line])
            return;
        CutLine(before.Lines[a.Line], FOldParameter);
        CutLine(after.Lines[b.Line], FNewParameter);
        for (std::size_t entry = 0; entry < FOldParameter.size(); ++entry) {
            if (FOldParameter[entry] == FNewParameter[entry])
                continue;
            TDifference& d = AddInPair(EDifference::FieldChanged, before, after);
            d.OldLine = before.LineOf(a.Line);
            d.NewLine = after.LineOf(b.Line);
            d.Field = FieldLayout::Parameter.FirstField + static_cast<int>(entry);
            d.Old = FOldParameter[entry];
            d.New = FNewParameter[entry];
            SetParameter(d, FNewParameter);
        }
    }

    static void SetParameter(TDifference& d, const TParameterFields& fields)
    {
        d.IsParameter = true;
        d.ParameterId = fields[ParameterEntry(ParameterIdField)];
        d.ParameterText = fields[ParameterEntry(ParameterTextField)];
    }
    static std::size_t ParameterEntry(int field) { return static_cast<std::size_t>(field - FieldLayout::Parameter.FirstField); }

    const TIndexedFile& FOld;
    const TKeyMaker& FKeys;
    TOldKeys& FOldKeys;
    bool FKeepFields;
    TComparison& FResult;
    TKeyView FKey, FOldKey;
    std::string FKeyText;
    THashIndex FSeen{0}; // hashes of the new file's keys
    std::vector<std::string_view> FOldLines;
    TMaster FOldMaster, FNewMaster;
    std::vector<TParameterRef> FOldParameters, FNewParameters;
    TParameterFields FOldParameter, FNewParameter;
};

// Runs side on a thread of its own while here runs on this one; here returns
// whether side's work is still wanted, else side is asked to stop. Without a
// thread to be had, side runs afterwards, when wanted.
template <class FSide, class FHere>
void Beside(FSide&& side, FHere&& here)
{
    std::exception_ptr sideError;
    std::optional<std::jthread> thread;
    try {
        thread.emplace([&](std::stop_token stop) {
            try {
                side(stop);
            } catch (...) {
                sideError = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
    }
    const bool wanted = here();
    if (!thread) {
        if (wanted)
            side(std::stop_token());
        return;
    }
    if (!wanted)
        thread->request_stop();
    thread->join();
    if (wanted && sideError)
        std::rethrow_exception(sideError);
}

// The comparison checks files as the viewer does, which sets the process-wide
// interface kind; the window that asked keeps its own.
class TKeepInterfaceKind {
public:
    TKeepInterfaceKind() : FKind(InterfaceKind) { }
    ~TKeepInterfaceKind() { InterfaceKind = FKind; }
    TKeepInterfaceKind(const TKeepInterfaceKind&) = delete;
    TKeepInterfaceKind& operator=(const TKeepInterfaceKind&) = delete;

private:
    std::int32_t FKind;
};

} // namespace

TComparison CompareTransferFiles(const std::string& oldPath, const std::string& newPath, const TCompareOptions& options)
{
    const TKeepInterfaceKind keep;
    TComparison result;
    // Each file is checked while the other side of the work reads: the old
    // file is loaded beside its check, the new one compared beside its check.
    TIndexedFile oldFile;
    const TKeyMaker keys(options.KeyFields);
    TOldKeys oldKeys(keys);
    Beside(
        [&](std::stop_token stop) {
            oldFile.Load(oldPath, stop, [&](std::size_t index, std::string_view header1, std::string_view header2) {
                oldKeys.Add(index, header1, header2);
            });
            oldKeys.Seal();
        },
        [&] {
            CheckTransferFile(oldPath, result.OldCheck);
            return result.OldCheck.MessageCount == 0;
        });
    if (result.OldCheck.MessageCount > 0) {
        CheckTransferFile(newPath, result.NewCheck);
        return result;
    }
    TComparison compared;
    TComparer comparer(oldFile, keys, oldKeys, options.KeepFields, compared);
    Beside(
        [&](std::stop_token stop) {
            StreamInvestigations(
                newPath, [&](const TInvestigationText& inv) { comparer.NewInvestigation(inv); }, stop);
        },
        [&] {
            CheckTransferFile(newPath, result.NewCheck);
            return result.NewCheck.MessageCount == 0;
        });
    if (result.NewCheck.MessageCount > 0)
        return result;
    comparer.Finish();
    compared.OldCheck = std::move(result.OldCheck);
    compared.NewCheck = std::move(result.NewCheck);
    compared.Compared = true;
    return compared;
}

TComparison CompareTransferFiles(const std::string& oldPath, const std::string& newPath, const TCompareOptions& options,
                                 TDifferenceSink& sink)
{
    TComparison result = CompareTransferFiles(oldPath, newPath, options);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < result.Differences.size(); ++i) {
        sink.Difference(result.Differences[i]);
        const bool last = i + 1 == result.Differences.size() || result.Differences[i + 1].Key != result.Differences[i].Key ||
                          result.Differences[i + 1].NewInvestigationLine != result.Differences[i].NewInvestigationLine ||
                          result.Differences[i + 1].OldInvestigationLine != result.Differences[i].OldInvestigationLine;
        if (last && kept < result.Investigations.size())
            sink.Investigation(result.Investigations[kept++]);
    }
    result.Differences.clear();
    result.Investigations.clear();
    return result;
}
