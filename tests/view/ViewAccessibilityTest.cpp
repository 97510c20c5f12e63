// What a screen reader finds: a name on every control a user can focus or act on, in each form,
// and image areas named after the pair they show.
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include "ExportFrm/SaveAsForm.h"
#include "FilerFrm/Drives.h"
#include "FilerFrm/FilerForm.h"
#include "TipsFrm/TipsForm.h"

#include <QAccessible>
#include <QMenu>

#include <gtest/gtest.h>

namespace duoptic::test {
namespace {

// "object name (role) " for each node at and below `node` that can be focused or acted on (or is
// a picture) and has no name.
std::string unnamedControls(QAccessibleInterface* node) {
    const QAccessibleActionInterface* actions = node->actionInterface();
    const bool operable = node->state().focusable || node->valueInterface() != nullptr ||
                          node->role() == QAccessible::Graphic ||
                          (actions != nullptr && !actions->actionNames().isEmpty());
    std::string unnamed;
    if (operable && !node->state().invisible && node->text(QAccessible::Name).trimmed().isEmpty()) {
        unnamed = (node->object() ? node->object()->objectName().toStdString() : "") + " (" +
                  std::to_string(node->role()) + ") ";
    }
    for (int i = 0; i < node->childCount(); ++i) {
        unnamed += unnamedControls(node->child(i));
    }
    return unnamed;
}

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

TEST(ViewAccessibility, EveryOperableControlOfEachFormHasAName) {
    TempFolder program;
    ShownWindow window(program.slashed());
    PairList pairs;
    DriveMemory drives;
    TFilerForm filer(pairs, drives, {"/"}, {});
    TTipsForm tips;
    SaveAsForm saveAs(QStringLiteral("Save As"), {}, "name");
    EXPECT_EQ(unnamedControls(accessible(probe(*window.form).popupMenu())), "");
    for (QWidget* form :
         std::initializer_list<QWidget*>{window.form.get(), &filer, &tips, &saveAs}) {
        form->show();
        EXPECT_EQ(unnamedControls(accessible(form)), "") << form->objectName().toStdString();
    }
}

TEST(ViewAccessibility, ImageAreasAreNamedAfterThePairAndFollowReverse) {
    TempFolder program;
    TempFolder pictures;
    ShownWindow window(program.slashed());
    pictures.copyIn(testData("stereo/sugarshack.mpo"), "first.mpo");
    pictures.copyIn(testData("stereo/sugarshack.mpo"), "second.mpo");
    window.listFolder(pictures.slashed());
    QAccessibleInterface* left = accessible(window.form->findChild<QWidget*>("PaintBox1"));
    QAccessibleInterface* right = accessible(window.form->findChild<QWidget*>("PaintBox2"));
    for (int step = 0; step < 2; ++step) {
        window.form->next();
        const QString base = QString::fromStdString(window.navigator.onScreen()->baseName);
        const QString shown[] = {left->text(QAccessible::Name), right->text(QAccessible::Name)};
        EXPECT_TRUE(shown[0].contains(base) && shown[1].contains(base) && shown[0] != shown[1]);
        probe(*window.form).command(ViewCommand::ViewRevers)->trigger();
        EXPECT_EQ(left->text(QAccessible::Name), shown[1]);
        EXPECT_EQ(right->text(QAccessible::Name), shown[0]);
    }
}

} // namespace
} // namespace duoptic::test
