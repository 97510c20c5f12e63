#include "ViewTestSupport.h"

#include <QTest>
#include <QTimer>

#include <algorithm>

#include <gtest/gtest.h>

namespace duoptic::test {

ShownWindow::ShownWindow(const std::string& programFolder, int clientWidth, int clientHeight) {
    state = readProgramState(programFolder);
    form = std::make_unique<TViewForm>(state, navigator);
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

void ShownWindow::listFolder(const std::string& folder) {
    PairList list;
    scanFolderForPairs(folder, list);
    navigator.open(PairNavigator::Listing{std::move(list), std::nullopt}, ViewerSides::Parallel);
}

void ShownWindow::replaceList(std::vector<PairEntry> entries) {
    PairList list;
    for (PairEntry& entry : entries) {
        list.append(std::move(entry));
    }
    navigator.open(PairNavigator::Listing{std::move(list), 0}, ViewerSides::Parallel);
}

void ShownWindow::setCursor(int entry) {
    navigator.open(PairNavigator::Entry{entry}, ViewerSides::Parallel);
}

bool isGrey(QRgb pixel) {
    return (pixel & 0xFFFFFFu) == 0xC0C0C0u;
}

} // namespace duoptic::test
