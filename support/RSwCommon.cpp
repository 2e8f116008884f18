#include "support/RSwCommon.h"

#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "support/RStrUtils.h"
#include "support/RSysUtils.h"
#include "support/rHttpUtils.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QStringDecoder>
#include <QTimeZone>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The maker's server is configuration; this address names no real host, so that a program
// without TAVRIX_SERVER_URL reports the server as unreachable instead of talking to a stranger.
const char* const kMakerServer = "https://server.tavrix.invalid";

// The machine id is confidential: whoever sees it may match this machine across every program
// that sends it. The server gets a keyed hash of it instead, with a key of this program's own,
// so that the value means nothing outside this program and stays the same from run to run.
// Never change the key: the server knows its users' machines by this value.
const char kMachineHashKey[] = "24606861660ec6d16e00a4eb98a025b7";

const TResString SReplyTooLarge = RESSTR("RSwCommon", "Ответ сервера превышает допустимый размер (%1 байт)!");
const TResString SNoResult = RESSTR("RSwCommon", "Ответ сервера не содержит результата запроса!");
const TResString SRowNotClosed = RESSTR("RSwCommon", "Ответ сервера получен не полностью!");
const TResString SServerError = RESSTR("RSwCommon", "Сервер не смог выполнить запрос!");
const TResString SBadBase64 = RESSTR("RSwCommon", "Значение \"%1\" в ответе сервера повреждено!");
const TResString SBadTime = RESSTR("RSwCommon", "Значение \"%1\" в ответе сервера не является датой: \"%2\"");
const TResString SBadNumber = RESSTR("RSwCommon", "Значение \"%1\" в ответе сервера не является числом: \"%2\"");

// How much of a bad value an error text quotes.
constexpr int kQuotedValue = 40;

QString AccountFullName()
{
    const passwd* entry = getpwuid(getuid());
    if (!entry)
        return QString();
    // The comment field holds "Full Name,room,phone,...".
    const QString gecos = QString::fromLocal8Bit(entry->pw_gecos ? entry->pw_gecos : "");
    const QString fullName = gecos.section(QLatin1Char(','), 0, 0).trimmed();
    return fullName.isEmpty() ? QString::fromLocal8Bit(entry->pw_name) : fullName;
}

QByteArray ReadMachineId()
{
    // The file holds one line of 32 hexadecimal digits; 256 bytes leave room for a line end.
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        try {
            const QByteArray text = ReadRegularFile(QString::fromLatin1(path), 256).trimmed();
            if (!text.isEmpty())
                return text;
        } catch (const EFileReadError&) {
            // The next place is tried.
        }
    }
    return QByteArray();
}

// Where a tag's closing element begins, searched from `from` without regard to letter case.
qsizetype FindClosing(const QString& text, const QString& tag, qsizetype from)
{
    return text.indexOf(QLatin1String("</") + tag + QLatin1Char('>'), from, Qt::CaseInsensitive);
}

bool IsTagChar(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
           || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_');
}

// The length of a tag name at pos (letters, digits, '_'), and whether '>' follows it.
qsizetype TagNameAt(const QString& text, qsizetype pos)
{
    qsizetype end = pos;
    while (end < text.size() && IsTagChar(text.at(end)))
        ++end;
    return end > pos && end < text.size() && text.at(end) == QLatin1Char('>') ? end - pos : 0;
}

// Every "<tag>value</tag>" of a row; the first occurrence of a tag wins. The closing elements
// are indexed in one pass first, so that a reply full of unclosed elements costs no more than
// a well-formed one of the same size.
TSwRow ParseRow(const QString& text)
{
    QHash<QString, QList<qsizetype>> closings;   // lower-case name -> positions of "</name>"
    for (qsizetype pos = text.indexOf(QLatin1String("</")); pos >= 0; pos = text.indexOf(QLatin1String("</"), pos + 2)) {
        const qsizetype length = TagNameAt(text, pos + 2);
        if (length > 0)
            closings[text.mid(pos + 2, length).toLower()].append(pos);
    }

    TSwRow row;
    qsizetype pos = 0;
    while (true) {
        const qsizetype open = text.indexOf(QLatin1Char('<'), pos);
        if (open < 0)
            break;
        const qsizetype length = TagNameAt(text, open + 1);
        if (length == 0) {
            pos = open + 1;
            continue;
        }
        const qsizetype end = open + 1 + length;   // the '>'
        const QString key = text.mid(open + 1, length).toLower();
        const auto found = closings.constFind(key);
        qsizetype close = -1;
        if (found != closings.constEnd()) {
            const auto next = std::lower_bound(found->cbegin(), found->cend(), end + 1);
            if (next != found->cend())
                close = *next;
        }
        if (close < 0) {
            pos = end + 1;
            continue;
        }
        if (!row.contains(key))
            row.insert(key, text.mid(end + 1, close - end - 1).trimmed());
        pos = close + length + 3;
    }
    return row;
}

} // namespace

QString MakerServerUrl()
{
    QString url = qEnvironmentVariable(MakerServerEnv).trimmed();
    if (url.isEmpty())
        url = QString::fromLatin1(kMakerServer);
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    return url;
}

bool MakerServerConfigured()
{
    const QString url = qEnvironmentVariable(MakerServerEnv).trimmed();
    return url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
           || url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

QString SwMachineHash(const QByteArray& machineIdText)
{
    const QByteArray text = machineIdText.trimmed();
    if (text.isEmpty())
        return QString();
    const QByteArray key = QByteArray::fromHex(kMachineHashKey);
    return QString::fromLatin1(
        QMessageAuthenticationCode::hash(text, key, QCryptographicHash::Sha256).toHex().left(32).toUpper());
}

TUserIdentity CurrentUserIdentity()
{
    TUserIdentity identity;
    identity.AppId = QFileInfo(GetAppFileName()).completeBaseName();
    identity.AppVersion = QCoreApplication::applicationVersion();
    identity.MachineId = SwMachineHash(ReadMachineId());
    QString name;
    QString mail;
    try {
        const TMemIniFile ini(GetAppIniFileName());
        name = ini.ReadString(QLatin1String(SwUserSection), QLatin1String(SwUserNameKey), QString()).trimmed();
        mail = ini.ReadString(QLatin1String(SwUserSection), QLatin1String(SwUserMailKey), QString()).trimmed();
    } catch (const Exception&) {
        // An unreadable settings file names nobody; the account's name stands in.
    }
    identity.UserName = name.isEmpty() ? AccountFullName() : name;
    identity.UserMail = mail;
    return identity;
}

TSwFields SwClientFields(const TUserIdentity& identity, std::uint32_t languageId)
{
    return {
        {QStringLiteral("appid"), identity.AppId},
        {QStringLiteral("appver"), identity.AppVersion},
        {QStringLiteral("hwdid"), identity.MachineId},
        {QStringLiteral("cl_name"), StrToCStr(identity.UserName)},
        {QStringLiteral("cl_mail"), StrToCStr(identity.UserMail)},
        {QStringLiteral("cl_lcid"), QString::number(languageId)},
    };
}

bool SwPost(const QString& path, const TSwFields& fields, QByteArray& reply, QString& error)
{
    reply.clear();
    error.clear();
    THttpRequest request;
    request.Method = "POST";
    request.Url = MakerServerUrl() + path;
    for (const auto& field : fields)
        request.FormFields.append(field.first + QLatin1Char('=') + field.second);
    request.MaxBodyBytes = SwReplyLimit;
    request.DeadlineMs = SwDeadlineMs;
    try {
        reply = HttpExecute(request).Body;
    } catch (const EHttpError& e) {
        // The server's replies are spoken of without its address, as in every other message.
        error = e.Failure() == THttpFailure::TooLarge ? LoadResString(SReplyTooLarge).arg(SwReplyLimit) : e.Message();
        return false;
    } catch (const std::exception& e) {
        error = ExceptionText(e);
        return false;
    }
    return true;
}

bool SwReplyRows(const QByteArray& reply, QList<TSwRow>& rows, QString& error)
{
    rows.clear();
    error.clear();
    const QString text = QString::fromUtf8(reply);
    const qsizetype start = text.indexOf(QLatin1String("<result>"), 0, Qt::CaseInsensitive);
    const qsizetype end = start < 0 ? -1 : FindClosing(text, QStringLiteral("result"), start + 8);
    if (end < 0) {
        error = LoadResString(SNoResult);
        return false;
    }
    const QString result = text.mid(start + 8, end - start - 8);
    qsizetype pos = 0;
    while (true) {
        const qsizetype open = result.indexOf(QLatin1String("<row>"), pos, Qt::CaseInsensitive);
        if (open < 0)
            break;
        const qsizetype close = FindClosing(result, QStringLiteral("row"), open + 5);
        if (close < 0) {
            rows.clear();
            error = LoadResString(SRowNotClosed);
            return false;
        }
        const TSwRow row = ParseRow(result.mid(open + 5, close - open - 5));
        if (!row.value(QStringLiteral("error")).isEmpty()) {
            rows.clear();
            error = LoadResString(SServerError);
            return false;
        }
        rows.append(row);
        pos = close + 6;
    }
    return true;
}

QString SwText(const TSwRow& row, const QString& tag)
{
    return row.value(tag.toLower());
}

QString SwDecodeBase64(const QString& value, const QString& tag)
{
    QByteArray compact;
    compact.reserve(value.size());
    for (const QChar c : value) {
        if (c.isSpace())
            continue;
        if (c.unicode() > 0x7F)
            throw Exception(LoadResString(SBadBase64).arg(tag));
        compact.append(static_cast<char>(c.unicode()));
    }
    const auto decoded = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
    if (decoded.decodingStatus != QByteArray::Base64DecodingStatus::Ok)
        throw Exception(LoadResString(SBadBase64).arg(tag));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(decoded.decoded);
    if (utf8.hasError())
        throw Exception(LoadResString(SBadBase64).arg(tag));
    return text;
}

QDateTime SwDecodeUtc(const QString& value, const QString& tag)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return QDateTime();
    // Date and time are read apart and joined in UTC: read as one local time first, an hour
    // that the local clock skips would be lost.
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
    if (text.size() != 19 || text.at(10) != QLatin1Char(' ') || !date.isValid() || !time.isValid())
        throw Exception(LoadResString(SBadTime).arg(tag, QuotedExcerpt(text, kQuotedValue)));
    return QDateTime(date, time, QTimeZone::utc()).toLocalTime();
}

std::int32_t SwDecodeInteger(const QString& value, const QString& tag)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    if (!ok)
        throw Exception(LoadResString(SBadNumber).arg(tag, QuotedExcerpt(text, kQuotedValue)));
    return number;
}

double SwDecodeFloat(const QString& value, const QString& tag)
{
    QString text = value.trimmed();
    if (text.isEmpty())
        return 0.0;
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        throw Exception(LoadResString(SBadNumber).arg(tag, QuotedExcerpt(value.trimmed(), kQuotedValue)));
    return number;
}

QString SwBase64Text(const TSwRow& row, const QString& tag)
{
    return SwDecodeBase64(SwText(row, tag), tag);
}

QDateTime SwUtcTime(const TSwRow& row, const QString& tag)
{
    return SwDecodeUtc(SwText(row, tag), tag);
}

std::int32_t SwInteger(const TSwRow& row, const QString& tag)
{
    return SwDecodeInteger(SwText(row, tag), tag);
}

double SwFloat(const TSwRow& row, const QString& tag)
{
    return SwDecodeFloat(SwText(row, tag), tag);
}

QString SwEncodeBase64(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toBase64());
}
