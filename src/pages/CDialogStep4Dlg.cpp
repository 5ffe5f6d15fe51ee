#include "pages/CDialogStep4Dlg.h"

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

constexpr int kIdcManufacture = 1023;
constexpr int kIdcModel = 1024;
constexpr int kIdcInstallDate = 1025;
constexpr int kIdcSystemSerial = 1026;
constexpr int kIdcDescription = 1027;
constexpr int kIdcEngPhone = 1030;
constexpr int kIdcHisDate = 1032;
constexpr int kIdcHisCause = 1033;
constexpr int kIdcHisAction = 1034;
constexpr int kIdcAddHistory = 1035;
constexpr int kIdcBack = 1036;
constexpr std::string_view kBackText = "Back";

// Service information page (template 132): boxes in tab order, then the labels.
constexpr std::string_view kServiceGroupTitle = "  Service Infomation  ";
constexpr DlgControl kServiceBoxes[] = {
    {kIdcManufacture, "", {70, 20, 90, 14}},  {kIdcModel, "", {202, 20, 80, 14}},
    {kIdcInstallDate, "", {70, 37, 70, 14}},  {kIdcSystemSerial, "", {202, 37, 80, 14}},
    {kIdcDescription, "", {70, 55, 212, 30}}, {kIdcName, "", {70, 88, 65, 14}},
    {kIdcEmail, "", {202, 88, 80, 14}},       {kIdcEngPhone, "", {70, 105, 65, 14}},
    {kIdcFax, "", {202, 105, 80, 14}},        {kIdcHisDate, "", {70, 122, 65, 14}},
    {kIdcHisCause, "", {70, 141, 212, 30}},   {kIdcHisAction, "", {70, 174, 212, 30}},
};
// Boxes taller than this hold their one line at the top.
constexpr int kSingleLineBoxHeight = 14;
constexpr DlgControl kAddHistoryCheck = {kIdcAddHistory, "Add Service History", {140, 128, 77, 10}};
constexpr DlgControl kServiceLabels[] = {
    {kIdcStatic, "Manufacturer", {23, 25, 42, 8}},
    {kIdcStatic, "Installation Date", {14, 40, 51, 8}},
    {kIdcStatic, "Description", {30, 54, 35, 8}},
    {kIdcStatic, "Engineer Name", {17, 90, 48, 8}},
    {kIdcStatic, "Engineer Phone", {14, 108, 51, 8}},
    {kIdcStatic, "History Date", {26, 125, 39, 8}},
    {kIdcStatic, "History Cause", {22, 140, 43, 8}},
    {kIdcStatic, "History Action", {21, 175, 44, 8}},
    {kIdcStatic, "Model", {178, 23, 19, 8}},
    {kIdcStatic, "System S/N", {159, 40, 38, 8}},
    {kIdcStatic, "Engineer eMail", {151, 90, 46, 8}},
    {kIdcStatic, "Fax Number", {159, 108, 38, 8}},
};

}  // namespace

CDialogStep4Dlg::CDialogStep4Dlg(MessageBoxService& messages, DesktopShell& shell, QWidget* parent)
    : CWizardPage(kIdServicePage, parent),
      m_grpService(PageTexts::Show(kServiceGroupTitle)),
      m_chkAddHistory(PageTexts::Show(kAddHistoryCheck.text)),
      m_btnHomepage(PageTexts::Show(kHomepageText)),
      m_btnBack(PageTexts::Show(kBackText)),
      m_btnNext(PageTexts::Show(kNextText)),
      m_btnExit(PageTexts::Show(kExitText)),
      m_messages(messages),
      m_shell(shell) {
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
    m_btnHomepage.SetIcon(kIconHomepage);
    m_btnBack.SetIcon(kIconBack);
    m_btnNext.SetIcon(kIconNext);
    m_btnExit.SetIcon(kIconExit);
    return true;
}

void CDialogStep4Dlg::LoadServiceInfo(const SiteInfo& form) {
    for (std::size_t i = 0; i < kBoxes; ++i) {
        m_edtService[i]->setText(PageTexts::Show(form.Field(kFirstServiceField + i)));
        m_edtService[i]->setCursorPosition(0);
    }
}

SiteInfo CDialogStep4Dlg::SaveServiceInfo() const {
    SiteInfo form;
    for (std::size_t i = 0; i < kBoxes; ++i) {
        form.Field(kFirstServiceField + i) = PageTexts::Bytes(m_edtService[i]->text());
    }
    return form;
}

void CDialogStep4Dlg::OnBack() {
    if (m_messages.Ask(std::string(kMsgGoPreview))) {
        emit BackRequested();
    }
}

void CDialogStep4Dlg::OnNext() {
    if (m_messages.Ask(std::string(kMsgSureInformation))) {
        emit NextRequested(SaveServiceInfo());
    }
}

void CDialogStep4Dlg::OnHomepage() {
    m_shell.OpenUrl(std::string(kHomepageUrl));
}

void CDialogStep4Dlg::OnExit() {
    if (m_messages.Ask(std::string(kMsgExitNotCompleted))) {
        emit ExitRequested();
    }
}

}  // namespace vok
