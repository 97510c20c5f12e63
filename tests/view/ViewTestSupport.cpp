#include "ViewTestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

namespace duoptic::test {

ShownWindow::ShownWindow(const std::string& programFolder, int clientWidth, int clientHeight) {
    state.programFolder = programFolder;
    form = std::make_unique<TViewForm>(state);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->resize(clientWidth, clientHeight);
    QCoreApplication::processEvents();
}

bool isGrey(QRgb pixel) {
    return (pixel & 0xFFFFFFu) == 0xC0C0C0u;
}

} // namespace duoptic::test
