#include "engine/KelmaUtils.h"

#include "platform/DelphiText.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

// ---------------------------------------------------------------------------------------
// Draw-date text

TDateToTextHook DateToTextHook = nullptr;
TTextToDateHook TextToDateHook = nullptr;
QString HelpFileName;

namespace {

// Worked out without the platform's number reader: this runs while globals are being
// initialised, and plain decimal text is all a digit text can be.
bool ComputeDigitTextsNumeric()
{
    for (int d = DigitMin; d <= DigitMax; ++d) {
        bool ok = false;
        NumToStr(d).toInt(&ok);
        if (!ok)
            return false;
    }
    return true;
}

const QString DrawDatePattern = QStringLiteral("mm/dd/yyyy");

} // namespace

extern const bool DigitTextsNumeric = ComputeDigitTextsNumeric();

QString FormatDrawDateDefault(TDateTime value)
{
    if (!(value > 0))
        return QString();
    return FormatDateTime(QStringLiteral("mm'/'dd'/'yyyy"), value);
}

QString FormatDrawDate(TDateTime value)
{
    if (!(value > 0))
        return QString();
    if (DateToTextHook)
        return DateToTextHook(value);
    return FormatDrawDateDefault(value);
}

TDateTime ParseDrawDate(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    if (TextToDateHook)
        return TextToDateHook(trimmed);
    return ParseDrawDateDefault(trimmed);
}

TDateTime ParseDrawDateDefault(const QString& text)
{
    if (text.isEmpty())
        return 0;

    // Each field letter is found by its first position in the pattern and read over as
    // many characters as the pattern repeats it; a missing field reads as 0.
    const QString letters = QStringLiteral("DMYHNS");
    std::array<int, 6> first{};
    std::array<int, 6> count{};
    first.fill(-1);
    for (int i = 0; i < DrawDatePattern.size(); ++i) {
        const int f = letters.indexOf(DrawDatePattern.at(i).toUpper());
        if (f < 0)
            continue;
        if (first[f] < 0)
            first[f] = i;
        ++count[f];
    }
    std::array<int, 6> field{};
    for (int f = 0; f < 6; ++f)
        field[f] = first[f] < 0 ? 0 : StrToNum(text.mid(first[f], count[f]));

    return EncodeDateTime(field[2], field[1], field[0], field[3], field[4], field[5], 0);
}

// ---------------------------------------------------------------------------------------
// Little-endian record fields

namespace {

void PutU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint16_t GetU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t GetU32(const std::uint8_t* p)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(p[i]) << (8 * i);
    return v;
}

void PutKey(std::uint8_t* p, const TStatKey& key)
{
    for (int i = 0; i < 4; ++i)
        PutU16(p + 2 * i, key.Words[i]);
}

TStatKey GetKey(const std::uint8_t* p)
{
    TStatKey key;
    for (int i = 0; i < 4; ++i)
        key.Words[i] = GetU16(p + 2 * i);
    return key;
}

} // namespace

void WriteDrawRec(const TDrawRec& rec, std::uint8_t* bytes)
{
    PutU32(bytes, rec.Number);
    bytes[4] = rec.Digits[0];
    bytes[5] = rec.Digits[1];
    std::copy(rec.Key.Bytes.begin(), rec.Key.Bytes.end(), bytes + 6);
    bytes[19] = 0;   // the spare byte carries nothing and is always stored as 0
}

TDrawRec ReadDrawRec(const std::uint8_t* bytes)
{
    TDrawRec rec;
    rec.Number = GetU32(bytes);
    rec.Digits[0] = bytes[4];
    rec.Digits[1] = bytes[5];
    std::copy(bytes + 6, bytes + 6 + rec.Key.Bytes.size(), rec.Key.Bytes.begin());
    // A damaged length byte must not make the key reach past its 12 characters.
    rec.Key.Bytes[0] = std::min<std::uint8_t>(rec.Key.Bytes[0], 12);
    rec.Spare = bytes[19];
    return rec;
}

void WriteDigitsRec(const TDigitsRec& rec, std::uint8_t* bytes)
{
    PutU32(bytes, static_cast<std::uint32_t>(rec.Count));
    std::copy(rec.Digits.begin(), rec.Digits.end(), bytes + 4);
}

TDigitsRec ReadDigitsRec(const std::uint8_t* bytes)
{
    TDigitsRec rec;
    rec.Count = static_cast<std::int32_t>(GetU32(bytes));
    std::copy(bytes + 4, bytes + 8, rec.Digits.begin());
    return rec;
}

void WriteShemaRec(const TShemaRec& rec, std::uint8_t* bytes)
{
    PutKey(bytes, rec.Key);
    PutU32(bytes + 8, static_cast<std::uint32_t>(rec.Hits));
}

TShemaRec ReadShemaRec(const std::uint8_t* bytes)
{
    TShemaRec rec;
    rec.Key = GetKey(bytes);
    rec.Hits = static_cast<std::int32_t>(GetU32(bytes + 8));
    return rec;
}

// ---------------------------------------------------------------------------------------
// Statistic keys

std::uint8_t TStatKey::Byte(int index) const
{
    if (index < 0 || index > 7)
        return 0;
    const std::uint16_t word = Words[index / 2];
    return static_cast<std::uint8_t>(index % 2 == 0 ? word & 0xFF : word >> 8);
}

void TStatKey::SetByte(int index, std::uint8_t value)
{
    if (index < 0 || index > 7)
        return;
    std::uint16_t& word = Words[index / 2];
    if (index % 2 == 0)
        word = static_cast<std::uint16_t>((word & 0xFF00) | value);
    else
        word = static_cast<std::uint16_t>((word & 0x00FF) | (value << 8));
}

std::uint32_t TStatKey::Dword(int index) const
{
    if (index < 0 || index > 1)
        return 0;
    return std::uint32_t(Words[2 * index]) | (std::uint32_t(Words[2 * index + 1]) << 16);
}

void TStatKey::SetDword(int index, std::uint32_t value)
{
    if (index < 0 || index > 1)
        return;
    Words[2 * index] = static_cast<std::uint16_t>(value & 0xFFFF);
    Words[2 * index + 1] = static_cast<std::uint16_t>(value >> 16);
}

// ---------------------------------------------------------------------------------------
// Table operations

// TStatValueIndex

void TStatValueIndex::MergeIndexed(TStatDrawArray& table, const TStatValueRec& value, bool trackGaps)
{
    if (&table != FTable || table.size() != FIndexed)
        Rebuild(table);
    const std::uint64_t key = value.Key.Packed();
    const std::uint32_t at = Find(key);
    if (at != Empty && table[at].Key.Packed() == key) {
        MergeIntoStatValue(table[at], value, trackGaps);
        return;
    }
    const std::size_t before = table.size();
    MergeStatValue(table, value, trackGaps);
    if (table.size() == before)
        Rebuild(table);   // the key was there after all: the index was out of date
    else
        Add(key, static_cast<std::uint32_t>(before));
    FIndexed = table.size();
}

std::uint32_t TStatValueIndex::Find(std::uint64_t key) const
{
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t i = Slot(key);; i = (i + 1) & mask) {
        const TSlot& slot = FSlots[i];
        if (slot.Position == Empty || slot.Key == key)
            return slot.Position;
    }
}

void TStatValueIndex::Add(std::uint64_t key, std::uint32_t position)
{
    if ((FCount + 1) * 2 > FSlots.size()) {
        FCount = 0;
        Resize(FSlots.size() * 2);
        for (std::uint32_t i = 0; i < position; ++i)
            Put((*FTable)[i].Key.Packed(), i);
    }
    Put(key, position);
}

void TStatValueIndex::Put(std::uint64_t key, std::uint32_t position)
{
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t i = Slot(key);; i = (i + 1) & mask) {
        TSlot& slot = FSlots[i];
        if (slot.Position == Empty) {
            slot = {key, position};
            ++FCount;
            return;
        }
        if (slot.Key == key)
            return;   // the first element of a key keeps it
    }
}

void TStatValueIndex::Resize(std::size_t size)
{
    FSlots.assign(size, TSlot{0, Empty});
    FShift = 64;
    for (std::size_t n = size; n > 1; n >>= 1)
        --FShift;
}

void TStatValueIndex::Rebuild(const TStatDrawArray& table)
{
    FTable = &table;
    std::size_t size = 64;
    while (size < table.size() * 4)
        size *= 2;
    Resize(size);
    FCount = 0;
    for (std::size_t i = 0; i < table.size(); ++i)
        Put(table[i].Key.Packed(), static_cast<std::uint32_t>(i));
    FIndexed = table.size();
}

int CompareStatValues(const TStatValueRec& a, const TStatValueRec& b)
{
    for (int i = 0; i < 4; ++i) {
        const int diff = int(a.Key.Words[i]) - int(b.Key.Words[i]);
        if (diff != 0)
            return diff;
    }
    return 0;
}

void SortStatValues(TStatDrawArray& table)
{
    for (std::size_t i = 1; i < table.size(); ++i) {
        TStatValueRec item = table[i];
        std::size_t j = i;
        while (j > 0 && CompareStatValues(table[j - 1], item) > 0) {
            table[j] = table[j - 1];
            --j;
        }
        table[j] = item;
    }
}

TStatValuesSummary GetStatValuesSummary(const TStatDrawArray& table)
{
    TStatValuesSummary s;
    for (const TStatValueRec& e : table) {
        s.TotalHits += e.Hits;
        s.MinHits = std::min(s.MinHits, e.Hits);
        s.MaxHits = std::max(s.MaxHits, e.Hits);
        if (s.MaxAge == 0 || (e.Age >= 1 && e.Age > s.MaxAge))
            s.MaxAge = e.Age;
    }
    return s;
}

void AddStatSimple(TStatSimpleArray& table, std::int32_t key, std::int32_t count)
{
    for (TStatSimpleRec& e : table) {
        if (e.Key == key) {
            if (count >= 1)
                e.Count = static_cast<std::int32_t>(std::int64_t(e.Count) + count);
            return;
        }
    }
    table.push_back({key, count});
}

void SortStatSimple(TStatSimpleArray& table)
{
    for (std::size_t i = 1; i < table.size(); ++i) {
        const TStatSimpleRec item = table[i];
        std::size_t j = i;
        while (j > 0 && table[j - 1].Key > item.Key) {
            table[j] = table[j - 1];
            --j;
        }
        table[j] = item;
    }
}

TShemaRec StatValueToShema(const TStatValueRec& value)
{
    return TShemaRec{value.Key, value.Hits};
}

TStatValueRec ShemaToStatValue(const TShemaRec& shema)
{
    TStatValueRec value;
    value.Key = shema.Key;
    value.Hits = shema.Hits;
    return value;
}

TCurrency SaturatingAdd(TCurrency a, TCurrency b)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a.Raw(), b.Raw(), &sum))
        sum = b.Raw() > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    return TCurrency::FromRaw(sum);
}

std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b)
{
    std::int32_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        sum = b > 0 ? std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::int32_t>::min();
    return sum;
}

void AddProfitDraw(TProfitDrawArray& list, std::int32_t drawNo, TCurrency amount)
{
    for (TProfitDrawRec& e : list) {
        if (e.DrawNo == drawNo) {
            e.Amount = SaturatingAdd(e.Amount, amount);
            return;
        }
    }
    list.push_back({drawNo, amount});
}

bool AddRatingResultTo(TRatingRec& rating, int matched, TCurrency balance)
{
    if (matched < 0 || matched >= RatingMatchCounters)
        return false;
    rating.Stakes = SaturatingAdd(rating.Stakes, 1);
    rating.Matched = SaturatingAdd(rating.Matched, matched);
    auto& counter = rating.MatchCounts[static_cast<size_t>(matched)];
    counter = SaturatingAdd(counter, 1);
    rating.Balance = SaturatingAdd(rating.Balance, balance);
    return true;
}

void AddRatingResult(TRatingsArray& ratings, const QString& comment, int matched, TCurrency balance)
{
    // A stake not yet scored has a negative count; a count past the counters would come
    // only from a damaged stake and must not reach them.
    if (matched < 0 || matched >= RatingMatchCounters)
        return;

    for (TRatingRec& r : ratings) {
        if (r.Comment.compare(comment, Qt::CaseInsensitive) == 0) {
            AddRatingResultTo(r, matched, balance);
            return;
        }
    }
    TRatingRec added;
    added.Comment = comment;
    AddRatingResultTo(added, matched, balance);
    ratings.push_back(added);
}
