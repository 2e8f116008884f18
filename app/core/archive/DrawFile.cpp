#include "app/core/archive/DrawFile.h"

#include "platform/SaveFile.h"

TDrawFileContents ReadDrawsFile(const QString& fileName)
{
    return ReadRecordFile<TDrawRec>(fileName, DrawRecSize, MaxDrawRecords, ReadDrawRec);
}

QByteArray DrawsToBytes(const TDrawsArray& draws)
{
    return RecordsToBytes(draws, DrawRecSize, WriteDrawRec);
}

void WriteDrawsFile(const QString& fileName, const TDrawsArray& draws)
{
    SaveFileAtomic(fileName, DrawsToBytes(draws));
}
