// One scenario line through the codec: its options, its seven filters and the variants of
// each. Invariants: options and filters written out read back as the same records, and a
// filter's variants are exactly as many as it counts.
//
// Input: the line.

#include "app/core/scenarios/KelmaScr.h"
#include "fuzz/FuzzTargets.h"
#include "platform/Cp1251.h"

#include <memory>

namespace {

const TStatList& Methods()
{
    static const std::unique_ptr<TStatList> list = [] {
        auto l = std::make_unique<TStatList>();
        l->RebuildMethods();
        return l;
    }();
    return *list;
}

// Variants are only built for filters that stay small; the count alone is checked for others.
constexpr std::int64_t kExpandLimit = 4096;

} // namespace

void FuzzScenarioLine(const std::uint8_t* data, std::size_t size)
{
    const QString line = DecodeCp1251(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    IsScriptSeparatorLine(line);
    GetScriptLineComment(line);

    const TScriptOptions options = ParseScriptOptions(GetScriptLineOptions(line));
    FuzzCheck(ParseScriptOptions(FormatScriptOptions(options)) == options, "options written out read back otherwise");
    ScriptOptionsCaption(options);
    ScriptOptionsCommentText(options);

    for (int n = 1; n <= ScriptFilterCount; ++n) {
        const TFilterItem item = ParseFilterItem(GetScriptLineFilter(line, n), Methods());
        const QString text = FormatFilterItem(item);
        FuzzCheck(FormatFilterItem(ParseFilterItem(text, Methods())) == text,
                  "a filter written out does not read back as the same text");
        try {
            const std::int64_t count = FilterItemVariantCount(item);
            if (count >= 0 && count <= kExpandLimit) {
                const std::vector<TFilterPart> parts = ExpandFilterItem(item);
                FuzzCheck(static_cast<std::int64_t>(parts.size()) == count, "a filter's variants differ from its count");
                for (const TFilterPart& part : parts)
                    FormatFilterPart(part);
            }
        } catch (const Exception&) {
            // A filter whose lists cannot be read, or that has too many variants.
        }
    }
}

std::vector<QByteArray> SeedsScenarioLine()
{
    return {
        "FULL:0#RAND|TSD#SUMS:10#LMV:5#SF:0| | | | | | |A",
        "EXCL:5#FIRST#NEX|TSD#SUMS:10#LMV:5#SF:0|BMF#CHN10:20#LDV:1-3;1#ST:2#1:0:0:0:1| | | | | |\xcf\xf0\xee\xe1\xe0",
        "CURR:0#NONE#CLR|TSD19#NUMS:1-20#LMV:1,2,3#SC:5| | | | | | |",
        "excl:3#skip|BMFX#SUMS:10;20#WMV:0#SP:50#1.5:2:0.25:1:0|",
        "   ",
        "",
    };
}
