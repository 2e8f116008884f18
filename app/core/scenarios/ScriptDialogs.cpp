#include "app/core/scenarios/ScriptDialogs.h"

#include "engine/KelmaMsg.h"
#include "platform/ResString.h"

#include <algorithm>

namespace {

const TResString SFieldBreak = RESSTR("ScriptDialogs",
    "Символ \"|\" не допускается в комментариях и фильтрах!");

// A list text the way the scenario run reads it: one value at least.
TIntArray ReadList(const QString& text)
{
    TIntArray values;
    ParseIntValues(text.trimmed(), values);
    return values;
}

TFilterCheck Refused(TFilterCheckField field, const TResString& message)
{
    return TFilterCheck{field, LoadResString(message)};
}

} // namespace

int FindFilterMethodItem(const std::vector<TFilterMethodItem>& items, const TStatMethod* method)
{
    if (items.empty())
        return -1;
    if (method != nullptr) {
        const auto found = std::find_if(items.begin(), items.end(),
                                        [method](const TFilterMethodItem& item) { return item.Method == method; });
        if (found != items.end())
            return static_cast<int>(found - items.begin());
    }
    return 0;
}

bool LevelModeUsesWeights(int levelMode)
{
    return levelMode >= LevelWMV && levelMode <= LevelWDV;
}

bool IsFilterListChar(QChar c)
{
    return c.category() == QChar::Other_Control || (c >= u'0' && c <= u'9') || c == u',' || c == u'-'
        || c == u';';
}

QString KeepFilterListChars(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text)
        if (IsFilterListChar(c) && c.category() != QChar::Other_Control)
            kept += c;
    return kept;
}

TFilterCheck CheckFilterItem(const TFilterItem& item)
{
    // A step over no draws alone is refused; beside other lengths it is one of the variants.
    const TIntArray lengths = ReadList(item.DrawsLen);
    if (lengths.empty() || (lengths.size() == 1 && StepWindowLength(lengths.front()) == 0))
        return Refused(TFilterCheckField::DrawsLen, rsBadValueRange);

    if (item.LevelMode != LevelLNO) {
        if (item.LevelMode == LevelLVA && (item.Method == nullptr || !item.Method->HasNumericValue()))
            return Refused(TFilterCheckField::LevelMode, rsListModeNotAvailable);
        if (ReadList(item.LevelValue).empty())
            return Refused(TFilterCheckField::LevelValue, rsBadValueRange);
    }

    if (item.MultiSelect && item.StopMode == StopSC)
        return Refused(TFilterCheckField::StopMode, rsMultiSelectStopRefused);
    return {};
}

int FindFieldBreak(const QString& comment, const std::array<QString, ScriptFilterCount>& filters)
{
    if (HoldsScriptFieldBreak(comment))
        return 0;
    for (int i = 0; i < ScriptFilterCount; ++i)
        if (HoldsScriptFieldBreak(filters[std::size_t(i)]))
            return i + 1;
    return -1;
}

QString FieldBreakMessage()
{
    return LoadResString(SFieldBreak);
}

TTestCountRange TestCountRange(int largest)
{
    TTestCountRange range;
    range.Maximum = largest;
    range.Initial = range.Valid() ? std::clamp(DefaultTestCount, range.Minimum, range.Maximum) : 0;
    return range;
}
