#include "tests/standin/ScriptServer.h"

#include "tests/standin/StandInText.h"

#include <QTimeZone>

namespace {

QByteArray Tag(const char* name, const QByteArray& value)
{
    return QByteArray("<") + name + ">" + value + "</" + name + ">";
}

QByteArray Tag(const char* name, const QString& value)
{
    return Tag(name, value.toUtf8());
}

QByteArray Tag(const char* name, long long value)
{
    return Tag(name, QByteArray::number(value));
}

QByteArray Result(const QList<QByteArray>& rows)
{
    QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<result>\n";
    for (const QByteArray& row : rows)
        body += "<row>" + row + "</row>\n";
    return body + "</result>\n";
}

int IntField(const TStandInRequest& request, const char* name, int def = 0)
{
    bool ok = false;
    const int value = request.Field(QLatin1String(name)).toInt(&ok);
    return ok ? value : def;
}

} // namespace

TScriptServer::TScriptServer(THttpStandIn& server)
{
    for (const char* path : {"/scripts/scr_getlist.php", "/scripts/scr_getdata.php", "/scripts/scr_setrate.php",
                             "/scripts/scr_chktitle.php", "/scripts/scr_putscript.php", "/scripts/scr_getrates.php"})
        server.Route(path, [this](const TStandInRequest& request) { return Answer(request); });
}

QDateTime TScriptServer::Now() const
{
    const QDateTime now = FNow.isValid() ? FNow : QDateTime::currentDateTimeUtc();
    return now.toUTC();
}

int TScriptServer::Add(TScript script)
{
    if (script.Id <= 0)
        script.Id = FNextId;
    FNextId = qMax(FNextId, script.Id + 1);
    if (!script.Created.isValid())
        script.Created = Now();
    if (script.OwnerKey.isEmpty())
        script.OwnerKey = script.AuthorMail.toLower();
    FScripts.insert(script.Id, script);
    return script.Id;
}

void TScriptServer::AddRate(int scriptId, const TRate& rate)
{
    QList<TRate>& rates = FRates[scriptId];
    for (TRate& old : rates) {
        if (old.UserKey == rate.UserKey) {
            old = rate;
            return;
        }
    }
    rates.append(rate);
}

void TScriptServer::SetFailure(TFailure failure, int count)
{
    FFailure = failure;
    FFailuresLeft = count;
}

QString TScriptServer::Unescape(const QString& text)
{
    return StandInCUnescape(text);
}

QByteArray TScriptServer::Base64(const QString& text)
{
    return text.toUtf8().toBase64();
}

QString TScriptServer::UtcText(const QDateTime& utc)
{
    return utc.isValid() ? utc.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QString TScriptServer::UserKey(const TStandInRequest& request)
{
    const QString mail = Unescape(request.Field(QStringLiteral("cl_mail"))).toLower();
    return mail.isEmpty() ? QStringLiteral("hw:") + request.Field(QStringLiteral("hwdid")) : mail;
}

int TScriptServer::OwnRate(int scriptId, const QString& userKey) const
{
    for (const TRate& rate : FRates.value(scriptId))
        if (rate.UserKey == userKey)
            return rate.Rate;
    return 0;
}

TStandInReply TScriptServer::Answer(const TStandInRequest& request)
{
    TFailure failure = TFailure::None;
    if (FFailuresLeft != 0) {
        failure = FFailure;
        if (FFailuresLeft > 0)
            --FFailuresLeft;
    }
    switch (failure) {
    case TFailure::ErrorRow:
        return TStandInReply::Text(Result({Tag("error", QByteArray("database is not available"))}));
    case TFailure::NoResult:
        return TStandInReply::Text("<html><body>Service unavailable</body></html>");
    case TFailure::EmptyResult:
        return TStandInReply::Text(Result({}));
    case TFailure::ServerError:
        return TStandInReply::Error(500);
    case TFailure::Huge:
        return TStandInReply::Text(Result({QByteArray(5 * 1024 * 1024, 'x')}));
    case TFailure::BadBase64:
        return TStandInReply::Text(Result({Tag("id", 1LL) + Tag("title", QByteArray("@@not base64@@"))
                                           + Tag("descr", QByteArray("@@")) + Tag("script", QByteArray("*"))}));
    case TFailure::BadNumber:
        return TStandInReply::Text(Result({Tag("id", QByteArray("99999999999")) + Tag("res_code", QByteArray("x"))
                                           + Tag("ret_code", QByteArray("1e99")) + Tag("id_scripts", QByteArray("2.5"))
                                           + Tag("rating_avg", QByteArray("nan"))}));
    case TFailure::FormatText:
        return TStandInReply::Text(Result({Tag("id", QByteArray("%s%n%d")) + Tag("res_code", QByteArray("%s%n"))
                                           + Tag("ret_code", QByteArray("%n")) + Tag("id_scripts", QByteArray("%s"))
                                           + Tag("created", QByteArray("%s%s%s%s"))}));
    case TFailure::None:
        break;
    }

    const QByteArray& path = request.Path;
    QByteArray body;
    if (path == "/scripts/scr_getlist.php")
        body = List(request);
    else if (path == "/scripts/scr_getdata.php")
        body = Data(request);
    else if (path == "/scripts/scr_setrate.php")
        body = SetRate(request);
    else if (path == "/scripts/scr_chktitle.php")
        body = CheckTitle(request);
    else if (path == "/scripts/scr_putscript.php")
        body = Put(request);
    else
        body = GetRates(request);
    return TStandInReply::Text(body);
}

QByteArray TScriptServer::Row(const TScript& script, const QString& userKey) const
{
    int sum = 0;
    int count = 0;
    for (const TRate& rate : FRates.value(script.Id)) {
        if (rate.Rate > 0) {
            sum += rate.Rate;
            ++count;
        }
    }
    const QString average = count ? QString::number(static_cast<double>(sum) / count, 'f', 4) : QStringLiteral("0");
    QByteArray row = Tag("id", static_cast<long long>(script.Id)) + Tag("app_name", script.AppName)
                     + Tag("app_ver", script.AppVer) + Tag("key_cl_name", script.AuthorName)
                     + Tag("key_cl_mail", script.AuthorMail) + Tag("key_cl_lcid", static_cast<long long>(script.Lcid))
                     + Tag("uniapps", script.Universal ? 1LL : 0LL) + Tag("publics", script.Public ? 1LL : 0LL)
                     + Tag("created", UtcText(script.Created)) + Tag("rating_avg", average)
                     + Tag("rating_cnt", static_cast<long long>(count))
                     + Tag("rating_you", static_cast<long long>(OwnRate(script.Id, userKey)))
                     + Tag("downloads", static_cast<long long>(script.Downloads))
                     + Tag("last_download", UtcText(script.LastDownload)) + Tag("title", Base64(script.Title))
                     + Tag("descr", Base64(script.Descr));
    if (!script.Universal)
        row += Tag("app_guid", script.AppGuid);
    return row;
}

QByteArray TScriptServer::List(const TStandInRequest& request)
{
    const int filter = IntField(request, "fltid", 1);
    const QString user = UserKey(request);
    QList<QByteArray> rows;
    for (const TScript& script : FScripts) {
        const bool mine = script.OwnerKey == user;
        if (!script.Public && !mine)
            continue;
        const int own = OwnRate(script.Id, user);
        bool listed = true;
        switch (filter) {
        case -1: listed = own < 0; break;
        case 0: listed = true; break;
        case 1: listed = own >= 0; break;
        case 2: listed = mine; break;
        case 3: listed = script.Public; break;
        case 4: listed = own > 0; break;
        case 5: listed = own == 0; break;
        case 6: listed = script.Created.secsTo(Now()) <= 24 * 3600; break;
        default: listed = false; break;
        }
        if (listed)
            rows.append(Row(script, user));
    }
    return Result(rows);
}

QByteArray TScriptServer::Data(const TStandInRequest& request)
{
    const int id = IntField(request, "scr_id");
    if (!FScripts.contains(id))
        return Result({Tag("error", QByteArray("no such script"))});
    TScript& script = FScripts[id];
    ++script.Downloads;
    script.LastDownload = Now();
    return Result({Tag("script", Base64(script.Script))});
}

QByteArray TScriptServer::SetRate(const TStandInRequest& request)
{
    const int id = IntField(request, "scr_id");
    const int value = IntField(request, "rate_value", -100);
    int code = 0;
    if (!FScripts.contains(id)) {
        code = -1;
    } else if (value < -1 || value > 5) {
        code = -2;
    } else {
        const QString user = UserKey(request);
        QList<TRate>& rates = FRates[id];
        rates.removeIf([&](const TRate& rate) { return rate.UserKey == user; });
        if (value != 0)
            rates.append({user, Unescape(request.Field(QStringLiteral("cl_name"))), value,
                          Unescape(request.Field(QStringLiteral("rate_notes"))), request.Field(QStringLiteral("appid")),
                          request.Field(QStringLiteral("appver")), Now()});
    }
    if (FRateAnswer != -100)
        code = FRateAnswer;
    return Result({Tag("res_code", static_cast<long long>(code))});
}

QByteArray TScriptServer::CheckTitle(const TStandInRequest& request)
{
    const int id = IntField(request, "scr_id");
    const QString title = Unescape(request.Field(QStringLiteral("scr_title")));
    int code = 0;
    for (const TScript& script : FScripts)
        if (script.Id != id && script.Title.compare(title, Qt::CaseInsensitive) == 0)
            code = 1;
    if (FTitleAnswer != -100)
        code = FTitleAnswer;
    return Result({Tag("ret_code", static_cast<long long>(code))});
}

QByteArray TScriptServer::Put(const TStandInRequest& request)
{
    // A set answer stands for a server that refused the request: nothing changes.
    if (FPutAnswer != 0)
        return Result({Tag("id_scripts", static_cast<long long>(FPutAnswer))});
    const bool deleting = IntField(request, "del_mode") == 1;
    const int id = IntField(request, "scr_id", -1);
    const QString user = UserKey(request);
    int answer = -1;
    if (deleting) {
        if (FScripts.contains(id) && FScripts[id].OwnerKey == user) {
            FScripts.remove(id);
            FRates.remove(id);
            answer = 0;
        }
    } else if (id <= 0 || (FScripts.contains(id) && FScripts[id].OwnerKey == user)) {
        TScript script = id > 0 ? FScripts[id] : TScript();
        script.AuthorName = Unescape(request.Field(QStringLiteral("cl_name")));
        script.AuthorMail = Unescape(request.Field(QStringLiteral("cl_mail")));
        script.Lcid = IntField(request, "cl_lcid");
        script.AppName = request.Field(QStringLiteral("appid"));
        script.AppGuid = request.Field(QStringLiteral("appid"));
        script.AppVer = request.Field(QStringLiteral("appver"));
        script.Universal = IntField(request, "scr_uniapps") == 1;
        script.Public = IntField(request, "scr_publics") == 1;
        script.Title = Unescape(request.Field(QStringLiteral("scr_title")));
        script.Descr = Unescape(request.Field(QStringLiteral("scr_descr")));
        script.Script = Unescape(request.Field(QStringLiteral("scr_script")));
        script.Created = Now();
        script.OwnerKey = user;
        script.Id = id > 0 ? id : 0;
        answer = Add(script);
    }
    return Result({Tag("id_scripts", static_cast<long long>(answer))});
}

QByteArray TScriptServer::GetRates(const TStandInRequest& request)
{
    const int id = IntField(request, "scr_id");
    if (!FScripts.contains(id))
        return Result({Tag("error", QByteArray("no such script"))});
    QList<QByteArray> rows;
    for (const TRate& rate : FRates.value(id))
        if (rate.Rate > 0)
            rows.append(Tag("key_cl_name", rate.Name) + Tag("rate", static_cast<long long>(rate.Rate))
                        + Tag("created", UtcText(rate.Created)) + Tag("app_name", rate.AppName)
                        + Tag("app_ver", rate.AppVer) + Tag("notes", rate.Notes));
    return Result(rows);
}
