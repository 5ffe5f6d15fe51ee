#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include "WizardTestSupport.h"
#include "app/CAboutDlg.h"
#include "controls/CIconButton.h"
#include "pages/FormGroupBox.h"
#include "platform/QtMessageBoxService.h"
#include "resources/Icons.h"

namespace vok {
namespace {

class ControlsTest : public test::WizardTest {};

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
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        const int height =
            label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        EXPECT_EQ(height / QFontMetrics(label->font()).lineSpacing(), 1);
    }
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

// Rows of `image` above `bottom` with ink (anything but `paper`) between
// columns left and right.
std::vector<int> InkRows(const QImage& image, QColor paper, int left, int right, int bottom) {
    std::vector<int> rows;
    for (int y = 0; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (std::abs(image.pixelColor(x, y).lightness() - paper.lightness()) > 24) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

// The frame's top line runs through the title, and the title stands at the
// top of the box's place in the template.
TEST_F(ControlsTest, FormGroupTitleStandsOnTheFrameLineAtTheTemplatesTop) {
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
