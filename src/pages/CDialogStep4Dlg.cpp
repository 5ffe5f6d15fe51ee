#include "pages/CDialogStep4Dlg.h"

#include "app/CDiagnosisDlg.h"
#include "pages/CDialogStep5Dlg.h"
#include "pages/FormLabel.h"
#include "pages/PageTexts.h"
#include "report/SiteConfig.h"
#include "wizard/DialogControls.h"

namespace vok {

CDialogStep4Dlg::CDialogStep4Dlg(CDiagnosisDlg& owner)
    : CWizardPage(kIdServicePage, &owner),
      m_grpService(PageTexts::Show(kServiceGroupTitle)),
      m_chkAddHistory(PageTexts::Show(kAddHistoryCheck.text)),
      m_btnHomepage(PageTexts::Show(kHomepageText)),
      m_btnBack(PageTexts::Show(kBackText)),
      m_btnNext(PageTexts::Show(kNextText)),
      m_btnExit(PageTexts::Show(kExitText)),
      m_owner(owner) {
    DialogControls::Place(&m_grpService, this, kIdcStatic, kFormGroupRect, Units());
    for (std::size_t i = 0; i < kBoxes; ++i) {
        m_edtService[i] = DialogControls::Place(new QLineEdit(this), this, kServiceBoxes[i].id,
                                                kServiceBoxes[i].rect, Units());
        if (kServiceBoxes[i].rect.h > kSingleLineBoxHeight) {
            // One line in a taller box: the text sits at the top, as typed.
            m_edtService[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
    }
    DialogControls::Place(&m_chkAddHistory, this, kAddHistoryCheck.id, kAddHistoryCheck.rect,
                          Units());
    DialogControls::Place(&m_btnHomepage, this, kIdcHomepage, kButton1Rect, Units());
    DialogControls::Place(&m_btnBack, this, kIdcBack, kButton2Rect, Units());
    DialogControls::Place(&m_btnNext, this, kIdcNext, kButton3Rect, Units());
    DialogControls::Place(&m_btnExit, this, kIdcExit, kButton4Rect, Units());
    for (const DlgControl& label : kServiceLabels) {
        new FormLabel(label, Qt::AlignLeft, this, Units());
    }
    FormLabel::NameBoxes(*this);
    connect(&m_btnHomepage, &QPushButton::clicked, this, &CDialogStep4Dlg::OnHomepage);
    connect(&m_btnBack, &QPushButton::clicked, this, &CDialogStep4Dlg::OnBack);
    connect(&m_btnNext, &QPushButton::clicked, this, &CDialogStep4Dlg::OnNext);
    connect(&m_btnExit, &QPushButton::clicked, this, &CDialogStep4Dlg::OnExit);
}

bool CDialogStep4Dlg::OnInitDialog() {
    CWizardPage::OnInitDialog();
    m_owner.m_pStep4Dlg = this;
    m_btnHomepage.SetIcon(kIconHomepage);
    m_btnBack.SetIcon(kIconBack);
    m_btnNext.SetIcon(kIconNext);
    m_btnExit.SetIcon(kIconExit);
    return true;
}

void CDialogStep4Dlg::LoadServiceInfo() {
    // The form holds empty cause and action: each visit records a new entry.
    const SiteInfo form = SiteConfig::ReadServiceForm(m_owner.Folder().ConfigFile().string());
    for (std::size_t i = 0; i < kBoxes; ++i) {
        m_edtService[i]->setText(PageTexts::Show(form.Field(kFirstServiceField + i)));
        m_edtService[i]->setCursorPosition(0);
    }
}

void CDialogStep4Dlg::SaveServiceInfo() {
    for (std::size_t i = 0; i < kBoxes; ++i) {
        m_owner.m_SiteInfo.Field(kFirstServiceField + i) =
            PageTexts::Bytes(m_edtService[i]->text());
    }
}

void CDialogStep4Dlg::OnBack() {
    if (m_owner.Messages().Ask(std::string(kMsgGoPreview)) == kAnswerYes) {
        m_owner.SetActivePage(kIdUserPage);
    }
}

void CDialogStep4Dlg::OnNext() {
    if (m_owner.Messages().Ask(std::string(kMsgSureInformation)) != kAnswerYes) {
        return;
    }
    SaveServiceInfo();
    m_owner.SetActivePage(kIdCompletionPage);
    m_owner.m_pStep5Dlg->WriteReportFile();
}

void CDialogStep4Dlg::OnHomepage() {
    m_owner.Shell().OpenUrl(std::string(kHomepageUrl));
}

void CDialogStep4Dlg::OnExit() {
    if (m_owner.Messages().Ask(std::string(kMsgExitNotCompleted)) == kAnswerYes) {
        m_owner.Shell().ExitProcess();
    }
}

}  // namespace vok
