#pragma once

// The form-state file of the tests of its storage: the program stands in a temporary folder, so
// its file is "<folder>/Tavrix2_2r10.frm", on a screen of known size.

#include "support/RSysUtils.h"
#include "support/ui/RFrmStorage.h"
#include "support/ui/RVclUtilsUi.h"
#include "tests/common/TestHelpers.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class TFormStorageFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        OverrideAppFileName(FDir.filePath("Tavrix2_2r10"));
        FPreviousMetrics = SetScreenMetricsProc([this] { return FScreen; });
    }
    void TearDown() override
    {
        SetScreenMetricsProc(FPreviousMetrics);
        OverrideAppFileName(QString());
        SetMainForm(nullptr);
    }

    QString FrmFile() const { return FDir.filePath("Tavrix2_2r10.frm"); }
    QByteArray FileBytes() const
    {
        QFile file(FrmFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteFile(const QByteArray& bytes) const { WriteFileBytes(FrmFile(), bytes); }

    QTemporaryDir FDir;
    TScreenMetrics FScreen{1920, 1080, 96, {QRect(0, 0, 1920, 1040)}};
    TScreenMetricsProc FPreviousMetrics;
};
