#include "pages/CDialogStep3Dlg.h"

#include "pages/FormLabel.h"
#include "pages/PageMessages.h"
#include "pages/PageTemplates.h"
#include "pages/PageTexts.h"
#include "platform/MessageBoxService.h"
#include "report/SiteConfig.h"
#include "resources/Icons.h"
#include "wizard/DialogControls.h"

namespace vok {

namespace {

constexpr int kIdcHospital = 1014;
constexpr int kIdcAddress = 1015;
constexpr int kIdcPhone = 1018;
constexpr int kIdcComment = 1020;

// User information page (template 131): boxes in tab order, then the labels.
constexpr std::string_view kUserGroupTitle = "  User Infomation  ";
constexpr DlgControl kUserBoxes[] = {
    {kIdcHospital, "", {71, 36, 180, 14}}, {kIdcAddress, "", {71, 54, 180, 14}},
    {kIdcName, "", {71, 71, 180, 14}},     {kIdcEmail, "", {71, 89, 180, 14}},
    {kIdcPhone, "", {71, 106, 180, 14}},   {kIdcFax, "", {71, 123, 180, 14}},
    {kIdcComment, "", {71, 141, 180, 61}},
};
constexpr DlgControl kUserHint = {
    kIdcStatic, "Check the user infomation and input comments if required.", {71, 20, 186, 8}};
constexpr DlgControl kUserLabels[] = {
    {kIdcStatic, "Hospital Name", {18, 39, 47, 8}}, {kIdcStatic, "Address", {37, 57, 28, 8}},
    {kIdcStatic, "Name", {44, 74, 21, 8}},          {kIdcStatic, "e-Mail", {45, 92, 20, 8}},
    {kIdcStatic, "Tel Num.", {33, 109, 32, 8}},     {kIdcStatic, "Fax Num.", {33, 126, 32, 8}},
    {kIdcStatic, "Comments", {29, 142, 36, 8}},
};

}  // namespace

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
    FormLabel::NameBoxes(*this);
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
