#include "app/core/stats/PrefetchCache.h"

#include "app/core/combs/CombsGen.h"
#include "app/core/shell/MainState.h"
#include "engine/KelmaUtils.h"
#include "engine/PrjConst.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "platform/SaveFile.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

const TResString SCreatingFile = RESSTR("PrefetchCache", "Создание файла предварительной выборки %s...");
const TResString SCreatingAll = RESSTR("PrefetchCache", "Создание файлов для полного набора комбинаций...");
const TResString SCreateError = RESSTR(
    "PrefetchCache",
    "Ошибка создания файла данных для полного набора вариантов!\n\nИмя файла: %s\n\n%s");
const TResString SOpenError = RESSTR(
    "PrefetchCache",
    "Ошибка открытия файла данных для полного набора вариантов!\n\nИмя файла: %s\n\n%s");
const TResString SFolderError = RESSTR("PrefetchCache", "Не удалось создать папку \"%s\"");
const TResString SReadError = RESSTR("PrefetchCache", "Не удалось прочитать файл: %s");

constexpr char PrefetchFolder[] = "Prefetchs";

void PutInt32(std::uint8_t* bytes, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::int32_t GetInt32(const std::uint8_t* bytes)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t{bytes[i]} << (8 * i);
    return static_cast<std::int32_t>(v);
}

// A file holds a record for each value the 100 combinations give a method and the totals
// record: some tens of records. 1 MiB holds more than 87 000.
constexpr qint64 MaxPrefetchFileBytes = 1024 * 1024;

// Reads the whole file; raises Exception with the reason.
QByteArray ReadPrefetchFile(const QString& fileName)
{
    try {
        return ReadRegularFile(fileName, MaxPrefetchFileBytes);
    } catch (const EFileReadError& e) {
        throw Exception(Format(LoadResString(SReadError), {e.Message()}));
    }
}

}  // namespace

QString TPrefetchCache::FolderName() const
{
    return FState.DataDir() + QLatin1String(PrefetchFolder) + QLatin1Char('/');
}

QString TPrefetchCache::FileName(const TStatMethod& method) const
{
    return FolderName()
           + Format(QStringLiteral("%s_%s.dfc"), {QString::fromLatin1(ProgramFileName), method.Code()});
}

bool TPrefetchCache::Enabled() const
{
    return FState.Options.Flag(TMainOptions::PrefetchsEnabled);
}

bool TPrefetchCache::GroupInMask(const TStatMethod& method, std::uint16_t mask)
{
    const int group = method.StatClass().Group;
    return group >= 0 && group < 16 && (mask >> group) & 1u;
}

QByteArray TPrefetchCache::BuildBytes(const TStatList& list, const TStatMethod& method)
{
    std::unique_ptr<TCustomStat> stat = method.CreateStat(list);
    if (!stat)
        throw Exception(method.Code());
    // Each of the 100 combinations counted once, merged without gap tracking.
    TStatDrawArray table;
    for (const TCombWord comb : GenerateCombs(GenFull, TMyNumbers{}))
        stat->AddCombination(comb, table);
    SortStatValues(table);
    const TStatValuesSummary summary = GetStatValuesSummary(table);

    QByteArray bytes(static_cast<qsizetype>((table.size() + 1) * ShemaRecSize), '\0');
    auto* out = reinterpret_cast<std::uint8_t*>(bytes.data());
    for (const TStatValueRec& value : table) {
        WriteShemaRec(StatValueToShema(value), out);
        out += ShemaRecSize;
    }
    PutInt32(out, summary.MinHits);
    PutInt32(out + 4, summary.MaxHits);
    PutInt32(out + 8, 0);
    return bytes;
}

bool TPrefetchCache::IsSound(const QByteArray& bytes)
{
    if (bytes.size() < ShemaRecSize || bytes.size() % ShemaRecSize != 0)
        return false;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const qsizetype totals = bytes.size() - ShemaRecSize;
    std::int32_t minHits = std::numeric_limits<std::int32_t>::max();
    std::int32_t maxHits = 0;
    for (qsizetype at = 0; at < totals; at += ShemaRecSize) {
        const std::int32_t hits = ReadShemaRec(data + at).Hits;
        minHits = std::min(minHits, hits);
        maxHits = std::max(maxHits, hits);
    }
    return GetInt32(data + totals) == minHits && GetInt32(data + totals + 4) == maxHits
           && GetInt32(data + totals + 8) == 0;
}

QByteArray TPrefetchCache::CreateFile(const TStatMethod& method)
{
    const QString fileName = FileName(method);
    TBusyScope busy(Format(LoadResString(SCreatingFile), {QFileInfo(fileName).fileName()}));
    try {
        const QString folder = FolderName();
        if (!QDir().mkpath(folder))
            throw Exception(Format(LoadResString(SFolderError), {QDir::toNativeSeparators(folder)}));
        QByteArray bytes = BuildBytes(FState.StatList(), method);
        SaveFileAtomic(fileName, bytes);
        return bytes;
    } catch (const std::exception& e) {
        // A file that could not be written from the current settings is not left behind:
        // an older one would give norms of settings no longer in force.
        QFile::remove(fileName);
        ErrorBox(Format(LoadResString(SCreateError), {fileName, ExceptionText(e)}));
    }
    return {};
}

bool TPrefetchCache::FileIsSound(const QString& fileName) const
{
    try {
        return IsSound(ReadPrefetchFile(fileName));
    } catch (const std::exception&) {
        return false;
    }
}

QByteArray TPrefetchCache::Load(const TStatMethod& method)
{
    if (!Enabled() || !StatClassIsPlainValue(method.StatClass()))
        return {};
    const QString fileName = FileName(method);
    const QFileInfo info(fileName);
    if (!info.exists())
        return FRebuildStopped ? QByteArray() : CreateFile(method);
    QByteArray bytes;
    try {
        bytes = ReadPrefetchFile(fileName);
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(SOpenError), {fileName, ExceptionText(e)}));
        return {};
    }
    if (!IsSound(bytes))
        return FRebuildStopped ? QByteArray() : CreateFile(method);
    return bytes;
}

bool TPrefetchCache::Rebuild(bool force, std::uint16_t mask)
{
    if (!force && !Enabled())
        return true;
    FRebuildStopped = false;
    const QString text = LoadResString(SCreatingAll);
    TBusyScope busy(text);
    TStatList& list = FState.StatList();
    if (FProgress.Show)
        FProgress.Show(text, list.Count());
    struct THide {
        const TProgressFunctions& Progress;
        ~THide()
        {
            if (Progress.Hide)
                Progress.Hide();
        }
    } hide{FProgress};
    for (int i = 0; i < list.Count(); ++i) {
        const TStatMethod& method = list.Items(i);
        if (list.IsPlainValue(i)) {
            const QString fileName = FileName(method);
            if (GroupInMask(method, mask) || !QFileInfo::exists(fileName) || !FileIsSound(fileName)) {
                // CreateFile has told the user. What refused this file (most often a full
                // disk) would refuse the next ones too, each with a box of its own.
                if (CreateFile(method).isEmpty()) {
                    DeleteGroupFilesFrom(i + 1, mask);
                    FRebuildStopped = true;
                    return false;
                }
            }
            // The file's own status goes; the rebuild's stays while it runs.
            ShowInStatusBar(text);
        }
        if (FProgress.Step)
            FProgress.Step();
    }
    return true;
}

void TPrefetchCache::DeleteGroupFilesFrom(int first, std::uint16_t mask)
{
    const TStatList& list = FState.StatList();
    for (int i = std::max(first, 0); i < list.Count(); ++i)
        if (list.IsPlainValue(i) && GroupInMask(list.Items(i), mask))
            QFile::remove(FileName(list.Items(i)));
}

void TPrefetchCache::DeleteGroupFiles(std::uint16_t mask)
{
    DeleteGroupFilesFrom(0, mask);
}

void TPrefetchCache::SettingsChanged(std::uint16_t mask)
{
    if (mask == 0)
        return;
    if (Enabled())
        Rebuild(false, mask);
    else
        DeleteGroupFiles(mask);
}
