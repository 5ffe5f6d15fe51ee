#pragma once

#include <stop_token>
#include <string>

namespace vok {

// The page effects of an acquisition: what the worker asks of the progress
// page, the user page and the wizard frame. The GUI carries each call to its
// own thread in order; `vok acquire` prints them.
//
// Every call comes from the acquisition worker and is synchronous from its
// point of view: the worker goes on only when the call returns. The GUI
// thread, however, may at that very moment be inside Skip() or Close() of
// the engine, waiting for the worker to end. To rule out that deadlock, each
// call carries a stop token that the engine triggers before Skip() or
// Close() waits. An implementation that waits for another thread MUST stop
// waiting when the token is triggered, and then return at once (AskGoNext
// answering false). CallCompletion does exactly that wait:
//
//     void AddStatusLine(const std::string& line, std::stop_token cancel) override {
//         auto done = std::make_shared<vok::CallCompletion>();
//         QMetaObject::invokeMethod(m_page, [page = m_page, line, done] {
//             page->AddStatusLine(line);
//             done->Done();
//         }, Qt::QueuedConnection);
//         done->Wait(cancel);
//     }
//
// AskGoNext does the same with the answer kept in shared state beside the
// completion (false unless the user said Yes before the cancel).
//
// Capture by value (or shared_ptr) whatever the queued call needs: after a
// cancel it may still run on the GUI thread once the worker has moved on, or
// be dropped with its context object. Never call Skip() or Close() from
// inside an observer call.
class AcquisitionObserver {
public:
    virtual ~AcquisitionObserver() = default;

    // Progress page: one more status line; the bar positions (counts of
    // frames, which the bars clamp into their ranges); Skip and Next.
    virtual void AddStatusLine(const std::string& line, std::stop_token cancel) = 0;
    virtual void SetSystemProgress(int position, std::stop_token cancel) = 0;
    virtual void SetLogProgress(int position, std::stop_token cancel) = 0;
    virtual void SetButtons(bool skipEnabled, bool nextEnabled, std::stop_token cancel) = 0;

    // The end question (Yes/No). True only for Yes; false when cancelled.
    virtual bool AskGoNext(const std::string& question, std::stop_token cancel) = 0;
    // After Yes: the user page loads its form (LoadUserInfo) and is shown
    // (SetActivePage 131).
    virtual void GoToUserPage(std::stop_token cancel) = 0;

    // A message box with an OK button ("ERROR : CANNOT ENABLE USB CONNECTION !!!").
    virtual void ShowMessage(const std::string& text, std::stop_token cancel) = 0;

    // The device failed mid-acquisition; the worker ends after this call.
    // The wizard shows nothing (Skip stays the way on); vok acquire reports it.
    virtual void DeviceLost(const std::string& reason, std::stop_token cancel) = 0;
};

}  // namespace vok
