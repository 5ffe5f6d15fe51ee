#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include <QString>

namespace vok {

class CFontLabel;

// Texts and the panel look that several pages share.
class PageTexts {
public:
    // The format with each "%s" replaced by the next argument, bytes as they
    // are; inserted text is never scanned again.
    static std::string Format(std::string_view format,
                              std::initializer_list<std::string_view> args);

    // The header line with the program version, as the panels begin.
    static std::string Header();

    // Bytes of the system's own texts and files, as the GUI shows them.
    static QString Show(std::string_view bytes);
    static std::string Bytes(const QString& text);

    // White Verdana 16 on black, left-aligned: the look of every text panel.
    static void StylePanel(CFontLabel& panel);
};

}  // namespace vok
