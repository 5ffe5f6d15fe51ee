#pragma once

#include <QDialog>

namespace vok {

// Template 100: the program's name and version, and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace vok
