#pragma once

// The fixture of the HTTP tests: a stand-in server on 127.0.0.1 and the default time-outs put
// back after each test.

#include "support/rHttpUtils.h"

#include "tests/standin/HttpStandIn.h"
#include "tests/common/TestHelpers.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

class HttpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FServer.Start());
        FSavedTimeouts = HttpTimeouts();
    }
    void TearDown() override { SetHttpTimeouts(FSavedTimeouts); }

    QString Url(const QString& pathAndQuery) const { return FServer.BaseUrl() + pathAndQuery; }

    THttpStandIn FServer;
    THttpTimeouts FSavedTimeouts;
};

// A page of text long enough for compression to matter.
inline QByteArray LongPage()
{
    QByteArray page = "<html><body>";
    for (int i = 0; i < 3000; ++i)
        page += "<tr><td>" + QByteArray::number(i) + "</td><td>Тираж</td></tr>\n";
    return page + "</body></html>";
}
