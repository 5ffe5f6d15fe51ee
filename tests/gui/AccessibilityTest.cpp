#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <QAccessible>
#include <QFileDialog>
#include <QTest>
#include <QTimer>

#include "../upload/LoopbackHttpServer.h"
#include "WizardTestSupport.h"
#include "platform/QtDesktopShell.h"
#include "report/ReportFileReader.h"

namespace vok {
namespace {

using test::kYes;
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

class AccessibilityTest : public test::WizardTest {};

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
    std::vector<QWidget*> boxes(User().m_edtUser.begin(), User().m_edtUser.end());
    boxes.push_back(User().m_edtComment);
    boxes.insert(boxes.end(), Service().m_edtService.begin(), Service().m_edtService.end());
    const std::vector<std::string> labels = {
        "Hospital Name", "Address",      "Name",          "e-Mail",         "Tel Num.",
        "Fax Num.",      "Comments",     "Manufacturer",  "Model",          "Installation Date",
        "System S/N",    "Description",  "Engineer Name", "Engineer eMail", "Engineer Phone",
        "Fax Number",    "History Date", "History Cause", "History Action"};
    ASSERT_EQ(boxes.size(), labels.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(labels[i]);
        QAccessibleInterface* speaker = Speaker(boxes[i]);
        EXPECT_EQ(speaker->role(), QAccessible::EditableText);
        EXPECT_EQ(speaker->text(QAccessible::Name).toStdString(), labels[i]);
        // The label is also told as the box's label, as Orca reads it.
        const auto told = speaker->relations(QAccessible::Label);
        ASSERT_EQ(told.size(), 1);
        EXPECT_EQ(told[0].first->text(QAccessible::Name).toStdString(), labels[i]);
    }
}

TEST_F(AccessibilityTest, ProgressBarsTellTheirValuesAsTheAcquisitionMovesThem) {
    ListeningScreenReader reader;
    Open();
    Answer({kYes, kYes});
    Start().m_btnStart.click();
    ASSERT_TRUE(PumpUntil([&] { return Page() == kIdUserPage; }));

    for (const auto& [bar, upper] :
         {std::pair<QWidget*, int>{&Progress().m_ctrlSystemProgress, 213},
          {&Progress().m_ctrlLogProgress, 226}}) {
        SCOPED_TRACE(upper);
        const std::vector<int>& told = ListeningScreenReader::Changes()[bar];
        ASSERT_GE(told.size(), 3u);
        // Told on the way, not only at the end, and never going back.
        EXPECT_TRUE(
            std::any_of(told.begin(), told.end(), [&](int v) { return v > 1 && v < upper; }));
        EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
        EXPECT_EQ(told.back(), upper);
        // And asked afterwards, it says where it stands.
        EXPECT_EQ(Said(bar, QAccessible::Value), "100%");
    }
}

// A desktop that records what the browser and the end of the program would
// have done, with the real file dialog.
class KeyboardDesktop : public DesktopShell {
public:
    void OpenUrl(const std::string& url) override { urls.push_back(url); }
    void PlayErrorSound(const std::filesystem::path& /*file*/) override {}
    std::optional<std::filesystem::path> ChooseFileToOpen(const FileChoice& choice) override {
        return files.ChooseFileToOpen(choice);
    }
    void ExitProcess() override { ++exits; }

    QtDesktopShell files;
    std::vector<std::string> urls;
    int exits = 0;
};

// The whole diagnosis from the keyboard: every key goes to the widget that has
// the focus, which must be one the user can see.
class KeyboardOnlyTest : public test::WizardTest {
protected:
    void OpenWithKeyboardDesktop(const std::string& server) {
        DiagnosisOptions options;
        options.dataDir = data.path();
        options.link = test::SimulatedLink();
        options.server = server;
        dialog = std::make_unique<CDiagnosisDlg>(options, messages, desktop);
        desktop.files.SetOwner(dialog.get());
        dialog->show();
        ActivateAgain();
    }

    // What the window manager does when a window opens or a dialog over it
    // closes; the offscreen platform has none.
    void ActivateAgain() {
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    // The focused widget, after checking that it is on the page on show.
    QWidget* Focus() {
        QWidget* focus = QApplication::focusWidget();
        EXPECT_NE(focus, nullptr);
        if (focus == nullptr) {
            return dialog.get();
        }
        EXPECT_TRUE(focus->isVisible()) << focus->objectName().toStdString() << " is hidden";
        EXPECT_TRUE(dialog->Page(Page())->isAncestorOf(focus))
            << focus->objectName().toStdString() << " is not on page " << Page();
        return focus;
    }

    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Focus(), key, modifiers);
    }
    void Type(const QString& text) { QTest::keyClicks(Focus(), text); }
    void Retype(const QString& text) {
        Press(Qt::Key_A, Qt::ControlModifier);
        Type(text);
    }

    // Tab until that control has the focus.
    void TabTo(const QWidget& control) {
        for (int presses = 0; presses < 30 && Focus() != &control; ++presses) {
            Press(Qt::Key_Tab);
        }
        ASSERT_EQ(Focus(), &control);
    }

    // Types the file's name into the next file dialog and presses Enter.
    void AnswerNextFileDialog(const QString& name) {
        auto* poll = new QTimer(dialog.get());
        QObject::connect(poll, &QTimer::timeout, poll, [poll, name] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QWidget* focus = QApplication::focusWidget();
            if (files == nullptr || focus == nullptr || !files->isAncestorOf(focus)) {
                return;
            }
            poll->deleteLater();
            QTest::keyClicks(focus, name);
            QTest::keyClick(focus, Qt::Key_Return);
        });
        poll->start(20);
    }

    KeyboardDesktop desktop;
};

TEST_F(KeyboardOnlyTest, WholeDiagnosisRunsWithoutAMouse) {
    test::LoopbackHttpServer server(test::LoopbackHttpServer::Reply(200, "200\r\n"));
    std::filesystem::create_directories(data.ReportFolder());
    const std::filesystem::path loaded = test::WriteReport(data.ReportFolder());
    OpenWithKeyboardDesktop(server.Address());

    // The start page opens with the focus where it always was.
    EXPECT_EQ(Focus(), &Start().m_btnHomepage);
    // Load: the file dialog, then No to sending; the report is shown.
    TabTo(Start().m_btnLoad);
    AnswerNextFileDialog(QString::fromStdString(loaded.filename().string()));
    Press(Qt::Key_Space);
    ActivateAgain();
    EXPECT_EQ(Focus(), &Start().m_btnLoad);
    ASSERT_EQ(desktop.urls.size(), 1u);

    // Start, and Yes to both questions.
    Answer({kYes, kYes});
    TabTo(Start().m_btnStart);
    Press(Qt::Key_Return);
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdProgressPage));
    EXPECT_EQ(Focus(), &Progress().m_btnHomepage);
    ASSERT_TRUE(PumpUntil([&] { return Page() == kIdUserPage; }));

    // The user form: the focus starts in its first box.
    EXPECT_EQ(Focus(), User().m_edtUser[0]);
    Retype(QStringLiteral("Klinikum Nord"));
    TabTo(*User().m_edtComment);
    Type(QStringLiteral("E-21 twice"));
    Answer({kYes});
    TabTo(User().m_btnNext);
    Press(Qt::Key_Space);
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdServicePage));

    EXPECT_EQ(Focus(), Service().m_edtService[0]);
    TabTo(*Service().m_edtService[kHisCauseField]);
    Type(QStringLiteral("Rotor cable"));
    Answer({kYes});
    TabTo(Service().m_btnNext);
    Press(Qt::Key_Space);
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdCompletionPage));

    // Send, Report, Exit.
    EXPECT_EQ(Focus(), &Completion().m_btnSend);
    Answer({kYes});
    Press(Qt::Key_Space);
    TabTo(Completion().m_btnReport);
    Press(Qt::Key_Space);
    Answer({kYes});
    TabTo(Completion().m_btnExit);
    Press(Qt::Key_Return);

    EXPECT_EQ(
        messages.Questions(),
        Texts({kMsgLoadSendQuestion, kMsgStartQuestion, kMsgGoNextQuestion, kMsgSureInformation,
               kMsgSureInformation, kMsgSendQuestion, kMsgExitSoftware}));
    EXPECT_EQ(messages.Notices(), Texts({kUploadSuccessMessage}));
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(desktop.urls.size(), 2u);
    EXPECT_EQ(desktop.exits, 1);
    std::vector<std::filesystem::path> reports = data.Files(".VOK");
    std::erase(reports, loaded);
    ASSERT_EQ(reports.size(), 1u);
    const ReportData report = ReportFileReader::ReadReportFile(reports[0].string());
    EXPECT_EQ(report.m_SiteInfo.m_strHospital, "Klinikum Nord");
    EXPECT_EQ(report.m_SiteInfo.m_strComment, "E-21 twice");
    EXPECT_EQ(report.m_SiteInfo.m_strHisCause, "Rotor cable");
}

}  // namespace
}  // namespace vok
