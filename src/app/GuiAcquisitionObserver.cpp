#include "app/GuiAcquisitionObserver.h"

#include <iostream>

#include "app/CDiagnosisDlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/PageTemplates.h"
#include "platform/GuiInvoker.h"
#include "platform/MessageBoxService.h"

namespace vok {

// Each call captures what it needs by value: after a cancel the worker has
// gone on, and nothing of its stack may be touched.

GuiAcquisitionObserver::GuiAcquisitionObserver(CDiagnosisDlg& dialog, GuiInvoker& invoker)
    : m_dialog(dialog), m_invoker(invoker) {}

void GuiAcquisitionObserver::AddStatusLine(const std::string& line, std::stop_token cancel) {
    m_invoker.Invoke([dialog = &m_dialog, line] { dialog->m_pStep2Dlg->AddStatusLine(line); },
                     std::move(cancel));
}

void GuiAcquisitionObserver::SetSystemProgress(int position, std::stop_token cancel) {
    m_invoker.Invoke(
        [dialog = &m_dialog, position] { dialog->m_pStep2Dlg->SetSystemProgress(position); },
        std::move(cancel));
}

void GuiAcquisitionObserver::SetLogProgress(int position, std::stop_token cancel) {
    m_invoker.Invoke(
        [dialog = &m_dialog, position] { dialog->m_pStep2Dlg->SetLogProgress(position); },
        std::move(cancel));
}

void GuiAcquisitionObserver::SetButtons(bool skipEnabled, bool nextEnabled,
                                        std::stop_token cancel) {
    m_invoker.Invoke(
        [dialog = &m_dialog, skipEnabled, nextEnabled] {
            dialog->m_pStep2Dlg->m_btnSkip.setEnabled(skipEnabled);
            dialog->m_pStep2Dlg->m_btnNext.setEnabled(nextEnabled);
        },
        std::move(cancel));
}

bool GuiAcquisitionObserver::AskGoNext(const std::string& question, std::stop_token cancel) {
    const std::optional<bool> yes = m_invoker.Call(
        [dialog = &m_dialog, question] { return dialog->Messages().Ask(question) == kAnswerYes; },
        std::move(cancel));
    return yes.value_or(false);
}

void GuiAcquisitionObserver::GoToUserPage(std::stop_token cancel) {
    m_invoker.Invoke(
        [dialog = &m_dialog] {
            dialog->m_pStep3Dlg->LoadUserInfo();
            dialog->SetActivePage(kIdUserPage);
        },
        std::move(cancel));
}

void GuiAcquisitionObserver::ShowMessage(const std::string& text, std::stop_token cancel) {
    m_invoker.Invoke([dialog = &m_dialog, text] { dialog->Messages().Notify(text); },
                     std::move(cancel));
}

void GuiAcquisitionObserver::DeviceLost(const std::string& reason, std::stop_token /*cancel*/) {
    // The wizard has no message for it: the status text stops, and Skip
    // stays the way on. The reason goes where a support call can find it.
    std::cerr << "vok-diagnosis: " << reason << "\n";
}

}  // namespace vok
