#include "app/ui/shell/ProgramEnv.h"

#include <QApplication>

#include <gtest/gtest.h>

// The start of the program's own main: the locale is set up before the application object,
// and nothing pins another one.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    IgnoreFileSizeSignal();
    UseRussianInterfaceLocale();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
