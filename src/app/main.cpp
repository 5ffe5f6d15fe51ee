// vok-diagnosis: the VOK Remote Diagnosis wizard.
#include "app/CDiagnosisApp.h"

int main(int argc, char** argv) {
    return vok::CDiagnosisApp::Main(argc, argv);
}
