// vok-diagnosis: the VOK Remote Diagnosis wizard.
#include "app/CDiagnosisApp.h"

int main(int argc, char** argv) {
    vok::CDiagnosisApp app(argc, argv);
    return app.Run();
}
