#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <QFrame>
#include <QLabel>

#include "app/DiagnosisOptions.h"
#include "app/GuiAcquisitionObserver.h"
#include "core/DiagnosisData.h"
#include "link/AcquisitionEngine.h"
#include "platform/DataFolder.h"
#include "platform/DesktopShell.h"
#include "platform/MessageBoxService.h"
#include "report/SiteInfo.h"
#include "upload/UploadResult.h"
#include "wizard/CWizardDialog.h"

namespace vok {

class CDialogStep1Dlg;
class CDialogStep2Dlg;
class CDialogStep3Dlg;
class CDialogStep4Dlg;
class CDialogStep5Dlg;
class CDialogError;

// The main dialog (template 102): hosts the six pages, owns the acquisition
// and the site information, and is the wizard's one controller. The pages
// report what the user asked for (start, load, skip, next, back, send,
// report, exit) with the data of their forms; only this dialog changes the
// page, fills another page's form and carries out what spans pages.
class CDiagnosisDlg : public CWizardDialog {
    Q_OBJECT

public:
    CDiagnosisDlg(DiagnosisOptions options, MessageBoxService& messages, DesktopShell& shell,
                  QWidget* parent = nullptr);
    ~CDiagnosisDlg() override;

    // Start: open the link, load the site information, reset, ask, and on Yes
    // start the acquisition and show page 130. Without a device: the error
    // page.
    void StartDiagnosis();

    // Error sound, the text on the error page, page 134.
    void ShowError(const std::string& text);

    // Skip on page 130 after its Yes: the acquisition stops and nothing it
    // received survives.
    void SkipAcquisition();

    // Marks both tables empty and forgets the console version.
    void ClearDiagnosisData();

    // The tables, version and serial as the acquisition left them.
    DiagnosisData Data() const;

    // Posts the report file at `path` (passed on exactly as given) to the
    // service center, or to the --server one. true: the server answered
    // "200"; false: any other answer; an error with the HTTP client's or the
    // file's own text. The window keeps painting meanwhile but takes no
    // input, and cannot be closed, until the answer is in.
    Result<bool> UploadReport(const std::string& path);
    // Called after the Send's message: puts the report just sent into the
    // outbox when the center could not take it now, takes it out when the
    // center decided.
    void SettleOutbox();
    bool IsUploading() const { return m_bUploading; }

    // Send to Service Center (page 133, and Load on page 129): asks, uploads
    // the completion page's report file and tells the outcome.
    void SendReport();
    // Report (page 133): renders the completion page's report file again and
    // opens it in the browser.
    void ShowReport();

    void ShowAbout();

    const DataFolder& Folder() const { return m_folder; }

    // The pages, made by CreatePage.
    CDialogStep1Dlg* m_pStep1Dlg = nullptr;
    CDialogStep2Dlg* m_pStep2Dlg = nullptr;
    CDialogStep3Dlg* m_pStep3Dlg = nullptr;
    CDialogStep4Dlg* m_pStep4Dlg = nullptr;
    CDialogStep5Dlg* m_pStep5Dlg = nullptr;
    CDialogError* m_pErrorDlg = nullptr;

    SiteInfo m_SiteInfo;

protected:
    CWizardPage* CreatePage(unsigned id) override;

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void OnInitDialog();
    // What the pages ask for.
    void OnLoad();
    void OnSkip();
    void OnProgressNext();
    void OnUserNext(const SiteInfo& form);
    void OnServiceBack();
    void OnServiceNext(const SiteInfo& form);
    void OnExit();
    // The user page with its form freshly read from the site configuration.
    void GoToUserPage();
    // One read of CONFIG.ini through `read`; a file that is there but cannot
    // be read is told to the user, and the fields are empty.
    SiteInfo ReadSite(Result<SiteInfo> (*read)(const std::string&));
    // The acquisition's end, on the GUI thread: for a complete log, Skip
    // off, Next on and the question that leads to the user page.
    void OnAcquisitionFinished(AcquisitionOutcome outcome, const std::string& reason);
    // The close handler's work: stop the acquisition, close the link, wait
    // for the worker. Safe to run more than once.
    void Shutdown();

    DiagnosisOptions m_options;
    DataFolder m_folder;
    MessageBoxService& m_messages;
    DesktopShell& m_shell;
    bool m_bUploading = false;
    std::optional<std::pair<std::string, UploadResult>> m_lastUpload;  // path, outcome
    QFrame m_placeholder;
    QLabel m_footer;
    // The engine goes first and joins its worker before the observer goes.
    GuiAcquisitionObserver m_observer;
    AcquisitionEngine m_engine;
};

}  // namespace vok
