#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QSignalSpy>

#include "QtTestApp.h"
#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "controls/CTextProgressCtrl.h"
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
    bar.setText("Diagnosis Processing ... ");
    bar.SetRange32(1, 213);
    bar.SetPos(0);
    EXPECT_EQ(bar.GetPos(), 1);
    EXPECT_EQ(bar.DisplayText(), "Diagnosis Processing ... 0%");
    bar.SetPos(213);
    EXPECT_EQ(bar.DisplayText(), "Diagnosis Processing ... 100%");
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

}  // namespace
}  // namespace vok
