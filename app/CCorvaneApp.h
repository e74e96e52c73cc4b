// The application object: starts the platform services, runs the main window
// modally for the whole life of the program and shuts GDI+ down at the end.
#pragma once

#include "framework/CWinApp.h"

class CCorvaneApp : public CWinApp {
public:
    CCorvaneApp();
    ~CCorvaneApp() override = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

    ULONG_PTR m_gdiplusToken = 0;
    BOOL m_bComPortOpen;

    DECLARE_MESSAGE_MAP()
};
