#pragma once

// Shared inside the RFileProcs unit only.

#include "platform/ResString.h"
#include "support/RFileProcs.h"

#include <QString>
#include <QStringList>

namespace rfo {

#define RFO_TEXT(name, text) inline constexpr TResString name = RESSTR("RFileProcs", text)

RFO_TEXT(SAttrChangeError, "Ошибка изменения атрибутов файла: %s");
RFO_TEXT(SDirExists, "Каталог уже существует.");
RFO_TEXT(SDirNotEmpty, "Каталог не пустой!");
RFO_TEXT(SDirIgnored, "Каталог игнорирован");
RFO_TEXT(SRetryPause, "Во время выполнения операции произошла ошибка! Повторная попытка ( %d ) "
                      "будет предпринята через %d секунд...");
RFO_TEXT(SCopySelf, "Нельзя копировать файл сам в себя!");
RFO_TEXT(SDirNotFound, "Каталог \"%s\" не найден!");
RFO_TEXT(SFileNotFound, "Файл \"%s\" не найден!");
RFO_TEXT(SDirCreateError, "Ошибка создания каталога \"%s\": %s");
RFO_TEXT(SDirDeleteError, "Ошибка удаления каталога \"%s\": %s");
RFO_TEXT(SFileOpenError, "Ошибка чтения файла: %s");
RFO_TEXT(SFileCreateError, "Ошибка создания файла: %s");
RFO_TEXT(SFileReadError, "Ошибка чтения файла: %s");
RFO_TEXT(SFileWriteError, "Ошибка записи файла: %s");
RFO_TEXT(SFileDeleteError, "Ошибка удаления файла: %s");
RFO_TEXT(SFilesDiffer, "Исходный и конечный файлы отличаются друг от друга!");
RFO_TEXT(SFileTimeError, "Ошибка изменения времени создания файла: %s");
RFO_TEXT(SMoveFileTo, "Перемещение \"%s\" в \"%s\"");
RFO_TEXT(SMoveFromTo, "Перемещение \"%s\" из \"%s\" в \"%s\"");
RFO_TEXT(SCopiedKb, "Успешно скопировано %n Kb.");
RFO_TEXT(SMovedKb, "Успешно перемещено %n Kb.");
RFO_TEXT(SSameFileExists, "Файл с заданными свойствами уже существует.");
RFO_TEXT(SFileReadOnly, "Файл имеет атрибут ReadOnly (Только чтение).");
RFO_TEXT(SFileSystem, "Файл имеет атрибут System (Системный).");
RFO_TEXT(SFileHidden, "Файл имеет атрибут Hidden (Скрытый).");
RFO_TEXT(SDirReadOnly, "Каталог имеет атрибут ReadOnly (Только чтение).");
RFO_TEXT(SDirSystem, "Каталог имеет атрибут System (Системный).");
RFO_TEXT(SDirHidden, "Каталог имеет атрибут Hidden (Скрытый).");
RFO_TEXT(SDeleteEmptyDirs, "Удаление пустых каталогов \"%s\"");
RFO_TEXT(SDeleteDir, "Удаление каталога \"%s\"");
RFO_TEXT(SDeleteFile, "Удаление файла \"%s\"");
RFO_TEXT(SDeleteMask, "Удаление \"%s\"");
RFO_TEXT(SCreateDir, "Создание каталога \"%s\"");
RFO_TEXT(SAttemptSuffix, " (попытка %d)");
RFO_TEXT(SScanDir, "Просмотр каталога %s");
RFO_TEXT(SDirsFound, "Найдено %d каталог(ов).");
RFO_TEXT(SSearchDirNotFound, "Каталог \"%s\" не найден!");
RFO_TEXT(SSearchFiles, "Поиск файлов \"%s\" в каталоге \"%s\"");
RFO_TEXT(SItemsFound, "Найдено %d файл(ов) и (или) каталог(ов).");
RFO_TEXT(SCopyFileTo, "Копирование \"%s\" в \"%s\"");
RFO_TEXT(SCopyFromTo, "Копирование \"%s\" из \"%s\" в \"%s\"");
RFO_TEXT(SNotRegularFile, "\"%s\" не является обычным файлом.");
RFO_TEXT(SLinkOnTheWay, "Путь проходит через ссылку \"%s\": по ссылкам файлы не копируются.");
RFO_TEXT(SFolderNotFile, "\"%s\" - каталог, а не файл.");
RFO_TEXT(SFolderLinkNotFile, "\"%s\" - ссылка на каталог, а не файл.");
RFO_TEXT(SDanglingLink, "\"%s\" - ссылка на файл, которого нет.");
RFO_TEXT(SFileNotReadable, "Не удалось прочитать файл \"%s\": %s.");

#undef RFO_TEXT

// errno of the last failed primitive, kept apart from errno, which Qt and the C library may
// change before the caller gets to report it.
int LastCode();
void SetLastCode(int code);

// The injected failure for a call, or 0.
int InjectedFailure(TRfoCall call, const QString& name);

// Path helpers with '/' as the only delimiter.
QString IncludeTrailingDelimiter(const QString& path);
QString ExcludeTrailingDelimiter(const QString& path);
QString ExtractFilePath(const QString& path);   // folder with trailing '/'
QString ExtractFileName(const QString& path);
QString ExtractFileExt(const QString& path);    // ".txt", or empty
bool SameFileName(const QString& a, const QString& b);

// Errors that mean "the file is in use by someone" (moved aside with kRfoMoveBusy).
bool IsBusyError(int code);

// The target with the folders it shares with the source written as "...".
QString ShortenSharedFolders(const QString& source, const QString& target);

// The paths on the way from root down to path, one folder more each, path itself last; empty
// when path does not lie below root.
QStringList WayBelow(const QString& root, const QString& path);
// The first entry on the way from root down to path, path itself included, that is a link;
// empty when there is none or when path does not lie below root. Entries that do not exist end
// the way: nothing below them exists either.
QString LinkBelow(const QString& root, const QString& path);

// The folders a copy by mask reads from and writes to. Below them no link is followed: a link
// in the tree could lead the copy out of it, to read a file from elsewhere or to write one
// there. Each way is checked as the file or folder is read or written, not once beforehand,
// since a folder may be replaced by a link while the copy runs. Empty: no such check.
struct TCopyBounds {
    QString SourceRoot;
    QString TargetRoot;
};

TRTransaction CopyFileInBounds(const QString& source, const QString& target, bool move, std::uint32_t options,
                               int bufferKb, int speedPercent, const TRfoCallbacks& callbacks, TRCopyList* copied,
                               const TCopyBounds& bounds);
TRTransaction CopyDirInBounds(const QString& sourceDir, const QString& targetDir, bool move, std::uint32_t options,
                              const TRMsgLogProc& log, const TCopyBounds& bounds);

// Starts a step: name, start time, kind OK, and the log line about its start.
TRTransaction StartStep(const QString& name, const TRMsgLogProc& log);
// Ends a step with a kind and text.
void EndStep(TRTransaction& step, TRMsgKind kind, const QString& text);

} // namespace rfo
