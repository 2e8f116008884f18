#include "app/core/stakes/Ratings.h"

#include "app/core/files/RecordFile.h"
#include "app/core/stakes/RatingsFile.h"
#include "app/core/stakes/RatingsFromStakes.h"
#include "app/core/stakes/StakesFile.h"
#include "engine/KelmaMsg.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/SaveFile.h"
#include "platform/SysErrorText.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <QFile>

#include <algorithm>
#include <utility>

namespace {

const TResString SRatingsRepaired = RESSTR(
    "Ratings",
    "Файл рейтинга \"%s\" поврежден: последние %d байт не составляют целой записи и отброшены, "
    "файл записан заново.\n\nКопия исходного файла сохранена как \"%s\".");
const TResString SRatingsNotRepaired = RESSTR(
    "Ratings",
    "Файл рейтинга \"%s\" поврежден: последние %d байт не составляют целой записи и не учитываются. "
    "Исправить файл не удалось, он оставлен как есть.\n\n%s");
const TResString SRatingsMended = RESSTR(
    "Ratings",
    "Файл рейтинга \"%s\": в записях (%d) счетчики или сумма выходили за допустимые пределы и "
    "исправлены: отрицательные значения заменены нулем, счетчики ограничены числом ставок, у "
    "рейтинга без ставок обнулены счетчики и сумма.");
const TResString SRatingsCopyKept = RESSTR("Ratings", "Копия исходного файла сохранена как \"%s\".");
const TResString SRatingsMendNotSaved = RESSTR(
    "Ratings", "Исправить файл не удалось, он оставлен как есть.\n\n%s");
const TResString SRatingsRecovered = RESSTR(
    "Ratings",
    "Прошлая проверка ставок была прервана до сохранения рейтинга: проверенные тогда ставки (%d) "
    "добавлены в рейтинг.");
const TResString SRatingsNotSaved = RESSTR("Ratings", "Файл рейтинга \"%s\" не удалось сохранить.\n\n%s");
const TResString SColZero = RESSTR("Ratings", "0");
const TResString SColOne = RESSTR("Ratings", "1");
const TResString SColTwo = RESSTR("Ratings", "2");
const TResString SColEffZero = RESSTR("Ratings", "E0");
const TResString SColEffOne = RESSTR("Ratings", "E1");
const TResString SColEffTwo = RESSTR("Ratings", "E2");

// The step text of a scenario line has eight filter fields before its comment.
constexpr int ScriptStepFields = 8;

int Sign(std::int64_t v) { return (v > 0) - (v < 0); }
int Sign(__int128 v) { return (v > 0) - (v < 0); }

// The sign of a value rounded to an integer, a half to the even one: only beyond one half
// does a difference count.
int RoundedSign(long double v)
{
    if (v > 0.5L)
        return 1;
    if (v < -0.5L)
        return -1;
    return 0;
}

QString Quoted(QString text)
{
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

long double AverageMatched(const TRatingRec& r)
{
    return static_cast<long double>(r.Matched) / r.Stakes;
}

int CountNonEmptyFields(const QString& text)
{
    int count = 0;
    for (const QString& field : text.split(QLatin1Char('|')))
        count += field.isEmpty() ? 0 : 1;
    return count;
}

} // namespace

QStringList RatingColumnCaptions()
{
    return {LoadResString(rsColComment), LoadResString(rsColStakes), LoadResString(rsColGuessed),
            LoadResString(rsColAverage), LoadResString(rsColProfit), LoadResString(rsColAverageProfit),
            LoadResString(SColZero),     LoadResString(SColOne),     LoadResString(SColTwo),
            LoadResString(SColEffZero),  LoadResString(SColEffOne),  LoadResString(SColEffTwo)};
}

TExpectedHits MakeExpectedHits()
{
    TExpectedHits hits;
    for (int m = 0; m < RatingMatchCounters; ++m) {
        TExpectedHit& hit = hits[static_cast<size_t>(m)];
        hit.Count = MatchCombCount(DigitValues, DrawDigits, static_cast<std::uint8_t>(m));
        hit.Share = static_cast<long double>(hit.Count) / CombinationsTotal;
    }
    return hits;
}

QString RatingEfficiencyText(const TRatingRec& rating, int matched, int effMode, const TExpectedHits& expected)
{
    if (rating.Stakes <= 0 || matched < 0 || matched >= RatingMatchCounters)
        return QString();
    const long double n = rating.Stakes;
    const long double c = rating.MatchCounts[static_cast<size_t>(matched)];
    const long double e = expected[static_cast<size_t>(matched)].Share;
    switch (effMode) {
    case 0:
        return Format(QStringLiteral("%.d"), {Round(n * e)});
    case 2:
        return Format(QStringLiteral("%.3f%%"), {c * 100 / (n * e)});
    default:
        return Format(QStringLiteral("%.3f%%"), {c * 100 / n - e * 100});
    }
}

TCurrency AverageBalance(const TRatingRec& rating)
{
    const std::int64_t raw = rating.Balance.Raw();
    const std::int64_t n = rating.Stakes;
    std::int64_t q = raw / n;
    const std::int64_t r = raw % n;
    // |2r| against n decides; a tie goes to the even quotient.
    const std::int64_t twice = 2 * (r < 0 ? -r : r);
    if (twice > n || (twice == n && q % 2 != 0))
        q += (r < 0) ? -1 : 1;
    return TCurrency::FromRaw(q);
}

QStringList RatingRowTexts(const TRatingRec& rating, int effMode, const TExpectedHits& expected)
{
    const bool hasStakes = rating.Stakes > 0;
    QStringList texts;
    texts << rating.Comment << IntToStr(rating.Stakes) << IntToStr(rating.Matched)
          << (hasStakes ? Format(QStringLiteral("%.3f"), {AverageMatched(rating)}) : QString())
          << Format(QStringLiteral("%.2f"), {rating.Balance})
          << (hasStakes ? Format(QStringLiteral("%.2f"), {AverageBalance(rating)}) : QString());
    for (const std::int32_t count : rating.MatchCounts)
        texts << IntToStr(count);
    for (int m = 0; m < RatingMatchCounters; ++m)
        texts << RatingEfficiencyText(rating, m, effMode, expected);
    return texts;
}

int CompareRatings(const TRatingRec& a, const TRatingRec& b, int column)
{
    if (a.Stakes == 0 || b.Stakes == 0)
        return 0;
    switch (column) {
    case 0: {
        const int c = QString::localeAwareCompare(a.Comment, b.Comment);
        return (c > 0) - (c < 0);
    }
    case 1:
        return Sign(std::int64_t(a.Stakes) - std::int64_t(b.Stakes));
    case 2:
        return Sign(std::int64_t(a.Matched) - std::int64_t(b.Matched));
    case 3:
        return RoundedSign((AverageMatched(a) - AverageMatched(b)) * 100);
    case 4: {
        // Raw amounts are ten-thousandths: a hundredth of money is 100 of them.
        const __int128 diff = static_cast<__int128>(a.Balance.Raw()) - b.Balance.Raw();
        return (diff > 50 || diff < -50) ? Sign(diff) : 0;
    }
    case 5: {
        const long double avgA = static_cast<long double>(a.Balance.Raw()) / a.Stakes;
        const long double avgB = static_cast<long double>(b.Balance.Raw()) / b.Stakes;
        return RoundedSign((avgA - avgB) / 100);
    }
    case 6:
    case 7:
    case 8: {
        const auto m = static_cast<size_t>(column - 6);
        return Sign(std::int64_t(a.MatchCounts[m]) - std::int64_t(b.MatchCounts[m]));
    }
    default:
        return 0;
    }
}

void QuickSortRatings(TRatingsArray& ratings, int column, bool descending)
{
    const auto compare = [column, descending](const TRatingRec& a, const TRatingRec& b) {
        const int c = CompareRatings(a, b, column);
        return descending ? -c : c;
    };
    struct TRange {
        std::ptrdiff_t L, R;
    };
    // The smaller part is sorted first and the larger one waits on the stack, so the stack
    // never holds more than log2(n) ranges; the parts are disjoint, so the order in which
    // they are sorted does not change the result.
    std::vector<TRange> pending;
    if (ratings.size() > 1)
        pending.push_back({0, static_cast<std::ptrdiff_t>(ratings.size()) - 1});
    while (!pending.empty()) {
        const TRange range = pending.back();
        pending.pop_back();
        const std::ptrdiff_t l = range.L, r = range.R;
        std::ptrdiff_t i = l, j = r;
        const TRatingRec pivot = ratings[static_cast<size_t>(l + (r - l) / 2)];
        do {
            // A consistent comparison stops both scans at the pivot's value; the bounds keep
            // an inconsistent one inside the range.
            while (i < r && compare(ratings[static_cast<size_t>(i)], pivot) < 0)
                ++i;
            while (j > l && compare(ratings[static_cast<size_t>(j)], pivot) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(ratings[static_cast<size_t>(i)], ratings[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        TRange left{l, j}, right{i, r};
        const bool leftSorts = left.L < left.R, rightSorts = right.L < right.R;
        if (leftSorts && rightSorts && left.R - left.L < right.R - right.L)
            std::swap(left, right);   // the larger part goes on the stack first
        if (leftSorts)
            pending.push_back(left);
        if (rightSorts)
            pending.push_back(right);
    }
}

QByteArray RatingsCsvBytes(const TRatingsArray& ratings)
{
    const QString sep = QStringLiteral(";");
    const QString eol = QStringLiteral("\r\n");
    QStringList captions;
    for (const QString& caption : RatingColumnCaptions())
        captions << Quoted(caption);
    QString text = captions.join(sep) + eol;
    for (const TRatingRec& r : ratings) {
        const bool hasStakes = r.Stakes > 0;
        QStringList fields;
        fields << Quoted(r.Comment) << IntToStr(r.Stakes) << IntToStr(r.Matched)
               << (hasStakes ? Format(QStringLiteral("%.3f"), {AverageMatched(r)}) : QString())
               << Format(QStringLiteral("%.2f"), {r.Balance})
               << (hasStakes ? Format(QStringLiteral("%.2f"), {AverageBalance(r)}) : QString());
        for (const std::int32_t count : r.MatchCounts)
            fields << IntToStr(count);
        text += fields.join(sep) + eol;
    }
    return EncodeCp1251(text);
}

QString RatingScriptLine(const QString& comment)
{
    QString lineComment;
    QString step = comment;
    const qsizetype at = comment.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        lineComment = comment.left(at).trimmed();
        step = comment.mid(at + 1).trimmed();
    }
    step.replace(QLatin1String(" + "), QLatin1String("|"));
    // Each "| " adds one field (a blank one counts), so eight rounds always reach eight fields;
    // the bound keeps the loop finite whatever the text holds.
    for (int round = 0; round < ScriptStepFields && CountNonEmptyFields(step) < ScriptStepFields; ++round)
        step += QLatin1String("| ");
    return step + QLatin1Char('|') + lineComment;
}

TRatings::TRatings(QString fileName, TStakesFile* stakes)
    : FFileName(std::move(fileName)), FStakes(stakes), FExpectedHits(MakeExpectedHits())
{
}

void TRatings::ViewChanged() const
{
    if (OnViewChanged)
        OnViewChanged();
}

TRatingsLoadReport TRatings::LoadRatingsFile()
{
    TRatingsLoadReport report;
    TBusyScope busy(LoadResString(rsLoadingRatingsFile));
    const std::optional<QByteArray> bytes = ReadWholeFile(FFileName, MaxRatingsFileBytes);
    if (bytes) {
        report.FileFound = true;
        FRatings = RatingsFromBytes(*bytes, &report.ExtraBytes);
        report.Records = static_cast<int>(FRatings.size());
        for (TRatingRec& rating : FRatings)
            report.MendedRecords += MendRatingRec(rating) ? 1 : 0;
    }
    report.RecoveredStakes = FinishInterruptedCheck(bytes);
    // A missing file stays missing unless a check cut short has stakes to count.
    if (!bytes && !FScoringOpen)
        return report;
    // The copy comes first: the rewrite after the sort drops what the repair dropped for good.
    if (report.NeedsCopy()) {
        try {
            report.BackupFile = BackupDamagedFile(FFileName, *bytes);
        } catch (const std::exception& e) {
            report.RepairError = ExceptionText(e);
            SortInMemory();
            ViewChanged();
            return report;
        }
    }
    try {
        SortRatings();
        report.Repaired = report.NeedsCopy();
    } catch (const std::exception& e) {
        (report.NeedsCopy() ? report.RepairError : report.SaveError) = ExceptionText(e);
        ViewChanged();
    }
    return report;
}

int TRatings::FinishInterruptedCheck(const std::optional<QByteArray>& fileBytes)
{
    if (!FStakes)
        return 0;
    std::optional<QByteArray> journal;
    try {
        journal = ReadWholeFile(JournalFileName(), MaxJournalBytes);
    } catch (const std::exception&) {
        // A journal that cannot be read tells nothing; the marks stay for a later start.
        return 0;
    }
    if (!journal)
        return 0;
    FScoringOpen = true;
    FMarksAnywhere = true;
    FScoringSaved = journal->trimmed() != FileDigest(fileBytes);
    if (FScoringSaved)
        return 0;
    // The file is as it was before the check: the stakes that check marked are not in it.
    TRatingsArray with = FRatings;
    int added = 0;
    try {
        MarkedStakesOf(*FStakes)([&with, &added](const TCheckedStake& stake) {
            AddRatingResult(with, stake.Comment, stake.Matched, stake.Balance);
            ++added;
        });
    } catch (...) {
        // Journal and marks stay as they are for a start that can read them.
        FScoringOpen = false;
        throw;
    }
    FRatings = std::move(with);
    return added;
}

QString TRatings::DamageText(const TRatingsLoadReport& report, const QString& fileName)
{
    QStringList texts;
    if (report.Damaged()) {
        texts << (report.Repaired
                      ? Format(LoadResString(SRatingsRepaired), {fileName, report.ExtraBytes, report.BackupFile})
                      : Format(LoadResString(SRatingsNotRepaired), {fileName, report.ExtraBytes, report.RepairError}));
    }
    if (report.MendedRecords > 0) {
        texts << Format(LoadResString(SRatingsMended), {fileName, report.MendedRecords});
        // A torn file already told about the copy and the rewrite.
        if (!report.Damaged())
            texts << (report.Repaired ? Format(LoadResString(SRatingsCopyKept), {report.BackupFile})
                                      : Format(LoadResString(SRatingsMendNotSaved), {report.RepairError}));
    }
    if (report.RecoveredStakes > 0)
        texts << Format(LoadResString(SRatingsRecovered), {report.RecoveredStakes});
    if (!report.SaveError.isEmpty())
        texts << Format(LoadResString(SRatingsNotSaved), {fileName, report.SaveError});
    return texts.join(QLatin1String("\n\n"));
}

void TRatings::SaveRatingsFile()
{
    // What a check adds is saved once, after its scan.
    if (FScanning)
        return;
    TBusyScope busy(LoadResString(rsSavingRatingsFile));
    SaveFileIfChanged(FFileName, RatingsToBytes(FRatings));
    ViewChanged();
    if (!FScoringOpen)
        return;
    FScoringSaved = true;
    if (Checkpoint)
        Checkpoint(TCheckPoint::RatingsSaved);
    try {
        FinishScoring();
    } catch (const std::exception&) {
        // The ratings are safe in the file; the marks are cleared by the next save, the next
        // check or the next start, which tell by the journal that the file counts them.
    }
}

void TRatings::FinishScoring()
{
    if (!FStakes || !FStakes->IsOpen())
        throw Exception(LoadResString(rsStakesFileNotOpen));
    if (FMarksAnywhere || FMarkLayout != FStakes->Layout())
        FStakes->ClearRatingMarks(0, -1);
    else if (FMarkFirst >= 0)
        FStakes->ClearRatingMarks(FMarkFirst, FMarkLast - FMarkFirst + 1);
    if (Checkpoint)
        Checkpoint(TCheckPoint::MarksCleared);
    QFile journal(JournalFileName());
    if (journal.exists() && !journal.remove())
        throw Exception(Format(LoadResString(rsFileDeleteError), {JournalFileName(), FileErrorText(journal)}));
    FScoringOpen = false;
    FScoringSaved = false;
    FMarksAnywhere = false;
    FMarkFirst = FMarkLast = -1;
}

void TRatings::BeginScan()
{
    FScanning = true;
}

void TRatings::PrepareMarks()
{
    if (!FStakes)
        return;
    // Marks whose stakes the file already counts must go first: a new journal would otherwise
    // make them look uncounted.
    if (FScoringOpen && FScoringSaved)
        FinishScoring();
    if (FScoringOpen) {
        if (FMarkLayout != FStakes->Layout())
            FMarksAnywhere = true;
        FMarkLayout = FStakes->Layout();
        return;
    }
    SaveFileAtomic(JournalFileName(), FileDigest(ReadWholeFile(FFileName, MaxRatingsFileBytes)) + '\n');
    FScoringOpen = true;
    FScoringSaved = false;
    FMarksAnywhere = false;
    FMarkFirst = FMarkLast = -1;
    FMarkLayout = FStakes->Layout();
}

void TRatings::EndScan(qint64 first, qint64 last)
{
    FScanning = false;
    if (first < 0 || !FScoringOpen)
        return;
    FMarkFirst = FMarkFirst < 0 ? first : std::min(FMarkFirst, first);
    FMarkLast = std::max(FMarkLast, last);
}

void TRatings::SortInMemory()
{
    if (SortColumn == -1 || FRatings.size() < 2)
        return;
    TBusyScope busy(LoadResString(rsSortingRatings));
    QuickSortRatings(FRatings, SortColumn, SortDescending);
}

void TRatings::SortRatings()
{
    // The check keeps the order until it is done; it sorts and saves then.
    if (FScanning)
        return;
    SortInMemory();
    SaveRatingsFile();
}

void TRatings::FreeRatings()
{
    FRatings.clear();
    ViewChanged();
}

bool TRatings::RefreshRatings(const TCheckedStakeSource& stakes)
{
    if (!FRatings.empty() && ConfirmBox(LoadResString(rsAskRefreshRatings)) != IDYES)
        return false;
    TBusyScope busy(LoadResString(rsRefreshingRatings));
    TRatingsArray rebuilt;
    stakes([&rebuilt](const TCheckedStake& stake) {
        AddRatingResult(rebuilt, stake.Comment, stake.Matched, stake.Balance);
    });
    FRatings = std::move(rebuilt);
    SortRatings();
    return true;
}

void TRatings::ExportRatingsCsv(const QString& fileName) const
{
    TBusyScope busy(LoadResString(rsExportingCsv));
    SaveFileAtomic(fileName, RatingsCsvBytes(FRatings));
}

QString TRatings::StatusPanelText() const
{
    return Format(LoadResString(rsStatusRatingCount), {static_cast<int>(FRatings.size())});
}

QStringList TRatings::RowTexts(int row, int effMode) const
{
    if (row < 0 || row >= static_cast<int>(FRatings.size()))
        return {};
    return RatingRowTexts(FRatings[static_cast<size_t>(row)], effMode, FExpectedHits);
}
