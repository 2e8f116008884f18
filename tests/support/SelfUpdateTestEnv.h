#pragma once

// The program folder, the local mirror of the maker's update files and the hooks of the
// self-update tests: the informer answers by FAccept, every fetch is recorded, boxes are
// scripted.

#include "support/RSelfUpdate2.h"

#include "platform/Cp1251.h"
#include "support/RDialogsScripted.h"
#include "support/RSysUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace selfupdatetest {

inline const char* const kProgram = "Tavrix2_2r10";

inline void Put(const QString& path, const QByteArray& bytes, bool executable = false)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner);
}

inline QByteArray Get(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A package as the maker builds one: a shell script that, started in the work folder, writes
// the new program file, a text file and a file in a subfolder there.
inline const QByteArray kPackage = "#!/bin/sh\n"
                                   "printf 'new program' > Tavrix2_2r10 && chmod +x Tavrix2_2r10\n"
                                   "printf 'readme 2' > readme.txt\n"
                                   "mkdir -p data && printf 'zz' > data/zz.txt\n"
                                   "printf '#!/bin/sh\\nprintf after > ../after.txt\\n' > after.sh && chmod +x after.sh\n"
                                   "exit 0\n";

struct TInformerCall {
    QString Current;
    QString New;
    QStringList Description;
};

class SelfUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.isValid());
        FProg = FRoot.filePath("prog") + "/";
        FMirror = FRoot.filePath("mirror") + "/files/autoupdates/";
        FConfig = FMirror + "Kelma_AU.cfg";
        FPackage = FRoot.filePath("packages") + "/setup-12.sh";
        Put(FProg + kProgram, "old program", true);
        Put(FProg + "readme.txt", "readme 1");
        OverrideAppFileName(FProg + kProgram);

        TSelfUpdateHooks hooks;
        hooks.RunningVersion = [this] { return FRunning; };
        hooks.Progress.Show = [this](const QString& text, int maximum) {
            FProgressTexts.append(text);
            FProgressMax.append(maximum);
            FProgressSteps.append(0);
        };
        hooks.Progress.Step = [this] { ++FProgressSteps.last(); };
        hooks.Progress.Hide = [this] { ++FProgressHidden; };
        hooks.ConfirmUpdate = [this](const QString& current, const QString& newVersion,
                                     const QStringList& description) {
            FInformer.append({current, newVersion, description});
            return FAccept;
        };
        hooks.Fetch = [this](const QString& source, const QString& target, qint64 maxBytes, int deadlineMs) {
            FFetched.append(source);
            return FetchUpdateFile(source, target, maxBytes, deadlineMs);
        };
        FPreviousHooks = SetSelfUpdateHooks(hooks);
    }

    void TearDown() override
    {
        SetSelfUpdateHooks(FPreviousHooks);
        OverrideAppFileName(QString());
    }

    // The configuration with the program's section holding these lines (after its header).
    void Config(const QByteArray& programLines, const QByteArray& globalLines = QByteArray())
    {
        QByteArray text = "[GlobalOptions]\r\n" + globalLines + "[" + kProgram + "]\r\n" + programLines;
        Put(FConfig, text);
    }

    void Package(const QByteArray& script) { Put(FPackage, script, true); }

    QByteArray StandardSection(const QByteArray& verId, const QByteArray& crc) const
    {
        return "VerId=" + verId + "\r\nDescription=" + EncodeCp1251(QStringLiteral("Весенний выпуск"))
               + "\r\nDownloadUrl=" + FPackage.toUtf8() + "\r\nOriginalFileName=setup.sh\r\nChecksumCRC32=" + crc
               + "\r\n";
    }

    int Check(bool silent = false, LCID lcid = 0) { return CheckForUpdates(FConfig, silent, lcid); }

    // The texts of the boxes shown since the last call.
    QStringList TakeBoxes()
    {
        QStringList texts;
        for (const TBoxRequest& box : FBoxes.Boxes())
            texts.append(box.Text);
        FBoxes.Clear();
        return texts;
    }

    int PackageFetches() const { return static_cast<int>(FFetched.count(FPackage)); }

    QStringList ProgramFolder() const
    {
        QStringList names = QDir(FProg).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        names.sort();
        return names;
    }

    QTemporaryDir FRoot;
    QString FProg;
    QString FMirror;
    QString FConfig;
    QString FPackage;
    QString FRunning = QStringLiteral("2.2.10.11");
    bool FAccept = true;
    QStringList FProgressTexts;
    QList<int> FProgressMax;
    QList<int> FProgressSteps;
    int FProgressHidden = 0;
    QList<TInformerCall> FInformer;
    QStringList FFetched;
    TScriptedBoxes FBoxes;
    TSelfUpdateHooks FPreviousHooks;
};

} // namespace selfupdatetest
