#include <QApplication>

#include <gtest/gtest.h>

// The dialog tests need a QApplication around every test; this main replaces gtest_main's.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
