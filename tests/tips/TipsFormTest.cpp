#include "TipsFrm/TipsForm.h"
#include "TipsFrm/HelpText.h"
#include "resources/Resources.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using duoptic::TTipsForm;

const QString kFigurePath = QString::fromLatin1(duoptic::resources::kTipsFigure);

// A freshly opened dialog, shown and active as a user would meet it.
class TipsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TTipsForm>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    template <typename T> T* child(const char* name) const {
        return form->findChild<T*>(QLatin1String(name));
    }

    std::unique_ptr<TTipsForm> form;
};

TEST_F(TipsDialog, IsAFixedDialogWithOnlyACloseBox) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Duoptic - Tips"));
    EXPECT_EQ(form->size(), QSize(335, 391));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST_F(TipsDialog, IsCentredOnTheScreen) {
    const QRect avail = form->screen()->availableGeometry();
    const QRect outer = form->frameGeometry();
    EXPECT_LE(std::abs((outer.left() - avail.left()) - (avail.right() - outer.right())), 1);
    EXPECT_LE(std::abs((outer.top() - avail.top()) - (avail.bottom() - outer.bottom())), 1);
}

TEST_F(TipsDialog, DialogFontIsA12PixelFaceWithJapaneseGlyphs) {
    const QFont font = child<QPlainTextEdit>("Memo1")->font();
    EXPECT_EQ(QFontInfo(font).pixelSize(), 12);
    const QRawFont raw = QRawFont::fromFont(font);
    for (char32_t ch : {U'フ', U'ァ', U'イ', U'ル', U'開'}) {
        EXPECT_TRUE(raw.supportsCharacter(ch)) << "U+" << std::hex << unsigned(ch);
    }
}

TEST_F(TipsDialog, TitleIsBoldUnderlinedSans15Pixels) {
    const QFont font = child<QLabel>("Label1")->font();
    const QFontInfo info(font);
    EXPECT_EQ(info.pixelSize(), 15);
    EXPECT_TRUE(info.bold());
    EXPECT_TRUE(info.underline());
    EXPECT_NE(info.styleHint(), QFont::Serif);
}

struct ControlRow {
    const char* name;
    const char* parent; // object name of the enclosing widget
    QRect geometry;     // relative to the parent
    const char* text;   // nullptr where the control has no caption
};

void PrintTo(const ControlRow& row, std::ostream* os) {
    *os << row.name;
}

class TipsControl : public TipsDialog, public ::testing::WithParamInterface<ControlRow> {};

TEST_P(TipsControl, SitsWhereLaidOutWithItsCaption) {
    const ControlRow& row = GetParam();
    const QWidget* widget = child<QWidget>(row.name);
    ASSERT_NE(widget, nullptr);
    ASSERT_NE(widget->parentWidget(), nullptr);
    EXPECT_EQ(widget->parentWidget()->objectName(), QLatin1String(row.parent));
    if (!row.text) {
        EXPECT_EQ(widget->geometry(), row.geometry);
        return;
    }
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        text = label->text();
        // Captions size themselves to their text in the face at hand, never below the layout.
        EXPECT_EQ(widget->pos(), row.geometry.topLeft());
        EXPECT_GE(widget->width(), row.geometry.width());
        EXPECT_GE(widget->height(), row.geometry.height());
    } else if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        text = button->text();
        EXPECT_EQ(widget->geometry(), row.geometry);
    }
    EXPECT_EQ(text, QString::fromUtf8(row.text));
    const QFontMetrics metrics(widget->font());
    EXPECT_LE(metrics.horizontalAdvance(text), widget->width());
    EXPECT_LE(metrics.height(), widget->height());
}

TEST_F(TipsDialog, CaptionsRunIntoNothingButEachOther) {
    const QList<QLabel*> labels = form->findChildren<QLabel*>();
    for (const QLabel* label : labels) {
        const QWidget* parent = label->parentWidget();
        EXPECT_TRUE(parent->contentsRect().contains(label->geometry()))
            << label->objectName().toStdString();
        for (const QObject* object : parent->children()) {
            const auto* sibling = qobject_cast<const QWidget*>(object);
            if (sibling && sibling != label && !qobject_cast<const QLabel*>(sibling)) {
                EXPECT_FALSE(sibling->geometry().intersects(label->geometry()))
                    << label->objectName().toStdString() << " over "
                    << sibling->objectName().toStdString();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layout, TipsControl,
    ::testing::Values(
        ControlRow{"Panel1", "TipsForm", {0, 0, 335, 225}, nullptr},
        ControlRow{"Label1", "Panel1", {61, 8, 213, 18}, "Stereo Photo Viewer - Duoptic"},
        ControlRow{"Label2", "Panel1", {52, 32, 201, 12}, "Programmed by the Duoptic team"},
        ControlRow{"Label5", "Panel1", {52, 44, 232, 12}, "Stereo photography for everyone, 2026"},
        ControlRow{"Memo1", "Panel1", {1, 64, 333, 160}, nullptr},
        ControlRow{"Panel2", "TipsForm", {0, 228, 261, 163}, nullptr},
        ControlRow{"Image1", "Panel2", {1, 1, 259, 161}, nullptr},
        ControlRow{"Button1", "TipsForm", {272, 316, 57, 25}, "OK"},
        ControlRow{"Label3", "TipsForm", {280, 352, 39, 12}, "Version"},
        ControlRow{"Label4", "TipsForm", {296, 368, 20, 12}, "2.01"}),
    [](const ::testing::TestParamInfo<ControlRow>& info) { return std::string(info.param.name); });

TEST_F(TipsDialog, PanelsHaveAOnePixelLoweredBevel) {
    for (const char* name : {"Panel1", "Panel2"}) {
        const QFrame* panel = child<QFrame>(name);
        ASSERT_NE(panel, nullptr) << name;
        EXPECT_EQ(panel->frameShape(), QFrame::Panel) << name;
        EXPECT_EQ(panel->frameShadow(), QFrame::Sunken) << name;
        EXPECT_EQ(panel->frameWidth(), 1) << name;
    }
}

TEST_F(TipsDialog, MemoShowsEveryLineOfTheHelpTextAndAnEmptyLastLine) {
    const QPlainTextEdit* memo = child<QPlainTextEdit>("Memo1");
    const QStringList lines = duoptic::tipsHelpText().split(QStringLiteral("\r\n"));
    const QTextDocument* doc = memo->document();
    ASSERT_EQ(doc->blockCount(), lines.size());
    for (int i = 0; i < doc->blockCount(); ++i) {
        EXPECT_EQ(doc->findBlockByNumber(i).text(), lines.at(i)) << "line " << i + 1;
    }
}

TEST_F(TipsDialog, MemoLooksLikePartOfThePanel) {
    const QPlainTextEdit* memo = child<QPlainTextEdit>("Memo1");
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(memo->verticalScrollBar()->isVisible());
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo->viewport()->palette().color(QPalette::Base),
              form->palette().color(QPalette::Button));
    EXPECT_EQ(form->palette().color(QPalette::Window), form->palette().color(QPalette::Button));
}

TEST_F(TipsDialog, MemoScrollsByKeyboardAfterAClickButCannotBeEdited) {
    auto* memo = child<QPlainTextEdit>("Memo1");
    EXPECT_TRUE(memo->isReadOnly());
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, {20, 20});
    ASSERT_TRUE(memo->hasFocus());
    QTest::keyClick(form->windowHandle(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_GT(memo->verticalScrollBar()->value(), 0);
    // The text ends with a line break, so the end shows an empty last line.
    const QTextCursor cursor = memo->textCursor();
    EXPECT_EQ(cursor.blockNumber(), memo->document()->blockCount() - 1);
    EXPECT_TRUE(cursor.block().text().isEmpty());
    EXPECT_TRUE(memo->viewport()->rect().contains(memo->cursorRect()));
    QTest::keyClicks(memo, QStringLiteral("xy"));
    QTest::keyClick(form->windowHandle(), Qt::Key_Backspace);
    EXPECT_EQ(
        memo->toPlainText(),
        QString(duoptic::tipsHelpText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

TEST_F(TipsDialog, OkButtonIsTheOnlyStopInTheTabOrder) {
    const QWidget* button = child<QPushButton>("Button1");
    EXPECT_EQ(QApplication::focusWidget(), button);
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab}) {
        QTest::keyClick(form->windowHandle(), key);
        EXPECT_EQ(QApplication::focusWidget(), button);
    }
}

struct KeyRow {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool closes;
};

void PrintTo(const KeyRow& row, std::ostream* os) {
    *os << row.name;
}

class TipsKey : public TipsDialog, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(TipsKey, ClosesWithOkOrStaysOpen) {
    const KeyRow& row = GetParam();
    QSignalSpy accepted(form.get(), &QDialog::accepted);
    QSignalSpy rejected(form.get(), &QDialog::rejected);
    QTest::keyClick(form->windowHandle(), row.key, row.modifiers);
    EXPECT_EQ(form->isVisible(), !row.closes);
    EXPECT_EQ(rejected.count(), 0);
    EXPECT_EQ(accepted.count(), row.closes ? 1 : 0);
    if (row.closes) {
        EXPECT_EQ(form->result(), QDialog::Accepted);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TipsKey,
    ::testing::Values(KeyRow{"Escape", Qt::Key_Escape, {}, false},
                      KeyRow{"Return", Qt::Key_Return, {}, true},
                      KeyRow{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, true},
                      KeyRow{"Space", Qt::Key_Space, {}, true}),
    [](const ::testing::TestParamInfo<KeyRow>& info) { return std::string(info.param.name); });

TEST_F(TipsDialog, CloseBoxGivesCancel) {
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Rejected);
}

TEST_F(TipsDialog, ClickOnOkGivesOk) {
    QTest::mouseClick(child<QPushButton>("Button1"), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST(ShowTips, RunsModallyOverItsParentAndIsGoneAfterwards) {
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));

    QPointer<QWidget> seen;
    bool over = false;
    QTimer::singleShot(0, [&] {
        seen = QApplication::activeModalWidget();
        ASSERT_NE(seen.data(), nullptr);
        over = seen->parentWidget() == &owner;
        QTest::keyClick(seen.data(), Qt::Key_Return);
    });
    EXPECT_EQ(duoptic::showTips(&owner), QDialog::Accepted);
    EXPECT_TRUE(over);
    EXPECT_TRUE(seen.isNull());
    EXPECT_TRUE(owner.findChildren<TTipsForm*>().isEmpty());
}

// Pixel value that names its own position, so that any shift shows up.
QImage positionPattern(QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            image.setPixel(x, y, qRgb(x & 0xff, y & 0xff, 0x80 + ((x >> 8) << 4) + (y >> 8)));
        }
    }
    return image;
}

struct PlacementRow {
    const char* name;
    QSize picture;
    QSize area;
    QPoint offset; // where the picture's top-left pixel lands in the area
};

void PrintTo(const PlacementRow& row, std::ostream* os) {
    *os << row.name;
}

class Placement : public ::testing::TestWithParam<PlacementRow> {};

TEST_P(Placement, DrawsThePictureUnscaledAtTheOffset) {
    const PlacementRow& row = GetParam();
    const QImage picture = positionPattern(row.picture);
    const QImage placed = duoptic::centredUnscaled(QPixmap::fromImage(picture), row.area)
                              .toImage()
                              .convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(placed.size(), row.area);
    for (int y = 0; y < row.area.height(); ++y) {
        for (int x = 0; x < row.area.width(); ++x) {
            const QPoint source = QPoint(x, y) - row.offset;
            const QRgb expected =
                picture.rect().contains(source) ? picture.pixel(source) : qRgba(0, 0, 0, 0);
            ASSERT_EQ(placed.pixel(x, y), expected) << "at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Centring, Placement,
    ::testing::Values(PlacementRow{"FigureInItsFrame", {256, 164}, {259, 161}, {1, -1}},
                      PlacementRow{"SameSize", {20, 10}, {20, 10}, {0, 0}},
                      PlacementRow{"SmallerByOdd", {10, 10}, {13, 15}, {1, 2}},
                      PlacementRow{"LargerByOne", {5, 7}, {4, 6}, {0, 0}}),
    [](const ::testing::TestParamInfo<PlacementRow>& info) {
        return std::string(info.param.name);
    });

TEST_F(TipsDialog, FigureLosesItsTopRowAndTwoBottomRowsAndSitsOnePixelIn) {
    if (!QFile::exists(kFigurePath)) {
        GTEST_SKIP() << "the figure is not part of this build";
    }
    const QImage figure = QImage(kFigurePath).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(figure.size(), QSize(256, 164));
    const QImage shown =
        child<QLabel>("Image1")->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(259, 161));
    for (int y = 0; y < 161; ++y) {
        for (int x = 0; x < 256; ++x) {
            ASSERT_EQ(shown.pixel(x + 1, y), figure.pixel(x, y + 1)) << "at " << x + 1 << "," << y;
        }
    }
}

} // namespace
