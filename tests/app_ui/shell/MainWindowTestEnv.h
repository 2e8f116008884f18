#pragma once

// The main window over a generated archive, offscreen: what every test of it starts from.

#include "app/ui/shell/FormMain.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "tests/app_ui/AppUiTestEnv.h"

#include <QApplication>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>

// Outside any unnamed namespace: the tests of several files share the one fixture class, and
// the fixtures of the window's pages derive from it.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        FPreviousClock = SetClock([] { return QDateTime(QDate(2016, 8, 10), QTime(20, 0)); });
        // Nobody is asked whether to download at start-up, and the first start is behind.
        WriteFormState(QString());
    }
    ~MainWindowTest() override { SetClock(FPreviousClock); }

    void WriteFormState(const QString& more) const
    {
        FFolder.WriteFormState(QStringLiteral("DownloadDrawsOnStart=2\r\nPrefetchsInit=1\r\n") + more);
    }

    // The main window, shown, after its start-up timer has run.
    std::unique_ptr<TFormMain> Open(const QStringList& arguments = {}, QSize size = QSize(1000, 680))
    {
        return OpenMainWindow(arguments, size);
    }

    template <typename T>
    static T* Child(const TFormMain& form, const char* name)
    {
        return form.findChild<T*>(QLatin1String(name));
    }
    // Brings a page of the main pages or of the lists into view.
    static void ShowPage(const TFormMain& form, const char* page)
    {
        QWidget* widget = Child<QWidget>(form, page);
        qobject_cast<QTabWidget*>(widget->parentWidget()->parentWidget())->setCurrentWidget(widget);
        QApplication::processEvents();
    }
    static bool Run(TFormMain& form, const char* command) { return form.Actions()->Execute(QLatin1String(command)); }

    static TRListView* DrawsList(const TFormMain& form) { return form.findChild<TRListView*>(QStringLiteral("lvDraws")); }
    static QString Cell(const TFormMain& form, int row, int column)
    {
        return DrawsList(form)->Items()->CellText(row, column);
    }

    TProgramFolder FFolder;
    TScriptedBoxes FBoxes;
    TClock FPreviousClock;
};
