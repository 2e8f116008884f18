#include "tests/standin/SystemServer.h"

#include "tests/standin/StandInText.h"

#include <QTimeZone>

namespace {

QByteArray Tag(const char* name, const QByteArray& value)
{
    return QByteArray("<") + name + ">" + value + "</" + name + ">";
}

QByteArray Base64(const QString& text)
{
    return text.toUtf8().toBase64();
}

QByteArray Reply(const QByteArray& rows)
{
    return "<html><body><result>" + rows + "</result></body></html>";
}

int IntField(const TStandInRequest& request, const char* name)
{
    return request.Field(QString::fromLatin1(name)).toInt();
}

} // namespace

TSystemServer::TSystemServer(THttpStandIn& server)
    : FNow(QDate(2016, 8, 10), QTime(9, 0), Qt::UTC)
{
    server.Route(ListPath, [this](const TStandInRequest& request) { return List(request); });
    server.Route(FetchPath, [this](const TStandInRequest& request) { return Fetch(request); });
    server.Route(PutPath, [this](const TStandInRequest& request) { return Put(request); });
}

int TSystemServer::Add(TSystem system)
{
    if (system.Id <= 0)
        system.Id = FNextId;
    FNextId = std::max(FNextId, system.Id + 1);
    FSystems.append(system);
    return system.Id;
}

TSystemServer::TSystem* TSystemServer::Find(int id)
{
    for (TSystem& system : FSystems)
        if (system.Id == id)
            return &system;
    return nullptr;
}

void TSystemServer::SetFailure(const QByteArray& path, TFailure failure, int count)
{
    FFailurePath = path;
    FFailure = failure;
    FFailuresLeft = count;
}

TSystemServer::TFailure TSystemServer::TakeFailure(const QByteArray& path)
{
    if (FFailure == TFailure::None || path != FFailurePath || FFailuresLeft == 0)
        return TFailure::None;
    if (FFailuresLeft > 0)
        --FFailuresLeft;
    return FFailure;
}

QString TSystemServer::CUnescape(const QString& text)
{
    return StandInCUnescape(text);
}

QByteArray TSystemServer::UtcText(const QDateTime& utc)
{
    return utc.isValid() ? utc.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toLatin1() : QByteArray();
}

TStandInReply TSystemServer::List(const TStandInRequest& request)
{
    switch (TakeFailure(ListPath)) {
    case TFailure::ErrorRow:
        return TStandInReply::Text(Reply("<row><error>list refused</error></row>"));
    case TFailure::NoResult:
        return TStandInReply::Text("<html><body>Service unavailable</body></html>");
    default:
        break;
    }
    const int maxNums = IntField(request, "maxnums");
    QByteArray rows;
    for (const TSystem& s : FSystems) {
        if (maxNums > 0 && s.Nums > maxNums)
            continue;
        rows += "<row>" + Tag("id", QByteArray::number(s.Id)) + Tag("nums", QByteArray::number(s.Nums))
                + Tag("olap", QByteArray::number(s.Olap)) + Tag("csize", QByteArray::number(s.CSize))
                + Tag("title", Base64(s.Title)) + Tag("author", s.Author.toUtf8())
                + Tag("cl_mail", s.Mail.toUtf8()) + Tag("descr", Base64(s.Descr))
                + Tag("created", UtcText(s.Created)) + Tag("downloads", QByteArray::number(s.Downloads))
                + Tag("last_download", UtcText(s.LastDownload)) + Tag("url", s.Url.toUtf8()) + "</row>\n";
    }
    return TStandInReply::Text(Reply(rows + FExtraRows));
}

TStandInReply TSystemServer::Fetch(const TStandInRequest& request)
{
    const TFailure failure = TakeFailure(FetchPath);
    if (failure == TFailure::ErrorRow)
        return TStandInReply::Text(Reply("<row><error>no such system</error></row>"));
    if (failure == TFailure::NoResult)
        return TStandInReply::Text("<html><body>Service unavailable</body></html>");
    TSystem* system = Find(IntField(request, "sys_id"));
    if (!system)
        return TStandInReply::Text(Reply(QByteArray()));
    ++system->Downloads;
    system->LastDownload = FNow;
    QString list = system->CList;
    if (failure == TFailure::ShortList) {
        QStringList lines = list.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        if (!lines.isEmpty())
            lines.removeLast();
        list = lines.isEmpty() ? QString() : lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    }
    const QByteArray clist = failure == TFailure::BadBase64 ? QByteArray("@@not*base64@@") : Base64(list);
    return TStandInReply::Text(Reply("<row>" + Tag("clist", clist) + "</row>"));
}

TStandInReply TSystemServer::Put(const TStandInRequest& request)
{
    const TFailure failure = TakeFailure(PutPath);
    if (failure == TFailure::ErrorRow)
        return TStandInReply::Text(Reply("<row><error>not allowed</error></row>"));
    if (failure == TFailure::NoResult)
        return TStandInReply::Text("<html><body>Service unavailable</body></html>");
    if (!FPutReply.isEmpty())
        return TStandInReply::Text(FPutReply);

    const int id = IntField(request, "sys_id");
    if (IntField(request, "del_mode") == 1) {
        for (qsizetype i = 0; i < FSystems.size(); ++i)
            if (FSystems[i].Id == id) {
                FSystems.removeAt(i);
                return TStandInReply::Text(Reply("<row>" + Tag("id_systems", "0") + "</row>"));
            }
        return TStandInReply::Text(Reply("<row><error>no such system</error></row>"));
    }

    TSystem system;
    system.Nums = IntField(request, "nums");
    system.Olap = IntField(request, "olap");
    system.CSize = IntField(request, "csize");
    system.Title = CUnescape(request.Field(QStringLiteral("title")));
    system.Descr = CUnescape(request.Field(QStringLiteral("descr")));
    system.Author = CUnescape(request.Field(QStringLiteral("cl_name")));
    system.Mail = CUnescape(request.Field(QStringLiteral("cl_mail")));
    system.Url = request.Field(QStringLiteral("url"));
    system.CList = CUnescape(QString::fromUtf8(QByteArray::fromBase64(request.Field(QStringLiteral("clist")).toLatin1())));
    system.Created = FNow;
    if (id > 0) {
        TSystem* old = Find(id);
        if (!old)
            return TStandInReply::Text(Reply("<row><error>no such system</error></row>"));
        system.Id = id;
        system.Downloads = old->Downloads;
        system.LastDownload = old->LastDownload;
        *old = system;
    } else {
        system.Id = Add(system);
    }
    return TStandInReply::Text(Reply("<row>" + Tag("id_systems", QByteArray::number(system.Id)) + "</row>"));
}
