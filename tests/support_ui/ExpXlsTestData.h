#pragma once

// What the export tests share: columns as the dialog first builds them, a list of draws, a grid
// of stakes and the fixture that exports into workbooks read back.

#include "support/ui/UnitExpExcel.h"
#include "support/ui/rExpXls.h"
#include "support/ui/rExpXlsParam.h"

#include "platform/IniFile.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "support/RMsExcel.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"
#include "support/ui/QorFloatEdit.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "support/ui/RListItems.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/common/XlsxReader.h"
#include "tests/support_ui/KeyInput.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

// Failures show a column's fields.
inline void PrintTo(const TExpXlsColumn& c, std::ostream* os)
{
    *os << QString("%1;%2;%3;%4;%5;%6")
               .arg(c.SourceIndex)
               .arg(c.SourceCaption, c.Caption, c.Checked ? "1" : "0")
               .arg(c.AlignCode)
               .arg(c.WidthText)
               .toStdString();
}

namespace expxls_test {

// A column of the list as the dialog first builds it.
inline TExpXlsColumn Col(int index, const char* caption, int align = kExpAlignLeft, const char* width = "10,00")
{
    TExpXlsColumn column;
    column.Caption = U(caption);
    column.SourceCaption = U(caption);
    column.SourceIndex = index;
    column.AlignCode = align;
    column.WidthText = U(width);
    return column;
}

inline std::vector<TExpXlsColumn> ThreeColumns()
{
    return {Col(0, "Номер", kExpAlignRight), Col(1, "Дата"), Col(2, "Цифры", kExpAlignCenter)};
}

// A list of draws in a window named like a form.
struct TDrawsList {
    QWidget Form;
    TRListView* View;

    TDrawsList()
    {
        Form.setObjectName("FormTest");
        View = new TRListView(&Form);
        View->setObjectName("lvDraws");
        View->AddColumn(U("Номер"), 64, Qt::AlignRight);
        View->AddColumn(U("Дата"), 100);
        // Every width holds its header's caption: a narrower one would be widened to it.
        View->AddColumn(U("Цифры"), 72, Qt::AlignHCenter);
        View->Items()->Add({U("3"), {U("03.01.2016"), U("1 2")}});
        View->Items()->Add({U("2"), {U("02.01.2016")}});   // fewer sub-items than columns
        View->Items()->Add({U("1"), {U("01.01.2016"), U("=5+4")}});
    }
};

inline QStringList Texts(const std::vector<QStringList>& rows)
{
    QStringList texts;
    for (const QStringList& row : rows)
        texts << row.join('|');
    return texts;
}

inline const QDateTime kMoment(QDate(2016, 8, 10), QTime(9, 5, 3));

// An owner-data grid of five rows (the header and four data rows) and three columns, the first
// of them fixed.
struct TStakesGrid {
    QWidget Form;
    TROwnerDrawGrid* Grid;

    TStakesGrid()
    {
        Form.setObjectName("FormMain");
        Grid = new TROwnerDrawGrid(&Form);
        Grid->setObjectName("sgStakes");
        Grid->SetColCount(3);
        Grid->SetRowCount(5);
        Grid->SetColWidth(0, 24);
        Grid->SetColWidth(1, 80);
        Grid->SetColWidth(2, 2100);
        Grid->SetRowSelect(true);
        Grid->SetRangeSelect(true);
        Grid->OnGetCellText = [](TROwnerDrawGrid*, int col, int row, QString& value) {
            if (row == 0)
                value = QStringList({U("№"), U("Ставка"), U("Комментарий")}).value(col);
            else
                value = QString("%1.%2").arg(row).arg(col);
        };
    }

    // Selects the grid rows first..last (the header is row 0).
    void SelectRows(int first, int last)
    {
        Grid->SetCurrentCell(1, first);
        Grid->selectionModel()->clearSelection();
        for (int row = first; row <= last; ++row)
            Grid->selectionModel()->select(Grid->model()->index(row - 1, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

class ExpXlsWorkbook : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        OverrideAppFileName(FDir.filePath("Tavrix2_2r10"));
        FPreviousClock = SetClock([] { return kMoment; });
        FPreviousOpen = SetOpenHandler([this](const TOpenRequest& request) { FOpened << request.Target; });
    }
    void TearDown() override
    {
        SetExpFilePrompt({});
        SetOpenHandler(FPreviousOpen);
        SetClock(FPreviousClock);
        OverrideAppFileName(QString());
    }

    // The one workbook opened since the last call, read back.
    void ReadOpened(TXlsxReader& reader)
    {
        ASSERT_EQ(FOpened.size(), 1);
        ASSERT_TRUE(reader.Open(FOpened.takeFirst())) << reader.Error().toStdString();
    }

    // Runs the dialog that the call shows: the step gets the dialog, then OK is pressed unless
    // the step closed it.
    bool WithDialog(const std::function<bool()>& call, const std::function<void(TFormExpExcel*)>& step)
    {
        QTimer::singleShot(0, [step] {
            auto* form = qobject_cast<TFormExpExcel*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            step(form);
            if (form->isVisible())
                form->accept();
        });
        return call();
    }

    QString IniFile() const { return FDir.filePath("Tavrix2_2r10.ini"); }

    QTemporaryDir FDir;
    TScriptedBoxes FBoxes;
    QStringList FOpened;
    TClock FPreviousClock;
    TOpenHandler FPreviousOpen;
};

} // namespace expxls_test
