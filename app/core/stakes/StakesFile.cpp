#include "app/core/stakes/StakesFile.h"

#include "app/core/files/RecordFile.h"
#include "app/core/stakes/StakeReader.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "platform/SaveFile.h"
#include "platform/SysErrorText.h"

#include <QFile>

#include <algorithm>

#include <cerrno>
#include <climits>
#include <limits>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const TResString SStakesFileCopyKept = RESSTR(
    "StakesFile", "Копия прежнего файла ставок сохранена как \"%s\".");
const TResString SStakesFileTorn = RESSTR(
    "StakesFile",
    "Файл ставок \"%s\" поврежден: последние %d байт не составляют целой записи и отброшены.");
const TResString SStakeHeld = RESSTR(
    "StakesFile", "Файл ставок \"%s\" уже используется другой копией программы.");
const TResString SDrawNumberRange = RESSTR(
    "StakesFile", "Номера тиражей ставки выходят за допустимые пределы.");
const TResString SShortRead = RESSTR("StakesFile", "Файл ставок прочитан не полностью.");

const TResString SStakesOpenError = RESSTR("StakesFile", "Не удалось открыть файл ставок \"%s\": %s");
[[noreturn]] void Raise(const TResString& wrapper, const QString& reason)
{
    throw Exception(Format(LoadResString(wrapper), {reason}));
}

// Runs the body and turns any failure into the operation's own message.
template <typename TBody>
auto Wrapped(const TResString& wrapper, TBody body)
{
    try {
        return body();
    } catch (const std::exception& e) {
        Raise(wrapper, ExceptionText(e));
    }
}

}  // namespace

TStakesFile::TStakesFile(QString fileName) : FFileName(std::move(fileName)) {}

TStakesFile::~TStakesFile()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

int TStakesFile::OpenHeld(const QString& fileName)
{
    const QByteArray name = QFile::encodeName(fileName);
    const auto refuse = [&fileName](int error) {
        return Exception(Format(LoadResString(SStakesOpenError), {fileName, SystemErrorText(error)}));
    };
    // Opened for writing too, so not through OpenRegularFile, but held to its rule: a pipe or a
    // device in the file's place would take the stakes and give nothing back. Stakes are read
    // and written record by record, never held whole: any size of file will do.
    const int handle = ::open(name.constData(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (handle < 0)
        throw refuse(errno);
    try {
        CheckRegularFile(handle, std::numeric_limits<qint64>::max());
    } catch (const EFileReadError& e) {
        ::close(handle);
        throw Exception(Format(LoadResString(SStakesOpenError), {fileName, e.Message()}));
    }
    ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK);
    if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(handle);
        if (error == EWOULDBLOCK)
            throw EStakesFileHeld(Format(LoadResString(SStakeHeld), {fileName}));
        throw refuse(error);
    }
    return handle;
}

void TStakesFile::Open()
{
    if (FHandle >= 0) {
        ::close(FHandle);
        FHandle = -1;
    }
    FCachePosition = -1;
    FPosition = 0;
    FHandle = OpenHeld(FFileName);
}

TStakesLoadReport TStakesFile::Load()
{
    return Wrapped(rsStakesReadError, [this] {
        Open();
        FCheckStart.Forget();
        TStakesLoadReport report;
        report.FileName = FFileName;
        report.OriginalSize = Size();
        if (report.OriginalSize == 0)
            return report;
        std::uint8_t version = 0;
        ReadAt(0, &version, 1);
        const qint64 tail = report.OriginalSize % StakeRecSize;
        if (version == StakeRecVersion && tail == 0)
            return report;

        // A copy of everything comes first, so that no repair costs the user a stake. It is
        // made block by block: the stakes are never held in memory, however large the file.
        const auto read = [this](qint64 offset, char* data, qint64 size) { ReadAt(offset, data, size); };
        report.BackupFile = BackupDamagedFile(FFileName, report.OriginalSize, read);

        const qint64 keep = version == StakeRecVersion ? report.OriginalSize - tail : 0;
        if (::ftruncate(FHandle, keep) != 0)
            throw Exception(SystemErrorText(errno));
        ++FLayout;
        report.OldVersion = version != StakeRecVersion;
        report.DroppedBytes = report.OldVersion ? 0 : tail;
        FCachePosition = -1;
        return report;
    });
}

QStringList TStakesFile::LoadMessages(const TStakesLoadReport& report)
{
    QStringList texts;
    if (report.OldVersion)
        texts << LoadResString(rsOldStakesFile);
    else if (report.DroppedBytes > 0)
        texts << Format(LoadResString(SStakesFileTorn), {report.FileName, report.DroppedBytes});
    if (report.Repaired())
        texts << Format(LoadResString(SStakesFileCopyKept), {report.BackupFile});
    return texts;
}

void TStakesFile::Close()
{
    FCachePosition = -1;
    FPosition = 0;
    if (FHandle < 0)
        return;
    const int handle = std::exchange(FHandle, -1);
    if (::close(handle) != 0)
        Raise(rsStakesWriteError, SystemErrorText(errno));
}

void TStakesFile::Reopen()
{
    Wrapped(rsStakesWriteError, [this] {
        Close();
        Open();
    });
}

qint64 TStakesFile::Size() const
{
    if (FHandle < 0)
        return 0;
    struct stat info{};
    if (::fstat(FHandle, &info) != 0)
        return 0;
    return info.st_size;
}

void TStakesFile::RequireOpen() const
{
    if (FHandle < 0)
        throw Exception(LoadResString(rsStakesFileNotOpen));
}

qint64 TStakesFile::SeekBase(TSeekOrigin origin) const
{
    switch (origin) {
    case soFromCurrent: return FPosition;
    case soFromEnd: return Size();
    default: return 0;
    }
}

void TStakesFile::ReadAt(qint64 position, void* data, qint64 size) const
{
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::pread(FHandle, bytes, static_cast<size_t>(size), position);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw Exception(SystemErrorText(errno));
        }
        if (got == 0)
            throw Exception(LoadResString(SShortRead));
        bytes += got;
        size -= got;
        position += got;
    }
}

void TStakesFile::WriteAt(qint64 position, const void* data, qint64 size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::pwrite(FHandle, bytes, static_cast<size_t>(size), position);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            throw Exception(SystemErrorText(errno));
        }
        bytes += put;
        size -= put;
        position += put;
    }
}

TStakeRec TStakesFile::ReadStake(TSeekOrigin origin, qint64 index)
{
    return Wrapped(rsStakeReadError, [&] {
        RequireOpen();
        const qint64 base = SeekBase(origin);
        // Indexes come from callers and grids: the product is formed without overflow.
        if (index > (LLONG_MAX - base) / StakeRecSize || index < -(base / StakeRecSize) - 1)
            throw Exception(Format(LoadResString(rsRecordNotFound), {index}));
        const qint64 position = base + index * StakeRecSize;
        if (position < 0 || position > Size() - StakeRecSize)
            throw Exception(Format(LoadResString(rsRecordNotFound), {index}));
        if (position != FCachePosition) {
            std::uint8_t bytes[StakeRecSize];
            ReadAt(position, bytes, StakeRecSize);
            FCache = ReadStakeRec(bytes);
            FCachePosition = position;
        }
        FPosition = position + StakeRecSize;
        return FCache;
    });
}

void TStakesFile::WriteStake(TSeekOrigin origin, qint64 index, const TStakeRec& rec)
{
    Wrapped(rsStakeAppendError, [&] {
        RequireOpen();
        const qint64 base = SeekBase(origin);
        if (index > (LLONG_MAX - base) / StakeRecSize || index < -(base / StakeRecSize) - 1)
            throw Exception(Format(LoadResString(rsRecordNotFound), {index}));
        const qint64 position = base + index * StakeRecSize;
        if (position < 0 || position > Size())
            throw Exception(Format(LoadResString(rsRecordNotFound), {index}));
        std::uint8_t bytes[StakeRecSize];
        WriteStakeRec(rec, bytes);
        // The cached copy may be the record being replaced; it is dropped before the write so
        // that a write that fails half-way never leaves a cache that disagrees with the file.
        if (FCachePosition == position)
            FCachePosition = -1;
        WriteInPlace(position, bytes, StakeRecSize);
        FCache = rec;
        FCachePosition = position;
        FPosition = position + StakeRecSize;
    });
}

void TStakesFile::ReadRecordsInto(qint64 first, qint64 count, QByteArray& into)
{
    Wrapped(rsStakeReadError, [&] {
        RequireOpen();
        const qint64 total = RecordCount();
        if (first < 0 || count < 0 || first > total || count > total - first)
            throw Exception(Format(LoadResString(rsRecordNotFound), {first + count - 1}));
        into.resize(static_cast<qsizetype>(count * StakeRecSize));
        ReadAt(first * StakeRecSize, into.data(), into.size());
    });
}

void TStakesFile::WriteRecordBytes(qint64 first, const QByteArray& records)
{
    Wrapped(rsStakeAppendError, [&] {
        RequireOpen();
        const qint64 count = records.size() / StakeRecSize;
        const qint64 total = RecordCount();
        if (records.size() % StakeRecSize != 0 || first < 0 || first > total || count > total - first)
            throw Exception(Format(LoadResString(rsRecordNotFound), {first}));
        const qint64 position = first * StakeRecSize;
        if (FCachePosition >= position && FCachePosition < position + records.size())
            FCachePosition = -1;
        WriteInPlace(position, records.constData(), records.size());
    });
}

bool TStakesFile::LastIsStake(qint64 size) const
{
    if (size < StakeRecSize)
        return false;
    std::uint8_t last[StakeRecSize];
    ReadAt(size - size % StakeRecSize - StakeRecSize, last, StakeRecSize);
    return ReadStakeRec(last).IsStake();
}

void TStakesFile::AppendBytes(std::vector<std::uint8_t>& bytes, const TStakeRec& rec, int drawCount,
                              bool& lastIsStake)
{
    if (rec.Checked != 0)
        throw Exception(LoadResString(rsAppendCheckedStake));
    const int copies = drawCount < 1 ? 1 : drawCount;
    if (std::int64_t(rec.DrawNumber) + copies - 1 > INT32_MAX)
        throw Exception(LoadResString(SDrawNumberRange));
    auto put = [&bytes](const TStakeRec& r) {
        const size_t at = bytes.size();
        bytes.resize(at + StakeRecSize);
        WriteStakeRec(r, bytes.data() + at);
    };
    TStakeRec copy = rec;
    for (int i = 0; i < copies; ++i) {
        if (copies > 1) {
            copy.DrawNumber = static_cast<std::int32_t>(std::int64_t(rec.DrawNumber) + i);
            if (lastIsStake)
                put(InitStakeRec());
        }
        put(copy);
        lastIsStake = copy.IsStake();
    }
}

void TStakesFile::AppendStake(const TStakeRec& rec, int drawCount)
{
    AppendStakes({rec}, drawCount);
}

void TStakesFile::AppendStakes(const std::vector<TStakeRec>& recs, int drawCount)
{
    Wrapped(rsStakeAppendError, [&] {
        RequireOpen();
        const qint64 size = Size();
        // Only a multi-draw stake looks at the record before it.
        bool lastIsStake = drawCount > 1 && LastIsStake(size);
        std::vector<std::uint8_t> bytes;
        for (const TStakeRec& rec : recs)
            AppendBytes(bytes, rec, drawCount, lastIsStake);
        // Records go after the last one: the check start stays where it is.
        FCheckStart.BeforeChange(FHandle);
        try {
            WriteAt(size, bytes.data(), static_cast<qint64>(bytes.size()));
        } catch (...) {
            // No half-written stake may stay behind to be read as a record.
            FCachePosition = -1;
            [[maybe_unused]] const int ignored = ::ftruncate(FHandle, size);
            throw;
        }
        FCheckStart.AfterChange(FHandle);
        FPosition = size + static_cast<qint64>(bytes.size());
    });
}

void TStakesFile::Truncate(qint64 size)
{
    Wrapped(rsStakeDeleteError, [&] {
        RequireOpen();
        if (size < 0 || size >= Size())
            return;
        FCachePosition = -1;
        FCheckStart.BeforeChange(FHandle);
        FCheckStart.CutTo(size / StakeRecSize);
        if (::ftruncate(FHandle, size) != 0)
            throw Exception(SystemErrorText(errno));
        FCheckStart.AfterChange(FHandle);
        FPosition = std::min(FPosition, size);
    });
}

qint64 TStakesFile::ClearRatingMarks(qint64 first, qint64 count)
{
    return Wrapped(rsStakeAppendError, [&] {
        qint64 cleared = 0;
        for (TStakeReader reader(*this, first, count); reader.NextBlock();) {
            qint64 low = -1, high = -1;
            for (qint64 k = 0; k < reader.Count(); ++k) {
                if (!reader.At(k).RatingPending())
                    continue;
                reader.MutableBytes(k)[StakeOffset::RatingPending] = 0;
                ++cleared;
                if (low < 0)
                    low = k;
                high = k;
            }
            if (low >= 0)
                WriteRecordBytes(reader.First() + low, reader.Bytes(low, high - low + 1));
        }
        return cleared;
    });
}

bool TStakesFile::StakeExists(std::int32_t drawNumber, const TDigitsRec& digits)
{
    return Wrapped(rsStakeReadError, [&] {
        // Damaged records count as well: their digits are compared as stored.
        for (TStakeReader reader(*this); reader.NextBlock();) {
            for (qint64 k = 0; k < reader.Count(); ++k) {
                const TStakeView rec = reader.At(k);
                if (rec.DrawNumber() == drawNumber && DigitRecsMatch(rec.Digits(), digits))
                    return true;
            }
        }
        return false;
    });
}

int TStakesFile::SeekLastCheckedDraws(int n)
{
    return Wrapped(rsStakeReadError, [&] {
        RequireOpen();
        int counted = 0;
        std::int32_t previous = 0;
        bool havePrevious = false;
        for (qint64 i = RecordCount() - 1; i >= 0; --i) {
            std::uint8_t bytes[StakeRecSize];
            ReadAt(i * StakeRecSize, bytes, StakeRecSize);
            const TStakeView rec(bytes);
            // A damaged record is no scored stake, whatever its checked byte says.
            const bool newDraw = rec.DrawNumber() >= 1 && rec.IsScored()
                                 && (!havePrevious || rec.DrawNumber() != previous);
            if (!newDraw)
                continue;
            if (counted == n) {
                FPosition = (i + 1) * StakeRecSize;
                return counted;
            }
            ++counted;
            previous = rec.DrawNumber();
            havePrevious = true;
        }
        FPosition = 0;
        return counted;
    });
}

qint64 TStakesFile::DeleteStakes(const TKeepTest& keep)
{
    return Wrapped(rsStakeDeleteError, [&] {
        RequireOpen();
        qint64 dropped = 0;
        {
            TSaveFile save(FFileName);
            const qint64 size = Size();
            const qint64 total = size / StakeRecSize;
            for (TStakeReader reader(*this); reader.NextBlock();) {
                for (qint64 k = 0; k < reader.Count(); ++k) {
                    // Kept records are copied as stored, byte for byte; the keep-test sees
                    // damaged ones too.
                    const TStakeView rec = reader.At(k);
                    if (keep(reader.First() + k, rec.Record()))
                        save.Write(reinterpret_cast<const char*>(rec.Bytes()), StakeRecSize);
                    else
                        ++dropped;
                }
            }
            // Bytes after the last whole record are never the rewrite's to discard.
            if (const qint64 tail = size - total * StakeRecSize; tail > 0) {
                QByteArray rest(static_cast<qsizetype>(tail), '\0');
                ReadAt(total * StakeRecSize, rest.data(), tail);
                save.Write(rest);
            }
            save.Commit();
        }
        // The new file bears the name now. The old handle keeps its hold until the new file
        // is open and held, so the program never runs without one.
        ++FLayout;
        FCachePosition = -1;
        FPosition = 0;
        FCheckStart.Forget();
        const int previous = FHandle;
        try {
            FHandle = OpenHeld(FFileName);
        } catch (...) {
            FHandle = -1;
            ::close(previous);
            throw;
        }
        ::close(previous);
        return dropped;
    });
}

void TStakesFile::WriteInPlace(qint64 position, const void* data, qint64 size)
{
    const qint64 first = position / StakeRecSize;
    // Bytes that do not start at a record are no records to judge.
    const bool whole = position % StakeRecSize == 0 && size % StakeRecSize == 0;
    FCheckStart.BeforeChange(FHandle, first, whole ? static_cast<const char*>(data) : nullptr,
                             whole ? size / StakeRecSize : 1);
    try {
        WriteAt(position, data, size);
    } catch (...) {
        FCheckStart.ChangeFailed(first);
        throw;
    }
    FCheckStart.AfterChange(FHandle);
}

bool TStakesFile::KeptByCondition(const TStakeRec& rec, int condition, int value)
{
    if (rec.Origin == soBlank)
        return true;
    const int m = rec.Matches.Count;
    switch (condition) {
    case 0: return !(m == value);
    case 1: return !(m > value);
    case 2: return !(m >= value);
    case 3: return !(m < value);
    case 4: return !(m <= value);
    default: return true;
    }
}

qint64 TStakesFile::DeleteStakesByCondition(int condition, int value)
{
    return DeleteStakes([condition, value](qint64, const TStakeRec& rec) {
        return KeptByCondition(rec, condition, value);
    });
}
