#include "app/core/stakes/StakeReader.h"

#include "app/core/stakes/StakesFile.h"
#include "engine/KelmaMsg.h"
#include "platform/Exceptions.h"

#include <algorithm>

TStakeReader::TStakeReader(TStakesFile& file, qint64 first, qint64 count) : FFile(file)
{
    if (!file.IsOpen())
        throw Exception(LoadResString(rsStakesFileNotOpen));
    const qint64 total = file.RecordCount();
    FNext = std::clamp<qint64>(first, 0, total);
    FEnd = count < 0 || count > total - FNext ? total : FNext + count;
}

bool TStakeReader::NextBlock()
{
    FFirst = FNext;
    FCount = std::min(BlockRecords, FEnd - FNext);
    if (FCount <= 0) {
        FCount = 0;
        return false;
    }
    FFile.ReadRecordsInto(FFirst, FCount, FBlock);
    FNext += FCount;
    return true;
}
