// GoogleTest's entry for the tests of windows and dialogs: they need a QApplication around every
// test (offscreen under CTest).
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
