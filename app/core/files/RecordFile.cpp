#include "app/core/files/RecordFile.h"

#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/ReadFile.h"
#include "platform/SaveFile.h"
#include "platform/ScopeGuard.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

std::optional<QByteArray> ReadWholeFile(const QString& fileName, qint64 maxBytes)
{
    try {
        return ReadRegularFile(fileName, maxBytes);
    } catch (const EFileReadError& e) {
        if (e.Code() == ENOENT || e.Code() == ENOTDIR)
            return std::nullopt;
        throw Exception(Format(LoadResString(rsFileReadError), {fileName, e.Message()}));
    }
}

namespace {

constexpr qint64 BlockSize = 1024 * 1024;

TReadBlock FromMemory(const QByteArray& bytes)
{
    return [&bytes](qint64 offset, char* data, qint64 size) {
        std::memcpy(data, bytes.constData() + offset, static_cast<std::size_t>(size));
    };
}

// True when the file holds exactly the size bytes that read gives, compared block by block.
// Only a regular file of that size is read at all.
bool HoldsBytes(const QString& fileName, qint64 size, const TReadBlock& read)
{
    int fd = -1;
    try {
        fd = OpenRegularFile(fileName, size);
    } catch (const EFileReadError&) {
        return false;
    }
    const TFinally closer([fd] { ::close(fd); });
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size != size)
        return false;
    QByteArray expected(static_cast<qsizetype>(std::min(size, BlockSize)), Qt::Uninitialized);
    QByteArray held(expected.size(), Qt::Uninitialized);
    for (qint64 at = 0; at < size;) {
        const qint64 count = std::min<qint64>(expected.size(), size - at);
        read(at, expected.data(), count);
        for (qint64 done = 0; done < count;) {
            const ssize_t got = ::read(fd, held.data() + done, static_cast<std::size_t>(count - done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            done += got;
        }
        if (std::memcmp(expected.constData(), held.constData(), static_cast<std::size_t>(count)) != 0)
            return false;
        at += count;
    }
    return true;
}

} // namespace

QString BackupDamagedFile(const QString& fileName, const QByteArray& original)
{
    return BackupDamagedFile(fileName, original.size(), FromMemory(original));
}

QString BackupDamagedFile(const QString& fileName, qint64 size, const TReadBlock& read)
{
    QString backup = fileName + QLatin1String(".bak");
    for (int n = 2; QFileInfo::exists(backup); ++n) {
        if (HoldsBytes(backup, size, read))
            return backup;
        backup = fileName + QLatin1String(".bak") + QString::number(n);
    }
    TSaveFile file(backup);
    QByteArray block(static_cast<qsizetype>(std::min(size, BlockSize)), Qt::Uninitialized);
    for (qint64 at = 0; at < size;) {
        const qint64 count = std::min<qint64>(block.size(), size - at);
        read(at, block.data(), count);
        file.Write(block.constData(), count);
        at += count;
    }
    file.Commit();
    return backup;
}

bool SaveFileIfChanged(const QString& fileName, const QByteArray& data)
{
    if (HoldsBytes(fileName, data.size(), FromMemory(data)))
        return false;
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
