#include "support/ui/RActions.h"

#include "platform/Exceptions.h"
#include "support/RDialogsScripted.h"
#include "support/RVclUtils.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

TEST(ActionRegistry, BusyCounterDisablesAtOnceAndZeroEnablesAgain)
{
    TActionRegistry registry(nullptr, 60000);   // the idle timer plays no part here
    int runs = 0;
    QAction* download = registry.Add("DrawsDownload", "Загрузить", [&runs] { ++runs; });
    QAction* stop = registry.Add("ScriptStop", "Остановить", [] {}, {}, TActionRegistry::TBusyRule::Always);
    EXPECT_EQ(download->objectName(), "DrawsDownload");
    EXPECT_EQ(registry.Action("DrawsDownload"), download);
    EXPECT_EQ(registry.Action("Nothing"), nullptr);
    EXPECT_TRUE(download->isEnabled());

    StartWait();
    EXPECT_FALSE(download->isEnabled());
    EXPECT_TRUE(stop->isEnabled());
    // Neither the action nor a direct call starts the command while busy.
    download->trigger();
    EXPECT_FALSE(registry.Execute("DrawsDownload"));
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(registry.Execute("ScriptStop"));
    StartWait();
    StopWait();
    EXPECT_FALSE(download->isEnabled());
    StopWait();
    EXPECT_TRUE(download->isEnabled());
    download->trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(registry.CanExecute("DrawsDownload"));
    EXPECT_FALSE(registry.CanExecute("Nothing"));
}

TEST(ActionRegistry, PredicatesAreReadOnTheIdleTimerAndBeforeEveryRun)
{
    TActionRegistry registry(nullptr, 10);
    bool haveDraws = false;
    int runs = 0;
    QAction* action = registry.Add("DrawsExport", "Экспорт", [&runs] { ++runs; }, [&haveDraws] { return haveDraws; });
    EXPECT_FALSE(action->isEnabled());
    haveDraws = true;
    QElapsedTimer timer;
    timer.start();
    while (!action->isEnabled() && timer.elapsed() < 5000) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    EXPECT_TRUE(action->isEnabled());
    // The shown state may be a tick old; the predicate is asked again when the command is run.
    haveDraws = false;
    action->trigger();
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(action->isEnabled());
}

TEST(ActionRegistry, ToggleShowsItsOptionWhateverWasClicked)
{
    TActionRegistry registry(nullptr, 60000);
    bool option = false;
    QAction* toggle = registry.AddToggle("OptionAutoUpdates", "Автообновление", [&option] { return option; },
                                         [&option] {
                                             StartWait();
                                             option = !option;
                                             StopWait();
                                         });
    EXPECT_TRUE(toggle->isCheckable());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(option);
    EXPECT_TRUE(toggle->isChecked());
    // Refused while busy: the check mark stays with the option.
    StartWait();
    toggle->trigger();
    StopWait();
    EXPECT_TRUE(option);
    EXPECT_TRUE(toggle->isChecked());
    option = false;   // changed elsewhere (a scenario, a restore)
    registry.UpdateAll();
    EXPECT_FALSE(toggle->isChecked());
}

TEST(ActionRegistry, FailingCommandIsShownInAnErrorBoxAndNamesAreUnique)
{
    TScriptedBoxes boxes;
    TActionRegistry registry(nullptr, 60000);
    registry.Add("StakesCheck", "Проверить", [] { throw Exception("Файл ставок не открыт!"); });
    EXPECT_TRUE(registry.Execute("StakesCheck"));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Last().Title, "Ошибка");
    EXPECT_EQ(boxes.Last().Text, "Файл ставок не открыт!");
    EXPECT_TRUE(IsNotWaiting());
    EXPECT_THROW(registry.Add("StakesCheck", "Ещё раз", [] {}), Exception);
    EXPECT_EQ(registry.Actions().size(), 1);
}

TEST(ActionRegistry, CommandMayDestroyTheRegistryThatRunsIt)
{
    auto* registry = new TActionRegistry(nullptr, 60000);
    registry->Add("FileExit", "Выход", [&registry] {
        delete registry;
        registry = nullptr;
    });
    QAction* action = registry->Action("FileExit");
    action->trigger();
    EXPECT_EQ(registry, nullptr);
}
