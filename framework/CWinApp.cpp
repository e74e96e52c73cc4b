#include "framework/CWinApp.h"

namespace {
CWinApp* g_currentApp = nullptr;
constexpr const wchar_t* RICH_EDIT_LIBRARY = L"RICHED32.DLL";
}  // namespace

CWinApp::CWinApp(const wchar_t* appName) : m_strAppName(appName != nullptr ? appName : L"") {
    g_currentApp = this;
}

CWinApp::~CWinApp() {
    if (g_currentApp == this) g_currentApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

void CWinApp::SetRegistryKey(const wchar_t* key) { m_strRegistryKey = key; }

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() { return g_currentApp; }

CWnd* AfxGetMainWnd() { return g_currentApp != nullptr ? g_currentApp->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return ::GetModuleHandleW(nullptr); }

bool AfxInitRichEdit() { return ::LoadLibraryW(RICH_EDIT_LIBRARY) != nullptr; }

void AfxEnableControlContainer() {}
