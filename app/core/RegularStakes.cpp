#include "app/core/RegularStakes.h"

#include "app/core/CombList.h"
#include "engine/KelmaMsg.h"
#include "engine/PrjConst.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "platform/SaveFile.h"
#include "platform/ScopeGuard.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

namespace {

constexpr int OffUseLastDraw = TShortString<255>::Size;
constexpr int OffStartComb = OffUseLastDraw + 1;
constexpr int OffCurrComb = OffStartComb + 2;
constexpr int OffStep = OffCurrComb + 2 + 3;
constexpr int OffStakesMade = OffStep + 4;
static_assert(OffStakesMade + 4 == TableRecSize);

constexpr int MaxStep = 9;

const TResString STablesRepaired = RESSTR(
    "RegularStakes",
    "Файл регулярных ставок \"%s\" поврежден: последние %d байт не составляют целой записи и "
    "не учитываются.\n\nКопия исходного файла сохранена как \"%s\".");
const TResString STablesNotBackedUp = RESSTR(
    "RegularStakes",
    "Файл регулярных ставок \"%s\" поврежден: последние %d байт не составляют целой записи и "
    "не учитываются. Копию исходного файла сохранить не удалось, файл не будет перезаписан, "
    "пока копия не сохранена.\n\n%s");
const TResString SDamagedRule = RESSTR(
    "RegularStakes",
    "Регулярная ставка \"%s\" повреждена (шаг вне -9..9 или цифра вне 0..9) и не используется!");

bool DigitsValid(TCombWord comb)
{
    return CombDigit1(comb) <= 9 && CombDigit2(comb) <= 9;
}

int WrapDigit(int d, int step)
{
    return ((d % 10 + step % 10) % 10 + 10) % 10;
}

} // namespace

bool TTableRec::IsDamaged() const
{
    return Step < -MaxStep || Step > MaxStep || !DigitsValid(StartComb) || !DigitsValid(CurrComb);
}

void WriteTableRec(const TTableRec& rec, std::uint8_t* bytes)
{
    std::fill(bytes, bytes + TableRecSize, std::uint8_t{0});
    std::copy(rec.Comment.Bytes.begin(), rec.Comment.Bytes.end(), bytes);
    bytes[OffUseLastDraw] = rec.UseLastDraw ? 1 : 0;
    qToLittleEndian<std::uint16_t>(rec.StartComb, bytes + OffStartComb);
    qToLittleEndian<std::uint16_t>(rec.CurrComb, bytes + OffCurrComb);
    qToLittleEndian<std::int32_t>(rec.Step, bytes + OffStep);
    qToLittleEndian<std::int32_t>(rec.StakesMade, bytes + OffStakesMade);
}

TTableRec ReadTableRec(const std::uint8_t* bytes)
{
    TTableRec rec;
    std::copy(bytes, bytes + TShortString<255>::Size, rec.Comment.Bytes.begin());
    rec.UseLastDraw = bytes[OffUseLastDraw] != 0;
    rec.StartComb = qFromLittleEndian<std::uint16_t>(bytes + OffStartComb);
    rec.CurrComb = qFromLittleEndian<std::uint16_t>(bytes + OffCurrComb);
    rec.Step = qFromLittleEndian<std::int32_t>(bytes + OffStep);
    rec.StakesMade = qFromLittleEndian<std::int32_t>(bytes + OffStakesMade);
    return rec;
}

QByteArray TablesToBytes(const TTablesArray& tables)
{
    return RecordsToBytes(tables, TableRecSize, WriteTableRec);
}

TCombWord ShiftTableComb(TCombWord comb, int step)
{
    return MakeComb(static_cast<std::uint8_t>(WrapDigit(CombDigit1(comb), step)),
                    static_cast<std::uint8_t>(WrapDigit(CombDigit2(comb), step)));
}

QString TableCombText(TCombWord comb)
{
    return QString::number(CombDigit1(comb)) + QLatin1Char(';') + QString::number(CombDigit2(comb));
}

QStringList TableColumnCaptions()
{
    return {LoadResString(rsColComment), LoadResString(rsColStartComb), LoadResString(rsColStep),
            LoadResString(rsColCurrentComb), LoadResString(rsColStakes)};
}

QStringList TableRowTexts(const TTableRec& rec)
{
    return {rec.Comment.Get(), TableCombText(rec.StartComb), QString::number(rec.Step),
            TableCombText(rec.CurrComb), QString::number(rec.StakesMade)};
}

QString UniqueTableName(const QString& name, int n, const QStringList& taken)
{
    for (;; ++n) {
        const QString candidate = name + QStringLiteral(" (%1)").arg(n);
        if (!taken.contains(candidate))
            return candidate;
    }
}

TRegularStakes::TRegularStakes(TMainState& state) : FState(state) {}

QString TRegularStakes::FileName() const
{
    return FState.DataDir() + QLatin1String(BaseName);
}

void TRegularStakes::ViewChanged()
{
    if (OnViewChanged)
        OnViewChanged();
}

void TRegularStakes::InitTables()
{
    FTables.clear();
    FPendingBackup.clear();
}

TTablesLoadReport TRegularStakes::LoadTablesFile()
{
    TTablesLoadReport report;
    if (!TabShown())
        return report;
    try {
        TBusyScope busy(LoadResString(rsLoadingTablesFile));
        TRecordFileContents<TTableRec> contents =
            ReadRecordFile<TTableRec>(FileName(), TableRecSize, ReadTableRec);
        if (contents.Exists) {
            report.Loaded = true;
            report.Records = static_cast<int>(contents.Records.size());
            report.ExtraBytes = contents.ExtraBytes;
            FTables = std::move(contents.Records);
            FPendingBackup.clear();
            if (report.Damaged()) {
                try {
                    report.BackupFile = BackupDamagedFile(FileName(), contents.Original);
                } catch (const std::exception& e) {
                    report.BackupError = ExceptionText(e);
                    FPendingBackup = contents.Original;
                }
            }
        }
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
    ViewChanged();
    if (report.Damaged())
        WarningBox(DamageText(report, FileName()));
    return report;
}

QString TRegularStakes::DamageText(const TTablesLoadReport& report, const QString& fileName)
{
    if (!report.Damaged())
        return QString();
    if (report.BackupError.isEmpty())
        return Format(LoadResString(STablesRepaired), {fileName, report.ExtraBytes, report.BackupFile});
    return Format(LoadResString(STablesNotBackedUp), {fileName, report.ExtraBytes, report.BackupError});
}

void TRegularStakes::SaveTablesFile()
{
    if (!TabShown())
        return;
    TBusyScope busy(LoadResString(rsSavingTablesFile));
    // A damaged original is never replaced before its copy exists.
    if (!FPendingBackup.isEmpty()) {
        BackupDamagedFile(FileName(), FPendingBackup);
        FPendingBackup.clear();
    }
    SaveFileAtomic(FileName(), TablesToBytes(FTables));
    ViewChanged();
}

bool TRegularStakes::SaveShowingError()
{
    try {
        SaveTablesFile();
        return true;
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
        ViewChanged();
        return false;
    }
}

void TRegularStakes::SetTabShown(bool shown)
{
    TBusyScope busy;
    FState.WriteOption(TMainOptions::TabTables, shown ? 1 : 0);
    if (shown) {
        LoadTablesFile();
    } else {
        FTables.clear();
        FPendingBackup.clear();
        ViewChanged();
    }
}

void TRegularStakes::DeleteTable(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= FTables.size())
        throw Exception(Format(LoadResString(rsRecordNotFound), {index}));
    FTables.erase(FTables.begin() + index);
}

void TRegularStakes::NextTableComb(TTableRec& rec, int drawOffset) const
{
    const TCombWord base = rec.UseLastDraw ? FState.GetDrawDigits(drawOffset) : rec.CurrComb;
    rec.CurrComb = ShiftTableComb(base, rec.Step);
    if (rec.StakesMade < std::numeric_limits<std::int32_t>::max())
        ++rec.StakesMade;
}

TStakeRec TRegularStakes::RegularStake(const TTableRec& rec, int drawOffset) const
{
    TStakeRec stake = InitStakeRec();
    stake.Origin = soRegular;
    const std::int64_t next = FState.NextDrawNumber(drawOffset);
    stake.DrawNumber = next < 1 || next > std::numeric_limits<std::int32_t>::max()
                           ? 0 : static_cast<std::int32_t>(next);
    stake.Comment = rec.Comment;
    stake.SelectionSize = CombsUsed(FState.FCombs);
    stake.Digits.Count = DrawDigits;
    stake.Digits.Digits[0] = CombDigit1(rec.CurrComb);
    stake.Digits.Digits[1] = CombDigit2(rec.CurrComb);
    stake.Matches.Count = -1;
    stake.Balance = FState.StatList().StakeBalance(DrawDigits, -1);
    return stake;
}

QStringList TRegularStakes::Comments() const
{
    QStringList comments;
    for (const TTableRec& rec : FTables)
        comments.append(rec.Comment.Get());
    return comments;
}

bool TRegularStakes::CanTest(int selected) const
{
    return TabShown() && selected > 0 && FState.FDraws.size() >= 2;
}

QList<int> TRegularStakes::ValidRows(const QList<int>& rows) const
{
    QList<int> valid;
    for (const int row : rows)
        if (row >= 0 && static_cast<size_t>(row) < FTables.size() && !valid.contains(row))
            valid.append(row);
    std::sort(valid.begin(), valid.end());
    return valid;
}

bool TRegularStakes::TablesAdd(const QList<TCombWord>& selectedCombs)
{
    TTableRec rec;
    rec.Comment.Set(LoadResString(rsRegularStakeComment));
    rec.Step = 1;
    // The dialog reads the number of selected combinations from the stakes-made field.
    rec.StakesMade = static_cast<std::int32_t>(selectedCombs.size());
    if (selectedCombs.size() == 1)
        rec.StartComb = selectedCombs.front();
    const QStringList comments = Comments();
    if (!EditTable || !EditTable(comments, rec))
        return false;

    TBusyScope busy(LoadResString(rsCreatingRegulars));
    if (!rec.UseLastDraw && selectedCombs.size() != 1) {
        const QString name = rec.Comment.Get();
        QStringList taken = comments;
        for (int i = 0; i < selectedCombs.size(); ++i) {
            TTableRec made = rec;
            made.Comment.Set(UniqueTableName(name, i + 1, taken));
            taken.append(made.Comment.Get());
            made.StartComb = selectedCombs[i];
            made.CurrComb = made.StartComb;
            made.StakesMade = 0;
            FTables.push_back(made);
        }
    } else {
        rec.CurrComb = rec.StartComb;
        rec.StakesMade = 0;
        FTables.push_back(rec);
    }
    SaveShowingError();
    ViewChanged();
    return true;
}

bool TRegularStakes::TablesDel(const QList<int>& rows)
{
    const QList<int> valid = ValidRows(rows);
    if (valid.isEmpty() || !DeleteQuery(static_cast<int>(valid.size())))
        return false;
    TBusyScope busy(LoadResString(rsDeletingRegulars));
    for (auto it = valid.crbegin(); it != valid.crend(); ++it)
        DeleteTable(*it);
    if (ClearSelection)
        ClearSelection();
    SaveShowingError();
    ViewChanged();
    return true;
}

bool TRegularStakes::TablesStakeAdd(int row)
{
    if (row < 0 || static_cast<size_t>(row) >= FTables.size())
        return false;
    if (FTables[static_cast<size_t>(row)].IsDamaged()) {
        ErrorBox(Format(LoadResString(SDamagedRule), {FTables[static_cast<size_t>(row)].Comment.Get()}));
        return false;
    }
    TTableRec advanced = FTables[static_cast<size_t>(row)];
    NextTableComb(advanced, FState.DrawsOffset());
    TStakeRec stake = RegularStake(advanced, FState.DrawsOffset());
    int drawCount = 1;
    if (!EditStake || !EditStake(stake, drawCount))
        return false;
    FTables[static_cast<size_t>(row)] = advanced;
    SaveShowingError();
    ViewChanged();
    return CreateStake && CreateStake(stake, drawCount);
}

bool TRegularStakes::TablesStakeTest(const QList<int>& rows)
{
    const QList<int> valid = ValidRows(rows);
    // The newest stored draw is the last one a stake can be checked against.
    const int largest = static_cast<int>(std::min<size_t>(FState.FDraws.size(),
                                                          std::numeric_limits<int>::max())) - 1;
    if (valid.isEmpty() || largest < 1 || !AskTestCount)
        return false;
    const int count = std::min(AskTestCount(largest), largest);
    if (count < 1)
        return false;
    try {
        return RunTest(valid, count);
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
        return false;
    }
}

bool TRegularStakes::RunTest(const QList<int>& rows, int count)
{
    TBusyScope busy(LoadResString(rsCreatingRegularStakes));
    const int savedOffset = FState.DrawsOffset();
    const bool savedLock = FState.FViewsLocked;
    FState.FViewsLocked = true;
    TFinally restore([this, savedOffset, savedLock] {
        try {
            FState.SetDrawsOffset(savedOffset);
        } catch (...) {
            // The offset is put back whatever a view does with it; the lock must go too.
        }
        FState.FViewsLocked = savedLock;
    });

    bool made = true;
    for (int k = count; k >= 1 && made; --k) {
        FState.SetDrawsOffset(k);
        for (const int row : rows) {
            TTableRec& rule = FTables[static_cast<size_t>(row)];
            if (rule.IsDamaged())
                continue;
            TTableRec advanced = rule;
            NextTableComb(advanced, k);
            if (!CreateStakes || !CreateStakes(RegularStake(advanced, k), 1, true)) {
                made = false;
                break;
            }
            // A rule moves on only by the stakes it really made.
            rule = advanced;
        }
    }
    SaveShowingError();
    ViewChanged();
    if (made) {
        if (CheckStakes)
            CheckStakes();
        if (RefreshGrid)
            RefreshGrid(true, true);
    }
    return made;
}
