#pragma once

#include <QApplication>

namespace vok {

// The application: reads the command line, makes the desktop services and
// runs the main dialog; the process lives as long as that dialog.
class CDiagnosisApp : public QApplication {
    Q_OBJECT

public:
    CDiagnosisApp(int& argc, char** argv);

    // The exit status: 0 when the dialog ended, 2 on a bad command line.
    int Run();

private:
    int m_argc;
    char** m_argv;
};

}  // namespace vok
