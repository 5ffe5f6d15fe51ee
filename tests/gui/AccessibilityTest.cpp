#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
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
#include <QFileDialog>
#include <QTest>
#include <QTimer>

#include "../upload/LoopbackHttpServer.h"
#include "WizardTestSupport.h"
#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "controls/CTextProgressCtrl.h"
#include "pages/CDialogStep2Dlg.h"
#include "platform/QtDesktopShell.h"
#include "platform/QtMessageBoxService.h"
#include "report/ReportFileReader.h"
#include "report/ReportFileWriter.h"
#include "wizard/DialogControls.h"

namespace vok {
namespace {

using test::kYes;
using test::PumpUntil;

// Control ids of the page templates, written out as the templates give them.
constexpr int kIdcLoad = 1003;
constexpr int kIdcStart = 1004;
constexpr int kIdcSystemBar = 1007;
constexpr int kIdcLogBar = 1008;
constexpr int kIdcSend = 1013;
constexpr int kIdcHospital = 1014;
constexpr int kIdcAddress = 1015;
constexpr int kIdcPhone = 1018;
constexpr int kIdcComment = 1020;
constexpr int kIdcManufacture = 1023;
constexpr int kIdcModel = 1024;
constexpr int kIdcInstallDate = 1025;
constexpr int kIdcSystemSerial = 1026;
constexpr int kIdcDescription = 1027;
constexpr int kIdcEngPhone = 1030;
constexpr int kIdcHisDate = 1032;
constexpr int kIdcHisCause = 1033;
constexpr int kIdcHisAction = 1034;
constexpr int kIdcBack = 1036;
constexpr int kIdcReport = 1039;
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

// A report file as the wizard writes it, of a skipped diagnosis.
std::filesystem::path WriteReport(const std::filesystem::path& folder) {
    const Result<WrittenReport> written =
        ReportFileWriter::WriteReportFile(folder, SiteInfo{}, DiagnosisData{}, std::time(nullptr));
    EXPECT_TRUE(written.ok());
    return written->m_strReportPath;
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
    Answer({kYes, kYes});
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
        // And asked afterwards, it says where it stands.
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
    int FocusId() { return DialogControls::Id(Focus()); }

    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Focus(), key, modifiers);
    }
    void Type(const QString& text) { QTest::keyClicks(Focus(), text); }
    void Retype(const QString& text) {
        Press(Qt::Key_A, Qt::ControlModifier);
        Type(text);
    }

    // Tab until the control with that id has the focus.
    void TabTo(int id) {
        for (int presses = 0; presses < 30 && FocusId() != id; ++presses) {
            Press(Qt::Key_Tab);
        }
        ASSERT_EQ(FocusId(), id);
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
    const std::filesystem::path loaded = WriteReport(data.ReportFolder());
    OpenWithKeyboardDesktop(server.Address());

    // The start page opens with the focus where it always was.
    EXPECT_EQ(FocusId(), kIdcHomepage);
    // Load: the file dialog, then No to sending; the report is shown.
    TabTo(kIdcLoad);
    AnswerNextFileDialog(QString::fromStdString(loaded.filename().string()));
    Press(Qt::Key_Space);
    ActivateAgain();
    EXPECT_EQ(FocusId(), kIdcLoad);
    ASSERT_EQ(desktop.urls.size(), 1u);

    // Start, and Yes to both questions.
    Answer({kYes, kYes});
    TabTo(kIdcStart);
    Press(Qt::Key_Return);
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdProgressPage));
    EXPECT_EQ(FocusId(), kIdcHomepage);
    ASSERT_TRUE(PumpUntil([&] { return Page() == kIdUserPage; }));

    // The user form: the focus starts in its first box.
    EXPECT_EQ(FocusId(), kIdcHospital);
    Retype(QStringLiteral("Klinikum Nord"));
    TabTo(kIdcComment);
    Type(QStringLiteral("E-21 twice"));
    Answer({kYes});
    TabTo(kIdcNext);
    Press(Qt::Key_Space);
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdServicePage));

    // Back, and forward again.
    EXPECT_EQ(FocusId(), kIdcManufacture);
    Answer({kYes, kYes});
    TabTo(kIdcBack);
    Press(Qt::Key_Space);
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdUserPage));
    TabTo(kIdcNext);
    Press(Qt::Key_Return);
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdServicePage));

    TabTo(kIdcHisCause);
    Type(QStringLiteral("Rotor cable"));
    Answer({kYes});
    TabTo(kIdcNext);
    Press(Qt::Key_Space);
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdCompletionPage));

    // Send, Report, Exit.
    EXPECT_EQ(FocusId(), kIdcSend);
    Answer({kYes});
    Press(Qt::Key_Space);
    TabTo(kIdcReport);
    Press(Qt::Key_Space);
    Answer({kYes});
    TabTo(kIdcExit);
    Press(Qt::Key_Return);

    EXPECT_EQ(messages.Questions(),
              Texts({kMsgLoadSendQuestion, kMsgStartQuestion, kMsgGoNextQuestion,
                     kMsgSureInformation, kMsgGoPreview, kMsgSureInformation, kMsgSureInformation,
                     kMsgSendQuestion, kMsgExitSoftware}));
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
