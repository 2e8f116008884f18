// Changes of the form-state file gathered in a batch: the file is written once, with the very
// bytes the changes made one by one leave, and reads meanwhile see the changes.

#include "support/ui/RFrmStorage.h"

#include "platform/Exceptions.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "tests/common/FileWrites.h"
#include "tests/support_ui/FormStorageTestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>

namespace {

// A plain widget: its section is "[QWidget]".
class FormStorageBatch : public TFormStorageFixture {
protected:
    void SetUp() override
    {
        TFormStorageFixture::SetUp();
        FForm.setGeometry(100, 120, 400, 300);
        FList.setObjectName("lvStat");
        FList.AddColumn("Знач", 60);
        FList.AddColumn("Выпад", 70);
        FList.SetSortColumn(1);
        FList.SetGridLines(true);
        FGrid.setObjectName("sgStakes");
        FGrid.SetColCount(2);
        FGrid.SetColWidth(0, 40);
        FGrid.SetColWidth(1, 90);
    }

    // The file as given; none for nullopt.
    void SetFile(const std::optional<QByteArray>& bytes) const
    {
        QFile::remove(FrmFile());
        if (bytes)
            WriteFile(*bytes);
    }

    // What a window keeps at once, each value through its own call: seven changes.
    void SaveEverything()
    {
        SaveFormPlacement(&FForm);
        WriteFormInteger(&FForm, "LeftPanelWidth", 320);
        WriteFormBool(&FForm, "FirstRun", false);
        SaveListViewLayout(&FForm, &FList, true);
        SaveGridLayout(&FForm, &FGrid);
        // Written twice: the last value counts.
        WriteFormInteger(&FForm, "LeftPanelWidth", 330);
        WriteFormInteger(&FForm, "Language", 1049);
    }
    static constexpr int kChanges = 7;

    QWidget FForm;
    TRSortListView FList{&FForm};
    TROwnerDrawGrid FGrid{&FForm};
};

} // namespace

// Whatever the file held before, one batch leaves the bytes the changes one by one leave.
TEST_F(FormStorageBatch, OneWriteLeavesTheBytesOfTheChangesMadeOneByOne)
{
    const struct {
        const char* Name;
        std::optional<QByteArray> Before;
    } cases[] = {
        {"no file", std::nullopt},
        {"an empty file", QByteArray()},
        {"comments, blank lines, other sections and lines without a value are kept",
         QByteArray("; kept\r\n\r\n[TFormOther]\r\nA=1\r\n\r\n[QWidget]\r\nLanguage=1033\r\nno value here\r\n")},
        {"line feeds only and no break after the last line", QByteArray("[QWidget]\nFlags=5\n[Other]\nB=2")},
        {"a key twice: the first one changes", QByteArray("[QWidget]\r\nLanguage=1\r\nLanguage=2\r\n")},
        {"the section and keys in other letter cases", QByteArray("[qwidget]\r\nshowcmd=3\r\nLEFTPANELWIDTH=7\r\n")},
        {"cp1251 text beside", QByteArray("[TFormOther]\r\nCaption=\xCF\xF0\xE8\xEC\xE5\xF0\r\n")},
    };
    for (const auto& c : cases) {
        SetFile(c.Before);
        TFileWriteCounter oneByOne(FrmFile());
        ASSERT_TRUE(oneByOne.IsValid());
        SaveEverything();
        EXPECT_EQ(oneByOne.Count(), kChanges) << c.Name;
        const QByteArray expected = FileBytes();
        ASSERT_FALSE(expected.isEmpty()) << c.Name;

        SetFile(c.Before);
        TFileWriteCounter batched(FrmFile());
        {
            TFormStorageBatch batch;
            SaveEverything();
            EXPECT_EQ(batched.Count(), 0) << c.Name;
            EXPECT_EQ(FileBytes(), c.Before.value_or(QByteArray())) << c.Name;
            batch.Save();
        }
        EXPECT_EQ(batched.Count(), 1) << c.Name;
        EXPECT_EQ(FileBytes(), expected) << c.Name;
        EXPECT_FALSE(QFileInfo::exists(FrmFile() + ".~sav")) << c.Name;
    }
}

// Reads see the batch's changes and Save writes them once; without Save nothing is written;
// after the batch every change goes to the file at once again.
TEST_F(FormStorageBatch, ReadsSeeTheChangesAndSaveWritesOnce)
{
    SetFile(QByteArray("[QWidget]\r\nLanguage=1033\r\n"));
    TFileWriteCounter writes(FrmFile());
    {
        TFormStorageBatch batch;
        WriteFormInteger(&FForm, "Language", 1049);
        EXPECT_EQ(ReadFormInteger(&FForm, "Language", 0), 1049);
        WriteFormBool(&FForm, "FirstRun", true);
        EXPECT_TRUE(ReadFormBool(&FForm, "FirstRun", false));
        EXPECT_EQ(writes.Count(), 0);
        batch.Save();
    }
    EXPECT_EQ(writes.Count(), 1);
    EXPECT_EQ(FileBytes(), QByteArray("[QWidget]\r\nLanguage=1049\r\nFirstRun=1\r\n"));

    {
        TFormStorageBatch dropped;
        WriteFormInteger(&FForm, "Language", 1058);
        EXPECT_EQ(ReadFormInteger(&FForm, "Language", 0), 1058);
    }
    EXPECT_EQ(writes.Count(), 1);
    EXPECT_EQ(ReadFormInteger(&FForm, "Language", 0), 1049);

    WriteFormInteger(&FForm, "Language", 1058);
    EXPECT_EQ(writes.Count(), 2);
    EXPECT_EQ(ReadFormInteger(&FForm, "Language", 0), 1058);
}

// A batch never replaces a file nobody could read, and a save that fails leaves the old file:
// each failure is raised to the caller, and no batch stays open behind it.
TEST_F(FormStorageBatch, AFileThatCannotBeReadOrWrittenIsLeftAsItWas)
{
    TScriptedBoxes boxes;
    // A folder in the file's place stops even a privileged user.
    ASSERT_TRUE(QDir().mkpath(FrmFile()));
    EXPECT_THROW(TFormStorageBatch(), Exception);
    EXPECT_THROW(WriteFormInteger(&FForm, "Language", 1049), Exception);
    EXPECT_TRUE(QFileInfo(FrmFile()).isDir());
    ASSERT_TRUE(QDir().rmdir(FrmFile()));

    const QByteArray before("[QWidget]\r\nLanguage=1033\r\n");
    SetFile(before);
    // A folder where the temporary file goes: the save cannot even begin.
    ASSERT_TRUE(QDir().mkpath(FrmFile() + ".~sav/x"));
    {
        TFormStorageBatch batch;
        SaveEverything();
        EXPECT_THROW(batch.Save(), Exception);
    }
    EXPECT_EQ(FileBytes(), before);
    EXPECT_EQ(ReadFormInteger(&FForm, "Language", 0), 1033);

    ASSERT_TRUE(QDir(FrmFile() + ".~sav").removeRecursively());
    TFileWriteCounter writes(FrmFile());
    WriteFormInteger(&FForm, "Language", 1049);
    EXPECT_EQ(writes.Count(), 1);
    EXPECT_EQ(ReadFormInteger(&FForm, "Language", 0), 1049);
    // Nothing was read: nobody was told.
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}
