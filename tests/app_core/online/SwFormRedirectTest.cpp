// A maker's server (or whoever answers in its name) that redirects a published scenario
// elsewhere: the form, with the scenario's text and who the user is, goes nowhere else.

#include "app/core/online/SwScripts.h"

#include "support/RDialogsScripted.h"
#include "tests/common/ScriptLibraryEnv.h"
#include "tests/common/TestHelpers.h"
#include "tests/standin/HttpStandIn.h"

#include <gtest/gtest.h>

TEST(SwFormRedirect, PublishedScenarioIsNeverPostedToAnotherServer)
{
    TScriptLibraryEnv env;
    TScriptedBoxes boxes;
    THttpStandIn thief;
    ASSERT_TRUE(thief.Start());
    thief.SetFallback([](const TStandInRequest&) {
        return TStandInReply::Text("<result><row><id_scripts>77</id_scripts></row></result>");
    });
    env.Server.Route("/scripts/moved.php", [](const TStandInRequest& rq) {
        return TStandInReply::Text(rq.Field("scr_script") == "secret" ? "<result><row><id_scripts>5</id_scripts></row></result>"
                                                                      : "<result></result>");
    });
    TSwScripts client(TScriptLibraryEnv::User());
    tScriptData data = tScriptData::New(U("Иван"), 1049);
    data.Title = "T";

    const QString refused = U("Ошибка сохранения online-сценария в базе данных!\n\nСервер \"127.0.0.1\" перенаправил "
                              "отправку данных на другой сервер \"%1\"! Данные туда не отправлены.");
    const QByteArray steal = thief.BaseUrl().toUtf8() + "/steal";
    const QString toThief = refused.arg(thief.BaseUrl());
    const QByteArray ownByName = "http://localhost:" + QByteArray::number(env.Server.Port());
    const QByteArray https = "https://127.0.0.1:" + QByteArray::number(env.Server.Port());
    const struct {
        int Status;
        QByteArray Location;
        int Id;
        QString Box;
    } cases[] = {
        {307, steal, 0, toThief},
        {308, steal, 0, toThief},
        {302, steal, 0, toThief},
        {303, steal, 0, toThief},
        // The same port under another name, or under another scheme, is another server.
        {307, ownByName + "/scripts/moved.php", 0, refused.arg(QString::fromUtf8(ownByName))},
        {307, https + "/scripts/moved.php", 0, refused.arg(QString::fromUtf8(https))},
        // Moved within the server, the form goes along.
        {307, "/scripts/moved.php", 5, QString()},
    };
    for (const auto& c : cases) {
        env.Server.Route("/scripts/scr_putscript.php", TStandInReply::Redirect(c.Status, c.Location));
        boxes.Clear();
        EXPECT_EQ(client.PutScript(data, "secret"), c.Id) << c.Status << " " << c.Location.toStdString();
        if (c.Box.isEmpty()) {
            EXPECT_TRUE(boxes.Boxes().isEmpty());
        } else {
            ASSERT_EQ(boxes.Boxes().size(), 1);
            EXPECT_EQ(boxes.Last().Text, c.Box);
        }
    }
    EXPECT_TRUE(thief.Requests().isEmpty());
    int moved = 0;
    for (const TStandInRequest& request : env.Server.Requests())
        moved += request.Path == "/scripts/moved.php";
    EXPECT_EQ(moved, 1);
}
