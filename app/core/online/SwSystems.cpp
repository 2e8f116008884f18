#include "app/core/online/SwSystems.h"

#include "app/core/online/SwTexts.h"
#include "app/core/online/SystemCombs.h"
#include "engine/KelmaMsg.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "platform/SaveFile.h"
#include "platform/WordUtils.h"
#include "support/RStrUtils.h"
#include "support/RVclUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QPair>

#include <utility>

namespace {

const TResString SNotCacheable =
    RESSTR("rSwSystems", "Система #%d для %d чисел с блоком %d не может быть сохранена на компьютере!");
const TResString SFolderError = RESSTR("rSwSystems", "Не удалось создать папку \"%s\"!");
const TResString SFileTimeError = RESSTR("rSwSystems", "Не удалось установить время файла \"%s\"!");

const QString kListPath = QStringLiteral("/scripts/sys_getlist.php");
const QString kFetchPath = QStringLiteral("/scripts/sys_getdata.php");
const QString kPutPath = QStringLiteral("/scripts/sys_putdata.php");

QPair<QString, QString> Pair(const char* name, const QString& value)
{
    return {QString::fromLatin1(name), value};
}

QPair<QString, QString> Pair(const char* name, qint64 value)
{
    return {QString::fromLatin1(name), QString::number(value)};
}

} // namespace

bool SystemCacheable(const tSystemInfo& info)
{
    return info.Id > 0 && info.Nums >= SystemMinNums && info.Nums <= SystemMaxNums && info.Olap >= 0
           && info.Olap <= 1;
}

bool SystemIsOwn(const tSystemInfo& info, const QString& userMail)
{
    return !userMail.trimmed().isEmpty() && info.ClMail.compare(userMail, Qt::CaseInsensitive) == 0;
}

tSystemInfo SystemListPlaceholder()
{
    tSystemInfo info;
    info.Id = -1;
    info.Title = LoadResString(rsSystemListUnavailable);
    return info;
}

TSwSystems::TSwSystems(QString programFolder, TUserIdentity identity, TLanguageId languageId)
    : FProgramFolder(std::move(programFolder)), FIdentity(std::move(identity)), FLanguageId(std::move(languageId))
{
}

QString TSwSystems::CacheFolder() const
{
    return SystemCacheFolder(FProgramFolder);
}

QString TSwSystems::CacheFileName(const tSystemInfo& info) const
{
    if (!SystemCacheable(info))
        return QString();
    return SystemCacheFileName(CacheFolder(), info.Nums, info.Olap, info.Id);
}

bool TSwSystems::IsCached(const tSystemInfo& info) const
{
    const QString name = CacheFileName(info);
    return !name.isEmpty() && QFileInfo(name).isFile();
}

bool TSwSystems::IsCurrent(const tSystemInfo& info) const
{
    if (!IsCached(info))
        return false;
    // Without a version stamp there is nothing to compare: the file is taken as it is.
    if (!info.Created.isValid())
        return true;
    const QDateTime written = QFileInfo(CacheFileName(info)).lastModified();
    return written.toSecsSinceEpoch() == info.Created.toSecsSinceEpoch();
}

TSwFields TSwSystems::ListFields() const
{
    TSwFields fields;
    fields.append(Pair("comblen", SystemCombLength));
    fields.append(Pair("maxnums", SystemMaxNums));
    fields.append(SwClientFields(FIdentity, FLanguageId ? FLanguageId() : 0));
    return fields;
}

TSwFields TSwSystems::FetchFields(std::int32_t id)
{
    return {Pair("sys_id", id)};
}

TSwFields TSwSystems::PutFields(const tSystemData& data, bool deleting) const
{
    TSwFields fields;
    fields.append(Pair("del_mode", deleting ? 1 : 0));
    fields.append(Pair("sys_id", data.Id));
    fields.append(Pair("nums", data.Nums));
    fields.append(Pair("clen", SystemCombLength));
    fields.append(Pair("olap", data.Olap));
    fields.append(Pair("title", StrToCStr(data.Title)));
    fields.append(Pair("descr", StrToCStr(data.Descr)));
    fields.append(Pair("csize", data.CSize));
    fields.append(Pair("clist", deleting ? QString() : SwEncodeBase64(StrToCStr(data.CList))));
    fields.append(Pair("url", data.Url));
    // The author of the system goes where a list request names the user.
    TUserIdentity author = FIdentity;
    author.UserName = data.Author;
    author.UserMail = data.ClMail;
    fields.append(SwClientFields(author, FLanguageId ? FLanguageId() : 0));
    return fields;
}

tSystemInfo TSwSystems::ReadSystemRow(const TSwRow& row)
{
    tSystemInfo info;
    info.Id = SwInteger(row, QStringLiteral("id"));
    info.Nums = SwInteger(row, QStringLiteral("nums"));
    info.Olap = SwInteger(row, QStringLiteral("olap"));
    info.CSize = SwInteger(row, QStringLiteral("csize"));
    info.Title = SwBase64Text(row, QStringLiteral("title"));
    info.Author = SwText(row, QStringLiteral("author"));
    info.ClMail = SwText(row, QStringLiteral("cl_mail"));
    info.Descr = SwBase64Text(row, QStringLiteral("descr"));
    info.Created = SwUtcTime(row, QStringLiteral("created"));
    // A download count that is not a number is shown as none.
    try {
        info.Downloads = SwInteger(row, QStringLiteral("downloads"));
    } catch (const Exception&) {
        info.Downloads = 0;
    }
    info.LastDownload = SwUtcTime(row, QStringLiteral("last_download"));
    info.Url = SwText(row, QStringLiteral("url"));
    return info;
}

QList<TSwRow> TSwSystems::Request(const QString& path, const TSwFields& fields)
{
    QByteArray reply;
    QString error;
    QList<TSwRow> rows;
    if (!SwPost(path, fields, reply, error) || !SwReplyRows(reply, rows, error))
        throw Exception(error);
    return rows;
}

bool TSwSystems::GetSystemList(QList<tSystemInfo>& rows)
{
    return SwGuarded(rsSystemListError, false, [&] {
        QByteArray reply;
        QString error;
        if (!SwPost(kListPath, ListFields(), reply, error))
            throw Exception(error);
        if (!reply.toLower().contains("<result>")) {
            rows.append(SystemListPlaceholder());
            return true;
        }
        QList<TSwRow> replyRows;
        if (!SwReplyRows(reply, replyRows, error))
            throw Exception(error);
        for (const TSwRow& row : replyRows) {
            const tSystemInfo info = ReadSystemRow(row);
            rows.append(info);
            if (IsCached(info) && !IsCurrent(info))
                StoreSystemList(info);
        }
        return true;
    });
}

bool TSwSystems::FetchSystemList(const tSystemInfo& info, QString& text)
{
    TBusyScope busy(Format(LoadResString(rsLoadingNamed), {ShownText(info.Title)}));
    text.clear();
    return SwGuarded(
        rsSystemLoadError, false,
        [&] {
            for (const TSwRow& row : Request(kFetchPath, FetchFields(info.Id))) {
                QString list = SwBase64Text(row, QStringLiteral("clist"));
                if (!list.isEmpty()) {
                    text = std::move(list);
                    break;
                }
            }
            return true;
        },
        info.Id);
}

QString TSwSystems::GetSystemData(const tSystemInfo& info)
{
    QString text;
    FetchSystemList(info, text);
    return text;
}

void TSwSystems::WriteCacheFile(const tSystemInfo& info, const QStringList& lines) const
{
    const QString name = CacheFileName(info);
    if (name.isEmpty())
        throw Exception(Format(LoadResString(SNotCacheable), {info.Id, info.Nums, info.Olap}));
    const QString folder = CacheFolder();
    if (!QDir().mkpath(folder))
        throw Exception(Format(LoadResString(SFolderError), {QDir::toNativeSeparators(folder)}));
    SaveFileAtomic(name, EncodeCp1251(JoinTextLines(lines)));
    // Only the last-write time carries the version: this system keeps no creation time.
    if (info.Created.isValid()) {
        QFile file(name);
        if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(info.Created, QFileDevice::FileModificationTime))
            throw Exception(Format(LoadResString(SFileTimeError), {QDir::toNativeSeparators(name)}));
    }
}

bool TSwSystems::StoreSystemList(const tSystemInfo& info)
{
    return SwGuarded(
        rsSystemLoadError, false,
        [&] {
            if (!SystemCacheable(info))
                throw Exception(Format(LoadResString(SNotCacheable), {info.Id, info.Nums, info.Olap}));
            QString text;
            // A failed fetch has shown its error.
            if (!FetchSystemList(info, text))
                return false;
            const QStringList lines = SplitTextLines(text);
            if (text.isEmpty() || lines.size() != info.CSize)
                throw Exception(Format(LoadResString(rsSystemCombCountMismatch), {qint64(lines.size()), info.CSize}));
            WriteCacheFile(info, lines);
            return IsCached(info);
        },
        info.Id);
}

std::int32_t TSwSystems::PutSystemData(const tSystemData& data, bool deleting)
{
    TBusyScope busy(Format(LoadResString(deleting ? rsDeletingNamed : rsSavingNamed), {ShownText(data.Title)}));
    return SwGuarded(
        rsSystemSaveError, std::int32_t{-1},
        [&] {
            // Only rows that name an id count: a row without one is no answer, least of all
            // the 0 of a deletion.
            for (const TSwRow& row : Request(kPutPath, PutFields(data, deleting))) {
                if (!row.contains(QStringLiteral("id_systems")))
                    continue;
                const std::int32_t id = SwInteger(row, QStringLiteral("id_systems"));
                if (id != -1)
                    return id;
            }
            return std::int32_t{-1};
        },
        data.Id);
}

bool TSwSystems::DeleteCachedSystemFile(const tSystemInfo& info) const
{
    const QString name = CacheFileName(info);
    if (name.isEmpty() || !QFileInfo::exists(name))
        return true;
    return QFile::remove(name);
}

int TSwSystems::DeleteOtherCachedSystems(const tSystemInfo& info) const
{
    if (!SystemCacheable(info))
        return 0;
    const QString own = SystemCacheName(info.Nums, info.Olap, info.Id);
    const QDir folder(CacheFolder());
    int deleted = 0;
    for (const QString& name : folder.entryList({SystemCacheMask(info.Nums)}, QDir::Files, QDir::Name))
        if (name != own && QFile::remove(folder.filePath(name)))
            ++deleted;
    return deleted;
}
