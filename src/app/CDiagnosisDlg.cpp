#include "app/CDiagnosisDlg.h"

#include <optional>
#include <thread>

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>

#include "app/CAboutDlg.h"
#include "core/UserMessages.h"
#include "core/Version.h"
#include "link/LinkFactory.h"
#include "pages/CDialogError.h"
#include "pages/CDialogReport.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/CDialogStep4Dlg.h"
#include "pages/CDialogStep5Dlg.h"
#include "pages/PageMessages.h"
#include "pages/PageTemplates.h"
#include "pages/PageTexts.h"
#include "platform/GuiLogging.h"
#include "platform/MessageBoxService.h"
#include "report/SiteConfig.h"
#include "resources/Icons.h"
#include "upload/CenterSettings.h"
#include "upload/UploadOutbox.h"
#include "wizard/DialogControls.h"
#include "wizard/DialogFonts.h"
#include "wizard/DialogUnits.h"

namespace vok {

namespace {

// Load on the start page: the open-file dialog's filter and default extension.
constexpr std::string_view kReportFileFilter = "VOK Diagnosis File(*.VOK)|*.VOK|";
constexpr std::string_view kReportFileExtension = "VOK";

// Main dialog (template 102), in dialog units.
constexpr int kIdMainDialog = 102;
constexpr int kIdcPlaceholder = 1000;
constexpr std::string_view kMainCaptionFormat = "VOK Remote Diagnosis V %s";
constexpr std::string_view kAboutMenuText = "&About RemoteVOK...";
constexpr std::string_view kFooterText = "(C) VOK Medical Systems";
constexpr int kMainDialogWidth = 303;
constexpr int kMainDialogHeight = 264;
constexpr DlgRect kPlaceholderRect{0, 0, 300, 250};
constexpr DlgRect kFooterRect{198, 254, 104, 8};

}  // namespace

CDiagnosisDlg::CDiagnosisDlg(DiagnosisOptions options, MessageBoxService& messages,
                             DesktopShell& shell, QWidget* parent)
    : CWizardDialog(kIdcPlaceholder, kIdMainDialog, parent),
      m_options(std::move(options)),
      m_folder(m_options.dataDir),
      m_messages(messages),
      m_shell(shell),
      m_engine(m_observer, m_options.startDelay.value_or(AcquisitionEngine::kVersionToStartDelay)) {
    setFont(DialogFonts::DialogFont());
    const DialogUnits units(font());
    setWindowTitle(PageTexts::Show(kMainDialogTemplateCaption));
    setFixedSize(units.Size(kMainDialogWidth, kMainDialogHeight));

    m_placeholder.setFrameStyle(QFrame::Box | QFrame::Plain);
    m_placeholder.setEnabled(false);
    DialogControls::Place(&m_placeholder, this, kIdcPlaceholder, kPlaceholderRect, units);
    m_placeholder.setVisible(false);

    m_footer.setText(PageTexts::Show(kFooterText));
    m_footer.setTextFormat(Qt::PlainText);
    m_footer.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    DialogControls::Place(&m_footer, this, kIdcStatic, kFooterRect, units);

    OnInitDialog();

    CDialogStep2Dlg* progress = m_pStep2Dlg;
    connect(&m_observer, &GuiAcquisitionObserver::StatusLineAdded, progress,
            &CDialogStep2Dlg::AddStatusLine);
    connect(&m_observer, &GuiAcquisitionObserver::SystemProgressChanged, progress,
            &CDialogStep2Dlg::SetSystemProgress);
    connect(&m_observer, &GuiAcquisitionObserver::LogProgressChanged, progress,
            &CDialogStep2Dlg::SetLogProgress);
    connect(&m_observer, &GuiAcquisitionObserver::AcquisitionFinished, this,
            &CDiagnosisDlg::OnAcquisitionFinished);
}

CDiagnosisDlg::~CDiagnosisDlg() {
    Shutdown();
    // The pages go while the state they use still exists.
    DestroyPages();
}

void CDiagnosisDlg::OnInitDialog() {
    // No system menu to append to on Linux desktops: the About entry sits in
    // the dialog's context menu, and F1 opens it as well.
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    auto* about = new QAction(PageTexts::Show(kAboutMenuText), this);
    about->setShortcut(QKeySequence::HelpContents);
    about->setShortcutContext(Qt::WindowShortcut);
    connect(about, &QAction::triggered, this, &CDiagnosisDlg::ShowAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    setWindowIcon(Icons::WindowIcon(kIconApplication));
    setWindowTitle(PageTexts::Show(PageTexts::Format(kMainCaptionFormat, {kProgramVersion})));

    for (const int id : {kIdStartPage, kIdProgressPage, kIdUserPage, kIdServicePage,
                         kIdCompletionPage, kIdErrorPage}) {
        AddPage(static_cast<unsigned>(id));
    }
    SetActivePage(kIdStartPage);
}

CWizardPage* CDiagnosisDlg::CreatePage(unsigned id) {
    switch (static_cast<int>(id)) {
        case kIdStartPage:
            m_pStep1Dlg = new CDialogStep1Dlg(m_messages, m_shell, this);
            connect(m_pStep1Dlg, &CDialogStep1Dlg::LoadRequested, this, &CDiagnosisDlg::OnLoad);
            connect(m_pStep1Dlg, &CDialogStep1Dlg::StartRequested, this,
                    &CDiagnosisDlg::StartDiagnosis);
            connect(m_pStep1Dlg, &CDialogStep1Dlg::ExitRequested, this, &CDiagnosisDlg::OnExit);
            return m_pStep1Dlg;
        case kIdProgressPage:
            m_pStep2Dlg = new CDialogStep2Dlg(m_messages, m_shell, this);
            connect(m_pStep2Dlg, &CDialogStep2Dlg::SkipRequested, this, &CDiagnosisDlg::OnSkip);
            connect(m_pStep2Dlg, &CDialogStep2Dlg::NextRequested, this,
                    &CDiagnosisDlg::OnProgressNext);
            connect(m_pStep2Dlg, &CDialogStep2Dlg::ExitRequested, this, &CDiagnosisDlg::OnExit);
            return m_pStep2Dlg;
        case kIdUserPage:
            m_pStep3Dlg = new CDialogStep3Dlg(m_messages, m_shell, this);
            connect(m_pStep3Dlg, &CDialogStep3Dlg::NextRequested, this, &CDiagnosisDlg::OnUserNext);
            connect(m_pStep3Dlg, &CDialogStep3Dlg::ExitRequested, this, &CDiagnosisDlg::OnExit);
            return m_pStep3Dlg;
        case kIdServicePage:
            m_pStep4Dlg = new CDialogStep4Dlg(m_messages, m_shell, this);
            connect(m_pStep4Dlg, &CDialogStep4Dlg::BackRequested, this,
                    &CDiagnosisDlg::OnServiceBack);
            connect(m_pStep4Dlg, &CDialogStep4Dlg::NextRequested, this,
                    &CDiagnosisDlg::OnServiceNext);
            connect(m_pStep4Dlg, &CDialogStep4Dlg::ExitRequested, this, &CDiagnosisDlg::OnExit);
            return m_pStep4Dlg;
        case kIdCompletionPage:
            m_pStep5Dlg = new CDialogStep5Dlg(m_messages, this);
            connect(m_pStep5Dlg, &CDialogStep5Dlg::SendRequested, this, &CDiagnosisDlg::SendReport);
            connect(m_pStep5Dlg, &CDialogStep5Dlg::ReportRequested, this,
                    &CDiagnosisDlg::ShowReport);
            connect(m_pStep5Dlg, &CDialogStep5Dlg::ExitRequested, this, &CDiagnosisDlg::OnExit);
            return m_pStep5Dlg;
        case kIdErrorPage:
            m_pErrorDlg = new CDialogError(m_messages, this);
            connect(m_pErrorDlg, &CDialogError::ExitRequested, this, &CDiagnosisDlg::OnExit);
            return m_pErrorDlg;
        default:
            return nullptr;
    }
}

void CDiagnosisDlg::StartDiagnosis() {
    const Status opened = m_engine.OpenDevice(LinkFactory::Opener(m_options.link));
    if (!opened) {
        // The system's text names the cable; the link's own reason (no device,
        // permission, busy) is what a Linux user needs to fix it.
        qCWarning(vokLink).noquote() << QString::fromStdString(opened.error());
        ShowError(std::string(kMsgCheckCable));
        m_pErrorDlg->m_ctrlError.setToolTip(PageTexts::Show(opened.error()));
        return;
    }
    m_SiteInfo = ReadSite(&SiteConfig::TryLoadSiteInfo);
    m_engine.ResetForDiagnosis();
    m_pStep2Dlg->SetSystemProgress(0);
    m_pStep2Dlg->SetLogProgress(0);
    if (!m_messages.Ask(std::string(kMsgStartQuestion))) {
        // Released, so that the next Start finds the device free.
        m_engine.CloseDevice();
        return;
    }
    m_observer.BeginRun();
    m_engine.StartAcquisition();
    m_pStep2Dlg->m_btnSkip.setEnabled(true);
    m_pStep2Dlg->m_btnNext.setEnabled(false);
    SetActivePage(kIdProgressPage);
}

void CDiagnosisDlg::OnLoad() {
    // The dialog opens in the REPORT folder, also before the first report.
    // Where it cannot be made the dialog still opens, somewhere else.
    (void)m_folder.EnsureReportFolder();
    const std::optional<std::filesystem::path> file =
        m_shell.ChooseFileToOpen({m_folder.ReportFolder(), std::string(kReportFileFilter),
                                  std::string(kReportFileExtension)});
    if (!file) {
        return;
    }
    CDialogReport report(m_folder, m_messages, m_shell);
    report.m_strReportName = file->filename().string();
    report.m_strReportPath = file->string();
    if (m_messages.Ask(std::string(kMsgLoadSendQuestion))) {
        m_pStep5Dlg->m_strReportName = report.m_strReportName;
        m_pStep5Dlg->m_strReportPath = report.m_strReportPath;
        // Whatever the upload's outcome, the report is shown next: it has
        // told the user about it in its own message.
        SendReport();
    }
    report.Show();
}

SiteInfo CDiagnosisDlg::ReadSite(Result<SiteInfo> (*read)(const std::string&)) {
    Result<SiteInfo> site = read(m_folder.ConfigFile().string());
    if (!site) {
        // A CONFIG.ini that is there but cannot be read (a FIFO, a device,
        // far too big) is said each time it is read; the fields then start
        // empty, as they do without the file.
        m_messages.Notify(std::string(kErrorMessagePrefix) + site.error());
        return SiteInfo{};
    }
    return std::move(site).value();
}

void CDiagnosisDlg::GoToUserPage() {
    m_pStep3Dlg->LoadUserInfo(ReadSite(&SiteConfig::TryReadUserForm));
    SetActivePage(kIdUserPage);
}

void CDiagnosisDlg::OnSkip() {
    SkipAcquisition();
    GoToUserPage();
}

void CDiagnosisDlg::OnProgressNext() {
    GoToUserPage();
}

void CDiagnosisDlg::OnUserNext(const SiteInfo& form) {
    for (std::size_t i = kFirstUserField; i < kFirstUserField + kUserFieldCount; ++i) {
        m_SiteInfo.Field(i) = form.Field(i);
    }
    // The form holds empty cause and action: each visit records a new entry.
    m_pStep4Dlg->LoadServiceInfo(ReadSite(&SiteConfig::TryReadServiceForm));
    SetActivePage(kIdServicePage);
}

void CDiagnosisDlg::OnServiceBack() {
    // Neither saves this page's boxes nor reloads the user form.
    SetActivePage(kIdUserPage);
}

void CDiagnosisDlg::OnServiceNext(const SiteInfo& form) {
    for (std::size_t i = kFirstServiceField; i < kFirstServiceField + kServiceFieldCount; ++i) {
        m_SiteInfo.Field(i) = form.Field(i);
    }
    SetActivePage(kIdCompletionPage);
    m_pStep5Dlg->WriteReportFile(m_folder.ReportFolder(), m_SiteInfo, m_engine.Data());
}

void CDiagnosisDlg::OnExit() {
    m_shell.ExitProcess();
}

void CDiagnosisDlg::SendReport() {
    const std::string& path = m_pStep5Dlg->m_strReportPath;
    if (path.empty()) {
        m_messages.Notify(std::string(kMsgNoReportFile));
        return;
    }
    if (!m_messages.Ask(std::string(kMsgSendQuestion))) {
        m_messages.Notify(std::string(kMsgOperationCancel));
        return;
    }
    const Result<bool> sent = UploadReport(std::string(path));
    if (!sent) {
        qCWarning(vokUpload).noquote() << QString::fromStdString(sent.error());
        m_messages.Notify(std::string(kErrorMessagePrefix) + sent.error());
    } else {
        m_messages.Notify(std::string(*sent ? kUploadSuccessMessage : kUploadFailedMessage));
    }
    // Behind the message the user has seen: a report the center could not
    // take now waits in the outbox, one it took leaves it.
    SettleOutbox();
}

void CDiagnosisDlg::ShowReport() {
    if (m_pStep5Dlg->m_strReportPath.empty()) {
        m_messages.Notify(std::string(kMsgNoReportFile));
        return;
    }
    CDialogReport report(m_folder, m_messages, m_shell);
    report.m_strReportName = m_pStep5Dlg->m_strReportName;
    report.m_strReportPath = m_pStep5Dlg->m_strReportPath;
    report.Show();
}

void CDiagnosisDlg::SkipAcquisition() {
    // Waits for the worker, then clears the tables: nothing received before
    // Skip survives, and nothing it reported is shown any more.
    m_engine.Skip();
    m_observer.EndRun();
}

void CDiagnosisDlg::OnAcquisitionFinished(AcquisitionOutcome outcome, const std::string& reason) {
    switch (outcome) {
        case AcquisitionOutcome::Completed:
            m_pStep2Dlg->m_btnSkip.setEnabled(false);
            m_pStep2Dlg->m_btnNext.setEnabled(true);
            if (m_messages.Ask(std::string(kMsgGoNextQuestion))) {
                GoToUserPage();
            }
            break;
        case AcquisitionOutcome::EnableFailed:
            m_messages.Notify(std::string(kMsgCannotEnable));
            break;
        case AcquisitionOutcome::DeviceLost:
            // The wizard has no message for it: the status text stops, and
            // Skip stays the way on.
            qCWarning(vokLink).noquote() << QString::fromStdString(reason);
            break;
        default:
            break;
    }
}

void CDiagnosisDlg::ClearDiagnosisData() {
    m_engine.ClearDiagnosisData();
}

DiagnosisData CDiagnosisDlg::Data() const {
    return m_engine.Data();
}

Result<bool> CDiagnosisDlg::UploadReport(const std::string& path) {
    m_lastUpload.reset();
    // CONFIG.ini is read at each send, as the site's forms are.
    const Result<CenterSettings> center =
        CenterSettings::Resolve(m_options.server, m_options.caFile, m_folder.ConfigFile());
    if (!center) {
        return Error{center.error()};
    }
    const ServiceCenterUpload upload = center->Client();

    // The upload may take as long as its time limits allow; the window goes
    // on painting while it runs, and input waits until the answer is in, as
    // it would if the handler blocked.
    std::optional<UploadResult> result;
    QEventLoop loop;
    m_bUploading = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    std::thread worker([&] {
        result.emplace(upload.Send(path));
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the application is told to quit; the upload is
    // bounded by its time limits, so waiting for it is bounded too.
    worker.join();
    QGuiApplication::restoreOverrideCursor();
    m_bUploading = false;
    m_lastUpload.emplace(path, *result);
    return result->ToResult();
}

void CDiagnosisDlg::SettleOutbox() {
    if (!m_lastUpload) {
        return;
    }
    const auto [path, result] = *std::exchange(m_lastUpload, std::nullopt);
    // The wizard's messages stay as they are; a report that cannot be kept
    // for later is said where a site's support can find it.
    if (const Status settled = UploadOutbox(m_folder.ReportFolder()).Settle(path, result);
        !settled) {
        qCWarning(vokUpload).noquote() << QString::fromStdString(settled.error());
    }
}

void CDiagnosisDlg::ShowError(const std::string& text) {
    m_shell.PlayErrorSound(m_folder.ErrorSoundFile());
    m_pErrorDlg->SetErrorCode(text);
    SetActivePage(kIdErrorPage);
}

void CDiagnosisDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CDiagnosisDlg::Shutdown() {
    // The worker stops, closes the device and is waited for before anything
    // it uses goes; what it reported and the pages have not shown yet is
    // dropped.
    m_engine.Close();
    m_observer.EndRun();
}

void CDiagnosisDlg::closeEvent(QCloseEvent* event) {
    if (m_bUploading) {
        // The upload's handler is still on the stack and returns to pages
        // that must still be there.
        event->ignore();
        return;
    }
    Shutdown();
    QDialog::closeEvent(event);
}

void CDiagnosisDlg::keyPressEvent(QKeyEvent* event) {
    // Escape would end the dialog behind the close handler's back; Enter
    // reaches a focused button through the button itself.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDiagnosisDlg::done(int result) {
    // Every way out of the dialog stops the acquisition first.
    Shutdown();
    QDialog::done(result);
}

}  // namespace vok
