// The application object: one per process, constructed with the process-wide
// objects; the program's entry point runs its InitInstance and ExitInstance.
#pragma once

#include "framework/CWinThread.h"

#include <string>

class CWnd;

constexpr UINT ID_HELP = 0xE146;

class CWinApp : public CWinThread {
public:
    explicit CWinApp(const wchar_t* appName = nullptr);
    ~CWinApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Names the registry key under which the application would keep settings.
    void SetRegistryKey(const wchar_t* key);
    // The Help command: the program ships no help file, so nothing opens.
    void OnHelp();

    std::wstring m_strAppName;
    std::wstring m_strRegistryKey;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// Loads the rich-edit control's library; true when it loaded.
bool AfxInitRichEdit();
// The program's dialogs hold no ActiveX controls, so containment needs no set-up.
void AfxEnableControlContainer();
