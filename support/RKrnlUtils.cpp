#include "support/RKrnlUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <climits>

namespace {

// Where a process's executable lies. The kernel marks a file that was deleted or replaced
// since the start with " (deleted)"; the process still runs that program file.
QString ExecutableOf(const QByteArray& pid)
{
    char buffer[PATH_MAX];
    const QByteArray link = "/proc/" + pid + "/exe";
    const ssize_t length = readlink(link.constData(), buffer, sizeof buffer);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer)
        return QString();
    QString path = QFile::decodeName(QByteArray(buffer, static_cast<qsizetype>(length)));
    const QLatin1String deleted(" (deleted)");
    if (path.endsWith(deleted))
        path.chop(deleted.size());
    return path;
}

bool IsNumber(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!c.isDigit())
            return false;
    return true;
}

} // namespace

bool IsProcessRunning(const QString& fileName, bool excludeSelf)
{
    if (fileName.isEmpty())
        return false;
    const bool byPath = fileName.contains(QLatin1Char('/'));
    QString wanted = fileName;
    if (byPath) {
        const QFileInfo info(fileName);
        const QString canonical = info.canonicalFilePath();
        wanted = canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    }

    const QString self = QString::number(getpid());
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (!IsNumber(entry) || (excludeSelf && entry == self))
            continue;
        const QString executable = ExecutableOf(entry.toLatin1());
        if (executable.isEmpty())
            continue;
        if (byPath ? executable == wanted
                   : QFileInfo(executable).fileName().compare(fileName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
