#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QFrame>
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
        : CWizardPage(id, parent), m_log(log), m_deletions(deletions) {}
    ~LoggingPage() override { ++m_deletions; }

    bool OnInitDialog() override {
        Note("init");
        return true;
    }
    void OnPageShown() override { Note("shown"); }
    void OnPageHiding() override { Note("hiding"); }
    void OnPageCreated() override { Note("created"); }
    void OnPageRemoving() override { Note("removing"); }

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
        EXPECT_EQ(entry.page->pos(), host->placeholder->geometry().topLeft());
    }
}

// Each switch from page 1: the hooks in order, which page is shown after it.
TEST_F(WizardFrameTest, SwitchingHidesTheShownPageBeforeShowingTheNext) {
    struct Case {
        unsigned from;
        unsigned to;
        bool shown;
        Log hooks;
        std::vector<unsigned> visible;
    };
    const std::vector<Case> cases = {
        {1, 3, true, {"1 hiding", "1 changed-hidden", "3 shown", "3 changed-shown"}, {3}},
        {2, 2, true, {"2 hiding", "2 changed-hidden", "2 shown", "2 changed-shown"}, {2}},
        {1, 42, false, {"1 hiding", "1 changed-hidden"}, {}},
        // An entry the factory could not make a page for.
        {1, 9, false, {"1 hiding", "1 changed-hidden"}, {}},
    };
    PageEntry* empty = host->AddPage(9);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->page, nullptr);
    for (const Case& c : cases) {
        host->SetActivePage(c.from);
        log.clear();
        EXPECT_EQ(host->SetActivePage(c.to), c.shown) << c.to;
        EXPECT_EQ(log, c.hooks) << c.to;
        EXPECT_EQ(VisiblePages(), c.visible) << c.to;
        EXPECT_EQ(host->ActivePageId(), c.shown ? c.to : 0u) << c.to;
    }
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

}  // namespace
}  // namespace vok
