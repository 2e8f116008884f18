#pragma once

// The fixture of the HTTP tests: a stand-in server on 127.0.0.1 and the default time-outs put
// back after each test.

#include "support/rHttpUtils.h"

#include "tests/standin/HttpStandIn.h"
#include "tests/common/TestHelpers.h"

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
