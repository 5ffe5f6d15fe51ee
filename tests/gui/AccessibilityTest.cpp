#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <QAccessible>
#include <QApplication>
#include <QTest>

#include "WizardTestSupport.h"
#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "controls/CTextProgressCtrl.h"
#include "pages/CDialogStep2Dlg.h"
#include "platform/QtMessageBoxService.h"
#include "wizard/DialogControls.h"

namespace vok {
namespace {

using test::PumpUntil;
using test::Texts;

// Qt tells an assistive technology about changes only while one listens;
// this stands in for Orca and keeps the value changes it is told about.
class ListeningScreenReader {
public:
    ListeningScreenReader() {
        Changes().clear();
        m_previous = QAccessible::installUpdateHandler(&Record);
        Platform()->setActive(true);
    }
    ~ListeningScreenReader() {
        Platform()->setActive(false);
        QAccessible::installUpdateHandler(m_previous);
    }
    ListeningScreenReader(const ListeningScreenReader&) = delete;
    ListeningScreenReader& operator=(const ListeningScreenReader&) = delete;

    // The values each object was said to take, in order.
    static std::map<const QObject*, std::vector<int>>& Changes() {
        static std::map<const QObject*, std::vector<int>> changes;
        return changes;
    }

private:
    static QPlatformAccessibility* Platform() {
        return QGuiApplicationPrivate::platformIntegration()->accessibility();
    }
    static void Record(QAccessibleEvent* event) {
        if (event->type() == QAccessible::ValueChanged) {
            Changes()[event->object()].push_back(
                static_cast<QAccessibleValueChangeEvent*>(event)->value().toInt());
        }
    }

    QAccessible::UpdateHandler m_previous = nullptr;
};

QAccessibleInterface* Speaker(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

std::string Said(QObject* object, QAccessible::Text kind = QAccessible::Name) {
    return Speaker(object)->text(kind).toStdString();
}

class AccessibilityTest : public test::WizardTest {
protected:
    QWidget* Control(unsigned page, int id) { return DialogControls::Find(dialog->Page(page), id); }
};

TEST_F(AccessibilityTest, OwnControlsSpeakAsTheStandardControlsTheyImitate) {
    CFontLabel label;
    label.setText(QStringLiteral("R&D && Service"));  // drawn as it stands
    CTextProgressCtrl bar;
    bar.setText(QStringLiteral("Diagnosis Processing ... "));
    bar.SetRange32(1, 213);
    bar.SetPos(107);
    CIconButton button(QStringLiteral("Send to Service Center"));

    EXPECT_EQ(Speaker(&label)->role(), QAccessible::StaticText);
    EXPECT_EQ(Said(&label), "R&D && Service");
    EXPECT_EQ(Speaker(&button)->role(), QAccessible::Button);
    EXPECT_EQ(Said(&button), "Send to Service Center");

    QAccessibleInterface* speaker = Speaker(&bar);
    EXPECT_EQ(speaker->role(), QAccessible::ProgressBar);
    EXPECT_EQ(Said(&bar), "Diagnosis Processing ...");
    EXPECT_EQ(Said(&bar, QAccessible::Description), "Diagnosis Processing ... 50%");
    EXPECT_EQ(Said(&bar, QAccessible::Value), "50%");
    QAccessibleValueInterface* value = speaker->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 107);
    EXPECT_EQ(value->minimumValue().toInt(), 1);
    EXPECT_EQ(value->maximumValue().toInt(), 213);
}

// Every control a page shows has a role a screen reader knows and something
// to say: nothing is a nameless "panel".
TEST_F(AccessibilityTest, EveryVisibleControlOfEveryPageHasARoleAndAName) {
    Open();
    for (const int page : {kIdStartPage, kIdProgressPage, kIdUserPage, kIdServicePage,
                           kIdCompletionPage, kIdErrorPage}) {
        SCOPED_TRACE(page);
        if (page == kIdErrorPage) {
            dialog->ShowError(std::string(kMsgCheckCable));
        } else {
            dialog->SetActivePage(static_cast<unsigned>(page));
        }
        QAccessibleInterface* tree = Speaker(dialog.get());
        int controls = 0;
        for (int i = 0; i < tree->childCount(); ++i) {
            QAccessibleInterface* part = tree->child(i);
            if (part->state().invisible) {
                continue;
            }
            // The active page's controls, and the dialog's own footer.
            const bool isPage = part->object() == dialog->Page(static_cast<unsigned>(page));
            for (int j = 0; j < (isPage ? part->childCount() : 1); ++j) {
                QAccessibleInterface* control = isPage ? part->child(j) : part;
                if (control->state().invisible) {
                    continue;
                }
                SCOPED_TRACE(control->object()->objectName().toStdString());
                ++controls;
                EXPECT_NE(control->role(), QAccessible::NoRole);
                EXPECT_NE(control->role(), QAccessible::Client);
                EXPECT_FALSE(control->text(QAccessible::Name).trimmed().isEmpty() &&
                             control->text(QAccessible::Value).trimmed().isEmpty());
            }
        }
        EXPECT_GE(controls, 3);
    }
}

TEST_F(AccessibilityTest, EachFormBoxIsNamedByTheLabelBesideIt) {
    Open();
    const struct {
        unsigned page;
        int box;
        const char* label;
    } boxes[] = {
        {kIdUserPage, kIdcHospital, "Hospital Name"},
        {kIdUserPage, kIdcAddress, "Address"},
        {kIdUserPage, kIdcName, "Name"},
        {kIdUserPage, kIdcEmail, "e-Mail"},
        {kIdUserPage, kIdcPhone, "Tel Num."},
        {kIdUserPage, kIdcFax, "Fax Num."},
        {kIdUserPage, kIdcComment, "Comments"},
        {kIdServicePage, kIdcManufacture, "Manufacturer"},
        {kIdServicePage, kIdcModel, "Model"},
        {kIdServicePage, kIdcInstallDate, "Installation Date"},
        {kIdServicePage, kIdcSystemSerial, "System S/N"},
        {kIdServicePage, kIdcDescription, "Description"},
        {kIdServicePage, kIdcName, "Engineer Name"},
        {kIdServicePage, kIdcEmail, "Engineer eMail"},
        {kIdServicePage, kIdcEngPhone, "Engineer Phone"},
        {kIdServicePage, kIdcFax, "Fax Number"},
        {kIdServicePage, kIdcHisDate, "History Date"},
        {kIdServicePage, kIdcHisCause, "History Cause"},
        {kIdServicePage, kIdcHisAction, "History Action"},
    };
    for (const auto& expected : boxes) {
        SCOPED_TRACE(expected.label);
        QWidget* box = Control(expected.page, expected.box);
        ASSERT_NE(box, nullptr);
        QAccessibleInterface* speaker = Speaker(box);
        EXPECT_EQ(speaker->role(), QAccessible::EditableText);
        EXPECT_EQ(speaker->text(QAccessible::Name).toStdString(), expected.label);
        // The label is also told as the box's label, as Orca reads it.
        const auto labels = speaker->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels[0].first->text(QAccessible::Name).toStdString(), expected.label);
    }
}

TEST_F(AccessibilityTest, ProgressBarsTellTheirValuesAsTheAcquisitionMovesThem) {
    ListeningScreenReader reader;
    Open();
    Answer({kAnswerYes, kAnswerYes});
    static_cast<QPushButton*>(Control(kIdStartPage, kIdcStart))->click();
    ASSERT_TRUE(PumpUntil([&] { return Page() == kIdUserPage; }));

    const struct {
        int id;
        int upper;
    } bars[] = {{kIdcSystemBar, 213}, {kIdcLogBar, 226}};
    for (const auto& expected : bars) {
        SCOPED_TRACE(expected.id);
        QWidget* bar = Control(kIdProgressPage, expected.id);
        const std::vector<int>& told = ListeningScreenReader::Changes()[bar];
        ASSERT_GE(told.size(), 3u);
        // Told on the way, not only at the end, and never going back.
        EXPECT_TRUE(std::any_of(told.begin(), told.end(),
                                [&](int v) { return v > 1 && v < expected.upper; }));
        EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
        EXPECT_EQ(told.back(), expected.upper);
        QAccessibleValueInterface* value = Speaker(bar)->valueInterface();
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->currentValue().toInt(), expected.upper);
        EXPECT_EQ(value->minimumValue().toInt(), 1);
        EXPECT_EQ(value->maximumValue().toInt(), expected.upper);
        EXPECT_EQ(Said(bar, QAccessible::Value), "100%");
    }
}

TEST_F(AccessibilityTest, MessageBoxTellsItsTextAndButtons) {
    const auto box = QtMessageBoxService::MakeBox(std::string(kMsgStartQuestion),
                                                  QMessageBox::Yes | QMessageBox::No, nullptr);
    box->show();
    QStringList said;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        said << node->text(QAccessible::Name) << node->text(QAccessible::Value)
             << node->text(QAccessible::Description);
        for (int i = 0; i < node->childCount(); ++i) {
            walk(node->child(i));
        }
    };
    walk(Speaker(box.get()));
    EXPECT_TRUE(said.contains(QString::fromUtf8(kMsgStartQuestion.data())));
    EXPECT_TRUE(said.contains(QStringLiteral("Yes")));
    EXPECT_TRUE(said.contains(QStringLiteral("No")));
}

}  // namespace
}  // namespace vok
