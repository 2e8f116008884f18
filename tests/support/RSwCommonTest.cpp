#include "support/RSwCommon.h"

#include "support/RSysUtils.h"
#include "tests/common/TestHelpers.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/common/FixedZone.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cstdlib>
#include <ctime>

#include <gtest/gtest.h>

namespace {

// The server on a local stand-in for the test's lifetime.
class SwCommonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FServer.Start());
        qputenv(MakerServerEnv, (FServer.BaseUrl() + "/").toLatin1());
    }
    void TearDown() override { qunsetenv(MakerServerEnv); }

    THttpStandIn FServer;
};


} // namespace

TEST(RSwCommon, ServerAddressFromEnvironmentOrBuiltIn)
{
    qunsetenv(MakerServerEnv);
    const QString builtIn = MakerServerUrl();
    EXPECT_TRUE(builtIn.startsWith("https://"));
    EXPECT_FALSE(builtIn.endsWith('/'));
    qputenv(MakerServerEnv, "http://127.0.0.1:8080//");
    EXPECT_EQ(MakerServerUrl(), "http://127.0.0.1:8080");
    qunsetenv(MakerServerEnv);
}

TEST(RSwCommon, ClientFieldsInOrderWithEscapedTexts)
{
    const TUserIdentity who{"Tavrix2_2r10", "2.2.10", "ABCD", U("Иван \"Ив\"\nПетров"), "a\\b@x.ru"};
    const TSwFields fields = SwClientFields(who, 1049);
    const TSwFields expected{{"appid", "Tavrix2_2r10"},
                             {"appver", "2.2.10"},
                             {"hwdid", "ABCD"},
                             {"cl_name", U("Иван \\\"Ив\\\"\\nПетров")},
                             {"cl_mail", "a\\\\b@x.ru"},
                             {"cl_lcid", "1049"}};
    EXPECT_EQ(fields, expected);
}

TEST(RSwCommon, MachineIdIsHashedNeverRaw)
{
    // HMAC-SHA-256 under the program's key (openssl dgst -sha256 -mac HMAC -macopt
    // hexkey:24606861660ec6d16e00a4eb98a025b7), not a plain hash anybody who knows the id could match.
    const QString hash = SwMachineHash("0123456789abcdef\n");
    EXPECT_EQ(hash, QStringLiteral("8B42D5AE3E45FC77BF3687F66D1D47FF"));
    EXPECT_EQ(SwMachineHash("  0123456789abcdef"), hash);   // the same from run to run, blanks aside
    EXPECT_FALSE(hash.contains("0123456789ABCDEF"));
    EXPECT_EQ(SwMachineHash("  \n"), "");
}

TEST(RSwCommon, IdentityFromUserSectionElseAccount)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    OverrideAppFileName(dir.filePath("Tavrix2_2r10"));
    QCoreApplication::setApplicationVersion("2.2.10");

    const TUserIdentity none = CurrentUserIdentity();
    EXPECT_EQ(none.AppId, "Tavrix2_2r10");
    EXPECT_EQ(none.AppVersion, "2.2.10");
    EXPECT_EQ(none.UserMail, "");
    EXPECT_FALSE(none.UserName.isEmpty());   // the account's name
    EXPECT_EQ(none.MachineId.size() == 32 || none.MachineId.isEmpty(), true);

    WriteFileBytes(dir.filePath("Tavrix2_2r10.ini"), Cp("[Other]\r\nName=x\r\n[user]\r\nname= Пётр Ким \r\nMAIL=pk@example.org\r\n"));
    const TUserIdentity set = CurrentUserIdentity();
    EXPECT_EQ(set.UserName, U("Пётр Ким"));
    EXPECT_EQ(set.UserMail, "pk@example.org");

    // Only the address given: the account's name stays.
    WriteFileBytes(dir.filePath("Tavrix2_2r10.ini"), Cp("[User]\r\nMail=m@example.org\r\n"));
    const TUserIdentity mailOnly = CurrentUserIdentity();
    EXPECT_EQ(mailOnly.UserName, none.UserName);
    EXPECT_EQ(mailOnly.UserMail, "m@example.org");
    OverrideAppFileName(QString());
}

TEST_F(SwCommonTest, PostSendsFieldsByteForByte)
{
    FServer.Route("/scripts/x.php", TStandInReply::Text("<result></result>"));
    QByteArray reply;
    QString error;
    ASSERT_TRUE(SwPost("/scripts/x.php", {{"a", "1 2"}, {"b", U("ж&=+")}, {"c", ""}}, reply, error)) << error.toStdString();
    EXPECT_EQ(reply, "<result></result>");
    ASSERT_EQ(FServer.Requests().size(), 1);
    const TStandInRequest& request = FServer.Requests().first();
    EXPECT_EQ(request.Method, "POST");
    EXPECT_EQ(request.Path, "/scripts/x.php");
    EXPECT_EQ(request.Body, "a=1+2&b=%D0%B6%26%3D%2B&c=");
}

TEST_F(SwCommonTest, PostFailures)
{
    QByteArray reply = "old";
    QString error;
    FServer.Route("/e", TStandInReply::Error(500));
    EXPECT_FALSE(SwPost("/e", {}, reply, error));
    EXPECT_TRUE(error.contains("500")) << error.toStdString();
    EXPECT_TRUE(reply.isEmpty());

    // One byte past the limit is refused; exactly the limit is taken.
    FServer.Route("/big", TStandInReply::Text(QByteArray(SwReplyLimit + 1, 'x')));
    EXPECT_FALSE(SwPost("/big", {}, reply, error));
    EXPECT_TRUE(error.contains(QString::number(SwReplyLimit))) << error.toStdString();
    FServer.Route("/edge", TStandInReply::Text(QByteArray(SwReplyLimit, 'y')));
    EXPECT_TRUE(SwPost("/edge", {}, reply, error)) << error.toStdString();
    EXPECT_EQ(reply.size(), SwReplyLimit);

    qputenv(MakerServerEnv, QByteArray("http://127.0.0.1:") + QByteArray::number(ClosedLocalPort()));
    EXPECT_FALSE(SwPost("/e", {}, reply, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(RSwCommon, ReplyRows)
{
    struct TCase {
        const char* Name;
        QByteArray Reply;
        bool Ok;
        int Rows;
    };
    const TCase cases[] = {
        {"empty result", "<result></result>", true, 0},
        {"blank result", "head <RESULT>\n  </Result> tail", true, 0},
        {"two rows", "<result><row><id>1</id></row>\n<row><id>2</id></row></result>", true, 2},
        {"no result", "<html>Not here</html>", false, 0},
        {"result not closed", "<result><row><id>1</id></row>", false, 0},
        {"row not closed", "<result><row><id>1</id></row><row><id>2</result>", false, 0},
        {"error row", "<result><row><id>1</id></row><row><error>db down</error></row></result>", false, 0},
        {"empty error", "<result><row><error> </error><id>5</id></row></result>", true, 1},
        {"empty reply", "", false, 0},
    };
    for (const TCase& c : cases) {
        QList<TSwRow> rows{TSwRow{{"x", "y"}}};
        QString error;
        EXPECT_EQ(SwReplyRows(c.Reply, rows, error), c.Ok) << c.Name;
        EXPECT_EQ(rows.size(), c.Rows) << c.Name;
        EXPECT_EQ(error.isEmpty(), c.Ok) << c.Name;
        // The server's own text never reaches the user.
        EXPECT_FALSE(error.contains("db down")) << c.Name;
    }
}

TEST(RSwCommon, RowValuesFirstOccurrenceAnyCaseTrimmed)
{
    QList<TSwRow> rows;
    QString error;
    ASSERT_TRUE(SwReplyRows(U("<result><row><ID> 7 </ID><Title>VGVzdA==</title><id>8</id>"
                              "<key_cl_name>Аня</key_cl_name><empty></empty><broken>x<note>n</note>"
                              "</row></result>")
                                .toUtf8(),
                            rows, error));
    ASSERT_EQ(rows.size(), 1);
    const TSwRow& row = rows.first();
    EXPECT_EQ(SwText(row, "id"), "7");
    EXPECT_EQ(SwText(row, "TITLE"), "VGVzdA==");
    EXPECT_EQ(SwText(row, "key_cl_name"), U("Аня"));
    EXPECT_EQ(SwText(row, "empty"), "");
    EXPECT_TRUE(row.contains("empty"));
    EXPECT_EQ(SwText(row, "note"), "n");
    EXPECT_FALSE(row.contains("broken"));
    EXPECT_EQ(SwText(row, "missing"), "");
}

TEST(RSwCommon, DecodeValues)
{
    EXPECT_EQ(SwDecodeBase64(SwEncodeBase64(U("Сценарий №1\r\nстрока")), "title"), U("Сценарий №1\r\nстрока"));
    EXPECT_EQ(SwEncodeBase64(U("ж")), "0LY=");
    EXPECT_EQ(SwDecodeBase64("0L\r\nY=", "title"), U("ж"));
    EXPECT_EQ(SwDecodeBase64("", "title"), "");
    for (const char* bad : {"0L*=", "0LY=0LY=", "//79", "ЖЖЖЖ"}) {
        try {
            SwDecodeBase64(QString::fromUtf8(bad), "descr");
            ADD_FAILURE() << bad;
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Message().contains("descr")) << bad;
        }
    }

    struct TInt {
        const char* Text;
        bool Ok;
        int Value;
    };
    for (const TInt& c : std::initializer_list<TInt>{{"", true, 0},
                                                     {" 42 ", true, 42},
                                                     {"-1", true, -1},
                                                     {"2147483647", true, 2147483647},
                                                     {"2147483648", false, 0},
                                                     {"-2147483649", false, 0},
                                                     {"1.5", false, 0},
                                                     {"12x", false, 0},
                                                     {"0x10", false, 0}}) {
        try {
            EXPECT_EQ(SwDecodeInteger(c.Text, "id"), c.Value) << c.Text;
            EXPECT_TRUE(c.Ok) << c.Text;
        } catch (const Exception&) {
            EXPECT_FALSE(c.Ok) << c.Text;
        }
    }

    EXPECT_DOUBLE_EQ(SwDecodeFloat("3.25", "rating_avg"), 3.25);
    EXPECT_DOUBLE_EQ(SwDecodeFloat("3,25", "rating_avg"), 3.25);
    EXPECT_DOUBLE_EQ(SwDecodeFloat("", "rating_avg"), 0.0);
    for (const char* bad : {"3.2.1", "abc", "inf", "nan", "1e400"})
        EXPECT_THROW(SwDecodeFloat(bad, "rating_avg"), Exception) << bad;
}

TEST(RSwCommon, ReplyTextIsNeverAFormat)
{
    try {
        SwDecodeInteger("%1%2%s%d%n", "downloads");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains("\"%1%2%s%d%n\"")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("downloads"));
    }
}

TEST(RSwCommon, UtcTimesAsLocal)
{
    const TFixedZone zone("MSK-3");
    const QDateTime local = SwDecodeUtc("2016-08-10 21:30:05", "created");
    ASSERT_TRUE(local.isValid());
    EXPECT_EQ(local.date(), QDate(2016, 8, 11));
    EXPECT_EQ(local.time(), QTime(0, 30, 5));
    EXPECT_EQ(local.toString("yyyy-MM-dd HH:mm:ss"), "2016-08-11 00:30:05");
    EXPECT_FALSE(SwDecodeUtc("", "created").isValid());
    EXPECT_FALSE(SwUtcTime(TSwRow{}, "last_download").isValid());
    for (const char* bad : {"2016-02-30 10:00:00", "2016-08-10T21:30:05", "2016-08-10 25:00:00", "2016-08-10",
                            "x016-08-10 21:30:05"})
        EXPECT_THROW(SwDecodeUtc(bad, "created"), Exception) << bad;
}

TEST(RSwCommon, RowElementsPairWithTheNextClosingOfTheirName)
{
    struct TCase {
        const char* Row;
        QList<QPair<QString, QString>> Expected;   // tag -> value; "" tag: the row has no more tags
    };
    const TCase cases[] = {
        {"<a><b>1</b></a><b>2</b>", {{"a", "<b>1</b>"}, {"b", "2"}}},
        {"<x>1<x>2</x></x>", {{"x", "1<x>2"}}},
        {"<a>1</B><b>2</A>", {{"a", "1</B><b>2"}}},
        {"< id>1</id><id >2</id ><id>3</id>", {{"id", "3"}}},
        {"<i-d>1</i-d><>2</>", {}},
    };
    for (const TCase& c : cases) {
        QList<TSwRow> rows;
        QString error;
        ASSERT_TRUE(SwReplyRows(QByteArray("<result><row>") + c.Row + "</row></result>", rows, error)) << c.Row;
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows.first().size(), c.Expected.size()) << c.Row;
        for (const auto& [tag, value] : c.Expected)
            EXPECT_EQ(SwText(rows.first(), tag), value) << c.Row;
    }

    // Thousands of elements that are never closed, then one that is.
    QByteArray row;
    for (int i = 0; i < 20000; ++i)
        row += "<t" + QByteArray::number(i) + ">";
    QList<TSwRow> rows;
    QString error;
    ASSERT_TRUE(SwReplyRows("<result><row>" + row + "<id>5</id></row></result>", rows, error));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.first().size(), 1);
    EXPECT_EQ(SwText(rows.first(), "id"), "5");
}
