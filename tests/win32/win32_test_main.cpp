#include "tests/win32/win32driver.h"

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    testing::InitGoogleTest(&argc, argv);
    Win32Driver driver;
    SetDriver(&driver);
    return RUN_ALL_TESTS();
}
