#include "tests/support/RMsExcelFixture.h"

#include "tests/common/FileWrites.h"

#include <QFileInfo>

#include <cerrno>
#include <optional>

// ---------------------------------------------------------------------------------------------
// Sheet reuse.

TEST_F(RMsExcel, EmptySheetsAreReusedAndFullOnesKept)
{
    TExcelSheet* sheet = StartSheet();
    ASSERT_NE(sheet, nullptr);
    TExcelWorkbook* book = ActiveWorkbook();
    EXPECT_TRUE(IsSheetEmpty(nullptr));
    EXPECT_TRUE(IsSheetEmpty(sheet));

    // One empty cell with a format of its own: still empty, and reused.
    WriteCell(sheet->Cells(1, 1), QString(), 10, fsBold, 2, xlLeft, xlCenter, false, QString());
    EXPECT_TRUE(IsSheetEmpty(sheet));
    EXPECT_EQ(GetEmptyOrNewSheet(book, U("Отчет")), sheet);
    EXPECT_EQ(book->SheetCount(), 1);
    EXPECT_EQ(sheet->Name(), U("Отчет"));

    // Two formatted cells, or one value anywhere: not empty.
    WriteCell(sheet->Cells(1, 2), QString(), 10, 0, 0, xlLeft, xlCenter, false, QString());
    EXPECT_FALSE(IsSheetEmpty(sheet));
    TExcelSheet* other = book->AddSheet(sheet);
    sheet->Cells(2, 2).SetValue(QStringLiteral("x"));
    other->Cells(2, 2).SetValue(QStringLiteral("y"));
    EXPECT_FALSE(IsSheetEmpty(other));

    // No empty sheet: a new one after the last, named; without a name it keeps its own.
    TExcelSheet* added = GetEmptyOrNewSheet(book, U("Данные"));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(book->SheetCount(), 3);
    EXPECT_EQ(book->Sheet(3), added);
    EXPECT_EQ(added->Name(), U("Данные"));
    EXPECT_EQ(GetEmptyOrNewSheet(book, QString()), added);
    EXPECT_EQ(added->Name(), U("Данные"));
    EXPECT_TRUE(Reports.isEmpty());
}

TEST_F(RMsExcel, OpenSheetFallsBackToAnEmptyOrNewSheet)
{
    TExcelSheet* first = StartSheet();
    ASSERT_NE(first, nullptr);
    TExcelWorkbook* book = ActiveWorkbook();

    // An index beyond the sheets, the only sheet empty: that sheet, renamed.
    EXPECT_EQ(OpenActiveWorkbookSheet(3, U("Итоги/2026")), first);
    EXPECT_EQ(first->Name(), U("Итоги-2026"));
    EXPECT_EQ(book->SheetCount(), 1);

    // The only sheet in use: a new sheet after the last.
    first->Cells(1, 1).SetValue(QStringLiteral("data"));
    TExcelSheet* second = OpenSheet(book, 5, U("Второй"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(book->SheetCount(), 2);
    EXPECT_EQ(book->Sheet(2), second);

    // A name that sheet 1 cannot take (sheet 2 has it): the empty sheet 2 takes it instead.
    EXPECT_EQ(OpenSheet(book, 1, U("второй")), second);
    EXPECT_EQ(second->Name(), U("второй"));
    EXPECT_EQ(first->Name(), U("Итоги-2026"));
    EXPECT_TRUE(Reports.isEmpty());

    // A name that is nothing once cleaned: the sheet keeps its own name, as with no name.
    EXPECT_EQ(OpenSheet(book, 1, U("?*:")), first);
    EXPECT_EQ(GetEmptyOrNewSheet(book, U("***")), second);
    EXPECT_EQ(QStringList({first->Name(), second->Name()}), QStringList({U("Итоги-2026"), U("второй")}));
    EXPECT_TRUE(Reports.isEmpty());
}

TEST_F(RMsExcel, NoWorkbookIsReportedWithAMessage)
{
    Reports.clear();
    EXPECT_EQ(OpenSheet(nullptr, 2, U("x")), nullptr);
    EXPECT_EQ(ExcelLastError(), U("Ошибка открытия (создания) листа #2!\n") + kNoWorkbook);
    EXPECT_EQ(GetEmptyOrNewSheet(nullptr, U("x")), nullptr);
    EXPECT_EQ(ExcelLastError(), U("Ошибка создания листа Microsoft Excel!\n") + kNoWorkbook);
    EXPECT_EQ(OpenActiveWorkbookSheet(1, U("x")), nullptr);   // nothing connected
    EXPECT_EQ(Reports.size(), 3);
}

TEST_F(RMsExcel, OrientationFailuresAreSwallowedAndReported)
{
    TExcelSheet* sheet = StartSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->Orientation(), 0);
    SetPageOrientation(sheet, xlLandscape, false);
    EXPECT_EQ(sheet->Orientation(), xlLandscape);
    SetPageOrientation(sheet, 3, true);
    EXPECT_EQ(sheet->Orientation(), xlLandscape);
    SetPageOrientation(nullptr, xlPortrait, false);
    const QString text = U("Ошибка установки ориентации страницы Microsoft Excel!");
    EXPECT_EQ(Reports, (QStringList{text, text}));
    EXPECT_EQ(Suppressed, (QList<bool>{true, false}));
}

// ---------------------------------------------------------------------------------------------
// Session, files and the written workbook.

TEST_F(RMsExcel, StartingFailsWhenTheWorkbookCannotBeWritten)
{
    const QString connectFailed = U("Ошибка подключения к Microsoft Excel!");
    // A temporary folder that does not exist, and one that is a file: the message names it.
    const QString file = Temp + QStringLiteral("/plain-file");
    WriteFileBytes(file, "x");
    const std::pair<QString, const char*> folders[] = {{Temp + QStringLiteral("/missing"), "нет такого файла или папки"},
                                                       {QFileInfo(file).canonicalFilePath(), "часть пути не является папкой"}};
    for (const auto& [folder, reason] : folders) {
        SetTmp(folder);
        Reports.clear();
        EXPECT_FALSE(ConnectExcel()) << qPrintable(folder);
        EXPECT_EQ(ExcelApplication(), nullptr);
        EXPECT_EQ(Reports, QStringList{connectFailed});
        EXPECT_EQ(ExcelLastError(),
                  connectFailed + U("\nВременная папка \"%1\" недоступна для записи: %2").arg(folder, U(reason)));
        // A workbook asked for without a session tries to connect, and fails the same way.
        EXPECT_FALSE(CreateWorkbook());
        EXPECT_EQ(ActiveWorkbook(), nullptr);
    }
    SetTmp(Temp);
    EXPECT_EQ(TempFiles(), QStringList{QStringLiteral("plain-file")});
    EXPECT_TRUE(Opened.isEmpty());

    // A working folder: the failure text is gone, events are off until the end of the session.
    EXPECT_TRUE(ConnectExcel());
    EXPECT_TRUE(ExcelLastError().isEmpty());
    ASSERT_NE(ExcelApplication(), nullptr);
    EXPECT_FALSE(ExcelApplication()->EnableEvents);
    RestoreExcelEvents();
    EXPECT_TRUE(ExcelApplication()->EnableEvents);
    EXPECT_TRUE(ExcelApplication()->Visible);
    // Nothing held: nothing written or opened.
    EXPECT_TRUE(DisconnectExcel());
    EXPECT_TRUE(Opened.isEmpty());
    EXPECT_EQ(TempFiles(), QStringList{QStringLiteral("plain-file")});
}

TEST_F(RMsExcel, WrittenWorkbookReadsBack)
{
    TExcelSheet* sheet = StartSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(OpenActiveWorkbookSheet(1, U("Итоги: 2026/12")), sheet);
    SetPageOrientation(sheet, xlLandscape, false);
    FormatColumn(sheet->Columns(1), AlignmentToExcel(0), xlCenter, 12.5, 8, QString());
    FormatColumn(sheet->Columns(2), AlignmentToExcel(1), xlCenter, 255.0, 8, QStringLiteral("0.00"));
    FormatColumn(sheet->Columns(3), AlignmentToExcel(2), xlCenter, 10, 8, QStringLiteral("@"));
    WriteCell(sheet->Cells(1, 1), U("Отчет"), 12, fsBold, 0, xlLeft, xlCenter, false, QString());
    WriteCell(sheet->Cells(2, 1), U("=СУММ(A1:A3)"), 8, fsItalic | fsUnderline | fsStrikeOut, 0,
              xlLeft, xlCenter, false, QString());
    WriteRange(sheet, 4, 4, 1, 3, TExcelArray{{U("Ключ"), U("Сумма"), U("Код")}}, 8, 0, 3,
               xlCenter, xlCenter, true);
    WriteRangeValues(sheet, 5, 6, 1, 3,
                     TExcelArray{{"=1+1", "12,5", "07"}, {"0012", "-3", "5"}}, 2);
    const QString fileName = ActiveWorkbook()->FileName();

    TXlsxReader x;
    ASSERT_TRUE(Finish(x)) << qPrintable(x.Error()) << qPrintable(ExcelLastError());
    EXPECT_EQ(Opened.first(), fileName);
    EXPECT_EQ(QFileInfo(fileName).absolutePath(), QFileInfo(Temp).canonicalFilePath());
    EXPECT_TRUE(QFileInfo(fileName).fileName().startsWith(QStringLiteral("Tavrix2_2r10-")));
    EXPECT_TRUE(fileName.endsWith(QStringLiteral(".xlsx")));
    EXPECT_EQ(ExcelApplication(), nullptr);
    EXPECT_EQ(ActiveWorkbook(), nullptr);

    EXPECT_EQ(x.SheetNames(), QStringList{U("Итоги 2026-12")});
    EXPECT_EQ(x.Sheet(1).Orientation, "landscape");
    // Widths in characters as the file stores them: (int(w * 7 + 0.5) + 5) / 7, in 1/256.
    EXPECT_EQ(x.ColumnWidth(1, 1), 13.28515625);    // 12.5: 93 / 7 = 13.2857 → 3401 / 256
    EXPECT_EQ(x.ColumnWidth(1, 2), 255.7109375);    // 255: 1790 / 7 = 255.714 → 65462 / 256
    EXPECT_EQ(x.ColumnWidth(1, 3), 10.7109375);     // 10: 75 / 7 = 10.714 → 2742 / 256
    EXPECT_EQ(x.ColumnWidth(1, 4), -1);
    EXPECT_EQ(x.ColumnStyle(1, 2).Horizontal, "right");
    EXPECT_EQ(x.ColumnStyle(1, 2).NumberFormat, "0.00");
    EXPECT_EQ(x.ColumnStyle(1, 3).Horizontal, "center");
    EXPECT_EQ(x.ColumnStyle(1, 1).FontSize, 8);

    // Title: bold 12, left, no border.
    EXPECT_EQ(x.Text(1, "A1"), U("Отчет"));
    const TXlsxStyle title = x.CellStyle(1, "A1");
    EXPECT_TRUE(title.Bold);
    EXPECT_FALSE(title.Italic);
    EXPECT_EQ(title.FontSize, 12);
    EXPECT_EQ(title.Horizontal, "left");
    EXPECT_EQ(title.Vertical, "center");
    EXPECT_EQ(title.Border(), "");
    EXPECT_FALSE(title.Wrap);

    // A text starting with "=" is a string, never a formula.
    EXPECT_EQ(x.Text(1, "A2"), U("=СУММ(A1:A3)"));
    EXPECT_TRUE(x.IsString(1, "A2"));
    EXPECT_FALSE(x.IsFormula(1, "A2"));
    const TXlsxStyle note = x.CellStyle(1, "A2");
    EXPECT_FALSE(note.Bold);
    EXPECT_TRUE(note.Italic);
    EXPECT_TRUE(note.Underline);
    EXPECT_TRUE(note.StrikeOut);
    EXPECT_EQ(x.Text(1, "A3"), "");

    // Caption row: medium borders, centred, wrapped, not bold.
    for (const char* ref : {"A4", "B4", "C4"}) {
        const TXlsxStyle caption = x.CellStyle(1, ref);
        EXPECT_EQ(caption.Border(), "medium") << ref;
        EXPECT_EQ(caption.Horizontal, "center") << ref;
        EXPECT_EQ(caption.Vertical, "center") << ref;
        EXPECT_TRUE(caption.Wrap) << ref;
        EXPECT_FALSE(caption.Bold) << ref;
        EXPECT_EQ(caption.FontSize, 8) << ref;
    }
    EXPECT_EQ(x.Text(1, "B4"), U("Сумма"));

    // Data: thin borders with the column's format; numbers, texts and text-format cells.
    EXPECT_EQ(x.Text(1, "A5"), "=1+1");
    EXPECT_TRUE(x.IsString(1, "A5"));
    EXPECT_FALSE(x.IsFormula(1, "A5"));
    EXPECT_EQ(x.Text(1, "B5"), "12.5");
    EXPECT_FALSE(x.IsString(1, "B5"));
    EXPECT_EQ(x.Text(1, "C5"), "07");
    EXPECT_EQ(x.Text(1, "A6"), "0012");
    EXPECT_TRUE(x.IsString(1, "A6"));
    EXPECT_EQ(x.Text(1, "B6"), "-3");
    EXPECT_FALSE(x.IsString(1, "B6"));
    EXPECT_EQ(x.Text(1, "C6"), "5");
    EXPECT_TRUE(x.IsString(1, "C6"));
    for (const char* ref : {"A5", "B5", "C5", "A6", "B6", "C6"}) {
        const TXlsxStyle data = x.CellStyle(1, ref);
        EXPECT_EQ(data.Border(), "thin") << ref;
        EXPECT_EQ(data.FontSize, 8) << ref;
        EXPECT_EQ(data.Vertical, "center") << ref;
        EXPECT_FALSE(data.Wrap) << ref;
    }
    EXPECT_EQ(x.CellStyle(1, "A5").Horizontal, "left");
    EXPECT_EQ(x.CellStyle(1, "B6").Horizontal, "right");
    EXPECT_EQ(x.CellStyle(1, "B6").NumberFormat, "0.00");
    EXPECT_EQ(x.CellStyle(1, "C6").NumberFormat, "@");
    EXPECT_EQ(x.CellStyle(1, "C6").Horizontal, "center");
    EXPECT_EQ(x.Cell(1, "D5"), nullptr);
    EXPECT_TRUE(Reports.isEmpty());
}

TEST_F(RMsExcel, EveryWorkbookGetsAFileOfItsOwn)
{
    // A file the user keeps under a name the workbooks could take.
    const QString kept = Temp + QStringLiteral("/Tavrix2_2r10-AAAAAA.xlsx");
    WriteFileBytes(kept, "user's own");

    QStringList written;
    for (int i = 0; i < 3; ++i) {
        TExcelSheet* sheet = StartSheet();
        ASSERT_NE(sheet, nullptr);
        sheet->Cells(1, 1).SetValue(QStringLiteral("book %1").arg(i));
        Opened.clear();
        ASSERT_TRUE(DisconnectExcel()) << qPrintable(ExcelLastError());
        ASSERT_EQ(Opened.size(), 1);
        written << Opened.first();
    }
    EXPECT_EQ(written.size(), 3);
    EXPECT_NE(written[0], written[1]);
    EXPECT_NE(written[1], written[2]);
    EXPECT_NE(written[0], written[2]);
    for (int i = 0; i < 3; ++i) {
        TXlsxReader x;
        ASSERT_TRUE(x.Open(written[i])) << qPrintable(x.Error());
        EXPECT_EQ(x.Text(1, "A1"), QStringLiteral("book %1").arg(i));
    }
    EXPECT_EQ(ReadFileBytes(kept), "user's own");
    // Nothing but the kept file and the three workbooks: no probe or scratch file is left.
    EXPECT_EQ(TempFiles().size(), 4);
}

TEST_F(RMsExcel, ConnectingAgainEndsTheHeldSessionFirst)
{
    TExcelSheet* sheet = StartSheet();
    ASSERT_NE(sheet, nullptr);
    sheet->Cells(1, 1).SetValue(QStringLiteral("first"));
    const QString first = ActiveWorkbook()->FileName();
    Opened.clear();
    EXPECT_TRUE(ConnectExcel());
    EXPECT_EQ(Opened, QStringList{first});
    EXPECT_EQ(ActiveWorkbook(), nullptr);
    ASSERT_NE(ExcelApplication(), nullptr);
    EXPECT_TRUE(ExcelApplication()->Workbooks().empty());
    // NewWorkbook adds to the session without making it the held one.
    TExcelWorkbook* extra = NewWorkbook();
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(ActiveWorkbook(), nullptr);
    EXPECT_EQ(ExcelApplication()->Workbooks().size(), 1u);
}

TEST_F(RMsExcel, WriteAndOpenFailuresAreReported)
{
    // The temporary folder vanishes before the workbook is written.
    ASSERT_NE(StartSheet(), nullptr);
    const QString fileName = ActiveWorkbook()->FileName();
    ASSERT_TRUE(QDir(Temp).removeRecursively());
    Opened.clear();
    EXPECT_FALSE(DisconnectExcel());
    EXPECT_TRUE(Opened.isEmpty());
    EXPECT_TRUE(ExcelLastError().startsWith(
        U("Ошибка сохранения книги Microsoft Excel в файле \"") + fileName + U("\"!\n")))
        << qPrintable(ExcelLastError());
    EXPECT_EQ(ExcelApplication(), nullptr);

    // The desktop cannot open the file: reported, the file stays for the user.
    ASSERT_TRUE(QDir().mkpath(Temp));
    ASSERT_NE(StartSheet(), nullptr);
    const QString second = ActiveWorkbook()->FileName();
    FailOpen = true;
    Reports.clear();
    EXPECT_FALSE(DisconnectExcel());
    // Said once, as what it is: the workbook is whole where it was written, nothing opened it.
    const QString notOpened = U("Файл \"") + second + U("\" сохранён, но ни одна программа его не открыла: no opener.");
    EXPECT_EQ(Reports, QStringList{notOpened});
    EXPECT_EQ(ExcelLastError(), notOpened);
    TXlsxReader x;
    EXPECT_TRUE(x.Open(second)) << qPrintable(x.Error());

    // A desktop without its opener: the same one sentence, the reason in Russian.
    FailOpen = false;
    ASSERT_NE(StartSheet(), nullptr);
    const QString third = ActiveWorkbook()->FileName();
    QTemporaryDir noPrograms;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(noPrograms.path()));
    const TOpenHandler captured = SetOpenHandler(nullptr);
    EXPECT_FALSE(DisconnectExcel());
    SetOpenHandler(captured);
    qputenv("PATH", path);
    EXPECT_EQ(ExcelLastError(), U("Файл \"") + third
                                    + U("\" сохранён, но ни одна программа его не открыла: не найдена программа "
                                        "xdg-open, через которую рабочий стол открывает файлы."));
    TXlsxReader y;
    EXPECT_TRUE(y.Open(third)) << qPrintable(y.Error());
}

// A workbook the system finds no room for: the message says so in Russian (the writer's own
// text after it), and nothing is left under the workbook's name.
TEST_F(RMsExcel, WorkbookWithoutRoomIsToldSoAndRemoved)
{
    const QString saveFailed = U("Ошибка сохранения книги Microsoft Excel в файле \"%1\"!\nОшибка записи книги: ");
    enum class TWay { FullDisk, SizeLimit, FolderInTheWay };
    const struct {
        TWay Way;
        QString Reason;   // up to the writer's own text
    } cases[] = {
        // The workbook's name leads to the always-full device.
        {TWay::FullDisk, U("на диске нет свободного места (")},
        // The process may not write more than a few bytes into a file.
        {TWay::SizeLimit, U("файл превысил допустимый размер (")},
        // A folder stands where the file was made.
        {TWay::FolderInTheWay, U("не удалось создать файл книги: ") + SystemErrorText(EISDIR) + U(" (")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Reason.toStdString());
        TExcelSheet* sheet = StartSheet();
        ASSERT_NE(sheet, nullptr);
        WriteRangeValues(sheet, 1, 200, 1, 3, TExcelValue(QStringLiteral("строка данных")), 2);
        const QString fileName = ActiveWorkbook()->FileName();
        if (c.Way == TWay::FullDisk) {
            ASSERT_TRUE(PointAtFullDevice(fileName));
        }
        if (c.Way == TWay::FolderInTheWay) {
            ASSERT_TRUE(QFile::remove(fileName) && QDir().mkdir(fileName));
        }
        std::optional<TFileSizeLimit> limit;
        if (c.Way == TWay::SizeLimit) {
            limit.emplace(200);
            ASSERT_TRUE(limit->Active());
        }
        Opened.clear();
        const bool done = DisconnectExcel();
        limit.reset();
        EXPECT_FALSE(done);
        EXPECT_TRUE(Opened.isEmpty());
        const QString error = ExcelLastError();
        EXPECT_TRUE(error.startsWith(saveFailed.arg(fileName) + c.Reason)) << qPrintable(error);
        EXPECT_TRUE(error.endsWith(QLatin1Char(')'))) << qPrintable(error);
        if (c.Way == TWay::FolderInTheWay) {
            QDir().rmdir(fileName);
        } else {
            const QFileInfo left(fileName);
            EXPECT_FALSE(left.exists() || left.isSymLink());
        }
        // The writer's own temporary files went with it.
        EXPECT_TRUE(TempFiles().isEmpty()) << qPrintable(TempFiles().join(' '));
    }
}
