#include "platform/SysErrorText.h"

#include "platform/ResString.h"

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
    return QString::fromLocal8Bit(std::strerror(code));
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
    default: return LibraryText(code);
    }
}
