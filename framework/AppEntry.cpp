// The program's entry point: the process-wide objects, the application object
// among them, are constructed before it runs.
#include "framework/CWinApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return -1;
    app->InitInstance();
    return app->ExitInstance();
}
