#include "app/core/online/SystemsExchange.h"

#include "app/core/online/SwTexts.h"
#include "app/core/online/SystemCombs.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "platform/WordUtils.h"
#include "support/RDialogs.h"
#include "support/RStrUtils.h"
#include "support/RVclUtils.h"

#include <QFileInfo>

#include <algorithm>

namespace {

const TResString SSkippedLines =
    RESSTR("UnitSystems", "В системе \"%s\" пропущено строк, не подходящих для %d чисел: %d");
const TResString SCacheError = RESSTR("UnitSystems", "Ошибка сохранения системы #%d на компьютере!\r\r%s");

const TResString SColumns[TSystemsExchange::ColumnCount] = {
    rsColTitle,  rsColAuthor,    rsColNums,         rsColBlock,    rsColCombs, rsColCreatedDate,
    rsColStatus, rsColDownloads, rsColLastDownload, rsColComments, rsColLink,
};

} // namespace

TSystemsExchange::TSystemsExchange(TMainState& state, TCombListOps& combs, TStakesFile& stakes,
                                   TStakeCommands& stakeCommands, TSwSystems& client)
    : FState(state), FCombs(combs), FStakes(stakes), FStakeCommands(stakeCommands), FClient(client)
{
}

QStringList TSystemsExchange::ColumnCaptions()
{
    QStringList captions;
    for (const TResString& caption : SColumns)
        captions.append(LoadResString(caption));
    return captions;
}

bool TSystemsExchange::IsCached(int row) const
{
    return ValidRow(row) && FClient.IsCached(FRows[row]);
}

bool TSystemsExchange::IsOwn(int row) const
{
    return ValidRow(row) && FRows[row].Id > 0 && SystemIsOwn(FRows[row], FClient.Identity().UserMail);
}

int TSystemsExchange::RowImage(int row) const
{
    if (!ValidRow(row) || FRows[row].Id < 1)
        return -1;
    const bool cached = IsCached(row);
    if (FRows[row].ClMail.isEmpty())
        return cached ? riCachedNoMail : riNoMail;
    if (IsOwn(row))
        return cached ? riCachedOwn : riOwn;
    return cached ? riCachedOther : riOther;
}

QStringList TSystemsExchange::RowTexts(int row) const
{
    if (!ValidRow(row))
        return QStringList(ColumnCount, QString());
    const tSystemInfo& info = FRows[row];
    QStringList texts = {ShownText(info.Title), ShownText(info.Author)};
    if (info.Id < 1) {
        texts << QString() << QString() << QString() << QString() << QString() << QString() << QString();
    } else {
        texts << Format(QStringLiteral("%.2d"), {info.Nums}) << QString::number(info.Olap)
              << QString::number(info.CSize) << SwTimeText(info.Created)
              << (IsCached(row) ? LoadResString(rsSystemLoaded) : QString()) << QString::number(info.Downloads)
              << SwTimeText(info.LastDownload);
    }
    texts << ShownText(info.Descr) << ShownText(info.Url);
    return texts;
}

int TSystemsExchange::FindRow(std::int32_t id) const
{
    for (int row = 0; row < RowCount(); ++row)
        if (FRows[row].Id == id)
            return row;
    return -1;
}

void TSystemsExchange::SetTabShown(bool shown)
{
    FTabShown = shown;
    if (!shown)
        FRows.clear();
}

int TSystemsExchange::LoadSystems(std::int32_t keepId)
{
    TBusyScope busy(LoadResString(rsLoadingSystems));
    FRows.clear();
    FClient.GetSystemList(FRows);
    return keepId > 0 ? FindRow(keepId) : -1;
}

bool TSystemsExchange::DownloadSystem(int row)
{
    if (!ValidRow(row) || FRows[row].Id < 1)
        return false;
    if (!FClient.StoreSystemList(FRows[row]))
        return false;
    // One cached system per number count: every other file for these numbers goes, also one
    // no listed row names.
    FClient.DeleteOtherCachedSystems(FRows[row]);
    return true;
}

int TSystemsExchange::AddSystem()
{
    // A new system has no id yet: the server gives one when it stores it.
    tSystemData data;
    data.Id = 0;
    data.Author = FClient.Identity().UserName;
    data.ClMail = FClient.Identity().UserMail;
    if (!EditSystemProperties || !EditSystemProperties(data, true))
        return -1;
    const std::int32_t id = FClient.PutSystemData(data, false);
    // Only a positive id names a stored system.
    if (id < 1)
        return -1;
    data.Id = id;
    FRows.append(data);
    return RowCount() - 1;
}

bool TSystemsExchange::EditSystem(int row)
{
    if (!ValidRow(row) || FRows[row].Id < 1)
        return false;
    const tSystemInfo old = FRows[row];
    tSystemData data;
    static_cast<tSystemInfo&>(data) = old;
    data.CList = FClient.GetSystemData(old);
    const bool editable = IsOwn(row);
    if (!EditSystemProperties || !EditSystemProperties(data, editable) || !editable)
        return false;
    const std::int32_t id = FClient.PutSystemData(data, false);
    if (id < 1)
        return false;
    // The row may have moved while the dialog was open only through this object; it is
    // found again by its id.
    const int at = FindRow(old.Id);
    if (at >= 0)
        FRows[at] = data;
    RecacheEdited(old, data);
    return true;
}

void TSystemsExchange::RecacheEdited(const tSystemInfo& old, const tSystemData& edited)
{
    const bool wasCached = FClient.IsCached(old);
    FClient.DeleteCachedSystemFile(old);
    if (!wasCached || !SystemCacheable(edited))
        return;
    SwGuarded(
        SCacheError, false,
        [&] {
            FClient.WriteCacheFile(edited, SplitTextLines(edited.CList));
            FClient.DeleteOtherCachedSystems(edited);
            return true;
        },
        edited.Id);
}

bool TSystemsExchange::DeleteSystem(int row)
{
    if (!ValidRow(row) || FRows[row].Id < 1)
        return false;
    if (!IsOwn(row)) {
        ErrorBox(LoadResString(rsOnlyOwnSystems));
        return false;
    }
    const tSystemInfo info = FRows[row];
    if (ConfirmBoxDefNo(Format(LoadResString(rsAskDeleteSystem), {ShownText(info.Title)})) != IDYES)
        return false;
    tSystemData data;
    static_cast<tSystemInfo&>(data) = info;
    if (FClient.PutSystemData(data, true) != 0)
        return false;
    const int at = FindRow(info.Id);
    if (at >= 0)
        FRows.removeAt(at);
    FClient.DeleteCachedSystemFile(info);
    return true;
}

bool TSystemsExchange::CanMakeStakes() const
{
    return FTabShown && FCombs.Count() > 0 && FStakes.IsOpen();
}

bool TSystemsExchange::MakeSystemStakes(bool filter)
{
    TBusyScope busy(LoadResString(rsPleaseWait));
    const TCombsArray list = CombsOf(FState.FCombs);
    TByteArray numbers;
    CollectDistinctDigits(list, static_cast<int>(list.size()), numbers);
    const int count = static_cast<int>(numbers.size());

    TSystemCombs system;
    if (!LoadSystemCombs(FClient.CacheFolder(), numbers, system)) {
        ErrorBox(SwBoxText(system.Error));
        return false;
    }
    const QString name = QFileInfo(system.FileName).completeBaseName();
    if (system.SkippedLines > 0)
        WarningBox(Format(LoadResString(SSkippedLines), {name, count, system.SkippedLines}));

    std::int32_t drawNumber = FStakeCommands.StakeDrawNumber();
    int drawCount = 1;
    QString comment = Format(LoadResString(filter ? rsSystemStakeCombsComment : rsSystemStakeWholeComment), {count, name});
    if (!FStakeCommands.EditMulti || !FStakeCommands.EditMulti(drawNumber, drawCount, comment))
        return false;

    TBusyScope creating(LoadResString(rsCreatingStakes));
    const int selectionSize = filter ? FCombs.Count() : static_cast<int>(system.Combs.size());
    bool separated = false;
    int made = 0;
    for (TCombWord comb : system.Combs) {
        SortCombDigits(comb);
        if (filter && !FCombs.CombInList(comb))
            continue;
        // The block of system stakes starts after a blank row when a stake is last in the
        // file; a run that makes no stake leaves the file as it was.
        if (!separated) {
            separated = true;
            try {
                if (FStakes.HasStakes() && FStakes.ReadStake(TStakesFile::soFromEnd, -1).IsStake())
                    FStakes.AppendStake(InitStakeRec(), 1);
            } catch (const Exception& e) {
                ErrorBox(e.Message());
                return false;
            }
        }
        TStakeRec rec = InitStakeRec();
        rec.Origin = soSystem;
        rec.DrawNumber = drawNumber;
        rec.Comment.Set(comment);
        rec.Checked = 0;
        rec.SelectionSize = selectionSize;
        rec.Digits.Count = DrawDigits;
        rec.Digits.Digits[0] = CombDigit1(comb);
        rec.Digits.Digits[1] = CombDigit2(comb);
        rec.Matches.Count = -1;
        rec.Balance = FState.StatList().StakeBalance(rec.Digits.Count, -1);
        if (!FStakeCommands.CreateStakes(rec, drawCount, true))
            return false;
        ++made;
    }
    if (made > 0) {
        if (FStakeCommands.CheckStakes)
            FStakeCommands.CheckStakes();
        if (FStakeCommands.RefreshGrid)
            FStakeCommands.RefreshGrid(true, true);
    }
    return true;
}
