#include "engine/KelmaFilters.h"

#include "engine/KelmaStatList.h"
#include "platform/DelphiText.h"
#include "platform/WordUtils.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

// Help topics are numbered by the language the help was written in.
constexpr int HelpTopicLanguage = 1049;

}  // namespace

// ---------------------------------------------------------------------------------------
// Class-level functions.

void PositionParamRange(const TStatList& /*list*/, int& lo, int& hi)
{
    lo = 1;
    hi = DrawDigits;
}

QString StatClassCode(const TStatClass& cls, int param)
{
    return Format(QString::fromLatin1(cls.CodeFormat), {param});
}

QString StatClassCaption(const TStatClass& cls, int param)
{
    if (cls.CaptionFn)
        return cls.CaptionFn(param);
    return Format(LoadResString(cls.CaptionFormat), {param});
}

QString StatClassName(const TStatClass& cls)
{
    return QString::fromLatin1(cls.HelpName ? cls.HelpName : cls.CodeFormat);
}

std::uint8_t StatClassEffectiveFlags(const TStatClass& cls)
{
    return static_cast<std::uint8_t>(cls.IsGraph ? cls.Flags | sfGraph : cls.Flags);
}

bool StatClassIsPlainValue(const TStatClass& cls)
{
    return (cls.Flags & sfPlainValue) != 0;
}

bool StatClassIsParametric(const TStatClass& cls)
{
    return cls.ParamRange != nullptr;
}

QString StatClassHelpUrl(const TStatClass& cls, int param)
{
    if (HelpFileName.isEmpty() || !QFileInfo::exists(HelpFileName))
        return {};
    const QString topic = Format(StatClassName(cls), {param});
    return QStringLiteral("ms-its:") + HelpFileName
           + Format(QStringLiteral("::/Filters_%.4d_%s.htm"), {HelpTopicLanguage, topic});
}

// ---------------------------------------------------------------------------------------
// Value texts shared by families.

QString PairValueText(const TStatValueRec& value)
{
    return NumToStr(value.Key.Words[0]) + QLatin1Char(':') + NumToStr(value.Key.Words[1]);
}

QString CountedValueText(const QString& valueText, const TStatValueRec& value)
{
    return Format(QStringLiteral("%0:s x %1:d"), {valueText, int(value.Key.Words[1])});
}

// ---------------------------------------------------------------------------------------
// TCustomStat

TCustomStat::TCustomStat(const TStatClass& cls, const TStatList& list, int param)
    : FClass(&cls), FParam(param), FDraws(list.Draws())
{
}

QString TCustomStat::InstanceCaption() const
{
    return StatClassCaption(*FClass, FParam);
}

int TCustomStat::ParseValue(const QString& text) const
{
    return StrToIntDef(text, 0);
}

int TCustomStat::ValueFromText(const QString& text) const
{
    return FClass->HasNumericValue ? ParseValue(text) : 0;
}

void TCustomStat::InitValues(int /*last*/, TStatDrawArray& /*table*/)
{
    FValue = TStatValueRec{};
}

void TCustomStat::AddCombination(TCombWord /*comb*/, TStatDrawArray& /*table*/)
{
    FValue = TStatValueRec{};
    FValue.Hits = 1;
}

int TCustomStat::FindDraw(const TStatValueRec& value, int start, int last, bool sorted)
{
    const int lastIndex = LastDrawIndex();
    if (start > lastIndex)
        return -1;
    // One run table for the whole search; the one-draw table and the last-value list start
    // empty at every step (cleared, not reallocated).
    TStatScratch scratch;
    TStatDrawArray table;
    TLastValueArray lastValues;
    for (int i = std::max(start, 0); i <= lastIndex; ++i) {
        table.clear();
        lastValues.clear();
        AddDraw(i, last, sorted, table, scratch, lastValues);
        for (const TStatValueRec& element : table)
            if (element.Key == value.Key)
                return static_cast<int>(element.DrawNo);
    }
    return -1;
}

bool TCustomStat::HasKey(const TStatDrawArray& table, std::uint16_t w1, std::uint16_t w2,
                         std::uint16_t w3, std::uint16_t w4)
{
    const TStatKey key{{w1, w2, w3, w4}};
    return std::any_of(table.begin(), table.end(),
                       [&](const TStatValueRec& v) { return v.Key == key; });
}

bool TCustomStat::HasKeyPair(const TStatDrawArray& table, std::uint32_t a, std::uint32_t b)
{
    return std::any_of(table.begin(), table.end(), [&](const TStatValueRec& v) {
        return v.Key.Dword(0) == a && v.Key.Dword(1) == b;
    });
}

bool TCustomStat::HasKeyByte(const TStatDrawArray& table, int k, std::uint8_t v)
{
    if (k < 1 || k > 8)
        return false;
    return std::any_of(table.begin(), table.end(),
                       [&](const TStatValueRec& e) { return e.Key.Byte(k - 1) == v; });
}

bool TCustomStat::HasKeyWord(const TStatDrawArray& table, int k, std::uint16_t v)
{
    if (k < 1 || k > 4)
        return false;
    return std::any_of(table.begin(), table.end(),
                       [&](const TStatValueRec& e) { return e.Key.Words[k - 1] == v; });
}

bool TCustomStat::HasKeyDword(const TStatDrawArray& table, int k, std::uint32_t v)
{
    if (k < 1 || k > 2)
        return false;
    return std::any_of(table.begin(), table.end(),
                       [&](const TStatValueRec& e) { return e.Key.Dword(k - 1) == v; });
}

bool TCustomStat::HasAnyKey(const TStatDrawArray& table, std::span<const TStatKey> keys, TKeyMatch match)
{
    for (const TStatKey& key : keys) {
        bool found = false;
        switch (match) {
        case TKeyMatch::Word1:
            found = HasKeyWord(table, 1, key.Words[0]);
            break;
        case TKeyMatch::Byte1:
            found = HasKeyByte(table, 1, key.Byte(0));
            break;
        case TKeyMatch::Dword1:
            found = HasKeyDword(table, 1, key.Dword(0));
            break;
        case TKeyMatch::Whole:
            found = HasKey(table, key.Words[0], key.Words[1], key.Words[2], key.Words[3]);
            break;
        }
        if (found)
            return true;
    }
    return false;
}

void TCustomStat::PrefillWords(int lo, int hi, TStatDrawArray& table)
{
    for (int v = lo; v <= hi; ++v)
        MergeKey(WordKey(v), table, false);
}

int TCustomStat::IndexBeforeNext(int last, int n)
{
    const std::int64_t index = std::int64_t(last) - n + 1;
    if (index < 0 || index > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(index);
}

// ---------------------------------------------------------------------------------------
// Value texts of the bases.

QString TCustomGraphStat::ValueText(const TStatValueRec& value) const
{
    return SumToStr(value.Key.Words[0]);
}

int TCustomGraphStat::DrawValue(int index, int last, bool sorted)
{
    LoadDraws(index, last, sorted);
    return ValueOf(DrawToComb(FDraw), index, last, sorted);
}

QString TCustomValuesStat::ValueText(const TStatValueRec& value) const
{
    return NumToStr(value.Key.Words[0]);
}

QString TCustomNumbersStat::ValueText(const TStatValueRec& value) const
{
    return SumToStr(value.Key.Words[0]);
}

QString TCustomRatioStat::ValueText(const TStatValueRec& value) const
{
    const int w = value.Key.Words[0];
    return SumToStr(w) + QLatin1Char(':') + SumToStr(DrawDigits - w);
}

int TCustomRatioStat::ParseValue(const QString& text) const
{
    return StrToIntDef(ExtractWord(1, text, QStringLiteral(":")), 0);
}

QString TCustomMaskStat::ValueText(const TStatValueRec& value) const
{
    const std::uint32_t mask = value.Key.Dword(0);
    QString letters;
    for (int bit = DrawDigits - 1; bit >= 0; --bit)
        letters += (mask >> bit) & 1u ? OneLetter() : ZeroLetter();
    return Format(QStringLiteral("%s (%.3d)"), {letters, mask});
}

int TCustomMaskStat::ParseValue(const QString& text) const
{
    const QString one = OneLetter();
    int mask = 0;
    for (int i = 0; i < DrawDigits; ++i) {
        mask <<= 1;
        if (i < text.size() && QString(text.at(i)) == one)
            mask |= 1;
    }
    return mask;
}

void TCustomMaskStat::InitValues(int last, TStatDrawArray& table)
{
    TCustomStat::InitValues(last, table);
    for (std::uint32_t mask = 0; mask < (1u << DrawDigits); ++mask) {
        FValue.Key.SetDword(0, mask);
        MergeValue(table, false);
    }
}
