#include "app/core/scenarios/KelmaScr.h"

#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/WordUtils.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr std::array<const char*, StartListCount> StartWords{"FULL", "EXCL", "CURR"};
constexpr std::array<const char*, AmbiguityActionCount> ActionWords{
    "RAND", "FIRST", "LAST", "ALL", "SYSA", "SYSC", "STOP", "SKIP", "NONE",
};
constexpr std::array<const char*, LevelModeCount> LevelWords{
    "LNO", "LMV", "LMP", "LLV", "LLP", "LDV", "LDP", "DMV", "DMP", "DLV", "DLP",
    "DDV", "DDP", "CMV", "CMP", "CLV", "CLP", "CDV", "CDP", "WMV", "WLV", "WDV",
    "PIM", "PIL", "PIR", "PAM", "PAL", "PAR", "PXM", "PXL", "PXR", "LVA",
};
constexpr std::array<const char*, StopModeCount> StopWords{"SF", "SC", "SZ", "ST", "SV", "SP"};

const QString LineDelimiter = QStringLiteral("|");
const QString WordDelimiter = QStringLiteral("#");
const QString PartDelimiter = QStringLiteral(":");

template <std::size_t N>
QString TableWord(const std::array<const char*, N>& words, int index)
{
    if (index < 0 || index >= static_cast<int>(N))
        return {};
    return QString::fromLatin1(words[static_cast<std::size_t>(index)]);
}

template <std::size_t N>
QString TableCaption(const std::array<TResString, N>& captions, int index)
{
    if (index < 0 || index >= static_cast<int>(N))
        return LoadResString(rsScriptCaptionError);
    return LoadResString(captions[static_cast<std::size_t>(index)]);
}

// Index of the first word of the table that begins the text (letter case ignored), or -1.
template <std::size_t N>
int PrefixWordIndex(const std::array<const char*, N>& words, const QString& text)
{
    for (std::size_t i = 0; i < N; ++i)
        if (text.startsWith(QLatin1String(words[i]), Qt::CaseInsensitive))
            return static_cast<int>(i);
    return -1;
}

// Index of the word of the table equal to the text (letter case ignored), or -1.
template <std::size_t N>
int EqualWordIndex(const std::array<const char*, N>& words, const QString& text)
{
    for (std::size_t i = 0; i < N; ++i)
        if (text.compare(QLatin1String(words[i]), Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

// The sort column of word 1: every digit after the three letters. A column outside the
// table (or no digit at all) is column 1, as a text without a column always was.
std::int32_t ReadSortOrder(const QString& word)
{
    constexpr std::int32_t Default = 1;
    if (word.size() <= 3)
        return Default;
    std::int32_t value = 0;
    qsizetype i = 3;
    for (; i < word.size() && word.at(i) >= u'0' && word.at(i) <= u'9'; ++i) {
        value = value * 10 + (word.at(i).unicode() - u'0');
        if (value > MaxSortColumn)
            return Default;
    }
    return i == 3 ? Default : value;
}

// A weight as written by hand: digits and "-" are kept, "." and "," are the decimal point,
// everything else is dropped; a text that is still not a number is 0.
long double ReadWeight(const QString& text)
{
    std::string kept;
    kept.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        if ((c >= u'0' && c <= u'9') || c == u'-')
            kept += static_cast<char>(c.unicode());
        else if (c == u'.' || c == u',')
            kept += '.';
    }
    if (kept.empty())
        return 0;
    long double value = 0;
    const char* const end = kept.data() + kept.size();
    const auto result = std::from_chars(kept.data(), end, value, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return 0;
    return value;
}

// The shortest plain decimal text that reads back as the same number, with "." as the
// decimal point and never an exponent (the reader above would drop the "e").
QString WeightText(long double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    // Enough for every finite long double in fixed notation.
    std::array<char, 5200> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return QStringLiteral("0");
    return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

QString WeightsWord(const TStatWeights& weights)
{
    return WeightText(weights.Count) + PartDelimiter + WeightText(weights.Deviation)
           + PartDelimiter + WeightText(weights.Level) + PartDelimiter
           + (weights.UsePercents ? QStringLiteral("1") : QStringLiteral("0")) + PartDelimiter
           + (weights.UseAbsValues ? QStringLiteral("1") : QStringLiteral("0"));
}

QString FilterLetters(bool bottomUp, bool multiSelect, bool keepSelected)
{
    QString letters;
    letters += bottomUp ? u'B' : u'T';
    letters += multiSelect ? u'M' : u'S';
    letters += keepSelected ? u'F' : u'D';
    return letters;
}

// "#level:values#stop:value[#weights]", the tail shared by filter items and parts.
QString FilterTail(int levelMode, const QString& levelValue, std::uint32_t stopMode,
                   std::int32_t stopValue, bool ownWeights, const TStatWeights& weights)
{
    QString text = WordDelimiter + LevelModeWord(levelMode) + PartDelimiter + levelValue
                   + WordDelimiter
                   + StopModeWord(stopMode < std::uint32_t(StopModeCount) ? int(stopMode) : -1)
                   + PartDelimiter + QString::number(stopValue);
    if (ownWeights)
        text += WordDelimiter + WeightsWord(weights);
    return text;
}

// Level modes that make one variant per level value: every at-least and at-most mode and
// the value lists of weight and periods. The other list modes test the whole list at once.
bool LevelModePerValue(int mode)
{
    return (mode >= LevelLMV && mode <= LevelLLP) || (mode >= LevelDMV && mode <= LevelDLP)
           || (mode >= LevelCMV && mode <= LevelCLP) || (mode >= LevelWMV && mode <= LevelPXR);
}

[[noreturn]] void RaiseBadFilter(const TFilterItem& item)
{
    throw Exception(Format(LoadResString(rsBadFilterDescription), {FilterItemText(item)}));
}

// Values of a list text, or an error of the filter. The range form is bounded by
// ParseIntValues; a plain list is bounded here, so that no list text becomes more values
// than a filter can run. A well-formed list past either bound is not a bad filter: it asks
// for more variants than a run can make.
TIntArray ReadFilterList(const TFilterItem& item, const QString& text)
{
    TIntArray values;
    bool tooLong = false;
    ParseIntValues(text, values, &tooLong);
    if (values.size() > std::size_t(MaxFilterVariants) || tooLong)
        throw ETooManyFilterVariants(LoadResString(rsTooManyFilterVariants));
    if (values.empty())
        RaiseBadFilter(item);
    return values;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Words and captions

QString StartListWord(int index) { return TableWord(StartWords, index); }
QString AmbiguityActionWord(int index) { return TableWord(ActionWords, index); }
QString LevelModeWord(int index) { return TableWord(LevelWords, index); }
QString StopModeWord(int index) { return TableWord(StopWords, index); }
QString ClearStakesWord(bool clear) { return clear ? QStringLiteral("CLR") : QString(); }
QString NewOnlyWord(bool newOnly) { return newOnly ? QStringLiteral("NEX") : QString(); }

QString StartListCaption(int index) { return TableCaption(rsStartLongCaptions, index); }

QString StartListShortCaption(int index, int drawsExclude)
{
    if (index < 0 || index >= StartListCount)
        return LoadResString(rsScriptCaptionError);
    // Only the EXCL caption holds the count; the others are shown as they are.
    const QString caption = LoadResString(rsStartShortCaptions[static_cast<std::size_t>(index)]);
    if (index != StartExcl)
        return caption;
    return Format(caption, {drawsExclude});
}

QString AmbiguityActionCaption(int index) { return TableCaption(rsActionLongCaptions, index); }
QString AmbiguityActionShortCaption(int index) { return TableCaption(rsActionShortCaptions, index); }

QString ClearStakesCaption(bool clear)
{
    return clear ? LoadResString(rsClearStakesCaption) : QString();
}

QString NewOnlyCaption(bool newOnly)
{
    return LoadResString(newOnly ? rsNewOnlyCaption : rsAllStakesCaption);
}

QString LevelModeCaption(int index) { return TableCaption(rsLevelModeCaptions, index); }
QString StopModeCaption(int index) { return TableCaption(rsStopModeCaptions, index); }

// ---------------------------------------------------------------------------------------
// Lines

bool IsScriptSeparatorLine(const QString& line) { return line.trimmed().isEmpty(); }

qsizetype ScriptFieldBreakCount(const QString& text) { return text.count(LineDelimiter); }

QString GetScriptLineOptions(const QString& line)
{
    return ExtractWord(1, line, LineDelimiter).trimmed();
}

QString GetScriptLineFilter(const QString& line, int n)
{
    if (n < 1 || n > ScriptFilterCount)
        return {};
    return ExtractWord(n + 1, line, LineDelimiter).trimmed();
}

QString GetScriptLineComment(const QString& line)
{
    return ExtractWord(ScriptFilterCount + 2, line, LineDelimiter).trimmed();
}

QString FormatScriptLine(const QString& comment, const QString& options,
                         const std::array<QString, ScriptFilterCount>& filters)
{
    QString line = options + LineDelimiter;
    for (const QString& filter : filters)
        line += (filter.trimmed().isEmpty() ? QStringLiteral(" ") : filter) + LineDelimiter;
    if (!comment.trimmed().isEmpty())
        line += comment;
    return line;
}

// ---------------------------------------------------------------------------------------
// Options

TScriptOptions ParseScriptOptions(const QString& text)
{
    TScriptOptions options;

    const QString first = ExtractWord(1, text, WordDelimiter).trimmed();
    const int start = PrefixWordIndex(StartWords, first);
    if (start >= 0)
        options.StartCombsType = static_cast<std::uint8_t>(start);
    options.DrawsExclude = StrToIntDef(ExtractWord(2, first, PartDelimiter).trimmed(), 0);

    const int action = EqualWordIndex(ActionWords, ExtractWord(2, text, WordDelimiter).trimmed());
    if (action >= 0)
        options.ResultCombsMode = static_cast<std::uint8_t>(action);

    const int words = WordCount(text, WordDelimiter);
    for (int i = 3; i <= words; ++i) {
        const QString word = ExtractWord(i, text, WordDelimiter).trimmed();
        if (word.compare(QLatin1String("CLR"), Qt::CaseInsensitive) == 0)
            options.ClearStakes = true;
        else if (word.compare(QLatin1String("NEX"), Qt::CaseInsensitive) == 0)
            options.NewOnly = true;
    }
    return options;
}

QString FormatScriptOptions(const TScriptOptions& options)
{
    QString text = StartListWord(options.StartCombsType) + PartDelimiter
                   + QString::number(options.DrawsExclude) + WordDelimiter
                   + AmbiguityActionWord(options.ResultCombsMode);
    if (options.ClearStakes)
        text += WordDelimiter + ClearStakesWord(true);
    if (options.NewOnly)
        text += WordDelimiter + NewOnlyWord(true);
    return text;
}

QString ScriptOptionsCommentText(const TScriptOptions& options)
{
    QString text = StartListWord(options.StartCombsType);
    if (options.StartCombsType == StartExcl)
        text += PartDelimiter + QString::number(options.DrawsExclude);
    text += WordDelimiter + AmbiguityActionWord(options.ResultCombsMode);
    if (options.NewOnly)
        text += WordDelimiter + NewOnlyWord(true);
    return text;
}

QString ScriptOptionsCaption(const TScriptOptions& options)
{
    const QString separator = QStringLiteral("; ");
    QString text = StartListShortCaption(options.StartCombsType, options.DrawsExclude) + separator
                   + AmbiguityActionShortCaption(options.ResultCombsMode);
    if (options.ClearStakes)
        text += separator + ClearStakesCaption(true);
    return text + separator + NewOnlyCaption(options.NewOnly);
}

QString AppendDelimited(const QString& text, const QString& word, const QString& separator)
{
    if (word.isEmpty())
        return text;
    if (text.isEmpty())
        return word;
    return text + separator + word;
}

// ---------------------------------------------------------------------------------------
// Filters

const TStatMethod* FindScriptMethod(const QString& word, const TStatList& methods)
{
    if (word.isEmpty())
        return nullptr;
    // An exact code first: with channel size 1 "CHN10:100" must not find CHN1, which comes
    // earlier in the list and begins the word.
    const qsizetype colon = word.indexOf(u':');
    const int exact = methods.IndexOfCode((colon < 0 ? word : word.left(colon)).trimmed());
    if (exact >= 0)
        return &methods.Items(exact);
    for (int i = 0; i < methods.Count(); ++i) {
        const QString code = methods.Items(i).Code();
        if (!code.isEmpty() && word.startsWith(code, Qt::CaseInsensitive))
            return &methods.Items(i);
    }
    return nullptr;
}

TFilterItem ParseFilterItem(const QString& text, const TStatList& methods)
{
    TFilterItem item;
    if (text.trimmed().isEmpty())
        return item;
    item.Used = 1;

    const QString first = ExtractWord(1, text, WordDelimiter);
    item.SortOrder = ReadSortOrder(first);
    // The letters count only in upper case: "tsd1" is top-down, single, delete.
    item.BottomUp = first.contains(u'B');
    item.MultiSelect = first.contains(u'M');
    item.KeepSelected = first.contains(u'F');

    const QString method = ExtractWord(2, text, WordDelimiter);
    item.MethodCode = method;
    if (!method.isEmpty()) {
        item.Method = FindScriptMethod(method, methods);
        item.DrawsLen = ExtractWord(2, method, PartDelimiter).trimmed();
    }

    const QString level = ExtractWord(3, text, WordDelimiter);
    const int levelMode = PrefixWordIndex(LevelWords, level);
    if (levelMode >= 0) {
        item.LevelMode = static_cast<std::uint8_t>(levelMode);
        item.LevelValue = ExtractWord(2, level, PartDelimiter).trimmed();
    }

    const QString stop = ExtractWord(4, text, WordDelimiter);
    const int stopMode = PrefixWordIndex(StopWords, stop);
    if (stopMode >= 0) {
        item.StopMode = static_cast<std::uint32_t>(stopMode);
        item.StopValue = StrToIntDef(ExtractWord(2, stop, PartDelimiter).trimmed(), 1);
    }

    const QString weights = ExtractWord(5, text, WordDelimiter);
    if (!weights.isEmpty()) {
        item.OwnWeights = true;
        item.Weights.Count = ReadWeight(ExtractWord(1, weights, PartDelimiter));
        item.Weights.Deviation = ReadWeight(ExtractWord(2, weights, PartDelimiter));
        item.Weights.Level = ReadWeight(ExtractWord(3, weights, PartDelimiter));
        item.Weights.UsePercents = ExtractWord(4, weights, PartDelimiter) == QLatin1String("1");
        item.Weights.UseAbsValues = ExtractWord(5, weights, PartDelimiter) == QLatin1String("1");
    }
    return item;
}

QString FormatFilterItem(const TFilterItem& item)
{
    if (item.Used == 0)
        return {};
    QString text = FilterLetters(item.BottomUp, item.MultiSelect, item.KeepSelected)
                   + QString::number(item.SortOrder);
    // A filter of one word has no method word: an empty one would not read back, since a run of
    // delimiters is a single break, and the level word would be taken for the method.
    if (!item.Method && item.MethodCode.isEmpty())
        return text;
    text += WordDelimiter;
    text += item.Method ? item.Method->Code() + PartDelimiter + item.DrawsLen : item.MethodCode;
    return text + FilterTail(item.LevelMode, item.LevelValue, item.StopMode, item.StopValue,
                             item.OwnWeights, item.Weights);
}

QString FormatFilterPart(const TFilterPart& part)
{
    if (part.Used == 0)
        return {};
    return FilterLetters(part.BottomUp, part.MultiSelect, part.KeepSelected) + WordDelimiter
           + (part.Method ? part.Method->Code() : QString()) + PartDelimiter
           + QString::number(part.DrawsLen)
           + FilterTail(part.LevelMode, part.LevelValue, part.StopMode, part.StopValue,
                        part.OwnWeights, part.Weights);
}

QString FilterPartsText(const TFilterParts& parts)
{
    QString text;
    for (const TFilterPart& part : parts)
        if (part.Used != 0)
            text = AppendDelimited(text, FormatFilterPart(part), QStringLiteral(" + "));
    return text;
}

QString StakeCommentText(int lineNo, int variantNo, const QString& comment, const QString& stepText)
{
    QString text = Format(QStringLiteral("%.2d.%.3d: "), {lineNo, variantNo});
    if (!comment.isEmpty())
        text += comment + QStringLiteral(" ");
    return text + QStringLiteral("@ ") + stepText;
}

// ---------------------------------------------------------------------------------------
// Variants

void GetFilterItemLists(const TFilterItem& item, TIntArray& drawsLens, TIntArray& levels)
{
    // Any length is a window: one below 1 holds no draws (StepWindowLength), as the filter
    // dialog lets such a length stand beside others.
    drawsLens = ReadFilterList(item, item.DrawsLen);
    levels.clear();
    if (item.LevelMode != LevelLNO)
        levels = ReadFilterList(item, item.LevelValue);
}

std::int64_t FilterItemVariantCount(const TFilterItem& item)
{
    TIntArray drawsLens;
    TIntArray levels;
    GetFilterItemLists(item, drawsLens, levels);
    const auto perLength = LevelModePerValue(item.LevelMode) ? std::int64_t(levels.size()) : 1;
    return std::int64_t(drawsLens.size()) * perLength;
}

std::vector<TFilterPart> ExpandFilterItem(const TFilterItem& item)
{
    TIntArray drawsLens;
    TIntArray levels;
    GetFilterItemLists(item, drawsLens, levels);
    const bool perValue = LevelModePerValue(item.LevelMode);
    const std::int64_t count =
        std::int64_t(drawsLens.size()) * (perValue ? std::int64_t(levels.size()) : 1);
    if (count > MaxFilterVariants)
        throw ETooManyFilterVariants(LoadResString(rsTooManyFilterVariants));

    TFilterPart base;
    base.Used = item.Used;
    base.Method = item.Method;
    base.SortOrder = item.SortOrder;
    base.BottomUp = item.BottomUp;
    base.MultiSelect = item.MultiSelect;
    base.KeepSelected = item.KeepSelected;
    base.LevelMode = item.LevelMode;
    base.OwnWeights = item.OwnWeights;
    base.Weights = item.Weights;
    base.StopMode = item.StopMode;
    base.StopValue = item.StopValue;
    if (!perValue) {
        base.LevelValue = item.LevelValue;
        // A list mode tests the whole list at once, normalised; LNO keeps its text.
        base.LevelText = levels.empty() ? item.LevelValue : IntListToStr(levels, QStringLiteral(","));
    }

    std::vector<TFilterPart> parts;
    parts.reserve(static_cast<std::size_t>(count));
    for (const std::int32_t length : drawsLens) {
        base.DrawsLen = length;
        if (!perValue) {
            parts.push_back(base);
            continue;
        }
        for (const std::int32_t level : levels) {
            TFilterPart part = base;
            part.LevelText = part.LevelValue = QString::number(level);
            parts.push_back(std::move(part));
        }
    }
    return parts;
}
