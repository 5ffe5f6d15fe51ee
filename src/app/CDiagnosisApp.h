#pragma once

#include <QApplication>

#include "app/DiagnosisOptions.h"

namespace vok {

// The application: reads the command line, makes the desktop services and
// runs the main dialog; the process lives as long as that dialog.
class CDiagnosisApp : public QApplication {
    Q_OBJECT

public:
    CDiagnosisApp(int& argc, char** argv);

    // Reads the command line before the GUI starts (help, version and
    // mistakes need no display), then runs the main dialog. The exit status:
    // 0 when the dialog ended, 2 on a bad command line.
    static int Main(int argc, char** argv);

private:
    int Run(const DiagnosisOptions& options);
};

}  // namespace vok
