#pragma once

#include <stop_token>
#include <string>

#include "link/AcquisitionObserver.h"

namespace vok {

class CDiagnosisDlg;
class GuiInvoker;

// The acquisition's page effects, carried from its worker to the GUI thread
// one at a time and in order; the worker waits for each. Every call gives up
// at once when the engine's stop token fires (Skip, close), so the GUI thread
// can wait for the worker without a deadlock.
class GuiAcquisitionObserver : public AcquisitionObserver {
public:
    GuiAcquisitionObserver(CDiagnosisDlg& dialog, GuiInvoker& invoker);

    void AddStatusLine(const std::string& line, std::stop_token cancel) override;
    void SetSystemProgress(int position, std::stop_token cancel) override;
    void SetLogProgress(int position, std::stop_token cancel) override;
    void SetButtons(bool skipEnabled, bool nextEnabled, std::stop_token cancel) override;
    bool AskGoNext(const std::string& question, std::stop_token cancel) override;
    void GoToUserPage(std::stop_token cancel) override;
    void ShowMessage(const std::string& text, std::stop_token cancel) override;
    void DeviceLost(const std::string& reason, std::stop_token cancel) override;

private:
    CDiagnosisDlg& m_dialog;
    GuiInvoker& m_invoker;
};

}  // namespace vok
