#pragma once

#include <memory>
#include <string>

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
#include "wizard/CWizardDialog.h"

namespace vok {

class CDialogStep1Dlg;
class CDialogStep2Dlg;
class CDialogStep3Dlg;
class CDialogStep4Dlg;
class CDialogStep5Dlg;
class CDialogError;

// The main dialog (template 102): hosts the six pages, owns the acquisition
// and the site information, and offers the pages the start of a diagnosis,
// the error path and the services of the desktop.
class CDiagnosisDlg : public CWizardDialog {
    Q_OBJECT

public:
    CDiagnosisDlg(DiagnosisOptions options, MessageBoxService& messages, DesktopShell& shell,
                  QWidget* parent = nullptr);
    ~CDiagnosisDlg() override;

    // Start: open the link, load the site information, reset, ask, and on Yes
    // start the acquisition and show page 130. The link's status (0 when
    // opened).
    int StartDiagnosis();

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
    bool IsUploading() const { return m_bUploading; }

    void ShowAbout();

    MessageBoxService& Messages() { return m_messages; }
    DesktopShell& Shell() { return m_shell; }
    const DataFolder& Folder() const { return m_folder; }
    const DiagnosisOptions& Options() const { return m_options; }

    // The pages register here in their own initialisation.
    CDialogStep1Dlg* m_pStep1Dlg = nullptr;
    CDialogStep2Dlg* m_pStep2Dlg = nullptr;
    CDialogStep3Dlg* m_pStep3Dlg = nullptr;
    CDialogStep4Dlg* m_pStep4Dlg = nullptr;
    CDialogStep5Dlg* m_pStep5Dlg = nullptr;
    CDialogError* m_pErrorDlg = nullptr;

    SiteInfo m_SiteInfo;

protected:
    CWizardPage* CreatePage(unsigned id) override;
    void OnPageChanged(unsigned id, bool shown) override;

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void OnInitDialog();
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
    QFrame m_placeholder;
    QLabel m_footer;
    // The engine goes first and joins its worker before the observer goes.
    GuiAcquisitionObserver m_observer;
    AcquisitionEngine m_engine;
};

}  // namespace vok
