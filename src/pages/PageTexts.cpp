#include "pages/PageTexts.h"

#include <QByteArray>

#include "controls/CFontLabel.h"
#include "core/Version.h"
#include "wizard/DialogFonts.h"

namespace vok {

namespace {

constexpr int kPanelFontHeight = 16;
constexpr int kPanelFontStyle = 64;  // left-aligned

// Panel texts.
constexpr std::string_view kPageHeaderFormat =
    "\n\n\n                             VOK Remote Diagnosis V %s \n\n\n";

}  // namespace

std::string PageTexts::Format(std::string_view format,
                              std::initializer_list<std::string_view> args) {
    std::string text;
    auto next = args.begin();
    std::size_t from = 0;
    for (std::size_t at = format.find("%s"); at != std::string_view::npos && next != args.end();
         at = format.find("%s", from)) {
        text.append(format.substr(from, at - from));
        text.append(*next++);
        from = at + 2;
    }
    text.append(format.substr(from));
    return text;
}

std::string PageTexts::Header() {
    return Format(kPageHeaderFormat, {kProgramVersion});
}

QString PageTexts::Show(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string PageTexts::Bytes(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

void PageTexts::StylePanel(CFontLabel& panel) {
    panel.SetFont(Show(kPanelFontFace), kPanelFontHeight, QColor(255, 255, 255), kPanelFontStyle);
    panel.SetBkColor(QColor(0, 0, 0));
}

}  // namespace vok
