// Scenario files (".lss", ".lsc") and the rows the scenario list shows for their lines.
// Reading takes any bytes without an error. Invariants: lines written and read again are
// written byte-identically, and every row has all its texts.
//
// Input: the file.

#include "app/core/scenarios/ScriptList.h"
#include "fuzz/FuzzTargets.h"

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

} // namespace

void FuzzScenarioFile(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = ScriptLinesFromBytes(bytes);
    const QByteArray written = ScriptLinesToBytes(lines);
    const QStringList again = ScriptLinesFromBytes(written);
    FuzzCheck(again.size() == lines.size(), "the lines written read back as another count");
    FuzzCheck(ScriptLinesToBytes(again) == written, "lines read and written again are not byte-identical");
    int rows = 0;
    for (const QString& line : lines) {
        if (++rows > 32)
            break;
        FuzzCheck(ScriptRowTexts(line, Methods()).size() == ScriptRowColumnCount, "a scenario row lacks texts");
    }
}

std::vector<QByteArray> SeedsScenarioFile()
{
    return {
        "DIGI1|1;2;3|||||||\xcf\xf0\xee\xe1\xe0\r\n",
        "SUMS2|0-9;1|TRUE|||||||comment\r\n\r\n   \r\n",
        "NUMS1|5|NUMS1|5|NUMS1|5|NUMS1|5|x\nSHR1|1,2|\r",
        "@|||||||||\r\n|\r\n||||||||||||||||||||\r\n",
        "",
    };
}
