// The draw archive as CSV: field splitting, the exported bytes, what an import adds and skips,
// and the two commands with their prompts, messages and failures.

#include "app/core/archive/DrawsCsv.h"

#include "app/core/archive/DrawFile.h"
#include "platform/SaveFile.h"
#include "tests/app_core/CoreTestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include <sys/stat.h>

namespace {

QStringList Fields(std::initializer_list<const char*> texts)
{
    QStringList fields;
    for (const char* text : texts)
        fields.append(U(text));
    return fields;
}

// A draw whose key is written in the source as UTF-8.
TDrawRec DrawU(std::uint32_t number, int d1, int d2, const char* key)
{
    TDrawRec draw = Draw(number, d1, d2, "");
    draw.Key.Set(U(key));
    return draw;
}

// The moment the import tests run at: TCoreTest's clock, 08/10/2016 at noon.
const TDateTime kNow = EncodeDate(2016, 8, 10) + EncodeTime(12, 0, 0, 0);

TDrawsImportPlan Plan(const TDrawsArray& stored, const QByteArray& bytes)
{
    return PlanDrawsImport(stored, bytes, kNow);
}

// The numbers, digits and keys of draws, for readable failures.
QStringList Texts(const TDrawsArray& draws)
{
    QStringList texts;
    for (const TDrawRec& d : draws)
        texts.append(QStringLiteral("%1 %2%3 %4").arg(d.Number).arg(d.Digits[0]).arg(d.Digits[1]).arg(d.Key.Get()));
    return texts;
}

// A file whose first bytes read and whose read then fails, as a disk error part-way would.
class TFailingDevice : public QIODevice {
public:
    explicit TFailingDevice(QByteArray head) : FHead(std::move(head)) { open(QIODevice::ReadOnly); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (FAt >= FHead.size()) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        const qint64 n = std::min<qint64>(maxSize, std::min<qint64>(FHead.size() - FAt, 16));
        std::memcpy(data, FHead.constData() + FAt, static_cast<size_t>(n));
        FAt += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray FHead;
    qint64 FAt = 0;
};

class DrawsCsvTest : public TCoreTest {
protected:
    DrawsCsvTest()
    {
        FCsv.PromptFile = [this](bool save, const QString& filter, const QString& ext, QString& fileName) {
            FPrompts.push_back({save, filter, ext});
            if (FNames.isEmpty())
                return false;
            fileName = FNames.takeFirst();
            return true;
        };
    }

    TDrawsArray StoredDraws() const { return ReadDrawsFile(FState.DrawsFileName()).Records; }

    struct TPrompt {
        bool Save;
        QString Filter;
        QString Ext;
    };
    TDrawsCsvExchange FCsv{FState, FArchive};
    QStringList FNames;
    std::vector<TPrompt> FPrompts;
};

}  // namespace

TEST(DrawsCsvSplit, FieldsAreSplitAtSemicolonsAndBlanks)
{
    const struct {
        const char* Line;
        QStringList Expected;
    } cases[] = {
        {"152;\"08/01/2016 M\";3;7", Fields({"152", "08/01/2016 M", "3", "7"})},
        // Without quotes the key's blank splits it.
        {"08/01/2016 M;3;7", Fields({"08/01/2016", "M", "3", "7"})},
        {"\"08/01/2016 M\";3;7", Fields({"08/01/2016 M", "3", "7"})},
        {"\"a\"\"b\";1", Fields({"a\"b", "1"})},
        {"a;;b", Fields({"a", "", "b"})},
        {"a;", Fields({"a", ""})},          // a ';' ending the line adds an empty field
        {"a; ", Fields({"a"})},             // ... but not when a blank follows it
        {";a", Fields({"", "a"})},
        {";", Fields({"", ""})},
        {"  a  b\tc ", Fields({"a", "b", "c"})},
        {"a ; b", Fields({"a", "b"})},
        {"\"ab\"cd;e", Fields({"ab", "cd", "e"})},
        {"\"open;x y", Fields({"open;x y"})},   // no closing quote: to the end
        {"\"\"", Fields({""})},
        {"\x01\x1f" "1\x02" "2", Fields({"1", "2"})},
        {"", Fields({})},
        {"   ", Fields({})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitDrawsCsvLine(U(c.Line)), c.Expected) << c.Line;
    // A NUL ends the text.
    EXPECT_EQ(SplitDrawsCsvLine(QStringLiteral("a;b") + QChar(0) + QStringLiteral(";c")), Fields({"a", "b"}));
}

TEST(DrawsCsvExport, LinesAreByteExact)
{
    const TDrawRec draw = Draw(152, 3, 7, "08/01/2016 M");
    EXPECT_EQ(DrawToCsvLine(draw), QStringLiteral("152;\"08/01/2016 M\";3;7"));
    EXPECT_EQ(DrawToCsvLine(draw).size(), 22);

    const TDrawsArray draws = {draw, Draw(153, 0, 9, "a\"b"), DrawU(4294967295u, 9, 0, "Ключ"), Draw(1, 1, 1, "")};
    EXPECT_EQ(DrawsToCsvBytes(draws), QByteArray("152;\"08/01/2016 M\";3;7\r\n"
                                                 "153;\"a\"\"b\";0;9\r\n"
                                                 "4294967295;\"\xca\xeb\xfe\xf7\";9;0\r\n"
                                                 "1;\"\";1;1\r\n"));
    EXPECT_EQ(DrawsToCsvBytes({}), QByteArray());
}

TEST(DrawsCsvPlan, ThreeFieldLinesAreNumberedOnInFileOrder)
{
    const TDrawsImportPlan plan =
        Plan({}, "\"08/01/2016 E\";3;7\r\n\"08/02/2016 M\";1;2\r\n\r\n \t \r\n\"08/03/2016 M\";0;0\n");
    EXPECT_EQ(Texts(plan.Added), Fields({"1 37 08/01/2016 E", "2 12 08/02/2016 M", "3 00 08/03/2016 M"}));
    EXPECT_EQ(plan.Lines, 3);
    EXPECT_EQ(plan.Skipped(), 0);
}

TEST(DrawsCsvPlan, WhatIsSkippedAndWhy)
{
    // Draws 2, 4 and 5 are stored (1 and 3 were deleted); the newest is 5, the midday draw of
    // 08/04. Today is 08/10.
    const TDrawsArray stored = {Draw(2, 1, 1, "08/02/2016 M"), Draw(4, 2, 2, "08/03/2016 M"), Draw(5, 3, 3, "08/04/2016 M")};
    const struct {
        const char* Name;
        const char* Line;
        const char* Added;   // "," between draws
        int Format, Digits, BadDate, Future, Stored, Older = 0, Number = 0, Conflict = 0;
    } cases[] = {
        {"unquoted key: 4 fields, the first no integer", "08/05/2016 M;3;7", "", 1, 0, 0, 0, 0},
        {"quoted, it is numbered after the newest", "\"08/05/2016 M\";3;7", "6 37 08/05/2016 M", 0, 0, 0, 0, 0},
        {"two fields", "\"k\";3", "", 1, 0, 0, 0, 0},
        {"five fields", "7;\"k\";3;4;5", "", 1, 0, 0, 0, 0},
        {"number 0", "0;\"k\";3;4", "", 1, 0, 0, 0, 0},
        {"negative number", "-7;\"k\";3;4", "", 1, 0, 0, 0, 0},
        {"digit 10", "7;\"k\";10;1", "", 0, 1, 0, 0, 0},
        {"digit -1", "7;\"k\";1;-1", "", 0, 1, 0, 0, 0},
        {"3 fields, digit 12", "\"k\";12;1", "", 0, 1, 0, 0, 0},
        {"a number stored", "4;\"08/06/2016 M\";1;1", "", 0, 0, 0, 0, 1},
        {"a deleted number below the newest", "1;\"08/06/2016 M\";1;1", "", 0, 0, 0, 0, 0, 0, 1},
        {"the newest number again", "5;\"08/06/2016 M\";1;1", "", 0, 0, 0, 0, 1},
        {"the newest key, another letter case", "9;\"08/04/2016 m\";3;3", "", 0, 0, 0, 0, 1},
        {"3 fields with a stored key, other digits", "\"08/03/2016 M\";1;1", "", 0, 0, 0, 0, 0, 0, 0, 1},
        {"a number above, a date before the newest", "9;\"08/03/2016 E\";1;1", "", 0, 0, 0, 0, 0, 1, 0},
        {"the newest day's evening", "9;\"08/04/2016 E\";0;9", "9 09 08/04/2016 E", 0, 0, 0, 0, 0},
        {"key cut to 12 characters", "9;\"08/05/2016 M extra\";1;2", "9 12 08/05/2016 M", 0, 0, 0, 0, 0},
        {"a digit that is a letter", "\"08/05/2016 M\";a;5", "", 0, 1, 0, 0, 0},
        {"an empty digit", "\"08/05/2016 E\";5;", "", 0, 1, 0, 0, 0},
        {"hexadecimal number", "$10;\"08/05/2016 M\";1;2", "16 12 08/05/2016 M", 0, 0, 0, 0, 0},
        {"the largest number a record holds", "4294967295;\"08/05/2016 M\";1;2", "4294967295 12 08/05/2016 M", 0, 0, 0, 0, 0},
        {"a number past it", "4294967296;\"08/05/2016 M\";1;2", "", 1, 0, 0, 0, 0},
        // The key must read as a draw date.
        {"month 13, day 45", "9;\"13/45/2016 E\";1;2", "", 0, 0, 1, 0, 0},
        {"a date written year first", "9;\"2016-11-12 M\";1;2", "", 0, 0, 1, 0, 0},
        {"30 February", "9;\"02/30/2016 E\";1;2", "", 0, 0, 1, 0, 0},
        {"no draw letter", "9;\"08/05/2016\";1;2", "", 0, 0, 1, 0, 0},
        {"another letter", "9;\"08/05/2016 X\";1;2", "", 0, 0, 1, 0, 0},
        {"the year 1900", "9;\"08/05/1900 M\";1;2", "", 0, 0, 1, 0, 0},
        {"a small letter", "9;\"08/05/2016 e\";1;2", "9 12 08/05/2016 e", 0, 0, 0, 0, 0},
        // ... held by the clock (today at noon).
        {"today's midday, at noon", "9;\"08/10/2016 M\";1;2", "", 0, 0, 0, 1, 0},
        {"tomorrow", "9;\"08/11/2016 M\";1;2", "", 0, 0, 0, 1, 0},
        {"3 fields, next year", "\"08/10/2017 M\";1;2", "", 0, 0, 0, 1, 0},
        // Lines are taken in draw order, whatever order the file lists them in.
        {"newest first", "8;\"08/07/2016 M\";1;1\r\n7;\"08/06/2016 E\";2;2\r\n6;\"08/06/2016 M\";3;3",
         "6 33 08/06/2016 M,7 22 08/06/2016 E,8 11 08/07/2016 M", 0, 0, 0, 0, 0},
        {"newest first, a stored draw and an older one", "9;\"08/06/2016 M\";1;1\r\n5;\"08/04/2016 M\";3;3\r\n"
         "8;\"08/03/2016 E\";2;2", "9 11 08/06/2016 M", 0, 0, 0, 0, 1, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDrawsImportPlan plan = Plan(stored, QByteArray(c.Line) + "\r\n");
        EXPECT_EQ(Texts(plan.Added).join(','), U(c.Added));
        EXPECT_EQ(plan.Lines, QByteArray(c.Line).count('\n') + 1);
        EXPECT_EQ(plan.SkippedFormat, c.Format);
        EXPECT_EQ(plan.SkippedDigits, c.Digits);
        EXPECT_EQ(plan.SkippedBadDate, c.BadDate);
        EXPECT_EQ(plan.SkippedFuture, c.Future);
        EXPECT_EQ(plan.SkippedStored, c.Stored);
        EXPECT_EQ(plan.SkippedOlder, c.Older);
        EXPECT_EQ(plan.SkippedNumber, c.Number);
        EXPECT_EQ(plan.SkippedConflict, c.Conflict);
    }
}

TEST(DrawsCsvPlan, LinesOfOneFileAreCheckedAgainstEachOther)
{
    // The stored newest key is damaged: it reads as no date, so it sets no bound on the dates.
    const TDrawRec stored = Draw(10, 5, 5, "K10");
    const TDrawsImportPlan plan = Plan({stored}, "12;\"08/02/2016 M\";1;1\r"   // added
                                                 "11;\"08/03/2016 M\";2;2\r"   // later than 12, below it
                                                 "\"08/03/2016 E\";3;3\r"      // numbered 13
                                                 "14;\"08/02/2016 m\";4;4\r"   // key of line 1
                                                 "20;\"08/04/2016 M\";4;4\r"   // gaps are kept
                                                 "21;\"08/03/2016 E\";5;5\r"   // key of line 3
                                                 "\"08/05/2016 E\";6;6");       // 21, no line break
    EXPECT_EQ(Texts(plan.Added),
              Fields({"12 11 08/02/2016 M", "13 33 08/03/2016 E", "20 44 08/04/2016 M", "21 66 08/05/2016 E"}));
    EXPECT_EQ(plan.Lines, 7);
    EXPECT_EQ(plan.SkippedConflict, 2);
    EXPECT_EQ(plan.SkippedNumber, 1);

    // After the largest number no 3-field line can be numbered.
    const TDrawsImportPlan full = Plan({Draw(4294967295u, 1, 1, "08/01/2016 M")}, "\"08/02/2016 M\";2;2\r\n");
    EXPECT_TRUE(full.Added.empty());
    EXPECT_EQ(full.SkippedNumber, 1);
}

// Editors put a UTF-8 byte order mark before the first line: it is passed over, and only there.
TEST(DrawsCsvPlan, AByteOrderMarkIsPassedOver)
{
    const QByteArray bom = "\xEF\xBB\xBF";
    const struct {
        const char* Name;
        QByteArray Bytes;
        const char* Added;   // "," between draws
        int Lines, Format;
    } cases[] = {
        {"before a 4-field line", bom + "152;\"08/01/2016 M\";3;7\r\n", "152 37 08/01/2016 M", 1, 0},
        {"before a 3-field line", bom + "\"08/01/2016 M\";3;7", "1 37 08/01/2016 M", 1, 0},
        {"before a blank line", bom + "\r\n2;\"08/01/2016 E\";1;1\r\n", "2 11 08/01/2016 E", 1, 0},
        {"alone", bom, "", 0, 0},
        {"twice: the second is text", bom + bom + "152;\"08/01/2016 M\";3;7\r\n", "", 1, 1},
        {"on the second line: text", "1;\"08/01/2016 M\";3;7\r\n" + bom + "2;\"08/01/2016 E\";1;1\r\n",
         "1 37 08/01/2016 M", 2, 1},
        {"two bytes of it: text", "\xEF\xBB" "152;\"08/01/2016 M\";3;7\r\n", "", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDrawsImportPlan plan = Plan({}, c.Bytes);
        EXPECT_EQ(Texts(plan.Added).join(','), U(c.Added));
        EXPECT_EQ(plan.Lines, c.Lines);
        EXPECT_EQ(plan.SkippedFormat, c.Format);
        EXPECT_EQ(plan.Skipped(), c.Format);
    }
}

TEST(DrawsCsvPlan, ExportThenImportAddsNothing)
{
    const TDrawsArray draws = {Draw(1, 1, 2, "08/01/2016 M"), Draw(2, 3, 4, "08/01/2016 E"), Draw(3, 0, 9, "08/02/2016 M")};
    const TDrawsImportPlan again = Plan(draws, DrawsToCsvBytes(draws));
    EXPECT_TRUE(again.Added.empty());
    EXPECT_EQ(again.Lines, 3);
    EXPECT_EQ(again.SkippedStored, 3);
    // Into an empty archive the same file gives the same draws.
    EXPECT_EQ(Plan({}, DrawsToCsvBytes(draws)).Added, draws);
}

TEST(DrawsCsvPlan, ReportTellsWhatWasAddedAndSkipped)
{
    TDrawsImportPlan plan;
    plan.Added = {Draw(1, 1, 1, "a"), Draw(2, 2, 2, "b")};
    EXPECT_EQ(DrawsImportReport(plan), U("Добавлено тиражей: 2"));
    plan.SkippedFormat = 1;
    plan.SkippedStored = 3;
    EXPECT_EQ(DrawsImportReport(plan), U("Добавлено тиражей: 2\n\nПропущено строк: 4\n"
                                         "- неверный формат строки: 1\n"
                                         "- тираж уже есть в архиве: 3"));
    plan = {};
    plan.SkippedDigits = 2;
    EXPECT_EQ(DrawsImportReport(plan), U("Добавлено тиражей: 0\n\nПропущено строк: 2\n- цифры вне 0..9: 2"));
    // Every reason in its line, in the order the lines are checked.
    plan = {};
    plan.SkippedFormat = 1;
    plan.SkippedDigits = 2;
    plan.SkippedBadDate = 3;
    plan.SkippedFuture = 4;
    plan.SkippedStored = 5;
    plan.SkippedOlder = 6;
    plan.SkippedNumber = 7;
    plan.SkippedConflict = 8;
    EXPECT_EQ(DrawsImportReport(plan), U("Добавлено тиражей: 0\n\nПропущено строк: 36\n"
                                         "- неверный формат строки: 1\n"
                                         "- цифры вне 0..9: 2\n"
                                         "- дата тиража не читается: 3\n"
                                         "- дата и время тиража позже текущих: 4\n"
                                         "- тираж уже есть в архиве: 5\n"
                                         "- тираж с теми же датой и временем уже есть в архиве с другими числами: 8\n"
                                         "- тираж старше последнего тиража архива: 6\n"
                                         "- номер тиража не больше номера последнего тиража архива: 7"));
}

TEST_F(DrawsCsvTest, ImportAppendsSavesOnceAndTells)
{
    FState.FDraws = {Draw(1, 1, 2, "08/01/2016 M")};
    WriteArchive(FState.FDraws);
    const QString file = DataFile(QStringLiteral("draws.csv"));
    WriteFileBytes(file, "2;\"08/01/2016 E\";3;4\r\n1;\"08/01/2016 M\";1;2\r\n\"08/02/2016 M\";5;6\r\n4;\"x\";1;10\r\n");
    FNames = {file};
    const std::optional<TDrawsImportPlan> plan = FCsv.Import();
    ASSERT_TRUE(plan.has_value());
    EXPECT_EQ(plan->Added.size(), 2u);

    ASSERT_EQ(FPrompts.size(), 1u);
    EXPECT_FALSE(FPrompts[0].Save);
    EXPECT_EQ(FPrompts[0].Filter, U("Файлы тиражей (*.csv)|*.csv"));
    EXPECT_EQ(FPrompts[0].Ext, QStringLiteral("csv"));
    EXPECT_TRUE(FStatuses.contains(U("Импорт тиражей из файла \"") + file + QStringLiteral("\"...")));

    const QStringList expected = Fields({"1 12 08/01/2016 M", "2 34 08/01/2016 E", "3 56 08/02/2016 M"});
    EXPECT_EQ(Texts(FState.FDraws), expected);
    EXPECT_EQ(Texts(StoredDraws()), expected);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Information);
    EXPECT_EQ(FBoxes.Last().Text, U("Добавлено тиражей: 2\n\nПропущено строк: 2\n"
                                    "- цифры вне 0..9: 1\n"
                                    "- тираж уже есть в архиве: 1"));
    EXPECT_TRUE(IsNotWaiting());
}

// A byte order mark, dates that do not read and one after today's date by the clock: only the
// sound lines come in, and the summary counts the others by reason.
TEST_F(DrawsCsvTest, ImportSkipsDatesThatDoNotReadOrLieAheadAndSaysSo)
{
    FState.FDraws = {Draw(1, 1, 2, "08/01/2016 M")};
    const QString file = DataFile(QStringLiteral("draws.csv"));
    WriteFileBytes(file, "\xEF\xBB\xBF" "2;\"08/01/2016 E\";3;4\r\n"
                         "3;\"13/45/2016 E\";5;6\r\n"
                         "4;\"2016-11-12 M\";7;8\r\n"
                         "5;\"08/11/2016 M\";9;0\r\n"
                         "6;\"08/02/2016 M\";1;1\r\n");
    FNames = {file};
    ASSERT_TRUE(FCsv.Import().has_value());

    const QStringList expected = Fields({"1 12 08/01/2016 M", "2 34 08/01/2016 E", "6 11 08/02/2016 M"});
    EXPECT_EQ(Texts(FState.FDraws), expected);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Добавлено тиражей: 2\n\nПропущено строк: 3\n"
                                    "- дата тиража не читается: 2\n"
                                    "- дата и время тиража позже текущих: 1"));

    // Two days after, the draw of 08/11 is no longer ahead; its number now lies below the
    // newest one.
    SetToday(QDate(2016, 8, 12));
    FNames = {file};
    ASSERT_TRUE(FCsv.Import().has_value());
    EXPECT_EQ(Texts(FState.FDraws), expected);
    EXPECT_EQ(FBoxes.Last().Text, U("Добавлено тиражей: 0\n\nПропущено строк: 5\n"
                                    "- дата тиража не читается: 2\n"
                                    "- тираж уже есть в архиве: 2\n"
                                    "- номер тиража не больше номера последнего тиража архива: 1"));
}

TEST_F(DrawsCsvTest, CancelledPromptsDoNothing)
{
    FState.FDraws = {Draw(1, 1, 2, "k")};
    EXPECT_FALSE(FCsv.Import().has_value());
    EXPECT_FALSE(FCsv.Export());
    EXPECT_EQ(FPrompts.size(), 2u);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_TRUE(FStatuses.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(FState.DrawsFileName()));
}

TEST_F(DrawsCsvTest, AReadErrorPartWayAppendsNothing)
{
    FState.FDraws = {Draw(1, 1, 2, "k1")};
    WriteArchive(FState.FDraws);
    const QByteArray archiveBefore = ReadFileBytes(FState.DrawsFileName());
    // Two whole lines read before the error.
    const QByteArray head = "2;\"k2\";3;4\r\n3;\"k3\";5;6\r\n4;\"k";
    FCsv.OpenFile = [&](const QString&) { return std::make_unique<TFailingDevice>(head); };
    FNames = {QStringLiteral("/somewhere/draws.csv")};
    try {
        FCsv.Import();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("Ошибка чтения файла \"/somewhere/draws.csv\"\n\nошибка ввода-вывода на диске"));
    }
    EXPECT_EQ(Texts(FState.FDraws), Fields({"1 12 k1"}));
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), archiveBefore);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_TRUE(IsNotWaiting());

    // A file that cannot be opened, a link to a device without end, a FIFO without a writer and a
    // file past the bound are refused at once.
    FCsv.OpenFile = nullptr;
    const QString zero = DataFile(QStringLiteral("zero.csv"));
    const QString fifo = DataFile(QStringLiteral("fifo.csv"));
    QFile large(DataFile(QStringLiteral("large.csv")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero) && ::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(MaxDrawsCsvBytes + 1));
    for (const QString& name : {DataFile(QStringLiteral("none.csv")), zero, fifo, large.fileName()}) {
        FNames = {name};
        EXPECT_THROW(FCsv.Import(), Exception) << name.toStdString();
    }
    EXPECT_EQ(FState.FDraws.size(), 1u);
    EXPECT_EQ(ExceptionText(std::bad_alloc()), U("Недостаточно памяти для выполнения операции."));
}

TEST_F(DrawsCsvTest, AFailedArchiveSaveTakesTheDrawsBack)
{
    FState.FDraws = {Draw(1, 1, 2, "08/01/2016 M")};
    // The archive's name is taken by a folder: it cannot be written.
    ASSERT_TRUE(QDir().mkpath(FState.DrawsFileName()));
    const QString file = DataFile(QStringLiteral("draws.csv"));
    WriteFileBytes(file, "2;\"08/01/2016 E\";3;4\r\n");
    FNames = {file};
    EXPECT_THROW(FCsv.Import(), Exception);
    EXPECT_EQ(Texts(FState.FDraws), Fields({"1 12 08/01/2016 M"}));
    EXPECT_TRUE(IsNotWaiting());
}

TEST_F(DrawsCsvTest, ExportWritesWhatImportReadsBack)
{
    const TDrawsArray draws = {Draw(7, 1, 2, "08/01/2016 M"), Draw(8, 3, 4, "08/01/2016 E"), DrawU(9, 0, 9, "Ключ \"1\"")};
    FState.FDraws = draws;
    EXPECT_TRUE(FCsv.CanExport());
    const QString file = DataFile(QStringLiteral("out.csv"));
    WriteFileBytes(file, "an older file");
    FNames = {file};
    ASSERT_TRUE(FCsv.Export());
    ASSERT_EQ(FPrompts.size(), 1u);
    EXPECT_TRUE(FPrompts[0].Save);
    EXPECT_EQ(FPrompts[0].Filter, U("Файлы тиражей (*.csv)|*.csv"));
    EXPECT_TRUE(FStatuses.contains(U("Экспорт тиражей в файл \"") + file + QStringLiteral("\"...")));
    EXPECT_EQ(ReadFileBytes(file), QByteArray("7;\"08/01/2016 M\";1;2\r\n8;\"08/01/2016 E\";3;4\r\n"
                                              "9;\"\xca\xeb\xfe\xf7 \"\"1\"\"\";0;9\r\n"));
    EXPECT_FALSE(QFileInfo::exists(TSaveFile::TempFileName(file)));

    // Imported into the same archive: nothing added, the archive file not changed. The third
    // key is no draw date (an archive damaged before such keys were refused): the file keeps
    // it, no import takes it in.
    WriteArchive(draws);
    FNames = {file};
    ASSERT_TRUE(FCsv.Import().has_value());
    EXPECT_EQ(FState.FDraws, draws);
    EXPECT_EQ(FBoxes.Last().Text, U("Добавлено тиражей: 0\n\nПропущено строк: 3\n- дата тиража не читается: 1\n"
                                    "- тираж уже есть в архиве: 2"));
    // Into an empty archive: the same draws, but for that one.
    FState.FDraws.clear();
    FNames = {file};
    ASSERT_TRUE(FCsv.Import().has_value());
    const TDrawsArray readable(draws.begin(), draws.begin() + 2);
    EXPECT_EQ(FState.FDraws, readable);
    EXPECT_EQ(StoredDraws(), readable);

    // A file that cannot be written: the error propagates, the old file stays.
    FNames = {DataFile(QStringLiteral("no/such/folder/out.csv"))};
    EXPECT_THROW(FCsv.Export(), Exception);
    FState.FDraws.clear();
    EXPECT_FALSE(FCsv.CanExport());
    EXPECT_TRUE(IsNotWaiting());
}
