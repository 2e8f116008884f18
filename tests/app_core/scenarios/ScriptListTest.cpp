#include "app/core/scenarios/ScriptList.h"

#include "tests/app_core/CoreTestEnv.h"
#include "tests/fixtures/StatFixtures.h"

#include <QDir>

namespace {

// Two scenario lines as the line dialog writes them, with a Cyrillic comment.
const char* const LineA = "FULL:0#RAND|TSD1#SUMS:10#LMV:5#SF:0| | | | | | |Проверка";
const char* const LineB = "EXCL:3#FIRST#CLR|BMF2#SUMS:20#LDV:1,2#SC:1| | | | | | |";

class ScriptListTest : public TCoreTest {
protected:
    ScriptListTest()
    {
        FList.OnChanged = [this] { ++FChanges; };
        FList.PromptFile = [this](bool save, const QString& filter, const QString& ext, QString& name) {
            FPromptSaves.append(save);
            EXPECT_EQ(filter, U("Файлы сценариев (*.lsc)|*.lsc"));
            EXPECT_EQ(ext, U("lsc"));
            if (FPromptNames.isEmpty())
                return false;
            name = FPromptNames.takeFirst();
            return true;
        };
    }

    // Puts lines into the list and its current file.
    void Start(const QStringList& lines)
    {
        WriteFileBytes(Current(), ScriptLinesToBytes(lines));
        ASSERT_TRUE(FList.LoadCurrentScript());
        ASSERT_EQ(FList.Lines(), lines);
        FBoxes.Clear();
        FChanges = 0;
    }
    QString Current() const { return DataFile(U("Tavrix2_2r10.lss")); }
    QStringList OnDisk() const { return ScriptLinesFromBytes(ReadFileBytes(Current())); }

    TScriptList FList{FDir.path()};
    QStringList FPromptNames;
    QList<bool> FPromptSaves;
    int FChanges = 0;
};

TEST_F(ScriptListTest, CurrentScenarioFileHoldsExactlyTheLinesInCp1251WithCrLf)
{
    EXPECT_EQ(FList.CurrentFileName(), QDir(FDir.path()).filePath(U("Tavrix2_2r10.lss")));
    // A missing file at start-up leaves the list empty and says nothing.
    EXPECT_FALSE(FList.LoadCurrentScript());
    EXPECT_TRUE(FList.IsEmpty());
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    EXPECT_EQ(FList.AddScriptLine(U(LineA)), 0);
    EXPECT_EQ(FList.AddScriptLine(QString()), 1);
    EXPECT_EQ(FList.AddScriptLine(U("   ")), 2);
    EXPECT_EQ(FList.AddScriptLine(U(LineB)), 3);
    const QByteArray expected = Cp(LineA) + "\r\n" + "\r\n" + "   \r\n" + Cp(LineB) + "\r\n";
    EXPECT_EQ(ReadFileBytes(Current()), expected);
    // The Cyrillic comment is one byte a letter.
    EXPECT_TRUE(expected.contains(QByteArray("|\xcf\xf0\xee\xe2\xe5\xf0\xea\xe0\r\n")));

    // Saved as another scenario file: the same bytes.
    FPromptNames = {DataFile(U("copy.lsc"))};
    EXPECT_TRUE(FList.Save());
    EXPECT_EQ(FPromptSaves, QList<bool>{true});
    EXPECT_EQ(ReadFileBytes(DataFile(U("copy.lsc"))), expected);

    // Read back: the same lines, the separators and the blanks kept.
    TScriptList other(FDir.path());
    EXPECT_TRUE(other.LoadCurrentScript());
    EXPECT_EQ(other.Lines(), (QStringList{U(LineA), QString(), U("   "), U(LineB)}));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(ScriptListTest, LinesOfAFileBreakAtEveryLineEnd)
{
    struct TCase {
        QByteArray Bytes;
        QStringList Lines;
    };
    const TCase cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\rc\r\n\r\nd", {"a", "b", "c", "", "d"}},
        {"a\r\r\nb", {"a", "", "b"}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ScriptLinesFromBytes(c.Bytes), c.Lines) << c.Bytes.toStdString();
    EXPECT_EQ(ScriptLinesToBytes({}), QByteArray());
    EXPECT_EQ(ScriptLinesToBytes({""}), QByteArray("\r\n"));
}

TEST_F(ScriptListTest, OpeningAndMergingFollowTheSeparatorRule)
{
    struct TCase {
        const char* Name;
        QStringList List;
        QStringList File;
        bool Append;
        QStringList Expected;
    };
    const TCase cases[] = {
        {"open replaces", {"a", "b"}, {"x"}, false, {"x"}},
        {"merge adds a separator", {"a"}, {"x", "y"}, true, {"a", "", "x", "y"}},
        {"no second separator", {"a", ""}, {"x"}, true, {"a", "", "x"}},
        {"merge into empty replaces", {}, {"", "x"}, true, {"", "x"}},
        {"empty file merges nothing", {"a"}, {}, true, {"a"}},
        {"blanks are not a separator", {"a", " "}, {"x"}, true, {"a", " ", "", "x"}},
        {"open of an empty file empties", {"a"}, {}, false, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Start(c.List);
        const QString file = DataFile(U("other.lsc"));
        WriteFileBytes(file, ScriptLinesToBytes(c.File));
        FPromptNames = {file};
        const TScriptCommandResult result = c.Append ? FList.Merge() : FList.Open();
        EXPECT_TRUE(result.Changed);
        EXPECT_EQ(result.Select, -1);
        EXPECT_EQ(FList.Lines(), c.Expected);
        // The current scenario follows at once.
        EXPECT_EQ(OnDisk(), c.Expected);
        EXPECT_GE(FChanges, 1);
        EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    }
    // The status of the reading, then of the saving.
    EXPECT_TRUE(FStatuses.contains(U("Загрузка файла \"%1\"...").arg(DataFile(U("other.lsc")))));
    EXPECT_TRUE(FStatuses.contains(U("Сохранение файла \"%1\"...").arg(Current())));
}

TEST_F(ScriptListTest, FailedReadKeepsTheListAndTheCurrentFile)
{
    Start({U(LineA), U(LineB)});
    const QByteArray before = ReadFileBytes(Current());
    const QString missing = DataFile(U("missing.lsc"));
    for (const bool append : {false, true}) {
        FBoxes.Clear();
        FPromptNames = {missing};
        const TScriptCommandResult result = append ? FList.Merge() : FList.Open();
        EXPECT_FALSE(result.Changed);
        EXPECT_EQ(FList.Lines(), (QStringList{U(LineA), U(LineB)}));
        EXPECT_EQ(ReadFileBytes(Current()), before);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
        EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка чтения файла \"%1\"!\n\n").arg(missing)))
            << FBoxes.Last().Text.toStdString();
    }
    // A folder in place of the file fails the same way.
    FBoxes.Clear();
    QDir().mkpath(DataFile(U("folder.lsc")));
    EXPECT_FALSE(FList.LoadScriptFile(DataFile(U("folder.lsc")), false));
    EXPECT_EQ(FList.Count(), 2);
    EXPECT_EQ(FBoxes.Boxes().size(), 1);

    // A cancelled prompt does nothing.
    FBoxes.Clear();
    FPromptNames.clear();
    EXPECT_FALSE(FList.Open().Changed);
    EXPECT_EQ(FList.Count(), 2);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(ScriptListTest, FailedSaveKeepsTheOldFileAndTheListAsItWas)
{
    Start({U(LineA)});
    const QByteArray before = ReadFileBytes(Current());
    // A folder where the save puts its temporary file: nothing can be written.
    ASSERT_TRUE(QDir().mkpath(Current() + U(".~sav")));

    EXPECT_EQ(FList.AddScriptLine(U(LineB)), -1);
    EXPECT_EQ(FList.Lines(), QStringList{U(LineA)});
    EXPECT_EQ(ReadFileBytes(Current()), before);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка записи в файл \"%1\"!\n\n").arg(Current())))
        << FBoxes.Last().Text.toStdString();

    // Every command: reported, the list and the file as they were.
    FBoxes.Clear();
    FList.EditLine = [](QString& line, const QString&) {
        line = U(LineB);
        return true;
    };
    EXPECT_FALSE(FList.Edit(0).Changed);
    EXPECT_FALSE(FList.Add().Changed);
    FBoxes.Answer(IDYES);
    EXPECT_FALSE(FList.ClearAll().Changed);
    const QString file = DataFile(U("other.lsc"));
    WriteFileBytes(file, ScriptLinesToBytes({U(LineB)}));
    FPromptNames = {file};
    EXPECT_FALSE(FList.Merge().Changed);
    EXPECT_EQ(FList.Lines(), QStringList{U(LineA)});
    EXPECT_EQ(ReadFileBytes(Current()), before);
    EXPECT_EQ(FBoxes.Boxes().size(), 5);   // four errors and the question

    // Save as: a folder at the chosen name.
    FBoxes.Clear();
    QDir().mkpath(DataFile(U("dir.lsc")));
    FPromptNames = {DataFile(U("dir.lsc"))};
    EXPECT_FALSE(FList.Save());
    EXPECT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(QFileInfo(DataFile(U("dir.lsc"))).isDir());
}

// The delete question for a number of lines.
QString AskedText(int count)
{
    return count == 1 ? U("Удалить выделенную запись?")
                      : U("Удалить все выделенные записи (всего будет удалено %1 записи(ей))?").arg(count);
}

TEST_F(ScriptListTest, DeletingSelectedLinesRemovesExactlyThoseInAnySelectionOrder)
{
    const QStringList lines{"l0", "l1", "l2", "l3", "l4", "l5"};
    struct TCase {
        QList<int> Rows;
        QStringList Left;
        int Asked;
    };
    const TCase cases[] = {
        {{1, 3, 4}, {"l0", "l2", "l5"}, 3},
        {{4, 1, 3}, {"l0", "l2", "l5"}, 3},
        {{5, 0}, {"l1", "l2", "l3", "l4"}, 2},
        {{2, 2, 9, -1}, {"l0", "l1", "l3", "l4", "l5"}, 1},
        {{5, 4, 3, 2, 1, 0}, {}, 6},
    };
    for (const TCase& c : cases) {
        Start(lines);
        FBoxes.Answer(IDYES);
        const TScriptCommandResult result = FList.Delete(c.Rows);
        EXPECT_TRUE(result.Changed);
        EXPECT_EQ(result.Select, -1);
        EXPECT_EQ(FList.Lines(), c.Left);
        EXPECT_EQ(OnDisk(), c.Left);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Text, AskedText(c.Asked));
    }
    EXPECT_TRUE(FStatuses.contains(U("Удаление строк...")));

    // No keeps every line; no row in the list asks nothing.
    Start(lines);
    FBoxes.Answer(IDNO);
    EXPECT_FALSE(FList.Delete({0}).Changed);
    EXPECT_FALSE(FList.Delete({6, -1}).Changed);
    EXPECT_FALSE(FList.CanDelete({6, -1}));
    EXPECT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FList.Lines(), lines);

    // Clearing asks for every line.
    FBoxes.Clear();
    FBoxes.Answer(IDYES);
    EXPECT_TRUE(FList.ClearAll().Changed);
    EXPECT_TRUE(FList.IsEmpty());
    EXPECT_EQ(ReadFileBytes(Current()), QByteArray());
    EXPECT_EQ(FBoxes.Last().Text, AskedText(6));
    EXPECT_FALSE(FList.CanClearAll());
}

TEST_F(ScriptListTest, MovingUpAndDownStopsAtTheEdges)
{
    const QStringList lines{"a", "b", "c"};
    struct TCase {
        bool Up;
        int Row;
        bool Moved;
        int Select;
        QStringList Expected;
    };
    const TCase cases[] = {
        {true, 0, false, -1, {"a", "b", "c"}},  {true, 1, true, 0, {"b", "a", "c"}},
        {true, 2, true, 1, {"a", "c", "b"}},    {true, 3, false, -1, {"a", "b", "c"}},
        {false, 2, false, -1, {"a", "b", "c"}}, {false, 0, true, 1, {"b", "a", "c"}},
        {false, 1, true, 2, {"a", "c", "b"}},   {false, -1, false, -1, {"a", "b", "c"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE((c.Up ? "up " : "down ") + std::to_string(c.Row));
        Start(lines);
        EXPECT_EQ(c.Up ? FList.CanMoveUp(c.Row) : FList.CanMoveDown(c.Row), c.Moved);
        const TScriptCommandResult result = c.Up ? FList.MoveUp(c.Row) : FList.MoveDown(c.Row);
        EXPECT_EQ(result.Changed, c.Moved);
        EXPECT_EQ(result.Select, c.Select);
        EXPECT_EQ(FList.Lines(), c.Expected);
        EXPECT_EQ(OnDisk(), c.Expected);
    }
}

TEST_F(ScriptListTest, IndexOutsideTheListIsTheRecordError)
{
    Start({"a", "b", "c"});
    for (const int index : {-1, 3, 100}) {
        const QString text = U("Запись со индексом %1 в файле данных не найдена!").arg(index);
        try {
            FList.SetScriptLine(index, U("x"));
            ADD_FAILURE() << "no error for " << index;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), text);
        }
        try {
            (void)FList.GetScriptLine(index);
            ADD_FAILURE() << "no error for " << index;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), text);
        }
    }
    EXPECT_EQ(FList.GetScriptLine(2), U("c"));
    EXPECT_TRUE(FList.SetScriptLine(1, U("B")));
    EXPECT_EQ(OnDisk(), (QStringList{"a", "B", "c"}));
}

TEST_F(ScriptListTest, DialogCommandsAddCloneAndEdit)
{
    Start({U(LineA), QString(), U("  ")});
    QStringList seen, titles;
    QString answer;
    bool ok = true;
    FList.EditLine = [&](QString& line, const QString& title) {
        seen.append(line);
        titles.append(title);
        if (ok)
            line = answer;
        return ok;
    };

    answer = U(LineB);
    TScriptCommandResult result = FList.Add();
    EXPECT_TRUE(result.Changed);
    EXPECT_EQ(result.Select, 3);
    EXPECT_EQ(seen.last(), QString());
    EXPECT_EQ(titles.last(), U("Создание новой строки"));

    answer = U("FULL:0#LAST| | | | | | | |clone");
    result = FList.Clone(0);
    EXPECT_EQ(result.Select, 4);
    EXPECT_EQ(seen.last(), U(LineA));
    EXPECT_EQ(titles.last(), U("Создание новой строки"));

    answer = U("FULL:0#ALL| | | | | | | |edited");
    result = FList.Edit(3);
    EXPECT_TRUE(result.Changed);
    EXPECT_EQ(result.Select, 3);
    EXPECT_EQ(seen.last(), U(LineB));
    EXPECT_EQ(titles.last(), U("Редактирование строки"));
    const QStringList expected{U(LineA), QString(), U("  "), U("FULL:0#ALL| | | | | | | |edited"),
                               U("FULL:0#LAST| | | | | | | |clone")};
    EXPECT_EQ(FList.Lines(), expected);
    EXPECT_EQ(OnDisk(), expected);

    // Separators, blanks included, are not cloned or edited; the dialog is not even shown.
    const int shown = static_cast<int>(seen.size());
    for (const int row : {1, 2, 5, -1}) {
        EXPECT_FALSE(FList.CanEdit(row));
        EXPECT_FALSE(FList.Clone(row).Changed);
        EXPECT_FALSE(FList.Edit(row).Changed);
    }
    EXPECT_EQ(seen.size(), shown);

    // Cancel changes nothing.
    ok = false;
    EXPECT_FALSE(FList.Add().Changed);
    EXPECT_FALSE(FList.Edit(0).Changed);
    EXPECT_EQ(FList.Lines(), expected);

    // A "|" in the comment would make a tenth field: refused with an error, nothing changed.
    ok = true;
    answer = U("FULL:0#RAND| | | | | | | |a|b");
    EXPECT_FALSE(FList.Add().Changed);
    EXPECT_FALSE(FList.Edit(0).Changed);
    answer = U("FULL:0#RAND| | | | | | | |a\r\nb");
    EXPECT_FALSE(FList.Add().Changed);
    EXPECT_EQ(FList.Lines(), expected);
    EXPECT_EQ(OnDisk(), expected);
    ASSERT_EQ(FBoxes.Boxes().size(), 3);
    EXPECT_EQ(FBoxes.Boxes()[0].Text, U("Строку\n\nFULL:0#RAND| | | | | | | |a|b\n\nневозможно добавить в сценарий!"));

    // Separator lines.
    result = FList.AddSeparator();
    EXPECT_EQ(result.Select, 5);
    EXPECT_EQ(FList.GetScriptLine(5), QString());
    Start({});
    EXPECT_FALSE(FList.CanAddSeparator());
    EXPECT_FALSE(FList.AddSeparator().Changed);
    EXPECT_FALSE(FList.CanSave());
    EXPECT_FALSE(FList.Save());
}

TEST_F(ScriptListTest, RowTextsOfALineASeparatorAndBlanks)
{
    TStatFixture fx;
    fx.List.RebuildMethods();
    Start({U("excl:5#first#clr| tsd1#sums:10,20#lmv:5 | | BMF#SUMS:7#LDV: 1,2 #SC | | | | |Проверка"),
           QString(), U("   \t ")});
    EXPECT_EQ(FList.RowTexts(0, fx.List),
              (QStringList{U("Проверка"), U("Исключить 5 тиражей; Первая; Удалить ставки; Все создаваемые ставки"),
                           U("TSD1#SUMS:10,20#LMV:5#SF:0"), QString(), U("BMF1#SUMS:7#LDV:1,2#SC:1"), QString(),
                           QString(), QString(), QString()}));
    const QStringList empty{"", "", "", "", "", "", "", "", ""};
    EXPECT_EQ(FList.RowTexts(1, fx.List), empty);
    EXPECT_EQ(FList.RowTexts(2, fx.List), empty);
    EXPECT_EQ(FList.RowTexts(3, fx.List), empty);
    // A line without a comment or filters still shows its options.
    EXPECT_EQ(ScriptRowTexts(U("CURR#NONE#NEX"), fx.List).mid(0, 3),
              (QStringList{QString(), U("Текущий список; Не делать ставок; Только новые ставки"), QString()}));
}

}  // namespace
