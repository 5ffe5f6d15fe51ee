#pragma once

namespace vok {

// Screen readers (Orca through AT-SPI) learn about widgets from Qt's
// accessibility interfaces. Qt knows its own widgets; the owner-drawn
// controls that derive from a plain QWidget get theirs from the factory
// installed here, as the standard controls they imitate: the font label as
// static text, the text progress bar as a progress bar. The icon button is a
// QPushButton and already speaks as one.
class ControlAccessibility {
public:
    // Installs the factory, once per process; the controls' constructors
    // call it, so no interface of theirs is ever made without it.
    static void Install();
};

}  // namespace vok
