#include "ViewTestSupport.h"

#include <QTest>
#include <QTimer>

#include <algorithm>

#include <gtest/gtest.h>

namespace duoptic::test {

ShownWindow::ShownWindow(const std::string& programFolder, int clientWidth, int clientHeight) {
    state.programFolder = programFolder;
    form = std::make_unique<TViewForm>(state);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // The placement checks the window's frame for a while after the show and puts its stored
    // size back; the size asked for here is set once it has done.
    const auto placing = [this] {
        const QList<QTimer*> timers = form->findChildren<QTimer*>(Qt::FindDirectChildrenOnly);
        return std::any_of(timers.begin(), timers.end(), [](QTimer* t) { return t->isActive(); });
    };
    QTRY_VERIFY_WITH_TIMEOUT(!placing(), 6000);
    form->resize(clientWidth, clientHeight);
    QCoreApplication::processEvents();
}

bool isGrey(QRgb pixel) {
    return (pixel & 0xFFFFFFu) == 0xC0C0C0u;
}

} // namespace duoptic::test
