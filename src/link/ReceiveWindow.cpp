#include "link/ReceiveWindow.h"

#include <algorithm>

namespace vok {

void ReceiveWindow::Push(std::uint8_t byte) {
    std::copy(m_bytes.begin() + 1, m_bytes.end(), m_bytes.begin());
    m_bytes.back() = byte;
    m_sinceFrame = std::min(m_sinceFrame + 1, kRxWindowSize);
}

bool ReceiveWindow::IsFrameHeader() const {
    return m_sinceFrame >= kRxWindowSize - kWindowHeader1Pos &&
           m_bytes[kWindowHeader1Pos] == kFrameHeader1 &&
           m_bytes[kWindowHeader2Pos] == kFrameHeader2;
}

int ReceiveWindow::GetFrameLength() const {
    return static_cast<int>(m_bytes[kWindowLengthPos]) - 1;
}

std::uint8_t ReceiveWindow::GetFrameCommand() const {
    return m_bytes[kWindowCommandPos];
}

}  // namespace vok
