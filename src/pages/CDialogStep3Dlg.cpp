#include "pages/CDialogStep3Dlg.h"

#include "pages/FormLabel.h"
#include "pages/PageTexts.h"
#include "wizard/DialogControls.h"

namespace vok {

CDialogStep3Dlg::CDialogStep3Dlg(MessageBoxService& messages, DesktopShell& shell, QWidget* parent)
    : CWizardPage(kIdUserPage, parent),
      m_grpUser(PageTexts::Show(kUserGroupTitle)),
      m_btnHomepage(PageTexts::Show(kHomepageText)),
      m_btnNext(PageTexts::Show(kNextText)),
      m_btnExit(PageTexts::Show(kExitText)),
      m_messages(messages),
      m_shell(shell) {
    // The group box first, so the boxes stack above it; then tab order.
    DialogControls::Place(&m_grpUser, this, kIdcStatic, kFormGroupRect, Units());
    for (std::size_t i = 0; i < kLineBoxes; ++i) {
        m_edtUser[i] = DialogControls::Place(new QLineEdit(this), this, kUserBoxes[i].id,
                                             kUserBoxes[i].rect, Units());
    }
    m_edtComment = DialogControls::Place(new QPlainTextEdit(this), this, kUserBoxes[kLineBoxes].id,
                                         kUserBoxes[kLineBoxes].rect, Units());
    m_edtComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edtComment->setTabChangesFocus(true);
    DialogControls::Place(&m_btnHomepage, this, kIdcHomepage, kButton1Rect, Units());
    DialogControls::Place(&m_btnNext, this, kIdcNext, kButton3Rect, Units());
    DialogControls::Place(&m_btnExit, this, kIdcExit, kButton4Rect, Units());
    new FormLabel(kUserHint, Qt::AlignLeft, this, Units());
    for (const DlgControl& label : kUserLabels) {
        new FormLabel(label, Qt::AlignRight, this, Units());
    }
    connect(&m_btnHomepage, &QPushButton::clicked, this, &CDialogStep3Dlg::OnHomepage);
    connect(&m_btnNext, &QPushButton::clicked, this, &CDialogStep3Dlg::OnNext);
    connect(&m_btnExit, &QPushButton::clicked, this, &CDialogStep3Dlg::OnExit);
}

bool CDialogStep3Dlg::OnInitDialog() {
    CWizardPage::OnInitDialog();
    m_btnHomepage.SetIcon(kIconHomepage);
    m_btnNext.SetIcon(kIconNext);
    m_btnExit.SetIcon(kIconExit);
    return true;
}

void CDialogStep3Dlg::LoadUserInfo(const SiteInfo& form) {
    for (std::size_t i = 0; i < kLineBoxes; ++i) {
        m_edtUser[i]->setText(PageTexts::Show(form.Field(kFirstUserField + i)));
        m_edtUser[i]->setCursorPosition(0);
    }
    m_edtComment->clear();
}

SiteInfo CDialogStep3Dlg::SaveUserInfo() const {
    SiteInfo form;
    for (std::size_t i = 0; i < kLineBoxes; ++i) {
        form.Field(kFirstUserField + i) = PageTexts::Bytes(m_edtUser[i]->text());
    }
    form.Field(kCommentField) = PageTexts::Bytes(m_edtComment->toPlainText());
    return form;
}

void CDialogStep3Dlg::OnNext() {
    if (m_messages.Ask(std::string(kMsgSureInformation))) {
        emit NextRequested(SaveUserInfo());
    }
}

void CDialogStep3Dlg::OnHomepage() {
    m_shell.OpenUrl(std::string(kHomepageUrl));
}

void CDialogStep3Dlg::OnExit() {
    if (m_messages.Ask(std::string(kMsgExitNotCompleted))) {
        emit ExitRequested();
    }
}

}  // namespace vok
