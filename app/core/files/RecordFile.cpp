#include "app/core/files/RecordFile.h"

#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/SaveFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

std::optional<QByteArray> ReadWholeFile(const QString& fileName)
{
    if (!QFile::exists(fileName))
        return std::nullopt;
    try {
        return ReadWholeFileOrRaise(fileName);
    } catch (const Exception& e) {
        throw Exception(Format(LoadResString(rsFileReadError), {fileName, e.Message()}));
    }
}

QString BackupDamagedFile(const QString& fileName, const QByteArray& original)
{
    QString backup = fileName + QLatin1String(".bak");
    for (int n = 2; QFile::exists(backup); ++n) {
        QFile earlier(backup);
        if (earlier.size() == original.size() && earlier.open(QIODevice::ReadOnly) && earlier.readAll() == original)
            return backup;
        backup = fileName + QLatin1String(".bak") + QString::number(n);
    }
    SaveFileAtomic(backup, original);
    return backup;
}

bool SaveFileIfChanged(const QString& fileName, const QByteArray& data)
{
    const QFileInfo info(fileName);
    if (info.isFile() && info.size() == data.size()) {
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly) && file.readAll() == data && file.error() == QFileDevice::NoError)
            return false;
    }
    SaveFileAtomic(fileName, data);
    return true;
}

QByteArray FileDigest(const std::optional<QByteArray>& bytes)
{
    if (!bytes)
        return QByteArrayLiteral("absent");
    return QByteArray::number(bytes->size()) + ' '
           + QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256).toHex();
}
