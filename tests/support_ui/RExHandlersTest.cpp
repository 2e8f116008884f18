#include "support/ui/RDbUtils.h"
#include "support/ui/RExHandlers.h"

#include "platform/Exceptions.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class TRecordingChannel : public TExceptChannel {
public:
    TRecordingChannel(int kind, bool fail, bool disable) : FKind(kind), FFail(fail), FDisable(disable) {}
    bool DisableOnFailure() const override { return FDisable; }
    int Kind() const override { return FKind; }
    void Handle(const RExceptRecord& record) override
    {
        Records.append(record);
        if (FFail)
            throw std::runtime_error("channel broke");
    }
    QList<RExceptRecord> Records;

private:
    int FKind;
    bool FFail;
    bool FDisable;
};

} // namespace

TEST(ExceptionChannels, WithoutAListReportsAreDroppedQuietly)
{
    ASSERT_EQ(ExceptionChannels(), nullptr);
    EXPECT_NO_THROW(ReportException(Exception("x"), nullptr, "text", kExceptKinds1to8, 1, 2));
    EXPECT_NO_THROW(SuppressExceptionChannels());
    EXPECT_NO_THROW(ResumeExceptionChannels());
}

TEST(ExceptionChannels, RecordCarriesTheReportAndKindsSelectTheChannels)
{
    TExceptChannelList list;
    auto owned1 = std::make_unique<TRecordingChannel>(1, false, false);
    auto owned3 = std::make_unique<TRecordingChannel>(3, false, false);
    TRecordingChannel* kind1 = owned1.get();
    TRecordingChannel* kind3 = owned3.get();
    list.Add(std::move(owned1));
    list.Add(std::move(owned3));
    SetExceptionChannels(&list);

    QObject sender;
    sender.setObjectName("xlsApp");
    ReportException(Exception("Нет книги"), &sender, "Экспорт", ExceptKind(1) | ExceptKind(3), 7, 8);
    ASSERT_EQ(kind1->Records.size(), 1);
    const RExceptRecord& record = kind1->Records.first();
    EXPECT_EQ(record.Value1, 7);
    EXPECT_EQ(record.Value2, 8);
    EXPECT_EQ(record.ExceptMessage, "Нет книги");
    EXPECT_EQ(record.SenderClass, "QObject");
    EXPECT_EQ(record.SenderName, "xlsApp");
    EXPECT_EQ(record.Details, "");
    EXPECT_EQ(record.Text, "Экспорт");
    EXPECT_EQ(kind3->Records.size(), 1);

    // Suppressed: kinds 1, 2 and 6 are taken out; kind 3 still reports.
    SuppressExceptionChannels();
    ReportException(Exception("a"), nullptr, "", ExceptKind(1) | ExceptKind(3), 0, 0);
    EXPECT_EQ(kind1->Records.size(), 1);
    EXPECT_EQ(kind3->Records.size(), 2);
    ResumeExceptionChannels();
    ReportException(Exception("b"), nullptr, "", ExceptKind(1), 0, 0);
    EXPECT_EQ(kind1->Records.size(), 2);
    SetExceptionChannels(nullptr);

    const RExceptRecord cut = FillExceptRecord(std::runtime_error("e"), nullptr, 0, 0, "", "select 1\r\n\n");
    EXPECT_EQ(cut.Details, "select 1");
    EXPECT_EQ(cut.ExceptMessage, "e");
}

TEST(ExceptionChannels, FailingChannelIsNotReenteredAndMayDisableItself)
{
    TExceptChannelList list;
    auto owned = std::make_unique<TRecordingChannel>(2, true, true);
    TRecordingChannel* failing = owned.get();
    list.Add(std::move(owned));
    // Its failures go to its own list: the report of the failure must not enter it again.
    failing->Secondary = &list;
    EXPECT_NO_THROW(DispatchException(list, Exception("first"), nullptr, ExceptKind(2), 0, 0, "", ""));
    EXPECT_EQ(failing->Records.size(), 1);
    EXPECT_FALSE(failing->Enabled);
    EXPECT_FALSE(failing->Busy);
    DispatchException(list, Exception("second"), nullptr, ExceptKind(2), 0, 0, "", "");
    EXPECT_EQ(failing->Records.size(), 1);

    // A working channel on the secondary list hears about the failure.
    TExceptChannelList secondary;
    auto ownedLog = std::make_unique<TRecordingChannel>(4, false, false);
    TRecordingChannel* log = ownedLog.get();
    secondary.Add(std::move(ownedLog));
    failing->Enabled = true;
    failing->Secondary = &secondary;
    DispatchException(list, Exception("third"), nullptr, ExceptKind(2), 0, 0, "", "");
    ASSERT_EQ(log->Records.size(), 1);
    EXPECT_EQ(log->Records.first().ExceptMessage, "channel broke");
    EXPECT_TRUE(log->Records.first().Details.startsWith("Сбой обработки исключительной ситуации в канале \""));
}

TEST(ComponentSql, OnlyAStringListPropertyNamedSqlCounts)
{
    QString text = "old";
    EXPECT_FALSE(GetComponentSQLText(nullptr, text));
    EXPECT_EQ(text, "");
    QObject query;
    EXPECT_FALSE(GetComponentSQLText(&query, text));
    query.setProperty("SQL", QString("select 1"));
    EXPECT_FALSE(GetComponentSQLText(&query, text));
    query.setProperty("SQL", QStringList{"select *", "from draws"});
    EXPECT_TRUE(GetComponentSQLText(&query, text));
    EXPECT_EQ(text, "select *\nfrom draws\n");
}
