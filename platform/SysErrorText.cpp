#include "platform/SysErrorText.h"

#include "platform/ResString.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>

#include <cerrno>
#include <cstring>

#include <locale.h>

namespace {

struct TErrorText {
    int Code;
    TResString Text;
};

// Every reason the system gives, in the program's own words: the C library's words are
// English on most machines (and Russian only where its Russian messages are installed), and a
// message the user reads is Russian whatever the machine. Those a user meets with files (no
// room, no rights, a read-only disk, a folder in the way) say what to look at.
const TErrorText kErrorTexts[] = {
    {0, RESSTR("SysErrorText", "ошибки нет")},
    {EPERM, RESSTR("SysErrorText", "нет прав на чтение и запись этого файла")},
    {ENOENT, RESSTR("SysErrorText", "нет такого файла или папки")},
    {ESRCH, RESSTR("SysErrorText", "процесс не найден")},
    {EINTR, RESSTR("SysErrorText", "операция прервана сигналом")},
    {EIO, RESSTR("SysErrorText", "ошибка ввода-вывода на диске")},
    {ENXIO, RESSTR("SysErrorText", "нет такого устройства или адреса")},
    {E2BIG, RESSTR("SysErrorText", "слишком длинный список аргументов программы")},
    {ENOEXEC, RESSTR("SysErrorText", "файл повреждён или имеет неизвестный формат")},
    {EBADF, RESSTR("SysErrorText", "неверный дескриптор файла")},
    {ECHILD, RESSTR("SysErrorText", "нет дочерних процессов")},
    {EAGAIN, RESSTR("SysErrorText", "ресурс временно недоступен")},
    {ENOMEM, RESSTR("SysErrorText", "недостаточно памяти")},
    {EACCES, RESSTR("SysErrorText", "нет прав на чтение и запись этого файла")},
    {EFAULT, RESSTR("SysErrorText", "неверный адрес в памяти")},
    {ENOTBLK, RESSTR("SysErrorText", "требуется блочное устройство")},
    {EBUSY, RESSTR("SysErrorText", "файл занят другой программой")},
    {EEXIST, RESSTR("SysErrorText", "файл уже существует")},
    {EXDEV, RESSTR("SysErrorText", "файл и место назначения находятся на разных дисках")},
    {ENODEV, RESSTR("SysErrorText", "нет такого устройства")},
    {ENOTDIR, RESSTR("SysErrorText", "часть пути не является папкой")},
    {EISDIR, RESSTR("SysErrorText", "на месте файла находится каталог")},
    {EINVAL, RESSTR("SysErrorText", "недопустимый аргумент")},
    {ENFILE, RESSTR("SysErrorText", "открыто слишком много файлов")},
    {EMFILE, RESSTR("SysErrorText", "открыто слишком много файлов")},
    {ENOTTY, RESSTR("SysErrorText", "устройство не поддерживает эту операцию")},
    {ETXTBSY, RESSTR("SysErrorText", "файл занят другой программой")},
    {EFBIG, RESSTR("SysErrorText", "файл превысил допустимый размер")},
    {ENOSPC, RESSTR("SysErrorText", "на диске нет свободного места")},
    {ESPIPE, RESSTR("SysErrorText", "переход к месту в файле невозможен")},
    {EROFS, RESSTR("SysErrorText", "диск доступен только для чтения")},
    {EMLINK, RESSTR("SysErrorText", "слишком много ссылок на файл")},
    {EPIPE, RESSTR("SysErrorText", "канал закрыт другой стороной")},
    {EDOM, RESSTR("SysErrorText", "аргумент вне области определения функции")},
    {ERANGE, RESSTR("SysErrorText", "результат вне допустимого диапазона")},
    {EDEADLK, RESSTR("SysErrorText", "обнаружена взаимная блокировка")},
    {ENAMETOOLONG, RESSTR("SysErrorText", "слишком длинное имя файла")},
    {ENOLCK, RESSTR("SysErrorText", "нет свободных блокировок файлов")},
    {ENOSYS, RESSTR("SysErrorText", "функция не поддерживается системой")},
    {ENOTEMPTY, RESSTR("SysErrorText", "папка не пуста")},
    {ELOOP, RESSTR("SysErrorText", "в пути слишком много символических ссылок")},
    {ENOMSG, RESSTR("SysErrorText", "нет сообщения нужного типа")},
    {EIDRM, RESSTR("SysErrorText", "идентификатор удалён")},
    {ECHRNG, RESSTR("SysErrorText", "номер канала вне диапазона")},
    {EL2NSYNC, RESSTR("SysErrorText", "второй уровень не синхронизирован")},
    {EL3HLT, RESSTR("SysErrorText", "третий уровень остановлен")},
    {EL3RST, RESSTR("SysErrorText", "третий уровень сброшен")},
    {ELNRNG, RESSTR("SysErrorText", "номер связи вне диапазона")},
    {EUNATCH, RESSTR("SysErrorText", "драйвер протокола не подключён")},
    {ENOCSI, RESSTR("SysErrorText", "нет структуры протокола")},
    {EL2HLT, RESSTR("SysErrorText", "второй уровень остановлен")},
    {EBADE, RESSTR("SysErrorText", "неверный обмен")},
    {EBADR, RESSTR("SysErrorText", "неверный дескриптор запроса")},
    {EXFULL, RESSTR("SysErrorText", "очередь обмена переполнена")},
    {ENOANO, RESSTR("SysErrorText", "нет анода")},
    {EBADRQC, RESSTR("SysErrorText", "неверный код запроса")},
    {EBADSLT, RESSTR("SysErrorText", "неверный слот")},
    {EBFONT, RESSTR("SysErrorText", "неверный формат файла шрифта")},
    {ENOSTR, RESSTR("SysErrorText", "устройство не является потоком")},
    {ENODATA, RESSTR("SysErrorText", "нет данных")},
    {ETIME, RESSTR("SysErrorText", "время ожидания истекло")},
    {ENOSR, RESSTR("SysErrorText", "нет ресурсов для потоков")},
    {ENONET, RESSTR("SysErrorText", "компьютер не подключён к сети")},
    {ENOPKG, RESSTR("SysErrorText", "пакет не установлен")},
    {EREMOTE, RESSTR("SysErrorText", "объект находится на удалённом компьютере")},
    {ENOLINK, RESSTR("SysErrorText", "связь разорвана")},
    {EADV, RESSTR("SysErrorText", "ошибка объявления ресурса")},
    {ESRMNT, RESSTR("SysErrorText", "ошибка подключения на удалённом компьютере")},
    {ECOMM, RESSTR("SysErrorText", "ошибка связи при отправке")},
    {EPROTO, RESSTR("SysErrorText", "ошибка протокола")},
    {EMULTIHOP, RESSTR("SysErrorText", "попытка соединения через несколько узлов")},
    {EDOTDOT, RESSTR("SysErrorText", "ошибка удалённой файловой системы")},
    {EBADMSG, RESSTR("SysErrorText", "неверное сообщение")},
    {EOVERFLOW, RESSTR("SysErrorText", "значение слишком велико для типа данных")},
    {ENOTUNIQ, RESSTR("SysErrorText", "имя в сети не уникально")},
    {EBADFD, RESSTR("SysErrorText", "дескриптор файла в неверном состоянии")},
    {EREMCHG, RESSTR("SysErrorText", "удалённый адрес изменился")},
    {ELIBACC, RESSTR("SysErrorText", "нет доступа к нужной общей библиотеке")},
    {ELIBBAD, RESSTR("SysErrorText", "общая библиотека повреждена")},
    {ELIBSCN, RESSTR("SysErrorText", "раздел библиотек в исполняемом файле повреждён")},
    {ELIBMAX, RESSTR("SysErrorText", "слишком много общих библиотек")},
    {ELIBEXEC, RESSTR("SysErrorText", "общую библиотеку нельзя запустить как программу")},
    {EILSEQ, RESSTR("SysErrorText", "недопустимая последовательность байтов")},
    {ERESTART, RESSTR("SysErrorText", "системный вызов прерван и должен быть повторён")},
    {ESTRPIPE, RESSTR("SysErrorText", "ошибка канала потока")},
    {EUSERS, RESSTR("SysErrorText", "слишком много пользователей")},
    {ENOTSOCK, RESSTR("SysErrorText", "объект не является сокетом")},
    {EDESTADDRREQ, RESSTR("SysErrorText", "требуется адрес назначения")},
    {EMSGSIZE, RESSTR("SysErrorText", "сообщение слишком длинное")},
    {EPROTOTYPE, RESSTR("SysErrorText", "неверный тип протокола для сокета")},
    {ENOPROTOOPT, RESSTR("SysErrorText", "протокол не поддерживает этот параметр")},
    {EPROTONOSUPPORT, RESSTR("SysErrorText", "протокол не поддерживается")},
    {ESOCKTNOSUPPORT, RESSTR("SysErrorText", "тип сокета не поддерживается")},
    {EOPNOTSUPP, RESSTR("SysErrorText", "операция не поддерживается")},
    {EPFNOSUPPORT, RESSTR("SysErrorText", "семейство протоколов не поддерживается")},
    {EAFNOSUPPORT, RESSTR("SysErrorText", "семейство адресов не поддерживается протоколом")},
    {EADDRINUSE, RESSTR("SysErrorText", "адрес уже используется")},
    {EADDRNOTAVAIL, RESSTR("SysErrorText", "адрес недоступен")},
    {ENETDOWN, RESSTR("SysErrorText", "сеть не работает")},
    {ENETUNREACH, RESSTR("SysErrorText", "сеть недоступна")},
    {ENETRESET, RESSTR("SysErrorText", "сеть разорвала соединение")},
    {ECONNABORTED, RESSTR("SysErrorText", "соединение прервано")},
    {ECONNRESET, RESSTR("SysErrorText", "соединение сброшено другой стороной")},
    {ENOBUFS, RESSTR("SysErrorText", "нет места в буфере")},
    {EISCONN, RESSTR("SysErrorText", "сокет уже подключён")},
    {ENOTCONN, RESSTR("SysErrorText", "сокет не подключён")},
    {ESHUTDOWN, RESSTR("SysErrorText", "передача невозможна после закрытия сокета")},
    {ETOOMANYREFS, RESSTR("SysErrorText", "слишком много ссылок")},
    {ETIMEDOUT, RESSTR("SysErrorText", "время ожидания соединения истекло")},
    {ECONNREFUSED, RESSTR("SysErrorText", "в соединении отказано")},
    {EHOSTDOWN, RESSTR("SysErrorText", "компьютер не работает")},
    {EHOSTUNREACH, RESSTR("SysErrorText", "нет пути до компьютера")},
    {EALREADY, RESSTR("SysErrorText", "операция уже выполняется")},
    {EINPROGRESS, RESSTR("SysErrorText", "операция выполняется")},
    {ESTALE, RESSTR("SysErrorText", "устаревший дескриптор файла")},
    {EUCLEAN, RESSTR("SysErrorText", "структура требует очистки")},
    {ENOTNAM, RESSTR("SysErrorText", "файл не является именованным файлом особого типа")},
    {ENAVAIL, RESSTR("SysErrorText", "нет доступных семафоров")},
    {EISNAM, RESSTR("SysErrorText", "файл является именованным файлом особого типа")},
    {EREMOTEIO, RESSTR("SysErrorText", "ошибка ввода-вывода на удалённом компьютере")},
    {EDQUOT, RESSTR("SysErrorText", "на диске нет свободного места")},
    {ENOMEDIUM, RESSTR("SysErrorText", "носитель не найден")},
    {EMEDIUMTYPE, RESSTR("SysErrorText", "неверный тип носителя")},
    {ECANCELED, RESSTR("SysErrorText", "операция отменена")},
    {ENOKEY, RESSTR("SysErrorText", "нужный ключ недоступен")},
    {EKEYEXPIRED, RESSTR("SysErrorText", "срок действия ключа истёк")},
    {EKEYREVOKED, RESSTR("SysErrorText", "ключ отозван")},
    {EKEYREJECTED, RESSTR("SysErrorText", "ключ отвергнут службой")},
    {EOWNERDEAD, RESSTR("SysErrorText", "владелец блокировки завершился")},
    {ENOTRECOVERABLE, RESSTR("SysErrorText", "состояние невосстановимо")},
    {ERFKILL, RESSTR("SysErrorText", "операция невозможна: радиомодуль выключен")},
    {EHWPOISON, RESSTR("SysErrorText", "страница памяти повреждена")},
};

const TResString SOtherError = RESSTR("SysErrorText", "системная ошибка %d");

} // namespace

QString SystemErrorText(int code)
{
    for (const TErrorText& entry : kErrorTexts)
        if (entry.Code == code)
            return LoadResString(entry.Text);
    return LoadResString(SOtherError).replace(QLatin1String("%d"), QString::number(code));
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
