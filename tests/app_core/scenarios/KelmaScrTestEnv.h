#pragma once

// Scenario step texts over an engine object of their own.

#include "app/core/scenarios/KelmaScr.h"
#include "app/core/scenarios/ScriptDialogs.h"

#include "tests/common/TestHelpers.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

// An engine object with channels of one digit, so that the methods CHN1..CHN10 exist and
// CHN1 comes before CHN10 in the list.
class KelmaScrTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fx.List.Config().ChannelSize = 1;
        fx.List.RebuildMethods();
    }

    const TStatMethod* Method(const char* code) const { return MethodByCode(fx.List, code); }

    TFilterItem Parse(const char* text) const { return ParseFilterItem(U(text), fx.List); }

    TStatFixture fx;
};
