#include <gtest/gtest.h>

#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "QtTestApp.h"
#include "WizardTestSupport.h"
#include "app/CAboutDlg.h"
#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "controls/CTextProgressCtrl.h"
#include "pages/FormGroupBox.h"
#include "platform/QtMessageBoxService.h"
#include "resources/Icons.h"
#include "testing/ScriptedMessageBoxService.h"

namespace vok {
namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override { test::QtApp(); }
};

TEST_F(ControlsTest, ProgressPercentIsRoundedAndThePositionClampedIntoTheRange) {
    CTextProgressCtrl bar;
    bar.SetRange32(0, 3);
    bar.SetPos(2);
    EXPECT_EQ(bar.Percent(), 67);
    bar.SetRange32(1, 213);
    bar.SetPos(0);
    EXPECT_EQ(bar.GetPos(), 1);
    EXPECT_EQ(bar.Percent(), 0);
}

TEST_F(ControlsTest, LabelDrawsAmpersandsAsTheyAre) {
    CFontLabel label;
    label.resize(400, 60);
    label.SetFont("Verdana", 16, Qt::white, CFontLabel::kAlignLeft);
    label.SetBkColor(Qt::black);
    const auto ink = [&](const QString& text) {
        label.setText(text);
        return test::CountPixels(label.grab().toImage(), Qt::white, 100);
    };
    const int one = ink("&");
    ASSERT_GT(one, 0);
    EXPECT_GT(ink("&&&&"), 3 * one);
}

TEST_F(ControlsTest, LabelWhoseFontCannotBeMadeSaysSoOnceAndDrawsNoText) {
    ScriptedMessageBoxService messages;
    CFontLabel label;
    label.resize(100, 40);
    label.SetMessageBoxService(&messages);
    label.SetFont("", 16, Qt::white, 0);
    label.SetBkColor(Qt::black);
    label.setText("text");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(test::CountPixels(label.grab().toImage(), Qt::black, 0), 100 * 40);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(messages.Notices(), std::vector<std::string>{"Font could not be created!"});
}

TEST_F(ControlsTest, DoubleClickIsTwoClicks) {
    CIconButton button("Skip");
    button.resize(90, 40);
    button.show();
    QSignalSpy clicks(&button, &QPushButton::clicked);
    const QPointF at(20, 20);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent event(type, at, at, at, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&button, &event);
    }
    EXPECT_EQ(clicks.count(), 2);
}

// Whatever brought the focus (the initial focus too), the focused button
// looks unlike a plain and unlike a hovered one, and keeps its mark under
// the mouse.
TEST_F(ControlsTest, FocusedIconButtonShowsAMarkThatHoverDoesNot) {
    for (const Qt::FocusReason reason : {Qt::OtherFocusReason, Qt::ActiveWindowFocusReason,
                                         Qt::TabFocusReason, Qt::MouseFocusReason}) {
        SCOPED_TRACE(reason);
        QWidget window;
        CIconButton other("Homepage", &window);
        CIconButton button("Next", &window);
        button.SetIcon(kIconNext);
        button.setGeometry(0, 50, 100, 40);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        other.setFocus();
        const auto look = [&](bool hovered) {
            const QPointF inside(10, 10);
            QEnterEvent enter(inside, inside, inside);
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&button, hovered ? static_cast<QEvent*>(&enter) : &leave);
            return button.grab().toImage();
        };
        const QImage plain = look(false);
        const QImage hovered = look(true);
        button.setFocus(reason);
        ASSERT_TRUE(button.hasFocus());
        const QImage focusedHovered = look(true);
        const QImage focused = look(false);
        EXPECT_TRUE(hovered != plain) << "hover shows nothing";
        EXPECT_TRUE(focused != plain) << "focus shows nothing";
        EXPECT_TRUE(focused != hovered) << "focus looks like hover";
        EXPECT_TRUE(focusedHovered != hovered) << "hover hides the focus";
    }
}

// The lines a shown message box's text takes.
int LinesOf(const QMessageBox& box) {
    const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label == nullptr) {
        return 0;
    }
    const int height =
        label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
    return height / QFontMetrics(label->font()).lineSpacing();
}

TEST_F(ControlsTest, MessageBoxesShowNoIconAndEveryOwnMessageOnOneLine) {
    for (const std::string_view text :
         {kMsgExitNotCompleted, kMsgSkipNotCompleted, kMsgExitSoftware, kMsgSureInformation,
          kMsgGoPreview, kMsgFontNotCreated, kUploadSuccessMessage, kUploadFailedMessage,
          kMsgCannotEnable, kMsgStartQuestion, kMsgGoNextQuestion, kMsgSendQuestion,
          kMsgOperationCancel, kMsgLoadSendQuestion, kMsgNoReportFile}) {
        SCOPED_TRACE(text);
        const auto buttons = text.find('?') != std::string_view::npos
                                 ? QMessageBox::Yes | QMessageBox::No
                                 : QMessageBox::StandardButtons(QMessageBox::Ok);
        const auto box = QtMessageBoxService::MakeBox(std::string(text), buttons, nullptr);
        box->show();
        QCoreApplication::processEvents();
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_TRUE(box->iconPixmap().isNull());
        EXPECT_EQ(LinesOf(*box), 1);
    }
}

// A system's error text may be longer than any line a screen holds: it
// wraps, inside the screen, and is shown as written, "<" and all.
TEST_F(ControlsTest, MessageBoxWrapsALongSystemTextInsideTheScreen) {
    const std::string text =
        std::string(kErrorMessagePrefix) + "Cannot write <home>/" + std::string(40, 'x') +
        "/REPORT: " + "No space left on device, and more words after it " + std::string(120, 'y');
    const auto box = QtMessageBoxService::MakeBox(text, QMessageBox::Ok, nullptr);
    box->show();
    QCoreApplication::processEvents();
    EXPECT_GT(LinesOf(*box), 1);
    EXPECT_LE(box->frameGeometry().width(), box->screen()->availableGeometry().width());
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

TEST_F(ControlsTest, AboutBoxShowsTheMakersNoticeOnOneLineInsideTheBox) {
    CAboutDlg about;
    const QLabel* notice = nullptr;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        if (label->text().startsWith(QStringLiteral("Copyright"))) {
            notice = label;
        }
    }
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(notice->wordWrap());
    EXPECT_LE(notice->fontMetrics().horizontalAdvance(notice->text()), notice->width());
    EXPECT_LE(notice->geometry().right(), about.width());
}

// Rows of `image` in [top, bottom) with ink (anything but `paper`) between
// columns left and right.
std::vector<int> InkRows(const QImage& image, QColor paper, int left, int right, int bottom) {
    std::vector<int> rows;
    for (int y = 0; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.lightness() - paper.lightness()) > 24) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

class PageLookTest : public test::WizardTest {};

// The frame's top line runs through the title, and the title stands at the
// top of the box's place in the template.
TEST_F(PageLookTest, FormGroupTitleStandsOnTheFrameLineAtTheTemplatesTop) {
    Open();
    for (const int page : {kIdUserPage, kIdServicePage}) {
        SCOPED_TRACE(page);
        auto* box = dialog->Page(page)->findChild<QGroupBox*>();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->y(), DialogUnits(box->font()).Y(kFormGroupRect.y));
        const QImage image = box->grab().toImage();
        const QColor paper = box->palette().color(QPalette::Window);
        const int lineHeight = box->fontMetrics().height();
        const int titleEnd = box->fontMetrics().horizontalAdvance(box->title());
        // The frame line: the first row drawn all across, right of the title.
        const std::vector<int> frame =
            InkRows(image, paper, titleEnd + lineHeight, box->width() - lineHeight, 3 * lineHeight);
        ASSERT_FALSE(frame.empty());
        // The title and the stretch of frame before it.
        const std::vector<int> title = InkRows(image, paper, 4, titleEnd, 2 * lineHeight);
        ASSERT_FALSE(title.empty());
        EXPECT_LE(title.front(), 2);
        // One run of rows: no gap between the title and the line below it.
        EXPECT_EQ(title.back() - title.front() + 1, static_cast<int>(title.size()));
        EXPECT_GT(frame.front(), title.front());
        EXPECT_LT(frame.front(), title.back());
    }
}

}  // namespace
}  // namespace vok
