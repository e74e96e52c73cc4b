// The Upgrade page's set-up, its choice of image file, and what its concerns
// share: the hand-over of frames, the timers, the message log and its colour.
#include "pages/CFWDlg.h"

#include "app/MainWindowTimers.h"
#include "app/PanelMessages.h"
#include "app/ProcessState.h"
#include "core/FirmwareImageRules.h"
#include "framework/CFileDialog.h"
#include "framework/CWinApp.h"
#include "pages/Popups.h"
#include "res/resource.h"

#include <algorithm>
#include <vector>

namespace {

constexpr UINT LABEL_CHARACTER_LIMIT = 16;
constexpr const wchar_t* BIN_EXTENSION = L"bin";
constexpr const wchar_t* BIN_FILTER = L"Binary file(*.bin)|*.bin||";
constexpr DWORD BIN_DIALOG_FLAGS = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
constexpr const wchar_t* TEXT_WRONG_FILE = L"Wrong file(.bin)!";
constexpr COLORREF LOG_FAILED_RED = RGB(255, 0, 0);
constexpr COLORREF LOG_BLACK = RGB(0, 0, 0);
// The bar's pace during a transfer: about ten repaints a second.
constexpr UINT PROGRESS_REPAINT_PERIOD_MS = 100;

using FirmwareImageRules::ImageKind;

class FileHandle {
public:
    explicit FileHandle(const std::wstring& path)
        : m_handle(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~FileHandle() {
        if (IsOpen()) ::CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

bool ReadWholeFile(HANDLE file, std::vector<BYTE>& bytes) {
    DWORD read = 0;
    return ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
}

void ShowWrongFile() {
    g_messageText = TEXT_WRONG_FILE;
    ShowMessageDialog();
}

}  // namespace

BEGIN_MESSAGE_MAP(CFWDlg, CDialog)
    ON_BN_CLICKED(IDC_UPGRADE_OPEN_OFF_PAGE, OnClickedOpenOffPage)
    ON_BN_CLICKED(IDC_UPGRADE_START, OnClickedUpgrade)
    ON_WM_TIMER()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_UPGRADE_OPEN, OnClickedOpenBin)
    ON_BN_CLICKED(IDC_UPGRADE_SET_LABELS, OnClickedSetLabels)
END_MESSAGE_MAP()

CFWDlg::CFWDlg() : CDialog(IDD_UPGRADE_PAGE) {}

// Enter and Esc would end the page like a dialog; Space still presses buttons.
BOOL CFWDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CFWDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    DoDataExchange();
    m_editLabel1.SetLimitText(LABEL_CHARACTER_LIMIT);
    m_editLabel2.SetLimitText(LABEL_CHARACTER_LIMIT);
    return TRUE;
}

void CFWDlg::DoDataExchange() {
    m_editLabel1.SubclassDlgItem(IDC_UPGRADE_LABEL_1, this);
    m_editLabel2.SubclassDlgItem(IDC_UPGRADE_LABEL_2, this);
    m_log.SubclassDlgItem(IDC_UPGRADE_LOG, this);
    m_progress.SubclassDlgItem(IDC_UPGRADE_PROGRESS, this);
}

void CFWDlg::OnClickedOpenOffPage() {}

void CFWDlg::OnClickedOpenBin() {
    if (!g_linkIdle) return;
    CFileDialog dialog(TRUE, BIN_EXTENSION, nullptr, BIN_DIALOG_FLAGS, BIN_FILTER, m_hWnd);
    if (dialog.DoModal() != IDOK) return;
    if (!LoadImageFile(dialog.GetPathName(), dialog.GetFileName())) return;
    SetDlgItemText(IDC_UPGRADE_PATH, dialog.GetPathName());
}

// The file is read whole before anything changes: a refused or unreadable
// file leaves kind, number, buffers, progress and path as they were. A file
// longer than its kind can carry is refused rather than cut.
bool CFWDlg::LoadImageFile(const std::wstring& path, const std::wstring& fileName) {
    const FirmwareImageRules::NameVerdict verdict = FirmwareImageRules::ClassifyName(fileName);
    if (!verdict.accepted) {
        ShowWrongFile();
        return false;
    }
    const FileHandle file(path);
    LARGE_INTEGER size{};
    if (!file.IsOpen() || !::GetFileSizeEx(file.Get(), &size)) return false;
    if (!FirmwareImageRules::IsLengthAccepted(verdict.kind, static_cast<std::size_t>(size.QuadPart))) {
        ShowWrongFile();
        return false;
    }
    std::vector<BYTE> image(static_cast<std::size_t>(size.QuadPart));
    if (!ReadWholeFile(file.Get(), image)) return false;

    const bool flash = verdict.kind == ImageKind::Flash;
    BYTE* buffer = flash ? g_flashImageBuffer : g_mcuImageBuffer;
    std::fill_n(buffer, flash ? FLASH_IMAGE_CAPACITY : MCU_IMAGE_CAPACITY, DeviceFrame::IMAGE_PADDING);
    std::copy(image.begin(), image.end(), buffer);
    (flash ? g_flashImageLength : g_mcuImageLength) = static_cast<int>(image.size());
    g_isFlashImage = flash;
    if (flash) g_flashNumber = verdict.flashNumber;
    ShowProgressNow(0);
    m_progress.SetRange32(0, static_cast<int>(image.size()));
    return true;
}

// The frame goes to the main window at once, not posted: a shared buffer
// written again before a posted request was taken would send the later frame
// twice and the earlier one never.
void CFWDlg::SendToDevice(WPARAM sendKind) const {
    CWnd* mainWindow = AfxGetMainWnd();
    if (mainWindow != nullptr) mainWindow->SendMessage(WM_SEND_REQUEST, sendKind);
}

// The waits are scaled like the main window's, so that tests may shorten them.
void CFWDlg::ArmTimer(UINT_PTR id, UINT periodMs) { SetTimer(id, ScaledPeriod(periodMs)); }

void CFWDlg::AppendLog(const wchar_t* text) const { m_log.AppendText(text); }

// Repainting the bar takes longer than the page's answer to an
// acknowledgement, and a repaint under way holds up the next one: during a
// transfer the bar catches up a few times a second, when the window's queue
// is empty.
void CFWDlg::ShowProgress(int position) {
    m_nProgressToShow = position;
    if (!m_bProgressRepaintDue)
        m_bProgressRepaintDue = SetTimer(TIMER_PROGRESS_REPAINT, PROGRESS_REPAINT_PERIOD_MS) != 0;
}

void CFWDlg::RepaintProgress() {
    KillTimer(TIMER_PROGRESS_REPAINT);
    m_bProgressRepaintDue = false;
    m_progress.SetPos(m_nProgressToShow);
}

// A transfer's end, and a new file, are shown before the page's handler
// returns, so that whoever reads the log's last line finds the bar with it.
void CFWDlg::ShowProgressNow(int position) {
    m_nProgressToShow = position;
    m_progress.SetPos(position);
}

// The whole log turns red at once, not only the lines written from now on.
void CFWDlg::MarkFailed() {
    g_upgradeFailed = TRUE;
    m_log.Invalidate();
}

HBRUSH CFWDlg::OnCtlColor(HDC dc, HWND control, UINT colourMessage) {
    HBRUSH brush = CDialog::OnCtlColor(dc, control, colourMessage);
    if (control == m_log.m_hWnd) ::SetTextColor(dc, g_upgradeFailed ? LOG_FAILED_RED : LOG_BLACK);
    return brush;
}
