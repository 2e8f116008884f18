#include "app/core/shell/MainState.h"

#include "app/core/stats/ArchiveStamp.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "support/RSysUtils.h"

#include <QCoreApplication>
#include <QDir>

bool HasSwitch(const QStringList& arguments, const QString& name)
{
    static const char* const prefixes[] = {"", "-", "--", "/", "\\"};
    for (const QString& argument : arguments)
        for (const char* prefix : prefixes)
            if (argument.compare(QLatin1String(prefix) + name, Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

TMainState::TMainState()
{
    if (QCoreApplication::instance())
        FArguments = QCoreApplication::arguments().mid(1);
    SetDataDir(GetAppDir());
    FStatList.SetDraws(&FDraws);
}

void TMainState::SetDataDir(const QString& folder)
{
    FDataDir = QDir::cleanPath(folder);
    if (!FDataDir.endsWith(QLatin1Char('/')))
        FDataDir += QLatin1Char('/');
    if (FOwnFormState)
        FFormState = std::make_unique<TIniFormState>(FormStateFileName(), QString::fromLatin1(MainFormSection));
}

QString TMainState::DrawsFileName() const
{
    return FDataDir + QLatin1String(ProgramFileName) + QLatin1String(".ldr");
}

QString TMainState::IniFileName() const
{
    return FDataDir + QLatin1String(ProgramFileName) + QLatin1String(".ini");
}

QString TMainState::FormStateFileName() const
{
    return FDataDir + QLatin1String(ProgramFileName) + QLatin1String(".frm");
}

QString TMainState::FavoritesFileName() const
{
    return FDataDir + QLatin1String(ProgramFileName) + QLatin1String(".flt");
}

QString TMainState::StakesFileName() const
{
    return FDataDir + QLatin1String(ProgramFileName) + QLatin1String(".lsk");
}

QString TMainState::RatingsFileName() const
{
    return FDataDir + QLatin1String(ProgramFileName) + QLatin1String(".lrt");
}

void TMainState::SetDrawsOffset(int offset)
{
    if (offset < 0)
        offset = 0;
    if (offset == FDrawsOffset)
        return;
    FDrawsOffset = offset;
    if (OnDrawsOffsetChanged)
        OnDrawsOffsetChanged(offset);
    UpdateDrawsInfo(false);
    RefreshViews(false);
}

TDrawsInfo TMainState::DrawsInfo() const
{
    TDrawsInfo info;
    info.Count = static_cast<int>(FDraws.size());
    info.CountText = Format(LoadResString(rsStatusDrawCount), {info.Count});
    info.NextText = Format(LoadResString(rsStatusNextDraw), {NextDrawNumber(FDrawsOffset)});
    info.DigitsText = GetDrawDigitsText(FDrawsOffset);
    info.OffsetMax = info.Count - 1;
    return info;
}

void TMainState::UpdateDrawsInfo(bool force)
{
    MakeDrawDigitSet(FDrawsOffset);
    if (OnDrawsInfo)
        OnDrawsInfo(DrawsInfo(), force);
}

void TMainState::ClearCombLists()
{
    FCombs.Clear();
    FUndoCombs.Clear();
    FCombsBuffer.Clear();
    FCombsBufferKey = {-1, -1};
}

void TMainState::ReserveCombLists()
{
    FCombs.Reserve(CombCount);
    FUndoCombs.Reserve(CombCount);
    FCombsBuffer.Reserve(CombCount);
}

void TMainState::SetFormState(std::unique_ptr<IFormState> state)
{
    if (!state)
        return;
    FFormState = std::move(state);
    FOwnFormState = false;
}

void TMainState::WriteOption(TMainOptions::TOption option, int value)
{
    Options.Write(*FFormState, option, value);
}

int TMainState::RegisterView(TViewRefresh refresh)
{
    const int id = FNextViewId++;
    FViews.emplace_back(id, std::move(refresh));
    return id;
}

void TMainState::UnregisterView(int id)
{
    std::erase_if(FViews, [id](const auto& entry) { return entry.first == id; });
}

void TMainState::RefreshViews(bool force)
{
    if (FViewsLocked)
        return;
    // The views share one reading of the archive, which none of them changes.
    const TArchiveStampScope archive(FDraws);
    // A view may register or drop views while it refreshes; those present now are asked.
    const auto views = FViews;
    for (const auto& entry : views)
        if (entry.second)
            entry.second(force);
}
