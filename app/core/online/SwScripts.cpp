#include "app/core/online/SwScripts.h"

#include "app/core/online/SwTexts.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "platform/WordUtils.h"
#include "support/RDialogs.h"
#include "support/RStrUtils.h"
#include "support/RVclUtils.h"

namespace {

const TResString SNoAnswer = RESSTR("rSwScripts", "Сервер не вернул результат запроса!");
const TResString SNoScript = RESSTR("rSwScripts", "Ответ сервера не содержит сценария!");

// Every row of a reply read into one record each; one bad row fails the whole list.
template <typename TRecord, typename TReadRow>
QList<TRecord> ReadRows(const QList<TSwRow>& rows, TReadRow&& readRow)
{
    QList<TRecord> records;
    records.reserve(rows.size());
    for (const TSwRow& row : rows)
        records.append(readRow(row));
    return records;
}

// The code of the last row; raises when there is no row.
std::int32_t LastRowCode(const QList<TSwRow>& rows, const QString& tag)
{
    if (rows.isEmpty())
        throw Exception(LoadResString(SNoAnswer));
    return SwInteger(rows.last(), tag);
}

} // namespace

tScriptData tScriptData::New(const QString& userName, std::int32_t languageId)
{
    tScriptData data;
    data.ClName = userName;
    data.ClLcid = languageId;
    return data;
}

tScriptData tScriptData::FromInfo(const tScriptInfo& info)
{
    tScriptData data;
    data.Id = info.Id;
    data.ClName = info.ClName;
    data.ClLcid = info.ClLcid;
    data.Universal = info.Universal;
    data.Public = info.Public;
    data.Title = info.Title;
    data.Descr = info.Descr;
    return data;
}

void tScriptData::ToInfo(tScriptInfo& info) const
{
    info.ClName = ClName;
    info.ClLcid = ClLcid;
    info.Universal = Universal;
    info.Public = Public;
    info.Title = Title;
    info.Descr = Descr;
}

QStringList ScriptInfoTexts(const tScriptInfo& info)
{
    QString own;
    if (info.RatingYou < 0)
        own = LoadResString(rsOnlineRateHidden);
    else if (info.RatingYou > 0)
        own = QString::number(info.RatingYou);
    return {LoadResString(info.Mine ? rsOnlineMine : rsOnlineShared),
            ShownText(info.Title),
            ShownText(info.ClName),
            info.Universal ? LoadResString(rsOnlineUniversal) : ShownText(info.AppName),
            ShownText(info.AppVer),
            GetLanguageAbbrev(static_cast<LCID>(info.ClLcid)),
            SwTimeText(info.Created),
            Format(QStringLiteral("%.3n"), {info.RatingAvg}),
            QString::number(info.RatingCnt),
            own,
            QString::number(info.Downloads),
            SwTimeText(info.LastDownload),
            ShownText(info.Descr)};
}

int ScriptInfoImage(const tScriptInfo& info)
{
    return info.Public ? ScriptImagePublic : ScriptImagePrivate;
}

QStringList ScriptRateTexts(const tScriptRate& rate)
{
    return {ShownText(rate.ClName),  ShownText(rate.Rate),   SwTimeText(rate.Created),
            ShownText(rate.AppName), ShownText(rate.AppVer), ShownText(rate.Notes)};
}

TSwScripts::TSwScripts(TUserIdentity identity) : FIdentity(std::move(identity)) {}

bool TSwScripts::IsMine(const QString& entryMail) const
{
    return !FIdentity.UserMail.isEmpty() && FIdentity.UserMail.compare(entryMail, Qt::CaseInsensitive) == 0;
}

bool TSwScripts::IsUsable(bool universal, const QString& programGuid) const
{
    return universal || (!FIdentity.AppId.isEmpty() && FIdentity.AppId.compare(programGuid, Qt::CaseInsensitive) == 0);
}

TSwFields TSwScripts::ClientFields(LCID languageId) const
{
    return SwClientFields(FIdentity, languageId);
}

QList<TSwRow> TSwScripts::Request(const char* path, const TSwFields& fields) const
{
    QByteArray reply;
    QString error;
    QList<TSwRow> rows;
    if (!SwPost(QLatin1String(path), fields, reply, error) || !SwReplyRows(reply, rows, error))
        throw Exception(error);
    return rows;
}

bool TSwScripts::GetScriptList(QList<tScriptInfo>& list, int filterId, LCID languageId)
{
    list.clear();
    return SwGuarded(rsOnlineListError, false, [&] {
        TSwFields fields{{QStringLiteral("fltid"), QString::number(filterId)}};
        fields += ClientFields(languageId);
        list = ReadRows<tScriptInfo>(Request(SwScrGetListPath, fields), [&](const TSwRow& row) {
            tScriptInfo info;
            info.Id = SwInteger(row, QStringLiteral("id"));
            info.AppName = SwText(row, QStringLiteral("app_name"));
            info.AppVer = SwText(row, QStringLiteral("app_ver"));
            info.ClName = SwText(row, QStringLiteral("key_cl_name"));
            info.ClMail = SwText(row, QStringLiteral("key_cl_mail"));
            info.ClLcid = row.contains(QStringLiteral("key_cl_lcid"))
                              ? SwInteger(row, QStringLiteral("key_cl_lcid"))
                              : static_cast<std::int32_t>(languageId);
            info.Universal = SwInteger(row, QStringLiteral("uniapps")) > 0;
            info.Public = SwInteger(row, QStringLiteral("publics")) > 0;
            info.Created = SwUtcTime(row, QStringLiteral("created"));
            info.RatingAvg = SwFloat(row, QStringLiteral("rating_avg"));
            info.RatingCnt = SwInteger(row, QStringLiteral("rating_cnt"));
            info.RatingYou = SwInteger(row, QStringLiteral("rating_you"));
            info.Downloads = SwInteger(row, QStringLiteral("downloads"));
            info.LastDownload = SwUtcTime(row, QStringLiteral("last_download"));
            info.Title = SwBase64Text(row, QStringLiteral("title"));
            info.Descr = SwBase64Text(row, QStringLiteral("descr"));
            info.Mine = IsMine(info.ClMail);
            // The program an entry was made for matters only when it is not universal.
            info.Usable = IsUsable(info.Universal, info.Universal ? QString() : SwText(row, QStringLiteral("app_guid")));
            info.Editable = info.Mine && info.Usable;
            return info;
        });
        return true;
    });
}

bool TSwScripts::GetScriptData(std::int32_t id, QStringList& lines)
{
    return SwGuarded(rsOnlineScriptLoadError, false, [&] {
        const QList<TSwRow> rows = Request(SwScrGetDataPath, {{QStringLiteral("scr_id"), QString::number(id)}});
        for (const TSwRow& row : rows) {
            if (!row.contains(QStringLiteral("script")))
                continue;
            // An empty script is no scenario: taking it would empty the user's own.
            const QString script = SwBase64Text(row, QStringLiteral("script"));
            if (script.trimmed().isEmpty())
                break;
            lines = SplitTextLines(script);
            return true;
        }
        throw Exception(LoadResString(SNoScript));
    });
}

bool TSwScripts::SetScriptRate(std::int32_t id, int rating, LCID languageId, const QString& notes)
{
    return SwGuarded(rsOnlineRateSaveError, false, [&] {
        TSwFields fields{{QStringLiteral("scr_id"), QString::number(id)},
                         {QStringLiteral("rate_value"), QString::number(rating)},
                         {QStringLiteral("rate_notes"), StrToCStr(notes)}};
        fields += ClientFields(languageId);
        const QList<TSwRow> rows = Request(SwScrSetRatePath, fields);
        const std::int32_t code = rows.isEmpty() ? -1 : SwInteger(rows.last(), QStringLiteral("res_code"));
        if (code < 0)
            throw Exception(Format(LoadResString(rsServerReturnCode), {code}));
        return true;
    });
}

bool TSwScripts::CheckScriptTitle(std::int32_t id, const QString& title, bool* failed)
{
    const TBusyScope busy;
    bool requestFailed = true;
    const bool free = SwGuarded(rsOnlineTitleCheckError, false, [&] {
        const QList<TSwRow> rows = Request(SwScrChkTitlePath, {{QStringLiteral("scr_id"), QString::number(id)},
                                                               {QStringLiteral("scr_title"), StrToCStr(title)}});
        const bool isFree = LastRowCode(rows, QStringLiteral("ret_code")) == 0;
        requestFailed = false;
        return isFree;
    });
    if (failed)
        *failed = requestFailed;
    return free;
}

TSwFields TSwScripts::PutFields(const tScriptData& data, bool deleting, const QString* script) const
{
    TSwFields fields{{QStringLiteral("del_mode"), deleting ? QStringLiteral("1") : QStringLiteral("0")},
                     {QStringLiteral("scr_id"), QString::number(data.Id)},
                     {QStringLiteral("scr_uniapps"), data.Universal ? QStringLiteral("1") : QStringLiteral("0")},
                     {QStringLiteral("scr_publics"), data.Public ? QStringLiteral("1") : QStringLiteral("0")},
                     {QStringLiteral("scr_title"), StrToCStr(data.Title)},
                     {QStringLiteral("scr_descr"), StrToCStr(data.Descr)}};
    if (script)
        fields.append({QStringLiteral("scr_script"), StrToCStr(*script)});
    // The entry is stored under the author name and language of the data, which the user may
    // have changed in the properties dialog.
    TUserIdentity author = FIdentity;
    author.UserName = data.ClName;
    fields += SwClientFields(author, static_cast<LCID>(data.ClLcid));
    return fields;
}

std::int32_t TSwScripts::PutScript(const tScriptData& data, const QString& script)
{
    return SwGuarded(rsOnlineScriptSaveError, std::int32_t{0}, [&] {
        return LastRowCode(Request(SwScrPutScriptPath, PutFields(data, false, &script)), QStringLiteral("id_scripts"));
    });
}

std::int32_t TSwScripts::DeleteScript(const tScriptData& data)
{
    return SwGuarded(rsOnlineScriptDeleteError, std::int32_t{-1}, [&] {
        return LastRowCode(Request(SwScrPutScriptPath, PutFields(data, true, nullptr)), QStringLiteral("id_scripts"));
    });
}

bool TSwScripts::GetScriptRates(std::int32_t id, QList<tScriptRate>& rates)
{
    rates.clear();
    return SwGuarded(rsOnlineRatesViewError, false, [&] {
        const TSwFields fields{{QStringLiteral("scr_id"), QString::number(id)}};
        rates = ReadRows<tScriptRate>(Request(SwScrGetRatesPath, fields), [](const TSwRow& row) {
            tScriptRate rate;
            rate.ClName = SwText(row, QStringLiteral("key_cl_name"));
            rate.Rate = SwText(row, QStringLiteral("rate"));
            rate.Created = SwUtcTime(row, QStringLiteral("created"));
            rate.AppName = SwText(row, QStringLiteral("app_name"));
            rate.AppVer = SwText(row, QStringLiteral("app_ver"));
            rate.Notes = SwText(row, QStringLiteral("notes"));
            return rate;
        });
        return true;
    });
}
