#include "app/core/shell/MainOptions.h"

#include "app/core/online/OnlineScripts.h"
#include "platform/IniFile.h"

#include <utility>

namespace {

using TOpt = TMainOptions;

constexpr std::array<TOptionDef, TOpt::OptionCount> kOptions = {{
    {"DownloadDrawsOnStart", TOptionType::Integer, 0, 3},
    {"AutoUpdates", TOptionType::Boolean, 1},
    {"ColorDraws", TOptionType::Boolean, 1},
    {"ColorCombs", TOptionType::Boolean, 1},
    {"ColorCard", TOptionType::Boolean, 1},
    {"ColorCardSequences", TOptionType::Boolean, 1},
    {"LayoutGradient", TOptionType::Boolean, 1},
    {"SortedDraws", TOptionType::Boolean, 0},
    {"WeekChartMode", TOptionType::Integer, 0},
    {"WeekChartType", TOptionType::Boolean, 0},
    {"ScriptLogEnabled", TOptionType::Boolean, 0},
    {"StakesLogEnabled", TOptionType::Boolean, 0},
    {"StakesScrollEnabled", TOptionType::Boolean, 1},
    {"StakesCheckOnLine", TOptionType::Boolean, 1},
    {"PrefetchsEnabled", TOptionType::Boolean, 0},
    {"ShowTotalLine", TOptionType::Boolean, 1},
    {"RatingsEffMode", TOptionType::Integer, 1, 3},
    {"ScriptLibraryOn", TOptionType::Boolean, 1},
    {"ScriptLibraryFilter", TOptionType::Integer, 2, TOnlineScripts::FilterCount},
    {"TabGraphs", TOptionType::Boolean, 1},
    {"TabCard", TOptionType::Boolean, 1},
    {"TabLayout", TOptionType::Boolean, 1},
    {"TabWeek", TOptionType::Boolean, 1},
    {"TabTables", TOptionType::Boolean, 1},
    {"SystemsEnabled", TOptionType::Boolean, 0},
    {"Language", TOptionType::Integer, 1033},
    {"FirstRun", TOptionType::Boolean, 0},
    {"PrefetchsInit", TOptionType::Boolean, 0},
}};

} // namespace

TIniFormState::TIniFormState(QString fileName, QString section)
    : FFileName(std::move(fileName)), FSection(std::move(section))
{
}

int TIniFormState::ReadInteger(const QString& key, int def) const
{
    return TMemIniFile(FFileName).ReadInteger(FSection, key, def);
}

bool TIniFormState::ReadBool(const QString& key, bool def) const
{
    return TMemIniFile(FFileName).ReadBool(FSection, key, def);
}

void TIniFormState::WriteInteger(const QString& key, int value)
{
    TMemIniFile ini = TMemIniFile::ForRewrite(FFileName);
    ini.WriteInteger(FSection, key, value);
    ini.UpdateFile();
}

void TIniFormState::WriteBool(const QString& key, bool value)
{
    TMemIniFile ini = TMemIniFile::ForRewrite(FFileName);
    ini.WriteBool(FSection, key, value);
    ini.UpdateFile();
}

std::span<const TOptionDef> TMainOptions::Table()
{
    return kOptions;
}

const TOptionDef& TMainOptions::Def(TOption option)
{
    return kOptions.at(option);
}

TMainOptions::TMainOptions()
{
    for (int i = 0; i < OptionCount; ++i)
        FValues[i] = kOptions[i].Default;
}

void TMainOptions::SetValue(TOption option, int value)
{
    const TOptionDef& def = Def(option);
    if (def.Type == TOptionType::Boolean)
        value = value != 0 ? 1 : 0;
    else if (def.Choices > 0 && (value < 0 || value >= def.Choices))
        value = def.Default;
    FValues.at(option) = value;
}

void TMainOptions::Load(const IFormState& state)
{
    for (int i = 0; i < OptionCount; ++i) {
        const TOptionDef& def = kOptions[i];
        const QString key = QString::fromLatin1(def.Key);
        const auto option = static_cast<TOption>(i);
        if (def.Type == TOptionType::Boolean)
            SetValue(option, state.ReadBool(key, def.Default != 0) ? 1 : 0);
        else
            SetValue(option, state.ReadInteger(key, def.Default));
    }
}

void TMainOptions::Write(IFormState& state, TOption option, int value)
{
    SetValue(option, value);
    const TOptionDef& def = Def(option);
    const QString key = QString::fromLatin1(def.Key);
    if (def.Type == TOptionType::Boolean)
        state.WriteBool(key, Flag(option));
    else
        state.WriteInteger(key, Value(option));
}

bool TMainOptions::InitFirstStart(IFormState& state)
{
    if (state.ReadBool(QString::fromLatin1(Def(PrefetchsInit).Key), false))
        return false;
    Write(state, PrefetchsInit, 1);
    Write(state, PrefetchsEnabled, Value(PrefetchsEnabled));
    return true;
}
