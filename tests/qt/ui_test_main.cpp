#include "tests/qt/qtdriver.h"

#include <QApplication>

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    // Dialog tests run without a display unless one is asked for.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    QtDriver driver;
    SetDriver(&driver);
    return RUN_ALL_TESTS();
}
