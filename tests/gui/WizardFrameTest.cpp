#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QFrame>
#include <QPushButton>
#include <QTest>

#include "QtTestApp.h"
#include "wizard/CWizardDialog.h"
#include "wizard/DialogControls.h"

namespace vok {
namespace {

using Log = std::vector<std::string>;

// A page that writes every hook into a shared log and counts its deletion.
class LoggingPage : public CWizardPage {
public:
    LoggingPage(unsigned id, QWidget* parent, Log& log, int& deletions)
        : CWizardPage(id, parent), m_log(log), m_deletions(deletions) {
        first = new QPushButton("First", this);
        first->setGeometry(10, 10, 80, 30);
        second = new QPushButton("Second", this);
        second->setGeometry(100, 10, 80, 30);
    }
    ~LoggingPage() override { ++m_deletions; }

    bool OnInitDialog() override {
        Note("init");
        return true;
    }
    void OnPageShown() override { Note("shown"); }
    void OnPageHiding() override { Note("hiding"); }
    void OnPageCreated() override { Note("created"); }
    void OnPageRemoving() override { Note("removing"); }

    QPushButton* first;
    QPushButton* second;

private:
    void Note(const char* what) { m_log.push_back(std::to_string(TemplateId()) + " " + what); }

    Log& m_log;
    int& m_deletions;
};

// A host with its placeholder away from the corner, knowing pages 1 to 3.
class TestHost : public CWizardDialog {
public:
    TestHost(Log& log, int& deletions)
        : CWizardDialog(77, 500), m_log(log), m_deletions(deletions) {
        placeholder = new QFrame(this);
        placeholder->setGeometry(13, 21, 300, 200);
        placeholder->hide();
        DialogControls::SetId(placeholder, 77);
        resize(400, 300);
    }

    QFrame* placeholder;

protected:
    CWizardPage* CreatePage(unsigned id) override {
        if (id > 3) {
            return nullptr;
        }
        return new LoggingPage(id, this, m_log, m_deletions);
    }
    void OnPageChanged(unsigned id, bool shown) override {
        m_log.push_back(std::to_string(id) + (shown ? " changed-shown" : " changed-hidden"));
    }

private:
    Log& m_log;
    int& m_deletions;
};

class WizardFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        host = std::make_unique<TestHost>(log, deletions);
        for (unsigned id : {1u, 2u, 3u}) {
            host->AddPage(id);
        }
    }

    LoggingPage* Page(unsigned id) { return static_cast<LoggingPage*>(host->Page(id)); }
    std::vector<unsigned> VisiblePages() {
        std::vector<unsigned> shown;
        for (const PageEntry& entry : host->Pages()) {
            if (entry.page != nullptr && !entry.page->isHidden()) {
                shown.push_back(entry.id);
            }
        }
        return shown;
    }

    Log log;
    int deletions = 0;
    std::unique_ptr<TestHost> host;
};

TEST_F(WizardFrameTest, AddedPagesExistHiddenAtThePlaceholderUntilOneIsShown) {
    EXPECT_EQ(log, (Log{"1 init", "1 created", "2 init", "2 created", "3 init", "3 created"}));
    EXPECT_TRUE(VisiblePages().empty());
    for (const PageEntry& entry : host->Pages()) {
        EXPECT_TRUE(entry.created);
        EXPECT_FALSE(entry.active);
        EXPECT_EQ(entry.owner, host.get());
        EXPECT_EQ(entry.page->pos(), host->placeholder->geometry().topLeft());
        EXPECT_TRUE(entry.page->isEnabled());
    }

    host->SetActivePage(2);
    EXPECT_EQ(VisiblePages(), std::vector<unsigned>{2});
    EXPECT_EQ(host->ActivePageId(), 2u);
}

TEST_F(WizardFrameTest, SwitchingHidesTheShownPageBeforeShowingTheNext) {
    host->SetActivePage(1);
    log.clear();
    host->SetActivePage(3);
    EXPECT_EQ(log, (Log{"1 hiding", "1 changed-hidden", "3 shown", "3 changed-shown"}));
    EXPECT_EQ(VisiblePages(), std::vector<unsigned>{3});
}

TEST_F(WizardFrameTest, ShowingTheShownPageAgainHidesAndShowsIt) {
    host->SetActivePage(2);
    log.clear();
    EXPECT_TRUE(host->SetActivePage(2));
    EXPECT_EQ(log, (Log{"2 hiding", "2 changed-hidden", "2 shown", "2 changed-shown"}));
    EXPECT_EQ(VisiblePages(), std::vector<unsigned>{2});
}

TEST_F(WizardFrameTest, UnknownIdHidesTheShownPageAndShowsNone) {
    host->SetActivePage(1);
    log.clear();
    EXPECT_FALSE(host->SetActivePage(42));
    EXPECT_EQ(log, (Log{"1 hiding", "1 changed-hidden"}));
    EXPECT_TRUE(VisiblePages().empty());
    EXPECT_EQ(host->ActivePageId(), 0u);
}

TEST_F(WizardFrameTest, PageTheFactoryCannotMakeIsAnEntryWithoutPage) {
    PageEntry* entry = host->AddPage(9);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->page, nullptr);
    EXPECT_FALSE(entry->created);
    host->SetActivePage(1);
    EXPECT_FALSE(host->SetActivePage(9));
    EXPECT_TRUE(VisiblePages().empty());
}

TEST_F(WizardFrameTest, DestroyingTheHostRemovesEveryPageOnce) {
    host->SetActivePage(2);
    log.clear();
    host.reset();
    EXPECT_EQ(deletions, 3);
    EXPECT_EQ(log,
              (Log{"1 hiding", "1 removing", "2 hiding", "2 removing", "3 hiding", "3 removing"}));
}

TEST_F(WizardFrameTest, EnterAndEscapeInsideAPageCloseNothing) {
    host->show();
    host->SetActivePage(1);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(Page(1), key);
        EXPECT_TRUE(host->isVisible()) << key;
        EXPECT_FALSE(Page(1)->isHidden()) << key;
    }
    EXPECT_EQ(host->result(), 0);
}

TEST_F(WizardFrameTest, TabMovesThroughTheShownPageOnly) {
    host->show();
    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
    host->SetActivePage(2);
    Page(2)->first->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), Page(2)->first);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Page(2)->second);
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QWidget* focus = QApplication::focusWidget();
        EXPECT_TRUE(focus == Page(2)->first || focus == Page(2)->second);
    }
}

}  // namespace
}  // namespace vok
