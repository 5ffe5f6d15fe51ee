#pragma once

#include <string>
#include <string_view>

namespace vok {

// The server's verdict on an upload: the first line of the reply body, fed in
// whatever pieces the network delivers. The line ends at the first LF; a CR
// right before it (or at the very end of the body) belongs to the line end.
// Only the line decides, never the HTTP status.
class FirstReplyLine {
public:
    // Takes the next bytes of the body; everything after the line end is
    // ignored.
    void Add(std::string_view bytes);

    // The line end has arrived, so the rest of the body does not matter.
    bool Complete() const { return m_complete; }

    // The line with every space removed is exactly "200". An empty body or a
    // body cut short of its line end counts with what did arrive.
    bool IsSuccess() const;

private:
    std::string m_kept;  // the line's bytes other than spaces, cut to a few
    bool m_overflow = false;
    bool m_lastWasCr = false;
    bool m_complete = false;
};

}  // namespace vok
