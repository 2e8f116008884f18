#include "tests/common/LeakSuppressions.h"

#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Every test runs inside a Qt application object under the Russian locale, the locale
// whose separators (decimal comma, non-breaking group space) the program is used with.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
