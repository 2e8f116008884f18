#include "app/core/stakes/RegularStakes.h"

#include "app/core/combs/CombList.h"
#include "app/core/stakes/StakeReader.h"
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

#include <QFile>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr int OffUseLastDraw = TShortString<255>::Size;
constexpr int OffStartComb = OffUseLastDraw + 1;
constexpr int OffCurrComb = OffStartComb + 2;
constexpr int OffStep = OffCurrComb + 2 + 3;
constexpr int OffStakesMade = OffStep + 4;
static_assert(OffStakesMade + 4 == TableRecSize);

constexpr int MaxStep = 9;

// The most rules the file is read with: each is entered by hand, and a hundred thousand is far
// past any list of them (27 MB).
constexpr qint64 MaxTablesFileBytes = 100'000 * qint64{TableRecSize};

const TResString STablesRepaired = RESSTR(
    "RegularStakes",
    "Файл регулярных ставок \"%s\" поврежден: последние %d байт не составляют целой записи и "
    "не учитываются.\n\nКопия исходного файла сохранена как \"%s\".");
const TResString STablesNotBackedUp = RESSTR(
    "RegularStakes",
    "Файл регулярных ставок \"%s\" поврежден: последние %d байт не составляют целой записи и "
    "не учитываются. Копию исходного файла сохранить не удалось, файл не будет перезаписан, "
    "пока копия не сохранена.\n\n%s");
const TResString STablesMended = RESSTR(
    "RegularStakes",
    "Файл регулярных ставок \"%s\": у регулярных ставок (%d) число сделанных ставок было "
    "отрицательным и заменено нулем.");
const TResString STablesCopyKept = RESSTR("RegularStakes", "Копия исходного файла сохранена как \"%s\".");
const TResString STablesCopyFailed = RESSTR(
    "RegularStakes",
    "Копию исходного файла сохранить не удалось, файл не будет перезаписан, пока копия не "
    "сохранена.\n\n%s");
const TResString STablesDamagedRules = RESSTR(
    "RegularStakes",
    "Файл регулярных ставок \"%s\": регулярные ставки (%d) повреждены (шаг вне -9..9 или цифра "
    "вне 0..9) и не используются.");
const TResString STablesRunUndone = RESSTR(
    "RegularStakes",
    "Прошлое создание ставок по регулярам было прервано до сохранения регулярных ставок: "
    "сделанные тогда ставки (%d) удалены из файла ставок, регулярные ставки остались прежними.");
const TResString SJournalError = RESSTR(
    "RegularStakes", "Ставки по регулярам не созданы: не удалось записать файл \"%s\".\n\n%s");
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
    try {
        report.RemovedStakes = FinishInterruptedRun();
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
    if (!TabShown()) {
        if (report.RemovedStakes > 0)
            WarningBox(DamageText(report, FileName()));
        return report;
    }
    try {
        TBusyScope busy(LoadResString(rsLoadingTablesFile));
        const std::optional<QByteArray> bytes = ReadWholeFile(FileName(), MaxTablesFileBytes);
        if (bytes) {
            report.Loaded = true;
            const qsizetype records = bytes->size() / TableRecSize;
            report.ExtraBytes = bytes->size() % TableRecSize;
            report.Records = static_cast<int>(records);
            FTables.clear();
            FTables.reserve(static_cast<size_t>(records));
            const auto* data = reinterpret_cast<const std::uint8_t*>(bytes->constData());
            for (qsizetype i = 0; i < records; ++i) {
                TTableRec rec = ReadTableRec(data + i * TableRecSize);
                if (rec.StakesMade < 0) {
                    rec.StakesMade = 0;
                    ++report.MendedRules;
                }
                report.DamagedRules += rec.IsDamaged() ? 1 : 0;
                FTables.push_back(rec);
            }
            FPendingBackup.clear();
            if (report.NeedsCopy()) {
                try {
                    report.BackupFile = BackupDamagedFile(FileName(), *bytes);
                } catch (const std::exception& e) {
                    report.BackupError = ExceptionText(e);
                    FPendingBackup = *bytes;
                }
            }
        }
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
    ViewChanged();
    const QString text = DamageText(report, FileName());
    if (!text.isEmpty())
        WarningBox(text);
    return report;
}

QString TRegularStakes::DamageText(const TTablesLoadReport& report, const QString& fileName)
{
    QStringList texts;
    if (report.Damaged()) {
        texts << (report.BackupError.isEmpty()
                      ? Format(LoadResString(STablesRepaired), {fileName, report.ExtraBytes, report.BackupFile})
                      : Format(LoadResString(STablesNotBackedUp), {fileName, report.ExtraBytes, report.BackupError}));
    }
    if (report.MendedRules > 0) {
        texts << Format(LoadResString(STablesMended), {fileName, report.MendedRules});
        // A torn file already told about the copy.
        if (!report.Damaged())
            texts << (report.BackupError.isEmpty() ? Format(LoadResString(STablesCopyKept), {report.BackupFile})
                                                   : Format(LoadResString(STablesCopyFailed), {report.BackupError}));
    }
    if (report.DamagedRules > 0)
        texts << Format(LoadResString(STablesDamagedRules), {fileName, report.DamagedRules});
    if (report.RemovedStakes > 0)
        texts << Format(LoadResString(STablesRunUndone), {report.RemovedStakes});
    return texts.join(QLatin1String("\n\n"));
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
    SaveFileIfChanged(FileName(), TablesToBytes(FTables));
    ViewChanged();
}

bool TRegularStakes::OpenJournal()
{
    if (!Stakes || !Stakes->IsOpen())
        return true;
    try {
        const qint64 size = Stakes->Size();
        const QByteArray digest = FileDigest(ReadWholeFile(FileName(), MaxTablesFileBytes));
        SaveFileAtomic(JournalFileName(), QByteArray::number(size) + ' ' + digest + '\n');
        FJournalSize = size;
        return true;
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(SJournalError), {JournalFileName(), ExceptionText(e)}));
        return false;
    }
}

void TRegularStakes::CloseJournal()
{
    if (FJournalSize < 0)
        return;
    FJournalSize = -1;
    // A journal that stays is harmless: the next start finds the rules file changed.
    QFile::remove(JournalFileName());
}

void TRegularStakes::RollBack(const TTablesArray& rules)
{
    FTables = rules;
    if (FJournalSize < 0)
        return;
    try {
        Stakes->Truncate(FJournalSize);
    } catch (const std::exception& e) {
        // The journal stays: the next start cuts the stakes file back.
        FJournalSize = -1;
        ErrorBox(ExceptionText(e));
        return;
    }
    CloseJournal();
}

int TRegularStakes::FinishInterruptedRun()
{
    if (!Stakes || !Stakes->IsOpen())
        return 0;
    const std::optional<QByteArray> journal = ReadWholeFile(JournalFileName(), MaxJournalBytes);
    if (!journal)
        return 0;
    const QByteArray text = journal->trimmed();
    const qsizetype space = text.indexOf(' ');
    bool sizeRead = false;
    const qint64 size = space > 0 ? text.left(space).toLongLong(&sizeRead) : 0;
    int removed = 0;
    if (sizeRead && size >= 0 && text.mid(space + 1) == FileDigest(ReadWholeFile(FileName(), MaxTablesFileBytes))
        && Stakes->Size() > size) {
        // Only unchecked stakes can have been appended since: anything else is left alone.
        const qint64 first = (size + StakeRecSize - 1) / StakeRecSize;
        bool allUnchecked = size % StakeRecSize == 0;
        for (TStakeReader reader(*Stakes, first); allUnchecked && reader.NextBlock();)
            for (qint64 k = 0; k < reader.Count() && allUnchecked; ++k) {
                const TStakeView stake = reader.At(k);
                allUnchecked = !stake.Checked();
                removed += stake.IsStake() ? 1 : 0;
            }
        if (allUnchecked)
            Stakes->Truncate(size);
        else
            removed = 0;
    }
    QFile::remove(JournalFileName());
    return removed;
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
    if (!EditStake || !EditStake(stake, drawCount) || !CreateStakes)
        return false;
    // The stake is checked only once the rule that made it is saved.
    const TTablesArray before = FTables;
    if (!OpenJournal())
        return false;
    bool made = false;
    try {
        made = CreateStakes(stake, drawCount, false);
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
    if (!made) {
        CloseJournal();
        return false;
    }
    FTables[static_cast<size_t>(row)] = advanced;
    Point(TTablesPoint::StakesMade);
    if (!SaveShowingError()) {
        RollBack(before);
        ViewChanged();
        if (RefreshGrid)
            RefreshGrid(true, false);
        return false;
    }
    Point(TTablesPoint::RulesSaved);
    CloseJournal();
    ViewChanged();
    if (CheckStakes)
        CheckStakes();
    if (RefreshGrid)
        RefreshGrid(true, true);
    return true;
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

    const TTablesArray before = FTables;
    if (!OpenJournal())
        return false;
    bool made = true;
    QString failure;
    for (int k = count; k >= 1 && made; --k) {
        FState.SetDrawsOffset(k);
        for (const int row : rows) {
            TTableRec& rule = FTables[static_cast<size_t>(row)];
            if (rule.IsDamaged())
                continue;
            TTableRec advanced = rule;
            NextTableComb(advanced, k);
            try {
                made = CreateStakes && CreateStakes(RegularStake(advanced, k), 1, true);
            } catch (const std::exception& e) {
                made = false;
                failure = ExceptionText(e);
            }
            if (!made)
                break;
            // A rule moves on only by the stakes it really made.
            rule = advanced;
        }
    }
    Point(TTablesPoint::StakesMade);
    if (!SaveShowingError()) {
        RollBack(before);
        made = false;
    } else {
        Point(TTablesPoint::RulesSaved);
        CloseJournal();
    }
    ViewChanged();
    if (!failure.isEmpty())
        ErrorBox(failure);
    if (made) {
        if (CheckStakes)
            CheckStakes();
        if (RefreshGrid)
            RefreshGrid(true, true);
    } else if (RefreshGrid) {
        RefreshGrid(true, false);
    }
    return made;
}
