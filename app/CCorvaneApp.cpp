#include "app/CCorvaneApp.h"

#include "app/CCorvaneDlg.h"

#include <winsock2.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

namespace {

// Every class from list views to the animation control.
constexpr DWORD ALL_COMMON_CONTROL_CLASSES = 0xFF;
constexpr WORD WINSOCK_VERSION_2_2 = 0x0202;
constexpr const wchar_t* REGISTRY_KEY = L"应用程序向导生成的本地应用程序";

}  // namespace

BEGIN_MESSAGE_MAP(CCorvaneApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CCorvaneApp::CCorvaneApp() : CWinApp(nullptr), m_bComPortOpen(FALSE) {}

BOOL CCorvaneApp::InitInstance() {
    INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX), ALL_COMMON_CONTROL_CLASSES};
    ::InitCommonControlsEx(&commonControls);

    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusInput, nullptr);

    CWinApp::InitInstance();
    AfxEnableControlContainer();
    SetRegistryKey(REGISTRY_KEY);
    AfxInitRichEdit();

    WSADATA winsock;
    ::WSAStartup(WINSOCK_VERSION_2_2, &winsock);

    CCorvaneDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

int CCorvaneApp::ExitInstance() {
    Gdiplus::GdiplusShutdown(m_gdiplusToken);
    return CWinApp::ExitInstance();
}
