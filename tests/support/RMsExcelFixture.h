#pragma once

// The fixture of the workbook session tests.

#include "support/RMsExcel.h"

#include "support/RSysUtils.h"
#include "tests/common/TestHelpers.h"
#include "tests/common/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Points the system's temporary folder at a folder of the test, captures what would be opened
// and what is reported, and ends any session the test left open without opening anything.
class RMsExcel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.isValid());
        FOldTmp = qgetenv("TMPDIR");
        FHadTmp = qEnvironmentVariableIsSet("TMPDIR");
        Temp = FRoot.path() + QStringLiteral("/tmp");
        ASSERT_TRUE(QDir().mkpath(Temp));
        qputenv("TMPDIR", QFile::encodeName(Temp));
        FOldOpen = SetOpenHandler([this](const TOpenRequest& request) {
            Opened << request.Target;
            if (FailOpen)
                throw Exception(QStringLiteral("no opener"));
        });
        FOldReport = SetExcelReportHandler(
            [this](const std::exception&, const QString& text, bool suppressed) {
                Reports << text;
                Suppressed << suppressed;
            });
    }

    void TearDown() override
    {
        DisconnectExcel();
        SetExcelReportHandler(FOldReport);
        SetOpenHandler(FOldOpen);
        if (FHadTmp)
            qputenv("TMPDIR", FOldTmp);
        else
            qunsetenv("TMPDIR");
    }

    void SetTmp(const QString& path) { qputenv("TMPDIR", QFile::encodeName(path)); }

    // A fresh session with a workbook; its first sheet.
    TExcelSheet* StartSheet()
    {
        EXPECT_TRUE(ConnectExcel());
        EXPECT_TRUE(CreateWorkbook());
        return ActiveWorkbook() ? ActiveWorkbook()->Sheet(1) : nullptr;
    }

    // Ends the session and reads back the one workbook it opened.
    bool Finish(TXlsxReader& reader)
    {
        Opened.clear();
        if (!DisconnectExcel() || Opened.size() != 1)
            return false;
        return reader.Open(Opened.first());
    }

    QStringList TempFiles() const
    {
        return QDir(Temp).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QString Temp;
    QStringList Opened;
    bool FailOpen = false;
    QStringList Reports;
    QList<bool> Suppressed;

private:
    QTemporaryDir FRoot;
    QByteArray FOldTmp;
    bool FHadTmp = false;
    TOpenHandler FOldOpen;
    TExcelReportHandler FOldReport;
};

inline const QString kNoWorkbook = U("Рабочая книга Microsoft Excel не создана или не активна");
