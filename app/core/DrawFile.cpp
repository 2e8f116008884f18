#include "app/core/DrawFile.h"

#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/SaveFile.h"

#include <QFile>

TDrawFileContents ReadDrawsFile(const QString& fileName)
{
    TDrawFileContents contents;
    QFile file(fileName);
    if (!file.exists())
        return contents;
    contents.Exists = true;
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(Format(LoadResString(rsFileReadError), {fileName, file.errorString()}));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Exception(Format(LoadResString(rsFileReadError), {fileName, file.errorString()}));
    const qsizetype records = bytes.size() / DrawRecSize;
    contents.ExtraBytes = bytes.size() % DrawRecSize;
    if (contents.ExtraBytes > 0)
        contents.Original = bytes;
    contents.Draws.reserve(static_cast<size_t>(records));
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    for (qsizetype i = 0; i < records; ++i)
        contents.Draws.push_back(ReadDrawRec(data + i * DrawRecSize));
    return contents;
}

QByteArray DrawsToBytes(const TDrawsArray& draws)
{
    QByteArray bytes(static_cast<qsizetype>(draws.size()) * DrawRecSize, '\0');
    auto* data = reinterpret_cast<std::uint8_t*>(bytes.data());
    for (size_t i = 0; i < draws.size(); ++i)
        WriteDrawRec(draws[i], data + i * DrawRecSize);
    return bytes;
}

void WriteDrawsFile(const QString& fileName, const TDrawsArray& draws)
{
    SaveFileAtomic(fileName, DrawsToBytes(draws));
}

QString BackupDrawsFile(const QString& fileName, const QByteArray& original)
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
