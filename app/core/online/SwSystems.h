#pragma once

// The client of the systems exchange on the maker's server: listing the published systems,
// fetching one into the local cache, publishing and deleting the user's own. No window: errors
// go to the message seam, progress to the status line.

#include "support/RSwCommon.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// One system as the server lists it.
struct tSystemInfo {
    std::int32_t Id = 0;         // the server's id; 0 for a new system, -1 for the placeholder row
    int Nums = 0;                // numbers the system is built for (3..10)
    int Olap = 0;                // block size, 0 or 1
    std::int32_t CSize = 0;      // combinations (lines)
    QString Title;
    QString Author;
    QString ClMail;              // the author's e-mail address: who owns the system
    QString Descr;
    QDateTime Created;           // local time; also the version stamp of a cached file
    std::int32_t Downloads = 0;
    QDateTime LastDownload;      // local time; invalid when never downloaded
    QString Url;

    bool operator==(const tSystemInfo&) const = default;
};

// A system with its combination list (one line per combination).
struct tSystemData : tSystemInfo {
    QString CList;

    bool operator==(const tSystemData&) const = default;
};

// Ranges of a system the cache can hold.
inline constexpr int SystemMinNums = 3;
inline constexpr int SystemMaxNums = 10;

// True when the id, nums and olap name a cache file the program reads: a positive id, nums in
// 3..10 and olap 0 or 1. Rows of a reply outside them are listed but never stored.
bool SystemCacheable(const tSystemInfo& info);
// The system belongs to the user: the user has an address and it equals the system's,
// without regard to letter case.
bool SystemIsOwn(const tSystemInfo& info, const QString& userMail);
// The placeholder row of a list that could not be read.
tSystemInfo SystemListPlaceholder();

class TSwSystems {
public:
    // The interface language the list and put requests name, asked at each request.
    using TLanguageId = std::function<std::uint32_t()>;

    // The cache folder is "Systems" in the program's folder.
    TSwSystems(QString programFolder, TUserIdentity identity, TLanguageId languageId);

    QString CacheFolder() const;
    // The cache file of a system; empty for a system that is not cacheable.
    QString CacheFileName(const tSystemInfo& info) const;
    // Its cache file exists.
    bool IsCached(const tSystemInfo& info) const;
    // The cache file exists and was written from this very version (last-write time equal to
    // created, in whole seconds).
    bool IsCurrent(const tSystemInfo& info) const;

    const TUserIdentity& Identity() const { return FIdentity; }
    void SetIdentity(const TUserIdentity& identity) { FIdentity = identity; }

    // The list request. Rows are appended to `rows` as they are read; a cached row whose
    // file is not current is fetched again. A reply without a result gives the placeholder
    // row alone. Errors are shown; true only when every row was read.
    bool GetSystemList(QList<tSystemInfo>& rows);
    // The fetch request: the first non-empty list of the reply; empty (and the error shown)
    // on failure.
    QString GetSystemData(const tSystemInfo& info);
    // Fetches the list and caches it when its line count equals csize; true when the cache
    // file now exists. Errors are shown.
    bool StoreSystemList(const tSystemInfo& info);
    // Writes a list into the system's cache file (atomically, its write time set to created).
    // Raises Exception on failure, also for a system that is not cacheable.
    void WriteCacheFile(const tSystemInfo& info, const QStringList& lines) const;
    // The put request; publishes (deleting false) or deletes a system. Returns the id the
    // server gives (0 after a deletion), -1 on failure (the error shown).
    std::int32_t PutSystemData(const tSystemData& data, bool deleting);
    // Deletes the system's cache file when it exists; true when it is gone.
    bool DeleteCachedSystemFile(const tSystemInfo& info) const;
    // Deletes every cached file for the same number count except the system's own; returns
    // how many were deleted.
    int DeleteOtherCachedSystems(const tSystemInfo& info) const;

    // The request bodies, in the order the server reads them.
    TSwFields ListFields() const;
    static TSwFields FetchFields(std::int32_t id);
    TSwFields PutFields(const tSystemData& data, bool deleting) const;

    // A reply row as a system (raises Exception on a bad value).
    static tSystemInfo ReadSystemRow(const TSwRow& row);

private:
    // The fetch request: the first non-empty list of the reply (empty when none); false (the
    // error shown) when the request failed.
    bool FetchSystemList(const tSystemInfo& info, QString& text);
    // POSTs and reads the rows; raises Exception with the error text.
    static QList<TSwRow> Request(const QString& path, const TSwFields& fields);

    QString FProgramFolder;
    TUserIdentity FIdentity;
    TLanguageId FLanguageId;
};
