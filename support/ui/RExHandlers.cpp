#include "support/ui/RExHandlers.h"

#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"

#include <QObject>

#include <typeinfo>

namespace {

const TResString SChannelFailed =
    RESSTR("RExHandlers", "Сбой обработки исключительной ситуации в канале \"%s\"!");

TExceptChannelList*& ListRef()
{
    static TExceptChannelList* list = nullptr;
    return list;
}

QString ClassNameOf(const std::exception& error)
{
    // The class name without the compiler's decoration is not portable; the mangled type name
    // still tells one class from another.
    return QString::fromLatin1(typeid(error).name());
}

} // namespace

void TExceptChannelList::Add(std::unique_ptr<TExceptChannel> channel)
{
    if (channel)
        FChannels.push_back(std::move(channel));
}

const QList<TExceptChannel*> TExceptChannelList::Channels() const
{
    QList<TExceptChannel*> result;
    for (const auto& channel : FChannels)
        result.append(channel.get());
    return result;
}

TExceptChannelList* ExceptionChannels()
{
    return ListRef();
}

void SetExceptionChannels(TExceptChannelList* list)
{
    ListRef() = list;
}

void ReportException(const std::exception& error, const QObject* sender, const QString& text,
                     TExceptKinds kinds, std::int32_t value1, std::int32_t value2)
{
    if (TExceptChannelList* list = ListRef())
        DispatchException(*list, error, sender, kinds, value1, value2, text, QString());
}

void SuppressExceptionChannels()
{
    if (TExceptChannelList* list = ListRef())
        list->Suppressed = true;
}

void ResumeExceptionChannels()
{
    if (TExceptChannelList* list = ListRef())
        list->Suppressed = false;
}

RExceptRecord FillExceptRecord(const std::exception& error, const QObject* sender, std::int32_t value1,
                               std::int32_t value2, const QString& text, const QString& details)
{
    RExceptRecord record;
    record.Value1 = value1;
    record.Value2 = value2;
    record.ExceptClass = ClassNameOf(error);
    record.ExceptMessage = ExceptionText(error);
    if (sender) {
        record.SenderClass = QString::fromLatin1(sender->metaObject()->className());
        record.SenderName = sender->objectName();
    }
    QString cut = details;
    while (cut.endsWith(QLatin1Char('\n')) || cut.endsWith(QLatin1Char('\r')))
        cut.chop(1);
    record.Details = cut;
    record.Text = text;
    return record;
}

void DispatchException(TExceptChannelList& list, const std::exception& error, const QObject* sender,
                       TExceptKinds kinds, std::int32_t value1, std::int32_t value2, const QString& text,
                       const QString& details)
{
    if (list.Suppressed)
        kinds = static_cast<TExceptKinds>(kinds & ~kSuppressedKinds);
    const RExceptRecord record = FillExceptRecord(error, sender, value1, value2, text, details);
    for (TExceptChannel* channel : list.Channels())
        CallExceptionChannel(*channel, record, kinds);
}

void CallExceptionChannel(TExceptChannel& channel, const RExceptRecord& record, TExceptKinds kinds)
{
    const int kind = channel.Kind();
    if (!channel.Enabled || channel.Busy || kind < 0 || kind > 15 || !(kinds & ExceptKind(kind)))
        return;
    channel.Busy = true;
    try {
        channel.Handle(record);
    } catch (const std::exception& failure) {
        if (channel.DisableOnFailure())
            channel.Enabled = false;
        if (channel.Secondary) {
            try {
                DispatchException(*channel.Secondary, failure, nullptr, kExceptKinds1to8, 0, 0, QString(),
                                  Format(LoadResString(SChannelFailed),
                                         {QString::fromLatin1(typeid(channel).name())}));
            } catch (...) {
                // A report about a report must never fail the reporter.
            }
        }
    } catch (...) {
        if (channel.DisableOnFailure())
            channel.Enabled = false;
    }
    channel.Busy = false;
}
