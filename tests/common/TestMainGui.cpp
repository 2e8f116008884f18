#include "tests/common/LeakSuppressions.h"

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Widget tests run under the offscreen platform (set by CTest) with the Russian locale.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
