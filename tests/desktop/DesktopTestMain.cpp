// The dialog tests run in a QApplication of their own on the display of the
// test run (dialogs are shown, never waited on). Listing the tests, as the
// build does without a display, needs no application.
#include <QApplication>

#include <gtest/gtest.h>


int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
