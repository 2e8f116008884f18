#include "platform/SysErrorText.h"

#include "platform/ResString.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>

#include <cerrno>
#include <clocale>
#include <cstring>

#include <locale.h>

namespace {

const TResString SNoRights = RESSTR("SysErrorText", "нет прав на чтение и запись этого файла");
const TResString SReadOnlyDisk = RESSTR("SysErrorText", "диск доступен только для чтения");
const TResString SIsFolder = RESSTR("SysErrorText", "на месте файла находится каталог");
const TResString SDiskFull = RESSTR("SysErrorText", "на диске нет свободного места");
const TResString SFileTooLarge = RESSTR("SysErrorText", "файл превысил допустимый размер");
const TResString SNoSuchFile = RESSTR("SysErrorText", "нет такого файла или папки");
const TResString SNotAFolder = RESSTR("SysErrorText", "часть пути не является папкой");
const TResString SNameTooLong = RESSTR("SysErrorText", "слишком длинное имя файла");
const TResString SLinkLoop = RESSTR("SysErrorText", "в пути слишком много символических ссылок");
const TResString SFileExists = RESSTR("SysErrorText", "файл уже существует");
const TResString SInputOutput = RESSTR("SysErrorText", "ошибка ввода-вывода на диске");
const TResString SBusy = RESSTR("SysErrorText", "файл занят другой программой");
const TResString STooManyFiles = RESSTR("SysErrorText", "открыто слишком много файлов");
const TResString SOtherError = RESSTR("SysErrorText", "системная ошибка %d (%s)");

QString LibraryText(int code)
{
    // The process's own locale may be any: the Russian texts are asked for by name.
    static const locale_t russian = [] {
        for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "ru_RU"})
            if (const locale_t loc = newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, name, locale_t(nullptr)))
                return loc;
        return locale_t(nullptr);
    }();
    if (russian)
        return QString::fromUtf8(strerror_l(code, russian));
    // Without the Russian messages of the C library the reason is still told in Russian, with
    // the library's own words for whoever looks the code up.
    return LoadResString(SOtherError).replace(QLatin1String("%d"), QString::number(code))
        .replace(QLatin1String("%s"), QString::fromLocal8Bit(std::strerror(code)));
}

} // namespace

QString SystemErrorText(int code)
{
    switch (code) {
    case EACCES:
    case EPERM: return LoadResString(SNoRights);
    case EROFS: return LoadResString(SReadOnlyDisk);
    case EISDIR: return LoadResString(SIsFolder);
    case ENOSPC:
    case EDQUOT: return LoadResString(SDiskFull);
    case EFBIG: return LoadResString(SFileTooLarge);
    case ENOENT: return LoadResString(SNoSuchFile);
    case ENOTDIR: return LoadResString(SNotAFolder);
    case ENAMETOOLONG: return LoadResString(SNameTooLong);
    case ELOOP: return LoadResString(SLinkLoop);
    case EEXIST: return LoadResString(SFileExists);
    case EIO: return LoadResString(SInputOutput);
    case ETXTBSY:
    case EBUSY: return LoadResString(SBusy);
    case EMFILE:
    case ENFILE: return LoadResString(STooManyFiles);
    default: return LibraryText(code);
    }
}

QString FileErrorText(const QIODevice& file)
{
    // Qt's own words for a folder opened as a file.
    if (const auto* named = qobject_cast<const QFile*>(&file); named && QFileInfo(named->fileName()).isDir())
        return SystemErrorText(EISDIR);
    const QString given = file.errorString();
    // The C library's texts in the C locale, which is how Qt words them, back to their codes.
    static const QHash<QString, int> codes = [] {
        QHash<QString, int> byText;
        const locale_t plain = newlocale(LC_MESSAGES_MASK, "C", locale_t(nullptr));
        for (int code = 1; code < 256; ++code) {
            const char* text = plain ? strerror_l(code, plain) : std::strerror(code);
            byText.insert(QString::fromLocal8Bit(text), code);
        }
        if (plain)
            freelocale(plain);
        return byText;
    }();
    const auto found = codes.constFind(given);
    return found == codes.constEnd() ? given : SystemErrorText(found.value());
}
