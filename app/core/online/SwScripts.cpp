#include "app/core/online/SwScripts.h"

#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/RStrUtils.h"
#include "support/RVclUtils.h"

namespace {

const TResString SListError = RESSTR("rSwScripts", "Ошибка загрузки каталога online-сценариев!\n\n%s");
const TResString SDataError = RESSTR("rSwScripts", "Ошибка загрузки online-сценария!\n\n%s");
const TResString SRateError = RESSTR("rSwScripts", "Ошибка сохранения оценки online-сценария!\n\n%s");
const TResString STitleError = RESSTR("rSwScripts", "Ошибка проверки уникальности online-сценария!\n\n%s");
const TResString SPutError = RESSTR("rSwScripts", "Ошибка сохранения online-сценария в базе данных!\n\n%s");
const TResString SDeleteError = RESSTR("rSwScripts", "Ошибка удаления online-сценария из базы данных!\n\n%s");
const TResString SRatesError = RESSTR("rSwScripts", "Ошибка просмотра оценок online-сценария!\n\n%s");
const TResString SReturnCode = RESSTR("rSwScripts", "Код возврата: %d");
const TResString SNoAnswer = RESSTR("rSwScripts", "Сервер не вернул результат запроса!");
const TResString SNoScript = RESSTR("rSwScripts", "Ответ сервера не содержит сценария!");

const TResString SMine = RESSTR("rSwScripts", "Мой");
const TResString SCommon = RESSTR("rSwScripts", "Общий");
const TResString SUniversal = RESSTR("rSwScripts", "Универсальный");
const TResString SHidden = RESSTR("rSwScripts", "Скрытый");

// The error box of an operation: its message with the error text as the argument.
void ShowFailure(const TResString& message, const QString& error)
{
    ErrorBox(Format(LoadResString(message), {error}));
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

QString ScriptTimeText(const QDateTime& time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QStringList ScriptInfoTexts(const tScriptInfo& info)
{
    QString own;
    if (info.RatingYou < 0)
        own = LoadResString(SHidden);
    else if (info.RatingYou > 0)
        own = QString::number(info.RatingYou);
    return {LoadResString(info.Mine ? SMine : SCommon),
            info.Title,
            info.ClName,
            info.Universal ? LoadResString(SUniversal) : info.AppName,
            info.AppVer,
            GetLanguageAbbrev(static_cast<LCID>(info.ClLcid)),
            ScriptTimeText(info.Created),
            Format(QStringLiteral("%.3n"), {info.RatingAvg}),
            QString::number(info.RatingCnt),
            own,
            QString::number(info.Downloads),
            ScriptTimeText(info.LastDownload),
            info.Descr};
}

int ScriptInfoImage(const tScriptInfo& info)
{
    return info.Public ? ScriptImagePublic : ScriptImagePrivate;
}

QStringList ScriptRateTexts(const tScriptRate& rate)
{
    return {rate.ClName, rate.Rate, ScriptTimeText(rate.Created), rate.AppName, rate.AppVer, rate.Notes};
}

QString ScriptLinesToText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1String("\r\n");
    return text;
}

QStringList ScriptTextToLines(const QString& text)
{
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(line);
            line.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
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
    try {
        TSwFields fields{{QStringLiteral("fltid"), QString::number(filterId)}};
        fields += ClientFields(languageId);
        QList<tScriptInfo> entries;
        for (const TSwRow& row : Request(SwScrGetListPath, fields)) {
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
            entries.append(info);
        }
        list = entries;
        return true;
    } catch (const std::exception& e) {
        ShowFailure(SListError, ExceptionText(e));
        return false;
    }
}

bool TSwScripts::GetScriptData(std::int32_t id, QStringList& lines)
{
    try {
        const QList<TSwRow> rows = Request(SwScrGetDataPath, {{QStringLiteral("scr_id"), QString::number(id)}});
        for (const TSwRow& row : rows) {
            if (row.contains(QStringLiteral("script"))) {
                lines = ScriptTextToLines(SwBase64Text(row, QStringLiteral("script")));
                return true;
            }
        }
        throw Exception(LoadResString(SNoScript));
    } catch (const std::exception& e) {
        ShowFailure(SDataError, ExceptionText(e));
        return false;
    }
}

bool TSwScripts::SetScriptRate(std::int32_t id, int rating, LCID languageId, const QString& notes)
{
    try {
        TSwFields fields{{QStringLiteral("scr_id"), QString::number(id)},
                         {QStringLiteral("rate_value"), QString::number(rating)},
                         {QStringLiteral("rate_notes"), StrToCStr(notes)}};
        fields += ClientFields(languageId);
        const QList<TSwRow> rows = Request(SwScrSetRatePath, fields);
        const std::int32_t code = rows.isEmpty() ? -1 : SwInteger(rows.last(), QStringLiteral("res_code"));
        if (code < 0)
            throw Exception(Format(LoadResString(SReturnCode), {code}));
        return true;
    } catch (const std::exception& e) {
        ShowFailure(SRateError, ExceptionText(e));
        return false;
    }
}

bool TSwScripts::CheckScriptTitle(std::int32_t id, const QString& title, bool* failed)
{
    if (failed)
        *failed = false;
    const TBusyScope busy;
    try {
        const QList<TSwRow> rows = Request(SwScrChkTitlePath, {{QStringLiteral("scr_id"), QString::number(id)},
                                                               {QStringLiteral("scr_title"), StrToCStr(title)}});
        return LastRowCode(rows, QStringLiteral("ret_code")) == 0;
    } catch (const std::exception& e) {
        if (failed)
            *failed = true;
        ShowFailure(STitleError, ExceptionText(e));
        return false;
    }
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
    try {
        return LastRowCode(Request(SwScrPutScriptPath, PutFields(data, false, &script)), QStringLiteral("id_scripts"));
    } catch (const std::exception& e) {
        ShowFailure(SPutError, ExceptionText(e));
        return 0;
    }
}

std::int32_t TSwScripts::DeleteScript(const tScriptData& data)
{
    try {
        return LastRowCode(Request(SwScrPutScriptPath, PutFields(data, true, nullptr)), QStringLiteral("id_scripts"));
    } catch (const std::exception& e) {
        ShowFailure(SDeleteError, ExceptionText(e));
        return -1;
    }
}

bool TSwScripts::GetScriptRates(std::int32_t id, QList<tScriptRate>& rates)
{
    rates.clear();
    try {
        QList<tScriptRate> found;
        for (const TSwRow& row : Request(SwScrGetRatesPath, {{QStringLiteral("scr_id"), QString::number(id)}})) {
            tScriptRate rate;
            rate.ClName = SwText(row, QStringLiteral("key_cl_name"));
            rate.Rate = SwText(row, QStringLiteral("rate"));
            rate.Created = SwUtcTime(row, QStringLiteral("created"));
            rate.AppName = SwText(row, QStringLiteral("app_name"));
            rate.AppVer = SwText(row, QStringLiteral("app_ver"));
            rate.Notes = SwText(row, QStringLiteral("notes"));
            found.append(rate);
        }
        rates = found;
        return true;
    } catch (const std::exception& e) {
        ShowFailure(SRatesError, ExceptionText(e));
        return false;
    }
}
