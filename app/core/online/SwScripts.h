#pragma once

#include "support/RLngUtils.h"
#include "support/RSwCommon.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// The client of the online scenario library on the maker's server. Each operation is one form
// POST answered by a tagged reply; the operations fill plain records, which the window shows.
// Every operation catches its own failures (network, an error row, a bad value), shows them in
// an error box with its own message, and returns its failure value.

// One catalogue entry.
struct tScriptInfo {
    std::int32_t Id = 0;
    QString ClName;             // author name
    QString ClMail;             // author e-mail
    std::int32_t ClLcid = 0;    // author language
    QString AppName;            // program name
    QString AppVer;             // program version
    bool Universal = false;     // usable in any program of the family
    bool Public = false;        // visible to all users
    QDateTime Created;          // local time; invalid when the server sent none
    double RatingAvg = 0;
    std::int32_t RatingCnt = 0;
    std::int32_t RatingYou = 0; // 0 none, 1..5 the user's rating, -1 hidden by the user
    std::int32_t Downloads = 0;
    QDateTime LastDownload;
    QString Title;
    QString Descr;
    bool Mine = false;          // the user's own entry
    bool Editable = false;      // mine and usable
    bool Usable = false;        // universal, or made for this program
};

// The editable properties of a scenario.
struct tScriptData {
    std::int32_t Id = -1;       // -1: not published yet
    QString ClName;
    std::int32_t ClLcid = 0;
    bool Universal = false;
    bool Public = true;
    QString Title;
    QString Descr;

    // A new scenario of the user: no id, the user's name, the language, not universal, public.
    static tScriptData New(const QString& userName, std::int32_t languageId);
    static tScriptData FromInfo(const tScriptInfo& info);
    // Copies everything but the id into the entry.
    void ToInfo(tScriptInfo& info) const;
};

// One rating of an entry, as the server sent it.
struct tScriptRate {
    QString ClName;
    QString Rate;
    QDateTime Created;          // local time
    QString AppName;
    QString AppVer;
    QString Notes;
};

// Paths on the maker's server.
inline constexpr char SwScrGetListPath[] = "/scripts/scr_getlist.php";
inline constexpr char SwScrGetDataPath[] = "/scripts/scr_getdata.php";
inline constexpr char SwScrSetRatePath[] = "/scripts/scr_setrate.php";
inline constexpr char SwScrChkTitlePath[] = "/scripts/scr_chktitle.php";
inline constexpr char SwScrPutScriptPath[] = "/scripts/scr_putscript.php";
inline constexpr char SwScrGetRatesPath[] = "/scripts/scr_getrates.php";

// Images of a catalogue row.
inline constexpr int ScriptImagePublic = 22;
inline constexpr int ScriptImagePrivate = 39;

// The catalogue row of an entry: caption and the twelve further columns.
QStringList ScriptInfoTexts(const tScriptInfo& info);
int ScriptInfoImage(const tScriptInfo& info);
// The rating row: caption and five further columns.
QStringList ScriptRateTexts(const tScriptRate& rate);
// A scenario travels as the one text of its lines, each ended by CR LF (JoinTextLines), and
// comes back as the lines of the text (SplitTextLines).

class TSwScripts {
public:
    // The identity of the user of this program (tests set their own).
    explicit TSwScripts(TUserIdentity identity = CurrentUserIdentity());

    const TUserIdentity& Identity() const { return FIdentity; }
    void SetIdentity(const TUserIdentity& identity) { FIdentity = identity; }

    // The catalogue under a filter id (-1 .. 6); mine, usable and editable derived. True when
    // done (list then holds one entry per row, else it is left empty).
    bool GetScriptList(QList<tScriptInfo>& list, int filterId, LCID languageId);
    // True when the reply held a script that is not empty: its lines then replace `lines`.
    bool GetScriptData(std::int32_t id, QStringList& lines);
    // rating 1..5 rates, 0 removes the user's rating, -1 hides the entry for the user. True
    // when the server's code is 0 or more.
    bool SetScriptRate(std::int32_t id, int rating, LCID languageId, const QString& notes);
    // True when the title is free. In the busy state. `failed` tells a failed request (shown
    // already) from a title that is taken.
    bool CheckScriptTitle(std::int32_t id, const QString& title, bool* failed = nullptr);
    // The id of the stored entry; 0 or less: not stored (0 on a failed request).
    std::int32_t PutScript(const tScriptData& data, const QString& script);
    // The server's id of the deletion: 0 means deleted. A failed request, or a reply without
    // a row, gives -1, never 0, so that a failure cannot pass as a deletion.
    std::int32_t DeleteScript(const tScriptData& data);
    // The ratings of an entry; true when done.
    bool GetScriptRates(std::int32_t id, QList<tScriptRate>& rates);

    // Whether an entry is the user's own: only for a non-empty address of the user, equal to
    // the entry's without regard to letter case.
    bool IsMine(const QString& entryMail) const;
    // Whether an entry made for programGuid can be used here.
    bool IsUsable(bool universal, const QString& programGuid) const;

private:
    TSwFields ClientFields(LCID languageId) const;
    // POST + rows; raises Exception with the error text.
    QList<TSwRow> Request(const char* path, const TSwFields& fields) const;
    TSwFields PutFields(const tScriptData& data, bool deleting, const QString* script) const;

    TUserIdentity FIdentity;
};
