#include "pages/CDialogStep3Dlg.h"

#include "app/CDiagnosisDlg.h"
#include "pages/CDialogStep4Dlg.h"
#include "pages/FormLabel.h"
#include "pages/PageTexts.h"
#include "report/SiteConfig.h"
#include "wizard/DialogControls.h"

namespace vok {

CDialogStep3Dlg::CDialogStep3Dlg(CDiagnosisDlg& owner)
    : CWizardPage(kIdUserPage, &owner),
      m_grpUser(PageTexts::Show(kUserGroupTitle)),
      m_btnHomepage(PageTexts::Show(kHomepageText)),
      m_btnNext(PageTexts::Show(kNextText)),
      m_btnExit(PageTexts::Show(kExitText)),
      m_owner(owner) {
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
    FormLabel::NameBoxes(*this);
    connect(&m_btnHomepage, &QPushButton::clicked, this, &CDialogStep3Dlg::OnHomepage);
    connect(&m_btnNext, &QPushButton::clicked, this, &CDialogStep3Dlg::OnNext);
    connect(&m_btnExit, &QPushButton::clicked, this, &CDialogStep3Dlg::OnExit);
}

bool CDialogStep3Dlg::OnInitDialog() {
    CWizardPage::OnInitDialog();
    m_owner.m_pStep3Dlg = this;
    m_btnHomepage.SetIcon(kIconHomepage);
    m_btnNext.SetIcon(kIconNext);
    m_btnExit.SetIcon(kIconExit);
    return true;
}

void CDialogStep3Dlg::LoadUserInfo() {
    const SiteInfo form = SiteConfig::ReadUserForm(m_owner.Folder().ConfigFile().string());
    for (std::size_t i = 0; i < kLineBoxes; ++i) {
        m_edtUser[i]->setText(PageTexts::Show(form.Field(kFirstUserField + i)));
        m_edtUser[i]->setCursorPosition(0);
    }
    m_edtComment->clear();
}

void CDialogStep3Dlg::SaveUserInfo() {
    SiteInfo& site = m_owner.m_SiteInfo;
    for (std::size_t i = 0; i < kLineBoxes; ++i) {
        site.Field(kFirstUserField + i) = PageTexts::Bytes(m_edtUser[i]->text());
    }
    site.Field(kCommentField) = PageTexts::Bytes(m_edtComment->toPlainText());
}

void CDialogStep3Dlg::OnNext() {
    if (m_owner.Messages().Ask(std::string(kMsgSureInformation)) != kAnswerYes) {
        return;
    }
    SaveUserInfo();
    m_owner.m_pStep4Dlg->LoadServiceInfo();
    m_owner.SetActivePage(kIdServicePage);
}

void CDialogStep3Dlg::OnHomepage() {
    m_owner.Shell().OpenUrl(std::string(kHomepageUrl));
}

void CDialogStep3Dlg::OnExit() {
    if (m_owner.Messages().Ask(std::string(kMsgExitNotCompleted)) == kAnswerYes) {
        m_owner.Shell().ExitProcess();
    }
}

}  // namespace vok
