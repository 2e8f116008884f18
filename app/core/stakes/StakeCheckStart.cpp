#include "app/core/stakes/StakeCheckStart.h"

#include "app/core/stakes/StakeReader.h"

#include <algorithm>

#include <sys/stat.h>

TStakeCheckStart::TStamp TStakeCheckStart::StampOf(int handle)
{
    TStamp stamp;
    struct stat info{};
    if (handle < 0 || ::fstat(handle, &info) != 0)
        return stamp;
    stamp.Valid = true;
    stamp.Device = info.st_dev;
    stamp.Inode = info.st_ino;
    stamp.Size = info.st_size;
    stamp.ModifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.ChangedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return stamp;
}

TStakeCheckStart::TStamp TStakeCheckStart::Revalidate(int handle)
{
    const TStamp now = StampOf(handle);
    if (!now.Valid || now != FStamp)
        FIndex = 0;
    return now;
}

qint64 TStakeCheckStart::Get(int handle)
{
    if (FIndex <= 0)
        return 0;
    const TStamp now = Revalidate(handle);
    return std::min(FIndex, now.Size / StakeRecSize);
}

void TStakeCheckStart::Set(int handle, qint64 index)
{
    FStamp = StampOf(handle);
    FIndex = std::clamp<qint64>(index, 0, FStamp.Size / StakeRecSize);
}

void TStakeCheckStart::BeforeChange(int handle, qint64 first, const char* records, qint64 count)
{
    if (FIndex <= 0)
        return;
    Revalidate(handle);
    if (first >= FIndex || count <= 0)
        return;
    // The start moves back before the write, so that a write that fails half-way leaves it
    // right too.
    if (!records) {
        FIndex = first;
        return;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(records);
    for (qint64 i = 0; i < count && first + i < FIndex; ++i) {
        if (!TStakeView(bytes + i * StakeRecSize).Settled()) {
            FIndex = first + i;
            return;
        }
    }
}

void TStakeCheckStart::AfterChange(int handle)
{
    if (FIndex > 0)
        FStamp = StampOf(handle);
}
