#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "QtTestApp.h"
#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "controls/CTextProgressCtrl.h"
#include "core/Constants.h"
#include "platform/ScriptedMessageBoxService.h"
#include "resources/Icons.h"

namespace vok {
namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override { test::QtApp(); }
};

TEST_F(ControlsTest, ProgressPercentIsRoundedNotTruncated) {
    CTextProgressCtrl bar;
    bar.SetRange32(0, 3);
    bar.SetPos(2);
    EXPECT_EQ(bar.Percent(), 67);
    bar.SetPos(1);
    EXPECT_EQ(bar.Percent(), 33);

    bar.setText("Diagnosis Processing ... ");
    bar.SetRange32(1, 213);
    bar.SetPos(1);
    EXPECT_EQ(bar.DisplayText(), "Diagnosis Processing ... 0%");
    bar.SetPos(213);
    EXPECT_EQ(bar.DisplayText(), "Diagnosis Processing ... 100%");
    bar.SetPos(0);
    EXPECT_EQ(bar.GetPos(), 1);
    EXPECT_EQ(bar.DisplayText(), "Diagnosis Processing ... 0%");

    EXPECT_TRUE(bar.SetShowPercent(false));
    EXPECT_EQ(bar.DisplayText(), "Diagnosis Processing ... ");
}

TEST_F(ControlsTest, ProgressPositionIsClampedAndStepWrapsRoundPastEitherBound) {
    CTextProgressCtrl bar;
    EXPECT_EQ(bar.SetPos(40), 0);
    EXPECT_EQ(bar.SetPos(250), 40);
    EXPECT_EQ(bar.GetPos(), 100);
    EXPECT_EQ(bar.Percent(), 100);
    EXPECT_EQ(bar.SetPos(-5), 100);
    EXPECT_EQ(bar.GetPos(), 0);
    EXPECT_EQ(bar.DeltaPos(30), 0);
    EXPECT_EQ(bar.DeltaPos(90), 30);
    EXPECT_EQ(bar.GetPos(), 100);

    EXPECT_EQ(bar.SetStep(30), 10);
    bar.SetPos(80);
    bar.StepIt();
    EXPECT_EQ(bar.GetPos(), 10);  // 110 is 10 past the upper bound
    bar.SetStep(-25);
    bar.StepIt();
    EXPECT_EQ(bar.GetPos(), 85);  // -15 is 15 short of the lower bound
    bar.SetStep(10);
    bar.SetPos(90);
    bar.StepIt();
    EXPECT_EQ(bar.GetPos(), 100);  // landing on the bound stays there
}

TEST_F(ControlsTest, ProgressTextTakesTheColourOfWhatLiesUnderIt) {
    CTextProgressCtrl bar;
    bar.resize(300, 30);
    QFont font = bar.font();
    font.setPixelSize(20);
    bar.setFont(font);
    bar.SetShowPercent(false);
    bar.setText("MMMMMMMMMMMMMMMM");
    bar.SetBarColor(QColor(0, 0, 255));
    bar.SetBkColor(QColor(128, 128, 128));
    bar.SetTextForeColor(QColor(255, 0, 0));
    bar.SetTextBkColor(QColor(0, 255, 0));
    bar.SetPos(50);

    const QImage image = test::Grab(bar);
    const int middle = 2 + (300 - 4) / 2;
    const QRect left(0, 0, middle, 30);
    const QRect right(middle, 0, 300 - middle, 30);
    EXPECT_GT(test::CountPixels(image, left, QColor(255, 0, 0)), 20);
    EXPECT_EQ(test::CountPixels(image, left, QColor(0, 255, 0), 10), 0);
    EXPECT_GT(test::CountPixels(image, right, QColor(0, 255, 0)), 20);
    EXPECT_EQ(test::CountPixels(image, right, QColor(255, 0, 0), 10), 0);
    EXPECT_GT(test::CountPixels(image, left, QColor(0, 0, 255), 10), 1000);
    EXPECT_GT(test::CountPixels(image, right, QColor(128, 128, 128), 10), 1000);
}

TEST_F(ControlsTest, LabelStyleBitsOnlyAddButAlignmentIsSetByEveryCall) {
    CFontLabel label;
    label.SetFont("Verdana", 16, Qt::white, CFontLabel::kBold);
    label.SetFont("Verdana", 16, Qt::white, CFontLabel::kItalic | CFontLabel::kAlignRight);
    EXPECT_TRUE(label.IsBold());
    EXPECT_TRUE(label.IsItalic());
    EXPECT_FALSE(label.IsUnderline());
    EXPECT_EQ(label.TextAlignment(), CFontLabel::Alignment::Right);

    label.SetFont("Verdana", 16, Qt::white, CFontLabel::kUnderline | CFontLabel::kStrikeOut);
    EXPECT_TRUE(label.IsBold());
    EXPECT_TRUE(label.IsUnderline());
    EXPECT_TRUE(label.IsStrikeOut());
    EXPECT_EQ(label.TextAlignment(), CFontLabel::Alignment::Left);

    label.SetFont("Verdana", 16, Qt::white, CFontLabel::kAlignCentre | CFontLabel::kAlignRight);
    EXPECT_EQ(label.TextAlignment(), CFontLabel::Alignment::Centre);
    label.SetFont("Verdana", 16, Qt::white, 0);
    EXPECT_EQ(label.TextAlignment(), CFontLabel::Alignment::Left);

    const std::optional<QFont> font = label.MakeFont();
    ASSERT_TRUE(font.has_value());
    EXPECT_TRUE(font->italic());
    EXPECT_EQ(font->weight(), QFont::Black);
    EXPECT_LE(QFontMetrics(*font).height(), 16);  // the height is the cell's
}

// Ink: pixels of the text colour in the label's image.
int Ink(CFontLabel& label, const QString& text) {
    label.setText(text);
    return test::CountPixels(test::Grab(label), label.rect(), Qt::white, 100);
}

TEST_F(ControlsTest, LabelDrawsAmpersandsAsTheyAre) {
    CFontLabel label;
    label.resize(400, 60);
    label.SetFont("Verdana", 16, Qt::white, CFontLabel::kAlignLeft);
    label.SetBkColor(Qt::black);
    const int one = Ink(label, "&");
    const int four = Ink(label, "&&&&");
    ASSERT_GT(one, 0);
    EXPECT_GT(four, 3 * one);
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
        const QImage image = test::Grab(label);
        EXPECT_EQ(test::CountPixels(image, label.rect(), Qt::black, 0), 100 * 40);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(messages.Notices(), std::vector<std::string>{"Font could not be created!"});
}

TEST_F(ControlsTest, EveryIconHasPixels) {
    for (const int id : {kIconApplication, kIconBack, kIconExit, kIconHomepage, kIconLoad,
                         kIconNext, kIconReport, kIconSend, kIconSkip, kIconStart}) {
        ASSERT_TRUE(Icons::Exists(id)) << id;
        const QImage image = Icons::Pixmap(id, 32).toImage();
        ASSERT_FALSE(image.isNull()) << id;
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
            }
        }
        EXPECT_GT(opaque, 32 * 32 / 5) << id;
    }
    EXPECT_FALSE(Icons::Exists(135));
    EXPECT_TRUE(Icons::Pixmap(135, 32).isNull());
}

TEST_F(ControlsTest, ButtonBorderIsFlatRaisedUnderTheMouseAndSunkenWhenPressed) {
    CIconButton button("Exit");
    button.resize(90, 40);
    const QPalette& palette = button.palette();
    const QColor face = palette.color(QPalette::Button);
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    ASSERT_NE(light, dark);

    QImage image = test::Grab(button);
    EXPECT_EQ(image.pixel(0, 20), face.rgb());
    EXPECT_EQ(image.pixel(89, 20), face.rgb());

    // A drag that started elsewhere does not light the button up.
    const auto move = [&](Qt::MouseButtons held) {
        QMouseEvent event(QEvent::MouseMove, QPointF(12, 12), QPointF(12, 12), QPointF(12, 12),
                          Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(&button, &event);
    };
    move(Qt::LeftButton);
    EXPECT_FALSE(button.IsHovered());
    move(Qt::NoButton);
    ASSERT_TRUE(button.IsHovered());
    image = test::Grab(button);
    EXPECT_EQ(image.pixel(0, 20), light.rgb());
    EXPECT_EQ(image.pixel(89, 20), dark.rgb());

    button.setDown(true);
    image = test::Grab(button);
    EXPECT_EQ(image.pixel(0, 20), dark.rgb());
    EXPECT_EQ(image.pixel(89, 20), light.rgb());

    button.setDown(false);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.IsHovered());
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

TEST_F(ControlsTest, DisabledButtonEmbossesItsCaption) {
    CIconButton button("WWWW");
    button.resize(120, 40);
    QFont font = button.font();
    font.setPixelSize(18);
    button.setFont(font);
    const QColor text = button.palette().color(QPalette::ButtonText);
    const QColor light = button.palette().color(QPalette::Light);
    EXPECT_GT(test::CountPixels(test::Grab(button), button.rect(), text, 10), 10);

    button.setEnabled(false);
    const QImage image = test::Grab(button);
    EXPECT_EQ(test::CountPixels(image, button.rect(), text, 10), 0);
    EXPECT_GT(test::CountPixels(image, button.rect(), button.palette().color(QPalette::Dark), 10),
              10);
    EXPECT_GT(test::CountPixels(image, button.rect(), light, 0), 0);
}

}  // namespace
}  // namespace vok
