#pragma once

#include "support/rHttpUtilsLimits.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <cstdint>

// What the clients of the maker's server (the scenario library and the systems exchange) share:
// the server's address, the user's identity sent with requests, one bounded form POST, and the
// reading of the tagged replies. Everything a reply holds is untrusted: sizes are bounded,
// numbers range-checked, and no value is ever used as a format string.

// The maker's server (scheme and host, no trailing '/'). The environment variable replaces the
// built-in address, which names no real host: without it the requests fail as unreachable.
inline constexpr char MakerServerEnv[] = "TAVRIX_SERVER_URL";
QString MakerServerUrl();
// False while the program knows no real server: the built-in address is only a placeholder
// until TAVRIX_SERVER_URL names an http:// or https:// one (a folder there serves only the
// update check). Nothing is asked of the server unbidden then.
bool MakerServerConfigured();

// Replies larger than SwReplyLimit (support/rHttpUtilsLimits.h) are refused: the largest real
// reply, a catalogue of scenarios or systems, stays far below it.

// Who the user is, as the requests tell the server.
struct TUserIdentity {
    QString AppId;       // the program's name: its file name without folder and extension
    QString AppVersion;  // the program's version
    QString MachineId;   // a keyed hash of the system's machine id, never the id itself
    QString UserName;
    QString UserMail;
};

// Section and keys of the program's ini file that name the user.
inline constexpr char SwUserSection[] = "User";
inline constexpr char SwUserNameKey[] = "Name";
inline constexpr char SwUserMailKey[] = "Mail";

// Name and e-mail from the [User] section of the program's ini file when present (each key on
// its own), else the account's full name (the login name when that is empty) and "".
TUserIdentity CurrentUserIdentity();
// The machine id as sent: the first 32 hexadecimal digits (upper case) of the HMAC-SHA-256 of
// the trimmed machine-id text under this program's own key; empty when the text is empty.
QString SwMachineHash(const QByteArray& machineIdText);

// The client fields, in the order the server reads them: appid, appver, hwdid, cl_name,
// cl_mail, cl_lcid. The free texts (name, e-mail) are C-escaped.
using TSwFields = QList<QPair<QString, QString>>;
TSwFields SwClientFields(const TUserIdentity& identity, std::uint32_t languageId);

// POSTs the fields (URL-encoded, in order) to MakerServerUrl() + path. True with the reply's
// body; false with the error text when the request failed, the server answered an error
// status, or the reply grew past SwReplyLimit.
bool SwPost(const QString& path, const TSwFields& fields, QByteArray& reply, QString& error);

// One row of a reply: tag name (lower case) -> the trimmed text between "<tag>" and "</tag>",
// the first occurrence of each tag (tags found without regard to letter case).
using TSwRow = QHash<QString, QString>;

// The rows between "<result>" and "</result>", each between "<row>" and "</row>". False with
// the error text for a reply without a closed result, a row that is not closed, or a row whose
// "<error>" is not empty (the server's own text is not shown). An empty result is no rows.
bool SwReplyRows(const QByteArray& reply, QList<TSwRow>& rows, QString& error);

// Decoding of reply values. Each raises Exception naming the tag when the value is bad.
// Base64 of UTF-8 text (line breaks and blanks inside are ignored); bad Base64 or bad UTF-8
// raises. A missing tag gives "".
QString SwBase64Text(const TSwRow& row, const QString& tag);
// "yyyy-mm-dd hh:nn:ss" in UTC, as local time; empty or missing gives an invalid QDateTime.
QDateTime SwUtcTime(const TSwRow& row, const QString& tag);
// A decimal integer (optional sign) that fits 32 bits; missing or empty gives 0.
std::int32_t SwInteger(const TSwRow& row, const QString& tag);
// A decimal number with "." or "," as decimal point; missing or empty gives 0; a value that
// is not a finite number raises.
double SwFloat(const TSwRow& row, const QString& tag);
// The text of a tag, or "" when missing.
QString SwText(const TSwRow& row, const QString& tag);

// The same decoders on a bare value; tag only names the value in the error text.
QString SwDecodeBase64(const QString& value, const QString& tag);
QDateTime SwDecodeUtc(const QString& value, const QString& tag);
std::int32_t SwDecodeInteger(const QString& value, const QString& tag);
double SwDecodeFloat(const QString& value, const QString& tag);

// Base64 of the UTF-8 text, for values the server reads that way.
QString SwEncodeBase64(const QString& text);
