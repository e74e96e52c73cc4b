#include "tests/wine/UpgradePageFixture.h"

#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "core/RequestGate.h"
#include "framework/CWinApp.h"
#include "res/resource.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/WindowsPath.h"

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

// A message box stays up this long before it is closed, so that a test can
// see what waits for it.
constexpr DWORD MESSAGE_BOX_HOLD_MS = 300;
constexpr POINT PAGE_PLACE = {1, 70};
const std::wstring FRESH_DEVICE_LINE = L"Device: Corvane 4x4     Version:1.0";

bool IsUpgradePageFrame(const Bytes& frame) {
    if (DeviceFrame::StartsWithSync(frame.data(), DeviceFrame::DataSync)) return true;
    const std::uint8_t group = frame[2];
    const std::uint8_t item = frame[3];
    return (group == 0x08 && (item == 0x07 || item == 0x08)) || group == 0xF8 || group == 0xFA ||
           (group == 0x01 && item >= 0x01 && item <= 0x03);
}

}  // namespace

void UpgradePageFixture::SetUp() {
    MainWindowSuite::SetUp();
    if (HasFatalFailure()) return;
    SetTimerScale(FAST_TIMER_SCALE);
    m_operator.Start();
    m_operator.HoldBoxesFor(MESSAGE_BOX_HOLD_MS);
    g_linkIdle = TRUE;
    g_upgradeFailed = FALSE;
    g_rebootWait = FALSE;
    g_mcuOffset = 0;
    g_flashOffset = 0;
    g_messageDlgShown = FALSE;
    g_deviceInfoText.clear();
    ConnectComPort();
    PumpFor(SETTLE_MS);
    ShowUpgradePage();
    if (HasFatalFailure()) return;
    for (int id : {IDC_UPGRADE_PATH, IDC_UPGRADE_LOG, IDC_UPGRADE_LABELS_READ}) g_fwDlg.SetDlgItemText(id, L"");

    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    m_folder = std::wstring(temp) + L"corvane-upgrade\\";
    ::CreateDirectoryW(m_folder.c_str(), nullptr);
}

// The operator's click on the "Upgrade" tab: the page comes up at (1, 70),
// the General poll stops and the device line is asked for.
void UpgradePageFixture::ShowUpgradePage() {
    if (g_fwDlg.m_hWnd != nullptr) g_fwDlg.SetDlgItemText(IDC_UPGRADE_DEVICE_INFO, L"");
    s_window->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TAB_UPGRADE, STN_CLICKED),
                        reinterpret_cast<LPARAM>(s_window->GetDlgItem(IDC_TAB_UPGRADE)));
    ASSERT_NE(g_fwDlg.m_hWnd, nullptr) << "the Upgrade page did not open";
    ASSERT_EQ(s_window->m_nPage, PAGE_UPGRADE);
    RECT page{};
    g_fwDlg.GetWindowRect(&page);
    s_window->ScreenToClient(&page);
    EXPECT_EQ(page.left, PAGE_PLACE.x);
    EXPECT_EQ(page.top, PAGE_PLACE.y);
    EXPECT_TRUE(g_fwDlg.IsWindowVisible());
    ASSERT_TRUE(PumpUntil([] { return !g_fwDlg.GetDlgItemText(IDC_UPGRADE_DEVICE_INFO).empty(); }, ARRIVAL_TIMEOUT_MS))
        << "no device line on showing the page";
    EXPECT_EQ(g_fwDlg.GetDlgItemText(IDC_UPGRADE_DEVICE_INFO), FRESH_DEVICE_LINE);
    m_firstTestFrame = AllUpgradeFrames().size();
}

// The page's timers die with the test: a transfer a test left running must
// not send into the next test's simulator.
void UpgradePageFixture::TearDown() {
    for (UINT_PTR id : {TIMER_MCU_BLOCK_ACK, TIMER_FLASH_BLOCK_ACK, TIMER_MCU_START, TIMER_MCU_START_GIVE_UP,
                        TIMER_MCU_ENTER, TIMER_FLASH_START, TIMER_FLASH_START_GIVE_UP})
        g_fwDlg.KillTimer(id);
    for (UINT_PTR id = TIMER_REBOOT_WAIT_FIRST; id <= TIMER_REBOOT_WAIT_LAST; ++id) g_fwDlg.KillTimer(id);
    SetTimerScale(1.0);
    MainWindowSuite::TearDown();
    m_operator.Stop();
    for (const auto& file : m_files) ::DeleteFileW(file.first.c_str());
}

std::wstring UpgradePageFixture::WriteImageFile(const std::wstring& name, std::size_t length) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
    const std::wstring path = m_folder + name;
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    m_files[path] = bytes;
    return path;
}

void UpgradePageFixture::ChooseFile(const std::wstring& path) {
    m_operator.AnswerFileDialog(path);
    Watchdog watchdog("file dialog", FLOW_LIMIT_MS);
    ::PostMessageW(g_fwDlg.GetDlgItem(IDC_UPGRADE_OPEN), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([this] { return m_operator.FileDialogAnswered(); }, FLOW_LIMIT_MS))
        << "the file dialog did not come and go";
}

void UpgradePageFixture::ClickUpgrade() const {
    ::SendMessageW(g_fwDlg.GetDlgItem(IDC_UPGRADE_START), BM_CLICK, 0, 0);
}

void UpgradePageFixture::UpgradeFromMcuFile(std::size_t length) {
    ChooseFile(WriteImageFile(L"mcu" + std::to_wstring(length) + L".bin", length));
    ClickUpgrade();
}

void UpgradePageFixture::ClickSet() const {
    ::SendMessageW(g_fwDlg.GetDlgItem(IDC_UPGRADE_SET_LABELS), BM_CLICK, 0, 0);
}

std::wstring UpgradePageFixture::PageText(int id) const { return g_fwDlg.GetDlgItemText(id); }

// The bar is brought up to date when the page's queue comes round to it.
int UpgradePageFixture::ProgressPosition() const {
    PumpPending();
    return static_cast<int>(g_fwDlg.SendDlgItemMessage(IDC_UPGRADE_PROGRESS, PBM_GETPOS));
}

int UpgradePageFixture::ProgressUpper() const {
    return static_cast<int>(g_fwDlg.SendDlgItemMessage(IDC_UPGRADE_PROGRESS, PBM_GETRANGE, FALSE, 0));
}

COLORREF UpgradePageFixture::LogTextColour() const {
    HDC dc = ::CreateCompatibleDC(nullptr);
    g_fwDlg.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(g_fwDlg.GetDlgItem(IDC_UPGRADE_LOG)));
    const COLORREF colour = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return colour;
}

bool UpgradePageFixture::WaitForLogEnding(const std::wstring& text, DWORD timeoutMs) const {
    return PumpUntil(
        [this, &text] {
            const std::wstring log = PageText(IDC_UPGRADE_LOG);
            return log.size() >= text.size() && log.compare(log.size() - text.size(), text.size(), text) == 0;
        },
        timeoutMs);
}

std::vector<Bytes> UpgradePageFixture::UpgradeFrames() const {
    const std::vector<Bytes> all = AllUpgradeFrames();
    return std::vector<Bytes>(all.begin() + static_cast<std::ptrdiff_t>(std::min(m_firstTestFrame, all.size())), all.end());
}

std::vector<Bytes> UpgradePageFixture::AllUpgradeFrames() const {
    std::vector<Bytes> frames;
    for (const Bytes& frame : ReceivedFrames())
        if (IsUpgradePageFrame(frame)) frames.push_back(frame);
    return frames;
}

Bytes UpgradePageFixture::DeviceImage() {
    const std::string path = SessionDir() + "/upgrade-image.bin";
    EXPECT_EQ(Control("upgrade save " + path), "ok");
    std::ifstream file(WindowsPath(path).c_str(), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

::testing::AssertionResult UpgradePageFixture::HoldsFile(const Bytes& device, const Bytes& file) {
    if (device.size() < file.size())
        return ::testing::AssertionFailure() << "the device holds " << device.size() << " of " << file.size() << " bytes";
    for (std::size_t i = 0; i < device.size(); ++i) {
        const std::uint8_t expected = i < file.size() ? file[i] : DeviceFrame::IMAGE_PADDING;
        if (device[i] != expected)
            return ::testing::AssertionFailure() << "byte " << i << " is " << int(device[i]) << ", not " << int(expected);
    }
    return ::testing::AssertionSuccess();
}
