#pragma once

#include "FilerFrm/Drives.h"
#include "FilerFrm/FilerForm.h"
#include "FilerTestSupport.h"
#include "catalogue/PairList.h"
#include "support/CurrentDirectoryGuard.h"
#include "support/ReportRecorder.h"
#include "support/TempFolder.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace duoptic::testing {

// A Filer shown without a modal loop, on a fresh temporary folder; the current directory and
// the error report are put back afterwards.
class FilerFormFixture : public ::testing::Test {
protected:
    void TearDown() override { form.reset(); }

    void open(const std::string& folder, std::vector<std::string> driveRoots = {"/"},
              std::function<void()> showTips = {}) {
        form =
            std::make_unique<TFilerForm>(pairs, drives, std::move(driveRoots), std::move(showTips));
        form->setFolder(folder);
        form->buildFilerList();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    void activate() {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    template <typename Widget = QWidget> Widget* child(const char* name) const {
        auto* widget = form->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QListWidget* names() const { return child<QListWidget>("ListBox1"); }
    QListWidget* tree() const { return child<QListWidget>("DirListBox1"); }
    QSpinBox* interval() const { return child<QSpinBox>("seInterval"); }
    QComboBox* drivesBox() const { return child<QComboBox>("DriveComboBox1"); }

    static QStringList texts(const QListWidget* list) {
        QStringList rows;
        for (int r = 0; r < list->count(); ++r) {
            rows.push_back(list->item(r)->text());
        }
        return rows;
    }

    QImage preview() const { return child<QLabel>("Image1")->pixmap().toImage(); }
    QRgb previewCentre() const { return preview().pixel(83, 83); }

    void clickRow(QListWidget* list, int row) const {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void doubleClickRow(QListWidget* list, int row) const {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    int treeRowOf(const QString& label) const { return texts(tree()).indexOf(label); }

    CurrentDirectoryGuard cwd;
    TempFolder temp;
    ReportRecorder reports;
    PairList pairs;
    DriveMemory drives;
    std::unique_ptr<TFilerForm> form;
};

} // namespace duoptic::testing
