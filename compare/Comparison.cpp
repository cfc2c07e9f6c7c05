#include "Comparison.h"

#include "ByteScan.h"
#include "FieldLayout.h"
#include "Fields.h"
#include "FileNameCheck.h"
#include "InvestigationIndex.h"
#include "InvestigationText.h"
#include "TransferFileCheck.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <numeric>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>

namespace {

constexpr int LabKeyField = 31;
constexpr int LabSampleField = 3;
constexpr int OfficeSampleField = 5;
constexpr int ParameterIdField = 44;
constexpr int ParameterTextField = 45;
constexpr int SamplingPointField = 16;
constexpr int SamplingTimeField = 22;

using TMaster = std::array<std::string_view, FieldLayout::HeaderEntries>;
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

// The key's fields of an examination's cut master fields.
class TKeyMaker {
public:
    explicit TKeyMaker(std::vector<int> fields)
        : FFields(std::move(fields)),
          FUpTo(FFields.empty() ? LabKeyField : *std::max_element(FFields.begin(), FFields.end()))
    {
    }

    // The last field the key, and with the default key the place, needs.
    int UpTo() const { return FUpTo; }

    void Make(const TMaster& master, TKeyView& key) const
    {
        const auto entry = [&master](int field) { return master[static_cast<std::size_t>(FieldLayout::Entry(field))]; };
        key.clear();
        if (FFields.empty()) {
            key.emplace_back(LabKeyField, entry(LabKeyField));
            if (!entry(LabSampleField).empty())
                key.emplace_back(LabSampleField, entry(LabSampleField));
            else
                key.emplace_back(OfficeSampleField, entry(OfficeSampleField));
            return;
        }
        for (const int field : FFields)
            key.emplace_back(field, entry(field));
    }

    bool IsDefault() const { return FFields.empty(); }

private:
    std::vector<int> FFields;
    int FUpTo;
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

TInvestigationKey KeyOf(std::string_view serialized)
{
    TInvestigationKey key;
    while (!serialized.empty()) {
        const std::size_t bar = serialized.find('|');
        key.push_back({static_cast<unsigned char>(serialized[0]), std::string(serialized.substr(1, bar - 1))});
        serialized.remove_prefix(bar + 1);
    }
    return key;
}

std::uint64_t HashBytes(std::string_view key)
{
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const char c : key) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ull; // splitmix64
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

std::uint64_t Load8(const char* p, std::size_t n)
{
    // Byte k of the text is byte k of the number, counted from its low end.
    std::uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&word, p, n);
    } else {
        for (std::size_t k = 0; k < n; ++k)
            word |= std::uint64_t(static_cast<unsigned char>(p[k])) << (8 * k);
    }
    return word;
}

// A quick hash of bytes, eight at a time in two lanes, so that the
// multiplications need not wait for each other.
class TQuickHash {
public:
    explicit TQuickHash(std::size_t size) : FA(Mix(size)) { }
    MORVASK_ALWAYS_INLINE void Add(std::uint64_t a, std::uint64_t b)
    {
        FA = Step(FA, a);
        FB = Step(FB, b);
    }
    std::uint64_t Value() const { return Mix(FA ^ Mix(FB)); }

private:
    static std::uint64_t Step(std::uint64_t hash, std::uint64_t word)
    {
        hash = (hash ^ word) * 0x9e3779b97f4a7c15ull;
        return hash ^ (hash >> 29);
    }
    std::uint64_t FA;
    std::uint64_t FB = 0x243f6a8885a308d3ull;
};

// The hash of bytes as LineHash takes them.
std::uint64_t HashLine(std::string_view bytes)
{
    const std::size_t n = bytes.size();
    TQuickHash hash(n);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16)
        hash.Add(Load8(bytes.data() + i, 8), Load8(bytes.data() + i + 8, 8));
    if (i < n) {
        const std::size_t left = n - i;
        hash.Add(Load8(bytes.data() + i, std::min<std::size_t>(8, left)), left > 8 ? Load8(bytes.data() + i + 8, left - 8) : 0);
    }
    return hash.Value();
}

// Whether any byte of the words is 32 or less beside a "|", across words too:
// masks of the high bit of each byte.
class TBlankBesideBar {
public:
    MORVASK_ALWAYS_INLINE bool Found(std::uint64_t word)
    {
        constexpr std::uint64_t Low7 = 0x7f7f7f7f7f7f7f7full, High = 0x8080808080808080ull, Bars = 0x7c7c7c7c7c7c7c7cull;
        const std::uint64_t blank = ~(((word & Low7) + 0x5f5f5f5f5f5f5f5full) | word) & High; // 32 or less
        const std::uint64_t x = word ^ Bars;
        const std::uint64_t bar = ~(((x & Low7) + Low7) | x) & High; // "|"
        const bool found = (blank & ((bar << 8) | (bar >> 8) | FPreviousBar)) != 0 || (FPreviousBlank & bar) != 0;
        FPreviousBlank = blank >> 56;
        FPreviousBar = bar >> 56;
        return found;
    }

private:
    std::uint64_t FPreviousBlank = 0, FPreviousBar = 0; // of the byte before the word, in byte 0
};

// A line's trimmed fields, each followed by "|", hashed: the same for lines
// whose fields are the same. Most lines end with "|" and have nothing to trim
// (no byte of 32 or less begins them or stands beside a "|"): they are
// hashed as they stand, in the pass that looks for such bytes.
std::uint64_t LineHash(std::string_view line, std::string& scratch)
{
    const std::size_t n = line.size();
    if (n > 0 && line.back() == FieldSeparator && !IsTrimmed(line.front())) {
        TQuickHash hash(n);
        TBlankBesideBar blanks;
        bool found = false;
        std::size_t i = 0;
        for (; i + 16 <= n && !found; i += 16) {
            const std::uint64_t a = Load8(line.data() + i, 8), b = Load8(line.data() + i + 8, 8);
            found = blanks.Found(a);
            found = blanks.Found(b) || found;
            hash.Add(a, b);
        }
        if (!found && i < n) {
            // The rest, padded with zeros for the hash and with "x" (neither
            // blank nor "|") for the search.
            const std::size_t left = n - i;
            const std::uint64_t a = Load8(line.data() + i, std::min<std::size_t>(8, left));
            const std::uint64_t b = left > 8 ? Load8(line.data() + i + 8, left - 8) : 0;
            const auto padded = [](std::uint64_t word, std::size_t bytes) {
                return bytes >= 8 ? word : word | (0x7878787878787878ull << (8 * bytes));
            };
            found = blanks.Found(padded(a, std::min<std::size_t>(8, left)));
            if (left > 8)
                found = found || blanks.Found(padded(b, left - 8));
            hash.Add(a, b);
        }
        if (!found)
            return hash.Value();
    }
    scratch.clear();
    ForEachField(line, [&](std::string_view field) {
        scratch += field;
        scratch += FieldSeparator;
    });
    return HashLine(scratch);
}

std::string_view LineOf(const TInvestigationText& inv, std::size_t k) { return k < inv.Lines.size() ? inv.Lines[k] : std::string_view(); }

void CutMaster(const TInvestigationText& inv, TMaster& master)
{
    CutMaster(LineOf(inv, 0), LineOf(inv, 1), FieldLayout::HeaderEntries, master);
}

std::size_t ParameterEntry(int field) { return static_cast<std::size_t>(field - FieldLayout::Parameter.FirstField); }

constexpr std::uint32_t Unpaired = UINT32_MAX;
constexpr auto Bound = static_cast<std::size_t>(PairingBound);

// Pairs old with new, greedily by the fewest differences; ties by old order,
// then new order. old and new are positions in their files' order.
template <class FDistance>
void PairByDifferences(const std::vector<std::uint32_t>& olds, const std::vector<std::uint32_t>& news, FDistance&& distance,
                       std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs)
{
    struct TCandidate {
        std::size_t Distance;
        std::uint32_t Old, New;
    };
    std::vector<TCandidate> candidates;
    candidates.reserve(olds.size() * news.size());
    for (std::size_t a = 0; a < olds.size(); ++a)
        for (std::size_t b = 0; b < news.size(); ++b)
            candidates.push_back({distance(a, b), static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b)});
    std::sort(candidates.begin(), candidates.end(), [](const TCandidate& x, const TCandidate& y) {
        return std::tie(x.Distance, x.Old, x.New) < std::tie(y.Distance, y.Old, y.New);
    });
    std::vector<std::uint8_t> oldTaken(olds.size()), newTaken(news.size());
    for (const TCandidate& c : candidates) {
        if (oldTaken[c.Old] || newTaken[c.New])
            continue;
        oldTaken[c.Old] = newTaken[c.New] = 1;
        pairs.emplace_back(olds[c.Old], news[c.New]);
    }
}

// Walks two lists sorted by a grouping, calling group(olds, news) for each
// group that both or either hold; same(a, b) says whether an old and a new
// element are of one group, less(a, b) which group comes first.
template <class FLess, class FSameOld, class FSameNew, class FGroup>
void ForEachGroup(const std::vector<std::uint32_t>& olds, const std::vector<std::uint32_t>& news, FLess&& less, FSameOld&& sameOld,
                  FSameNew&& sameNew, FGroup&& group)
{
    std::vector<std::uint32_t> a, b;
    std::size_t i = 0, j = 0;
    while (i < olds.size() || j < news.size()) {
        a.clear();
        b.clear();
        if (j == news.size() || (i < olds.size() && less(olds[i], news[j]) <= 0)) {
            const bool both = j < news.size() && less(olds[i], news[j]) == 0;
            const std::uint32_t first = olds[i];
            while (i < olds.size() && sameOld(first, olds[i]))
                a.push_back(olds[i++]);
            if (both) {
                const std::uint32_t firstNew = news[j];
                while (j < news.size() && sameNew(firstNew, news[j]))
                    b.push_back(news[j++]);
            }
        } else {
            const std::uint32_t first = news[j];
            while (j < news.size() && sameNew(first, news[j]))
                b.push_back(news[j++]);
        }
        group(a, b);
    }
}

// Pairs in order of occurrence: the first of each side together, and so on.
void PairInOrder(const std::vector<std::uint32_t>& olds, const std::vector<std::uint32_t>& news,
                 std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs)
{
    for (std::size_t k = 0; k < std::min(olds.size(), news.size()); ++k)
        pairs.emplace_back(olds[k], news[k]);
}

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

// Runs first and second at once, on two threads where a second can be had.
template <class FFirst, class FSecond>
void BothAtOnce(FFirst&& first, FSecond&& second)
{
    Beside([&](std::stop_token) { second(); },
           [&] {
               first();
               return true;
           });
}

// One file's examinations, read through the one index under the viewer's
// rules, so that they are the window's examinations, with what the pairing
// needs of each: its key as bytes and its hashes. The file passed its check;
// the guard holds it to that.
class TFileIndex : public TInvestigationIndex {
public:
    struct TFacts {
        std::uint64_t KeyHash = 0;
        // Of the examination's bytes, from header line 1 to the end of its last line.
        std::uint64_t ContentHash = 0;
        // Of fields 31, 16 and 22 where 16 and 22 are filled; 0 otherwise.
        std::uint64_t PlaceHash = 0;
        // A Param.-ID occurs more often than its parameters are paired by
        // their differences.
        bool ManyOfOneId = false;
    };
    using TDescribe = std::function<void(const TInvestigationText&, std::string& key, TFacts&)>;

    void Build(const std::string& path, const TDescribe& describe, std::stop_token stop)
    {
        std::string key;
        TOptions options{BlockRules::Viewer, false, true};
        options.KeepFirstEntries = false;
        TInvestigationIndex::Build(
            path, options,
            [&](std::size_t, const TInvestigationText& inv) {
                describe(inv, key, FFacts.emplace_back());
                FKeyBytes.insert(FKeyBytes.end(), key.begin(), key.end());
                FKeyStart.push_back(FKeyBytes.size());
            },
            stop);
    }

    const TFacts& Facts(std::size_t i) const { return FFacts[i]; }
    std::string_view Key(std::size_t i) const { return {FKeyBytes.data() + FKeyStart[i], FKeyStart[i + 1] - FKeyStart[i]}; }

private:
    std::vector<TFacts> FFacts;
    std::vector<char> FKeyBytes;
    std::vector<std::size_t> FKeyStart{0};
};

// Which old examination goes with which new one, as a person pairs them.
class TPairing {
public:
    TPairing(const TFileIndex& oldIndex, const TFileIndex& newIndex, bool byPlace, TComparison& result)
        : FOld(oldIndex),
          FNew(newIndex),
          FResult(result),
          NewOfOld(oldIndex.Count(), Unpaired),
          OldOfNew(newIndex.Count(), Unpaired),
          Same(newIndex.Count(), 0)
    {
        PairSame();
        PairByKey();
        if (byPlace)
            PairByPlace();
        for (std::size_t j = 0; j < OldOfNew.size(); ++j) {
            if (OldOfNew[j] == Unpaired)
                ++FResult.Added;
            else if (Same[j])
                ++FResult.Same;
            else
                ++FResult.Changed;
        }
        FResult.Removed = static_cast<std::int64_t>(std::count(NewOfOld.begin(), NewOfOld.end(), Unpaired));
    }

private:
    const TFileIndex& FOld;
    const TFileIndex& FNew;
    TComparison& FResult;

public:
    std::vector<std::uint32_t> NewOfOld, OldOfNew;
    std::vector<std::uint8_t> Same; // per new examination: paired with one that is the same

private:
    void Pair(std::uint32_t i, std::uint32_t j)
    {
        NewOfOld[i] = j;
        OldOfNew[j] = i;
    }
    void Pair(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs)
    {
        for (const auto& [i, j] : pairs)
            Pair(i, j);
    }

    // The unpaired examinations of a file, sorted by a hash of theirs, then
    // (where hashes are equal) their key, then their order.
    template <class FHash>
    static std::vector<std::uint32_t> SortedBy(const TFileIndex& index, const std::vector<std::uint32_t>& partner, FHash&& hash)
    {
        std::vector<std::pair<std::uint64_t, std::uint32_t>> sorted;
        sorted.reserve(index.Count());
        for (std::size_t i = 0; i < index.Count(); ++i)
            if (partner[i] == Unpaired)
                sorted.emplace_back(hash(i), static_cast<std::uint32_t>(i));
        std::sort(sorted.begin(), sorted.end());
        std::vector<std::uint32_t> out;
        out.reserve(sorted.size());
        for (const auto& [h, i] : sorted)
            out.push_back(i);
        for (std::size_t run = 0, end = 0; run < sorted.size(); run = end) {
            for (end = run + 1; end < sorted.size() && sorted[end].first == sorted[run].first;)
                ++end;
            if (end - run > 1)
                std::stable_sort(out.begin() + static_cast<std::ptrdiff_t>(run), out.begin() + static_cast<std::ptrdiff_t>(end),
                                 [&index](std::uint32_t a, std::uint32_t b) { return index.Key(a) < index.Key(b); });
        }
        return out;
    }

    // Examinations that are the same pair first, wherever they stand.
    void PairSame()
    {
        // Byte for byte first: most of a re-send is.
        const auto bytes = [](const TFileIndex& index) {
            return [&index](std::size_t i) { return index.Facts(i).ContentHash; };
        };
        PairSameBy(bytes(FOld), bytes(FNew));
        // The rest by their fields, trimmed, the parameters in any order.
        std::vector<std::uint64_t> oldFields(FOld.Count()), newFields(FNew.Count());
        BothAtOnce([&] { FieldsHashes(FOld, NewOfOld, oldFields); }, [&] { FieldsHashes(FNew, OldOfNew, newFields); });
        PairSameBy([&](std::size_t i) { return oldFields[i]; }, [&](std::size_t j) { return newFields[j]; });
        for (std::size_t j = 0; j < OldOfNew.size(); ++j)
            Same[j] = OldOfNew[j] != Unpaired;
    }

    template <class FOldHash, class FNewHash>
    void PairSameBy(FOldHash&& oldHash, FNewHash&& newHash)
    {
        std::vector<std::uint32_t> olds, news;
        BothAtOnce([&] { olds = SortedBy(FOld, NewOfOld, oldHash); }, [&] { news = SortedBy(FNew, OldOfNew, newHash); });
        std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
        ForEachGroup(
            olds, news, [&](std::uint32_t i, std::uint32_t j) { return Order(oldHash(i), newHash(j), FOld.Key(i), FNew.Key(j)); },
            [&](std::uint32_t a, std::uint32_t b) { return oldHash(a) == oldHash(b) && FOld.Key(a) == FOld.Key(b); },
            [&](std::uint32_t a, std::uint32_t b) { return newHash(a) == newHash(b) && FNew.Key(a) == FNew.Key(b); },
            [&](const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) { PairInOrder(a, b, pairs); });
        Pair(pairs);
    }

    // The hash of the fields of each examination still unpaired, read back in file order.
    static void FieldsHashes(const TFileIndex& index, const std::vector<std::uint32_t>& partner, std::vector<std::uint64_t>& out)
    {
        TInvestigationIndex::TReader reader(index, std::size_t(1) << 20);
        std::string scratch;
        for (std::size_t i = 0; i < index.Count(); ++i) {
            if (partner[i] != Unpaired)
                continue;
            const TInvestigationText inv = reader.Investigation(i);
            std::uint64_t parameters = 0;
            for (std::size_t k = FieldLayout::HeaderLines; k < inv.Lines.size(); ++k)
                parameters += Mix(LineHash(inv.Lines[k], scratch));
            const std::uint64_t header = Mix(LineHash(LineOf(inv, 0), scratch)) ^ LineHash(LineOf(inv, 1), scratch);
            out[i] = Mix(header ^ Mix(parameters + inv.Lines.size()));
        }
    }

    static int Order(std::uint64_t a, std::uint64_t b, std::string_view keyA, std::string_view keyB)
    {
        if (a != b)
            return a < b ? -1 : 1;
        return keyA.compare(keyB) < 0 ? -1 : keyA == keyB ? 0
                                                          : 1;
    }

    // Among the rest, those that share a key, by their fewest differences.
    void PairByKey()
    {
        // Over all examinations, for the note on repeated keys.
        const std::vector<std::uint32_t> noneOld(FOld.Count(), Unpaired), noneNew(FNew.Count(), Unpaired);
        std::vector<std::uint32_t> olds, news;
        BothAtOnce([&] { olds = SortedBy(FOld, noneOld, [this](std::size_t i) { return FOld.Facts(i).KeyHash; }); },
                   [&] { news = SortedBy(FNew, noneNew, [this](std::size_t j) { return FNew.Facts(j).KeyHash; }); });
        std::optional<std::pair<std::uint32_t, std::uint32_t>> repeated, bounded; // (file, position) of the first
        TInvestigationIndex::TReader oldReader(FOld, std::size_t(1) << 16), newReader(FNew, std::size_t(1) << 16);
        std::vector<std::uint32_t> a, b;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
        ForEachGroup(
            olds, news,
            [&](std::uint32_t i, std::uint32_t j) { return Order(FOld.Facts(i).KeyHash, FNew.Facts(j).KeyHash, FOld.Key(i), FNew.Key(j)); },
            [&](std::uint32_t x, std::uint32_t y) { return FOld.Facts(x).KeyHash == FOld.Facts(y).KeyHash && FOld.Key(x) == FOld.Key(y); },
            [&](std::uint32_t x, std::uint32_t y) { return FNew.Facts(x).KeyHash == FNew.Facts(y).KeyHash && FNew.Key(x) == FNew.Key(y); },
            [&](const std::vector<std::uint32_t>& allOld, const std::vector<std::uint32_t>& allNew) {
                const auto first = [&]() -> std::pair<std::uint32_t, std::uint32_t> {
                    return allOld.size() > 1 ? std::pair{0u, allOld.front()} : std::pair{1u, allNew.front()};
                };
                if (allOld.size() > 1 || allNew.size() > 1) {
                    if (!repeated || first() < *repeated) {
                        repeated = first();
                    }
                }
                a.clear();
                b.clear();
                for (const std::uint32_t i : allOld)
                    if (NewOfOld[i] == Unpaired)
                        a.push_back(i);
                for (const std::uint32_t j : allNew)
                    if (OldOfNew[j] == Unpaired)
                        b.push_back(j);
                if (a.empty() || b.empty())
                    return;
                pairs.clear();
                if (a.size() == 1 && b.size() == 1) {
                    pairs.emplace_back(a[0], b[0]);
                } else if (a.size() > Bound || b.size() > Bound) {
                    if (!bounded || first() < *bounded)
                        bounded = first();
                    PairInOrder(a, b, pairs);
                } else {
                    PairGroup(a, b, oldReader, newReader, pairs);
                }
                Pair(pairs);
            });
        const auto keyOf = [&](const std::pair<std::uint32_t, std::uint32_t>& at) {
            return KeyOf(at.first == 0 ? FOld.Key(at.second) : FNew.Key(at.second));
        };
        if (repeated)
            FResult.RepeatedKey = keyOf(*repeated);
        if (bounded)
            FResult.BoundedKey = keyOf(*bounded);
    }

    // What the distance between two examinations needs: their master fields
    // and their parameters' hashes, sorted.
    struct TCandidate {
        std::vector<std::string> Master;
        std::vector<std::uint64_t> Parameters;
    };
    static TCandidate Candidate(const TInvestigationText& inv)
    {
        TCandidate c;
        TMaster master;
        CutMaster(inv, master);
        c.Master.assign(master.begin(), master.end());
        std::string scratch;
        for (std::size_t k = FieldLayout::HeaderLines; k < inv.Lines.size(); ++k)
            c.Parameters.push_back(LineHash(inv.Lines[k], scratch));
        std::sort(c.Parameters.begin(), c.Parameters.end());
        return c;
    }

    static void PairGroup(const std::vector<std::uint32_t>& olds, const std::vector<std::uint32_t>& news, TInvestigationIndex::TReader& oldReader,
                          TInvestigationIndex::TReader& newReader, std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs)
    {
        std::vector<TCandidate> a, b;
        for (const std::uint32_t i : olds)
            a.push_back(Candidate(oldReader.Investigation(i)));
        for (const std::uint32_t j : news)
            b.push_back(Candidate(newReader.Investigation(j)));
        PairByDifferences(
            olds, news,
            [&](std::size_t x, std::size_t y) {
                std::size_t fields = 0;
                for (std::size_t e = 0; e < a[x].Master.size(); ++e)
                    fields += a[x].Master[e] != b[y].Master[e];
                // Parameters that are not the same on both sides.
                const std::vector<std::uint64_t>&p = a[x].Parameters, &q = b[y].Parameters;
                std::size_t same = 0;
                for (std::size_t u = 0, v = 0; u < p.size() && v < q.size();) {
                    if (p[u] < q[v])
                        ++u;
                    else if (q[v] < p[u])
                        ++v;
                    else
                        ++same, ++u, ++v;
                }
                return fields + std::max(p.size(), q.size()) - same;
            },
            pairs);
    }

    // With the default key: an examination whose key was filled in or corrected.
    void PairByPlace()
    {
        const auto place = [](const TFileIndex::TFacts& e) { return e.PlaceHash; };
        const auto olds = SortedByPlace(FOld, NewOfOld), news = SortedByPlace(FNew, OldOfNew);
        std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
        ForEachGroup(
            olds, news,
            [&](std::uint32_t i, std::uint32_t j) {
                const std::uint64_t x = place(FOld.Facts(i)), y = place(FNew.Facts(j));
                return x == y ? 0 : x < y ? -1
                                          : 1;
            },
            [&](std::uint32_t x, std::uint32_t y) { return place(FOld.Facts(x)) == place(FOld.Facts(y)); },
            [&](std::uint32_t x, std::uint32_t y) { return place(FNew.Facts(x)) == place(FNew.Facts(y)); },
            [&](const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) { PairInOrder(a, b, pairs); });
        Pair(pairs);
    }

    static std::vector<std::uint32_t> SortedByPlace(const TFileIndex& index, const std::vector<std::uint32_t>& partner)
    {
        std::vector<std::uint32_t> out;
        for (std::size_t i = 0; i < index.Count(); ++i)
            if (partner[i] == Unpaired && index.Facts(i).PlaceHash != 0)
                out.push_back(static_cast<std::uint32_t>(i));
        std::sort(out.begin(), out.end(), [&](std::uint32_t a, std::uint32_t b) {
            return std::pair{index.Facts(a).PlaceHash, a} < std::pair{index.Facts(b).PlaceHash, b};
        });
        return out;
    }
};

struct TParameterRef {
    std::string_view Id;
    std::size_t Line; // index into the examination's lines
    std::uint64_t Hash;
};

// Compares paired examinations and tells the sink what differs.
class TComparer {
public:
    TComparer(TDifferenceSink& sink, bool keepFields) : FSink(sink),
                                                        FKeepFields(keepFields) { }

    // The examination of one file only.
    void OneSided(EDifference kind, const TInvestigationText& inv, std::string_view key)
    {
        const bool added = kind == EDifference::InvestigationAdded;
        TMaster& master = added ? FNewMaster : FOldMaster;
        CutMaster(inv, master);
        FBase = TDifference();
        FBase.Key = KeyOf(key);
        SetPlace(master);
        TDifference d = FBase;
        d.Kind = kind;
        (added ? d.NewLine : d.OldLine) = inv.FirstLine;
        (added ? d.NewInvestigationLine : d.OldInvestigationLine) = inv.FirstLine;
        Tell(d);
        if (!FKeepFields)
            return;
        TInvestigationFields kept;
        kept.Key = FBase.Key;
        (added ? kept.NewLine : kept.OldLine) = inv.FirstLine;
        (added ? kept.New : kept.Old).assign(master.begin(), master.end());
        FSink.Investigation(kept);
    }

    // A pair: each changed field and parameter.
    void Pair(const TInvestigationText& before, const TInvestigationText& after, std::string_view oldKey, std::string_view newKey)
    {
        FBounded = false;
        FHeard = 0;
        CutMaster(before, FOldMaster);
        CutMaster(after, FNewMaster);
        FBase = TDifference();
        FBase.Key = KeyOf(newKey);
        if (oldKey != newKey)
            FBase.OldKey = KeyOf(oldKey);
        FBase.OldInvestigationLine = before.FirstLine;
        FBase.NewInvestigationLine = after.FirstLine;
        SetPlace(FNewMaster);
        bool masterChanged = false;
        for (std::size_t entry = 0; entry < FOldMaster.size(); ++entry) {
            if (FOldMaster[entry] == FNewMaster[entry])
                continue;
            masterChanged = true;
            const std::size_t line = entry < static_cast<std::size_t>(FieldLayout::Header1.FieldCount) ? 0 : 1;
            TDifference d = FBase;
            d.OldLine = before.LineOf(line);
            d.NewLine = after.LineOf(line);
            d.Field = static_cast<int>(entry) + 1;
            d.Old = FOldMaster[entry];
            d.New = FNewMaster[entry];
            Tell(d);
        }
        CompareParameters(before, after);
        if (!FKeepFields || FHeard == 0)
            return;
        TInvestigationFields kept;
        kept.Key = FBase.Key;
        kept.OldKey = FBase.OldKey;
        kept.ParametersOnly = !masterChanged;
        kept.OldLine = before.FirstLine;
        kept.NewLine = after.FirstLine;
        kept.Old.assign(FOldMaster.begin(), FOldMaster.end());
        kept.New.assign(FNewMaster.begin(), FNewMaster.end());
        FSink.Investigation(kept);
    }

    // Whether the last pair had parameters of one Param.-ID paired in order.
    bool Bounded() const { return FBounded; }

private:
    void Tell(const TDifference& d)
    {
        ++FHeard;
        FSink.Difference(d);
    }

    void SetPlace(const TMaster& master)
    {
        FBase.SamplingPoint = master[static_cast<std::size_t>(FieldLayout::Entry(SamplingPointField))];
        FBase.SamplingTime = master[static_cast<std::size_t>(FieldLayout::Entry(SamplingTimeField))];
    }

    void Parameters(const TInvestigationText& inv, std::vector<TParameterRef>& out)
    {
        out.clear();
        for (std::size_t k = FieldLayout::HeaderLines; k < inv.Lines.size(); ++k) {
            out.push_back({FieldOfLine(inv.Lines[k], ParameterEntry(ParameterIdField)), k, LineHash(inv.Lines[k], FScratch)});
        }
    }

    // Identical lines first, then the fewest differing fields among the same
    // Param.-ID, then order; reported by Param.-ID.
    void CompareParameters(const TInvestigationText& before, const TInvestigationText& after)
    {
        Parameters(before, FOldParameters);
        Parameters(after, FNewParameters);
        std::vector<std::uint32_t> olds(FOldParameters.size()), news(FNewParameters.size());
        std::iota(olds.begin(), olds.end(), 0u);
        std::iota(news.begin(), news.end(), 0u);
        std::vector<std::uint32_t> newOfOld(olds.size(), Unpaired), oldOfNew(news.size(), Unpaired);
        std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
        const auto pair = [&] {
            for (const auto& [i, j] : pairs) {
                newOfOld[i] = j;
                oldOfNew[j] = i;
            }
            pairs.clear();
        };
        const auto byHash = [](const std::vector<TParameterRef>& p) {
            return [&p](std::uint32_t a, std::uint32_t b) { return std::pair{p[a].Hash, a} < std::pair{p[b].Hash, b}; };
        };
        std::sort(olds.begin(), olds.end(), byHash(FOldParameters));
        std::sort(news.begin(), news.end(), byHash(FNewParameters));
        ForEachGroup(
            olds, news,
            [&](std::uint32_t i, std::uint32_t j) {
                const std::uint64_t x = FOldParameters[i].Hash, y = FNewParameters[j].Hash;
                return x == y ? 0 : x < y ? -1
                                          : 1;
            },
            [&](std::uint32_t x, std::uint32_t y) { return FOldParameters[x].Hash == FOldParameters[y].Hash; },
            [&](std::uint32_t x, std::uint32_t y) { return FNewParameters[x].Hash == FNewParameters[y].Hash; },
            [&](const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) { PairInOrder(a, b, pairs); });
        const std::vector<std::pair<std::uint32_t, std::uint32_t>> same = pairs;
        pair();
        // By Param.-ID, the rest.
        const auto byId = [](const std::vector<TParameterRef>& p, const std::vector<std::uint32_t>& partner) {
            std::vector<std::uint32_t> out;
            for (std::uint32_t k = 0; k < p.size(); ++k)
                if (partner[k] == Unpaired)
                    out.push_back(k);
            std::stable_sort(out.begin(), out.end(), [&p](std::uint32_t a, std::uint32_t b) { return p[a].Id < p[b].Id; });
            return out;
        };
        olds = byId(FOldParameters, newOfOld);
        news = byId(FNewParameters, oldOfNew);
        std::vector<std::vector<std::string_view>> fieldsA, fieldsB;
        ForEachGroup(
            olds, news,
            [&](std::uint32_t i, std::uint32_t j) {
                const int c = FOldParameters[i].Id.compare(FNewParameters[j].Id);
                return c < 0 ? -1 : c > 0 ? 1
                                          : 0;
            },
            [&](std::uint32_t x, std::uint32_t y) { return FOldParameters[x].Id == FOldParameters[y].Id; },
            [&](std::uint32_t x, std::uint32_t y) { return FNewParameters[x].Id == FNewParameters[y].Id; },
            [&](const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
                if (a.empty() || b.empty())
                    return;
                if (a.size() == 1 && b.size() == 1) {
                    pairs.emplace_back(a[0], b[0]);
                } else if (a.size() > Bound || b.size() > Bound) {
                    FBounded = true;
                    PairInOrder(a, b, pairs);
                } else {
                    const auto cut = [](const TInvestigationText& inv, const std::vector<TParameterRef>& p,
                                        const std::vector<std::uint32_t>& which, std::vector<std::vector<std::string_view>>& out) {
                        out.clear();
                        TParameterFields fields;
                        for (const std::uint32_t k : which) {
                            CutLine(inv.Lines[p[k].Line], fields);
                            out.emplace_back(fields.begin(), fields.end());
                        }
                    };
                    cut(before, FOldParameters, a, fieldsA);
                    cut(after, FNewParameters, b, fieldsB);
                    PairByDifferences(
                        a, b,
                        [&](std::size_t x, std::size_t y) {
                            std::size_t n = 0;
                            for (std::size_t e = 0; e < fieldsA[x].size(); ++e)
                                n += fieldsA[x][e] != fieldsB[y][e];
                            return n;
                        },
                        pairs);
                }
            });
        pair();
        // Reported by Param.-ID; within one, the changed in new order, then the removed, then the added.
        struct TEvent {
            std::string_view Id;
            int Rank;
            std::size_t At;
            std::uint32_t Old, New;
        };
        std::vector<TEvent> events;
        for (std::uint32_t j = 0; j < FNewParameters.size(); ++j) {
            const std::uint32_t i = oldOfNew[j];
            if (i == Unpaired)
                events.push_back({FNewParameters[j].Id, 2, j, Unpaired, j});
            else if (FOldParameters[i].Hash != FNewParameters[j].Hash)
                events.push_back({FNewParameters[j].Id, 0, j, i, j});
        }
        for (std::uint32_t i = 0; i < FOldParameters.size(); ++i)
            if (newOfOld[i] == Unpaired)
                events.push_back({FOldParameters[i].Id, 1, i, i, Unpaired});
        std::sort(events.begin(), events.end(), [](const TEvent& x, const TEvent& y) {
            return std::tie(x.Id, x.Rank, x.At) < std::tie(y.Id, y.Rank, y.At);
        });
        for (const TEvent& e : events) {
            if (e.New == Unpaired)
                OneSidedParameter(EDifference::ParameterRemoved, before, FOldParameters[e.Old]);
            else if (e.Old == Unpaired)
                OneSidedParameter(EDifference::ParameterAdded, after, FNewParameters[e.New]);
            else
                CompareParameter(before, after, FOldParameters[e.Old], FNewParameters[e.New]);
        }
    }

    void OneSidedParameter(EDifference kind, const TInvestigationText& side, const TParameterRef& parameter)
    {
        CutLine(side.Lines[parameter.Line], FOldParameter);
        TDifference d = FBase;
        d.Kind = kind;
        (kind == EDifference::ParameterRemoved ? d.OldLine : d.NewLine) = side.LineOf(parameter.Line);
        SetParameter(d, FOldParameter);
        Tell(d);
    }

    void CompareParameter(const TInvestigationText& before, const TInvestigationText& after, const TParameterRef& a,
                          const TParameterRef& b)
    {
        CutLine(before.Lines[a.Line], FOldParameter);
        CutLine(after.Lines[b.Line], FNewParameter);
        for (std::size_t entry = 0; entry < FOldParameter.size(); ++entry) {
            if (FOldParameter[entry] == FNewParameter[entry])
                continue;
            TDifference d = FBase;
            d.OldLine = before.LineOf(a.Line);
            d.NewLine = after.LineOf(b.Line);
            d.Field = FieldLayout::Parameter.FirstField + static_cast<int>(entry);
            d.Old = FOldParameter[entry];
            d.New = FNewParameter[entry];
            SetParameter(d, FNewParameter);
            Tell(d);
        }
    }

    static void SetParameter(TDifference& d, const TParameterFields& fields)
    {
        d.IsParameter = true;
        d.ParameterId = fields[ParameterEntry(ParameterIdField)];
        d.ParameterText = fields[ParameterEntry(ParameterTextField)];
    }

    TDifferenceSink& FSink;
    bool FKeepFields;
    bool FBounded = false;
    std::size_t FHeard = 0; // differences of the pair told

    TDifference FBase; // what every difference of the examination shares
    TMaster FOldMaster, FNewMaster;
    std::vector<TParameterRef> FOldParameters, FNewParameters;
    TParameterFields FOldParameter, FNewParameter;
    std::string FScratch;
};

// The key of the first changed examination whose parameters of one Param.-ID
// are too many, on either side, to pair by their differences.
std::optional<TInvestigationKey> BoundedParameters(const TFileIndex& oldIndex, const TFileIndex& newIndex,
                                                   const std::vector<std::uint32_t>& oldOfNew, const std::vector<std::uint8_t>& same)
{
    class TNone : public TDifferenceSink {
    public:
        void Difference(const TDifference&) override { }
    } none;
    TComparer comparer(none, false);
    TInvestigationIndex::TReader newReader(newIndex, std::size_t(1) << 16), oldReader(oldIndex, std::size_t(1) << 16);
    for (std::size_t j = 0; j < newIndex.Count(); ++j) {
        const std::uint32_t i = oldOfNew[j];
        if (i == Unpaired || same[j] ||
            !(oldIndex.Facts(i).ManyOfOneId || newIndex.Facts(j).ManyOfOneId))
            continue;
        const TInvestigationText after = newReader.Investigation(j);
        comparer.Pair(oldReader.Investigation(i), after, oldIndex.Key(i), newIndex.Key(j));
        if (comparer.Bounded())
            return KeyOf(newIndex.Key(j));
    }
    return std::nullopt;
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

TComparison CompareTransferFiles(const std::string& oldPath, const std::string& newPath, const TCompareOptions& options,
                                 TDifferenceSink& sink)
{
    const TKeepInterfaceKind keep;
    TComparison result;
    const TKeyMaker keys(options.KeyFields);
    const auto describe = [&keys](const TInvestigationText& inv, std::string& key, TFileIndex::TFacts& entry) {
        TMaster master;
        CutMaster(LineOf(inv, 0), LineOf(inv, 1), keys.UpTo(), master);
        TKeyView view;
        keys.Make(master, view);
        SerializeKey(view, key);
        entry.KeyHash = HashBytes(key);
        const bool many = inv.Lines.size() > FieldLayout::HeaderLines + Bound;
        if (many) {
            std::vector<std::string_view> ids;
            for (std::size_t k = FieldLayout::HeaderLines; k < inv.Lines.size(); ++k)
                ids.push_back(FieldOfLine(inv.Lines[k], ParameterEntry(ParameterIdField)));
            std::sort(ids.begin(), ids.end());
            for (std::size_t k = Bound; k < ids.size() && !entry.ManyOfOneId; ++k)
                entry.ManyOfOneId = ids[k] == ids[k - Bound];
        }
        entry.ContentHash = HashLine(inv.Bytes());
        const auto at = [&master](int field) { return master[static_cast<std::size_t>(FieldLayout::Entry(field))]; };
        if (keys.IsDefault() && !at(SamplingPointField).empty() && !at(SamplingTimeField).empty()) {
            const std::uint64_t place =
                Mix(Mix(Mix(HashBytes(at(LabKeyField))) ^ HashBytes(at(SamplingPointField))) ^ HashBytes(at(SamplingTimeField)));
            entry.PlaceHash = place == 0 ? 1 : place;
        }
    };
    // Both files are read, each on a thread of its own, while this thread checks them.
    TFileIndex oldIndex, newIndex;
    Beside([&](std::stop_token stop) { newIndex.Build(newPath, describe, stop); },
           [&] {
               Beside([&](std::stop_token stop) { oldIndex.Build(oldPath, describe, stop); },
                      [&] {
                          CheckTransferFile(oldPath, result.OldCheck);
                          if (result.OldCheck.MessageCount > 0)
                              return false;
                          CheckTransferFile(newPath, result.NewCheck);
                          return result.NewCheck.MessageCount == 0;
                      });
               return result.OldCheck.MessageCount == 0 && result.NewCheck.MessageCount == 0;
           });
    if (result.OldCheck.MessageCount > 0) {
        CheckTransferFile(newPath, result.NewCheck);
        return result;
    }
    if (result.NewCheck.MessageCount > 0)
        return result;
    const TPairing pairing(oldIndex, newIndex, keys.IsDefault(), result);
    if (!result.BoundedKey)
        result.BoundedKey = BoundedParameters(oldIndex, newIndex, pairing.OldOfNew, pairing.Same);
    result.Compared = true;
    sink.Counted(result);
    // Each file is read back in its order; the old partner of a changed
    // examination where it stands.
    TInvestigationIndex::TReader newReader(newIndex, std::size_t(1) << 20), oldReader(oldIndex, std::size_t(1) << 20),
        partnerReader(oldIndex, std::size_t(1) << 16);
    TComparer comparer(sink, options.KeepFields);
    for (std::size_t j = 0; j < newIndex.Count(); ++j) {
        const std::uint32_t i = pairing.OldOfNew[j];
        if (i == Unpaired) {
            comparer.OneSided(EDifference::InvestigationAdded, newReader.Investigation(j), newIndex.Key(j));
        } else if (!pairing.Same[j]) {
            const TInvestigationText after = newReader.Investigation(j);
            comparer.Pair(partnerReader.Investigation(i), after, oldIndex.Key(i), newIndex.Key(j));
        }
    }
    for (std::size_t i = 0; i < oldIndex.Count(); ++i)
        if (pairing.NewOfOld[i] == Unpaired)
            comparer.OneSided(EDifference::InvestigationRemoved, oldReader.Investigation(i), oldIndex.Key(i));
    return result;
}

TComparison CompareTransferFiles(const std::string& oldPath, const std::string& newPath, const TCompareOptions& options)
{
    class TCollect : public TDifferenceSink {
    public:
        explicit TCollect(TComparison& into) : FInto(into) { }
        void Difference(const TDifference& d) override { FInto.Differences.push_back(d); }
        void Investigation(const TInvestigationFields& fields) override { FInto.Investigations.push_back(fields); }

    private:
        TComparison& FInto;
    };
    TComparison collected;
    TCollect sink(collected);
    TComparison result = CompareTransferFiles(oldPath, newPath, options, sink);
    result.Differences = std::move(collected.Differences);
    result.Investigations = std::move(collected.Investigations);
    return result;
}

std::optional<std::vector<int>> ParseKeyFields(std::string_view list)
{
    std::vector<int> fields;
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        int field = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), field);
        if (item.empty() || error != std::errc() || end != item.data() + item.size() || field < 1 || field > LastKeyField ||
            std::find(fields.begin(), fields.end(), field) != fields.end())
            return std::nullopt;
        fields.push_back(field);
        if (comma == std::string_view::npos)
            return fields;
        list.remove_prefix(comma + 1);
    }
}
