#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

class QObject;

// A place where library code reports an error it caught and did not pass on: a process-wide
// list of channels, each of which may log or show the report. No channel is registered in this
// program, so the list does not exist and every report is dropped; a channel can be attached
// later without touching the reporting code.

// Kinds of report, 0..15, as a set of bits.
using TExceptKinds = std::uint16_t;
constexpr TExceptKinds ExceptKind(int kind) { return static_cast<TExceptKinds>(1u << kind); }
// The kinds the spreadsheet layer reports with: 1 .. 8.
constexpr TExceptKinds kExceptKinds1to8 = 0x01FE;
// Kinds that the suppress switch takes out of a report: 1, 2 and 6.
constexpr TExceptKinds kSuppressedKinds = 0x0046;

struct RExceptRecord {
    std::int32_t Value1 = 0;
    std::int32_t Value2 = 0;
    QString ExceptClass;
    QString ExceptMessage;
    QString SenderClass;
    QString SenderName;
    QString Details;
    QString Text;
};

class TExceptChannelList;

// One channel. A channel that fails while handling a report is not entered again for the
// report its own failure causes (it is busy meanwhile).
class TExceptChannel {
public:
    virtual ~TExceptChannel() = default;

    // Whether the channel switches itself off after it failed.
    virtual bool DisableOnFailure() const { return false; }
    // The kind of the channel, 0..15; it receives only reports of its kind.
    virtual int Kind() const = 0;
    virtual void Handle(const RExceptRecord& record) = 0;

    bool Enabled = true;
    bool Busy = false;
    // Receives the channel's own failures (may be none; not owned).
    TExceptChannelList* Secondary = nullptr;
};

class TExceptChannelList {
public:
    // Channels in the order they were added; the list owns them.
    void Add(std::unique_ptr<TExceptChannel> channel);
    const QList<TExceptChannel*> Channels() const;
    bool Suppressed = false;

private:
    std::vector<std::unique_ptr<TExceptChannel>> FChannels;
};

// The process-wide list (none in this program) and its installer for a later channel.
TExceptChannelList* ExceptionChannels();
void SetExceptionChannels(TExceptChannelList* list);

// Reports a caught error (with an empty detail text) when the list exists.
void ReportException(const std::exception& error, const QObject* sender, const QString& text,
                     TExceptKinds kinds, std::int32_t value1, std::int32_t value2);
// Set / clear the suppress switch of the list, when it exists.
void SuppressExceptionChannels();
void ResumeExceptionChannels();

// Gives the report to every channel of the list.
void DispatchException(TExceptChannelList& list, const std::exception& error, const QObject* sender,
                       TExceptKinds kinds, std::int32_t value1, std::int32_t value2, const QString& text,
                       const QString& details);
RExceptRecord FillExceptRecord(const std::exception& error, const QObject* sender, std::int32_t value1,
                               std::int32_t value2, const QString& text, const QString& details);
void CallExceptionChannel(TExceptChannel& channel, const RExceptRecord& record, TExceptKinds kinds);
