// The EDID page on its real template against the simulated switcher on the
// session's COM port, driven like an operator: lists chosen and buttons
// clicked by id, the system's file dialog answered, the pop-ups read and
// closed. What the device received and holds is read back over the
// simulator's control channel.
#include "app/CCorvaneDlg.h"
#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "core/RequestGate.h"
#include "framework/CWinApp.h"
#include "res/resource.h"
#include "tests/wine/DibCanvas.h"
#include "tests/wine/MainWindowSuite.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/PopupOperator.h"
#include "tests/wine/TestFrames.h"
#include "tests/wine/TestTimings.h"
#include "tests/wine/WindowsPath.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The panel's periods in these tests: a tenth of the real ones.
constexpr double SHORT_PERIODS = 0.1;
constexpr double REAL_PERIODS = 1.0;

constexpr int IN2 = 1;
constexpr int ALL_INPUTS = 4;
constexpr int OUT_B = 1;

const std::wstring DEFAULT_EDID = L"Default EDID";
const std::wstring SET_SUCCESSFULLY = L"Set successfully!";
const std::wstring NO_VALID_DATA = L"Can't find the valid data!";
const std::wstring TIME_OUT = L"Time out!";
const std::wstring BAD_FILE = L"Bad EDID file!";

const int INPUT_STATICS[] = {IDC_EDID_PAGE_INPUT_1, IDC_EDID_PAGE_INPUT_2, IDC_EDID_PAGE_INPUT_3, IDC_EDID_PAGE_INPUT_4};

Bytes Query(std::uint8_t input) { return Frame({0x01, 0x0C, input}); }

const Bytes PREPARE = Frame({0x03, 0x08, 0xF0, 0, 0, 0, 0, 0, 0xBB});

// What the tests need of each data file: the real EDIDs whole, anything else
// (the folder's README, offered as a bad file) not empty.
std::uint64_t NeededLength(const std::string& name) {
    if (name == "hdmi-monitor-1920x1200.bin") return 256;
    if (name == "dvi-monitor-1280x1024.bin") return 128;
    return 1;
}

// The full path without "..", as the file dialog hands it back. A file that
// is missing or shorter than the tests need fails the test by its name
// before anything reads it.
std::wstring DataFile(const char* name) {
    const std::string unixPath = std::string(CORVANE_EDID_DATA_DIR) + "/" + name;
    wchar_t full[MAX_PATH] = {};
    ::GetFullPathNameW(WindowsPath(unixPath).c_str(), MAX_PATH, full, nullptr);
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!::GetFileAttributesExW(full, GetFileExInfoStandard, &info)) {
        ADD_FAILURE() << "test data file " << unixPath << " is missing";
    } else if (((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow) < NeededLength(name)) {
        ADD_FAILURE() << "test data file " << unixPath << " is shorter than the " << NeededLength(name)
                      << " bytes the tests need";
    }
    return full;
}

Bytes ReadFileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const Bytes& bytes) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// What the device receives for a file: 00, then the file's first 255 bytes
// (00 past the end of a short file).
Bytes BlockOf(const Bytes& file) {
    Bytes block(DeviceFrame::EDID_BLOCK_LENGTH, 0);
    std::copy_n(file.begin(), std::min(file.size(), block.size() - 1), block.begin() + 1);
    return block;
}

Bytes EdidBlockSent() { return Bytes(g_edidBlock, g_edidBlock + DeviceFrame::EDID_BLOCK_LENGTH); }

// The suite's main window makes the page with its EDID tab.
class EdidPageTest : public MainWindowSuite<CCorvaneDlg> {
protected:
    static void TearDownTestSuite() {
        g_edidDlg.DestroyWindow();
        MainWindowSuite::TearDownTestSuite();
    }

    void SetUp() override {
        MainWindowSuite::SetUp();
        if (HasFatalFailure()) return;
        m_operator.Start();
        g_linkIdle = TRUE;
        g_messageDlgShown = FALSE;
        g_statusDlgShown = FALSE;
        SetTimerScale(SHORT_PERIODS);
        std::fill(std::begin(g_edidBlock), std::end(g_edidBlock), 0);
        ConnectComPort();

        ClickEdidTab();
        ASSERT_NE(g_edidDlg.m_hWnd, nullptr);
        ASSERT_TRUE(WaitForIdleLink());
        ASSERT_EQ(ReceivedFrames(), (std::vector<Bytes>{Query(1), Query(2), Query(3), Query(4)}));
        m_framesBeforeTest = ReceivedFrames().size();
        g_edidDlg.SetDlgItemText(IDC_EDID_PAGE_FILE_PATH, L"");
        for (int id : INPUT_STATICS) g_edidDlg.SetDlgItemText(id, DEFAULT_EDID);
        for (int list : {IDC_EDID_PAGE_MODE, IDC_EDID_PAGE_MODE_TARGET, IDC_EDID_PAGE_COPY_SOURCE,
                         IDC_EDID_PAGE_COPY_TARGET, IDC_EDID_PAGE_FILE_TARGET})
            Choose(list, 0);
    }

    void TearDown() override {
        MainWindowSuite::TearDown();
        m_operator.Stop();
        g_linkIdle = TRUE;
        SetTimerScale(REAL_PERIODS);
    }

    // The operator's click on the "EDID" tab: the page shows and asks the
    // device for every input's EDID.
    static void ClickEdidTab() {
        const HWND tab = s_window->GetDlgItem(IDC_TAB_EDID);
        s_window->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TAB_EDID, STN_CLICKED), reinterpret_cast<LPARAM>(tab));
    }

    static void Choose(int listId, int index) { g_edidDlg.SendDlgItemMessage(listId, CB_SETCURSEL, index); }

    static std::vector<std::wstring> ListItems(int listId) {
        std::vector<std::wstring> items;
        const auto count = g_edidDlg.SendDlgItemMessage(listId, CB_GETCOUNT);
        for (LRESULT i = 0; i < count; ++i) {
            std::wstring text(static_cast<std::size_t>(g_edidDlg.SendDlgItemMessage(listId, CB_GETLBTEXTLEN, i)), L'\0');
            g_edidDlg.SendDlgItemMessage(listId, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            items.push_back(text);
        }
        return items;
    }

    static std::wstring Text(int id) { return g_edidDlg.GetDlgItemText(id); }

    static std::vector<std::wstring> ListTexts() {
        std::vector<std::wstring> texts;
        for (int id : INPUT_STATICS) texts.push_back(Text(id));
        return texts;
    }

    // Returns when the handler has run, its pop-ups included.
    void Click(int id) {
        Watchdog watchdog("a click on the EDID page", FLOW_LIMIT_MS);
        ::SendMessageW(g_edidDlg.GetDlgItem(id), BM_CLICK, 0, 0);
        m_operator.Look();
    }

    // Handles the panel's messages meanwhile, so its posted sends go out.
    bool PumpUntilReceived(std::size_t count) {
        return WaitForReceivedFrames(m_framesBeforeTest + count, ARRIVAL_TIMEOUT_MS);
    }


    void ChooseFile(const std::wstring& path) {
        m_operator.AnswerFileDialog(path);
        Click(IDC_EDID_PAGE_FILE_OPEN);
        EXPECT_TRUE(m_operator.FileDialogAnswered()) << "the file dialog did not show";
    }

    void ClickStatusAndWait() {
        Click(IDC_EDID_PAGE_STATUS);
        ASSERT_TRUE(WaitForIdleLink());
    }

    // The EDID bytes input 1..4 of the device presents.
    Bytes Held(int input) {
        const std::string answer = Control("edid " + std::to_string(input));
        Bytes bytes;
        for (std::size_t i = 3; i + 1 < answer.size(); i += 3)
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(answer.substr(i, 2), nullptr, 16)));
        return bytes;
    }

    // The frames the device received since the test began, after the
    // page's first queries, from the `first` on.
    std::vector<Bytes> Sent(std::size_t first = 0) const {
        const std::vector<Bytes> all = ReceivedFrames();
        const std::size_t from = std::min(m_framesBeforeTest + first, all.size());
        return std::vector<Bytes>(all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
    }

    // The time the simulator logged a frame with this tag and these bytes.
    double LoggedAt(const char* tag, const Bytes& bytes) const {
        for (const SimulatorLogEntry& entry : LogEntries()) {
            if (entry.tag == tag && entry.bytes == bytes) return entry.time;
        }
        return 0;
    }

    PopupOperator m_operator;
    std::size_t m_framesBeforeTest = 0;
};

}  // namespace

TEST_F(EdidPageTest, StatusFillsTheListStopsAtAnUnknownInputAndTimesOutOnce) {
    for (const char* command : {"set edid 1 9", "set edid 2 30", "set edid 3 20", "set edid 4 17"})
        ASSERT_EQ(Control(command), "ok");
    ClickStatusAndWait();
    EXPECT_EQ(ListTexts(), (std::vector<std::wstring>{L"4K2K30,Stereo Audio 2.0", DEFAULT_EDID, L"COPY TX C",
                                                      L"4K2K60_444,HD Audio 7.1"}));
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Query(1), Query(2), Query(3), Query(4)}));
    EXPECT_TRUE(m_operator.Messages().empty());

    // The main window's wait for a chain's first query, ended by the page's
    // own time-out: whichever fires first ends the other.
    s_window->SetTimer(TIMER_REPLY_TIMEOUT, FLOW_LIMIT_MS);
    ASSERT_EQ(Control("drop 2"), "ok");
    Click(IDC_EDID_PAGE_STATUS);
    ASSERT_TRUE(PumpUntilReceived(5));
    ASSERT_EQ(Control("frame 01 0C 05 00 03 00 00 00 00 00"), "ok");
    ASSERT_TRUE(WaitForIdleLink());
    PumpFor(SETTLE_MS);
    EXPECT_EQ(Sent(4), (std::vector<Bytes>{Query(1), Query(1)})) << "one resend, no query after input 5";
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{TIME_OUT});
    EXPECT_FALSE(s_window->KillTimer(TIMER_REPLY_TIMEOUT)) << "the main window's time-out still runs";
}

TEST_F(EdidPageTest, SetAndCopySendTheirBytesHoldTheLinkUntilSuccessAndReportFailureAndSilence) {
    const Bytes sink = ReadFileBytes(DataFile("dvi-monitor-1280x1024.bin"));
    ASSERT_EQ(Control("set sink-edid 2" + HexWords(sink)), "ok");

    EXPECT_EQ(ListItems(IDC_EDID_PAGE_MODE).size(), 18u);
    EXPECT_EQ(ListItems(IDC_EDID_PAGE_MODE)[9], L"4K2K30_444,Stereo Audio 2.0");
    EXPECT_EQ(ListItems(IDC_EDID_PAGE_COPY_SOURCE),
              (std::vector<std::wstring>{L"HDMI OUTA", L"HDMI OUTB", L"HDMI OUTC", L"HDMI OUTD"}));
    for (int targets : {IDC_EDID_PAGE_MODE_TARGET, IDC_EDID_PAGE_COPY_TARGET, IDC_EDID_PAGE_FILE_TARGET})
        EXPECT_EQ(ListItems(targets), (std::vector<std::wstring>{L"IN1", L"IN2", L"IN3", L"IN4", L"All Input"}));

    Choose(IDC_EDID_PAGE_MODE_TARGET, 2);
    Click(IDC_EDID_PAGE_MODE_SET);
    EXPECT_TRUE(m_operator.LinkHeldUntil(SET_SUCCESSFULLY));
    const auto success = m_operator.FirstStatus(SET_SUCCESSFULLY);
    ASSERT_TRUE(success.has_value());
    EXPECT_GT(m_operator.BusyPopupClosedAt(), success->time) << "the result stays up before the pop-up closes";
    EXPECT_TRUE(g_linkIdle);

    Choose(IDC_EDID_PAGE_MODE_TARGET, ALL_INPUTS);
    Click(IDC_EDID_PAGE_MODE_SET);
    Choose(IDC_EDID_PAGE_COPY_SOURCE, OUT_B);
    Choose(IDC_EDID_PAGE_COPY_TARGET, ALL_INPUTS);
    Click(IDC_EDID_PAGE_COPY_SET);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Frame({0x03, 0x02, 0x01, 0xF0, 0x03}),
                                                    Frame({0x03, 0x01, 0x01, 0xF0, 0x00}),
                                                    Frame({0x03, 0x03, 0x02, 0x00, 0x00})}));
    for (int input = 1; input <= 4; ++input) EXPECT_EQ(Held(input), sink) << "input " << input;
    ClickStatusAndWait();
    EXPECT_EQ(ListTexts(), std::vector<std::wstring>(4, L"COPY TX B"));

    m_operator.Forget();
    ASSERT_EQ(Control("edid-fail"), "ok");
    Choose(IDC_EDID_PAGE_COPY_TARGET, IN2);
    Click(IDC_EDID_PAGE_COPY_SET);
    const auto failure = m_operator.FirstStatus(NO_VALID_DATA);
    ASSERT_TRUE(failure.has_value());
    EXPECT_FALSE(m_operator.FirstStatus(SET_SUCCESSFULLY).has_value());
    EXPECT_TRUE(m_operator.BusyPopupClosedAt() > failure->time);
    EXPECT_TRUE(m_operator.Messages().empty());

    m_operator.Forget();
    ASSERT_EQ(Control("drop 1"), "ok");
    Click(IDC_EDID_PAGE_MODE_SET);
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{TIME_OUT});
    EXPECT_FALSE(m_operator.FirstStatus(SET_SUCCESSFULLY).has_value());
    EXPECT_TRUE(g_linkIdle);
    EXPECT_EQ(Sent().size(), 9u) << "three settings, the status chain, the failed copy, the silent setting";
}

// A preparation acknowledgement that answers no upload of the page, or one
// that comes after the upload timed out, sends nothing; "..." waits for the
// link as well.
TEST_F(EdidPageTest, OnlyTheUploadsOwnPreparationAcknowledgementActsAndTheFileButtonWaitsForTheLink) {
    const std::wstring hdmiPath = DataFile("hdmi-monitor-1920x1200.bin");
    ASSERT_EQ(Control("drop 1"), "ok");
    Click(IDC_EDID_PAGE_STATUS);
    ASSERT_TRUE(PumpUntilReceived(1));
    ASSERT_EQ(Control("frame 03 08 00 00 00 00 00 00 00 00"), "ok");
    m_operator.AnswerFileDialog(hdmiPath);
    Click(IDC_EDID_PAGE_FILE_OPEN);
    EXPECT_FALSE(m_operator.FileDialogAnswered());
    ASSERT_TRUE(WaitForIdleLink());
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Query(1), Query(1), Query(2), Query(3), Query(4)}));
    EXPECT_TRUE(Text(IDC_EDID_PAGE_FILE_PATH).empty());

    ChooseFile(hdmiPath);
    ASSERT_EQ(Control("drop 1"), "ok");
    Click(IDC_EDID_PAGE_FILE_SET);
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{TIME_OUT});
    ASSERT_EQ(Control("frame 03 08 00 00 00 00 00 00 00 00"), "ok");
    PumpFor(SETTLE_MS);
    EXPECT_EQ(Sent(5), std::vector<Bytes>{PREPARE});
    for (int input = 1; input <= 4; ++input) EXPECT_TRUE(Held(input).empty()) << "input " << input;
}

TEST_F(EdidPageTest, ReportArrivingDuringASettingOnlyUpdatesTheList) {
    // The device is silent on the first query of the tab: the main window's
    // wait ends with the one "Time out!".
    ASSERT_EQ(Control("drop 1"), "ok");
    ClickEdidTab();
    ASSERT_TRUE(WaitForIdleLink());
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{TIME_OUT});

    // Its answer comes late, while a setting waits for its own.
    ASSERT_EQ(Control("delay 300"), "ok");
    m_operator.WhenShown(g_statusDlg, [this] { EXPECT_EQ(Control("frame 01 0C 01 00 05 00 00 00 00 00"), "ok"); });
    Click(IDC_EDID_PAGE_MODE_SET);
    EXPECT_EQ(Text(IDC_EDID_PAGE_INPUT_1), L"1080i,HD Audio 7.1");
    EXPECT_TRUE(m_operator.FirstStatus(SET_SUCCESSFULLY).has_value());
    PumpFor(SETTLE_MS);
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{TIME_OUT});
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Query(1), Frame({0x03, 0x02, 0x01, 0xF0, 0x01})}));
}

TEST_F(EdidPageTest, FileDialogAcceptsOnlyWholeValidFilesAndKeepsTheLastAcceptedOne) {
    const std::wstring hdmiPath = DataFile("hdmi-monitor-1920x1200.bin");
    const std::wstring dviPath = DataFile("dvi-monitor-1280x1024.bin");
    const Bytes hdmi = ReadFileBytes(hdmiPath);
    const Bytes dvi = ReadFileBytes(dviPath);
    ASSERT_EQ(hdmi.size(), 256u);

    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"edid-page-test-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    Bytes badSum = hdmi;
    badSum[200] ^= 0x01;
    Bytes longer = hdmi;
    longer.push_back(0x00);
    const std::wstring badPath = folder + L"\\bad.bin", emptyPath = folder + L"\\empty.bin",
                       longerPath = folder + L"\\longer.bin", heldPath = folder + L"\\held.bin";
    WriteFileBytes(badPath, badSum);
    WriteFileBytes(emptyPath, {});
    WriteFileBytes(longerPath, longer);
    WriteFileBytes(heldPath, dvi);

    ChooseFile(hdmiPath);
    EXPECT_EQ(Text(IDC_EDID_PAGE_FILE_PATH), hdmiPath);
    EXPECT_EQ(EdidBlockSent(), BlockOf(hdmi));
    for (const std::wstring& rejected : {badPath, emptyPath, longerPath}) ChooseFile(rejected);
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>(3, BAD_FILE));

    const HANDLE held = ::CreateFileW(heldPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ChooseFile(heldPath);
    ::CloseHandle(held);
    ChooseFile(folder + L"\\missing.bin");
    ChooseFile(L"");
    EXPECT_EQ(m_operator.Messages().size(), 3u) << "a file that cannot be opened is passed over without a word";
    EXPECT_EQ(Text(IDC_EDID_PAGE_FILE_PATH), hdmiPath);
    EXPECT_EQ(EdidBlockSent(), BlockOf(hdmi));

    // Another program has it open for writing, but shares it.
    const HANDLE writer = ::CreateFileW(heldPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    ChooseFile(heldPath);
    ::CloseHandle(writer);
    EXPECT_EQ(Text(IDC_EDID_PAGE_FILE_PATH), heldPath);
    EXPECT_EQ(EdidBlockSent(), BlockOf(dvi));
    EXPECT_TRUE(Sent().empty()) << "choosing a file sends nothing";
    EXPECT_TRUE(g_linkIdle);

    for (const std::wstring& path : {badPath, emptyPath, longerPath, heldPath}) ::DeleteFileW(path.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

TEST_F(EdidPageTest, UploadsGoThroughTheHandshakeAndOnlyTheTargetInputsHoldTheAcceptedFile) {
    Click(IDC_EDID_PAGE_FILE_SET);
    EXPECT_TRUE(g_linkIdle) << "no file: the link is given back";
    EXPECT_FALSE(m_operator.BusyPopupSeen());

    const std::wstring hdmiPath = DataFile("hdmi-monitor-1920x1200.bin");
    const Bytes block = BlockOf(ReadFileBytes(hdmiPath));
    ChooseFile(hdmiPath);
    Choose(IDC_EDID_PAGE_FILE_TARGET, IN2);
    Click(IDC_EDID_PAGE_FILE_SET);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{PREPARE, Frame({0x03, 0x07, 0x02, 0xF0}),
                                                    Frame({0x03, 0x07, 0x56, 0, 0, 0x01}), block}));
    EXPECT_TRUE(m_operator.LinkHeldUntil(SET_SUCCESSFULLY));
    EXPECT_EQ(Held(2), block);
    for (int other : {1, 3, 4}) EXPECT_TRUE(Held(other).empty()) << "input " << other;

    // A file rejected after an accepted one leaves the accepted one to go up.
    const std::wstring badPath = DataFile("README.md");
    ChooseFile(badPath);
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{BAD_FILE});
    Choose(IDC_EDID_PAGE_FILE_TARGET, ALL_INPUTS);
    Click(IDC_EDID_PAGE_FILE_SET);
    EXPECT_EQ(Sent(4), (std::vector<Bytes>{PREPARE, Frame({0x03, 0x06, 0xFE, 0xF0}),
                                                    Frame({0x03, 0x06, 0x56, 0, 0, 0x01}), block}));
    for (int input = 1; input <= 4; ++input) EXPECT_EQ(Held(input), block) << "input " << input;

    // The result comes with the data request: the block is never sent.
    m_operator.Forget();
    ASSERT_EQ(Control("edid-early-result on"), "ok");
    Click(IDC_EDID_PAGE_FILE_SET);
    PumpFor(SETTLE_MS);
    EXPECT_EQ(Sent(8), (std::vector<Bytes>{PREPARE, Frame({0x03, 0x06, 0xFE, 0xF0}),
                                                    Frame({0x03, 0x06, 0x56, 0, 0, 0x01})}));
    EXPECT_TRUE(m_operator.FirstStatus(SET_SUCCESSFULLY).has_value());

    ASSERT_EQ(Control("set edid 2 12"), "ok");
    ClickStatusAndWait();
    const auto picture = DibCanvas::FromWindowClient(g_edidDlg.m_hWnd);
    EXPECT_TRUE(picture->SaveBmp(DibCanvas::RenderPath(L"edid-page.bmp")));
}

// The real periods, checked from the simulator log's timestamps.
TEST_F(EdidPageTest, UploadToIn1KeepsTheRealPeriods) {
    constexpr double BLOCK_DELAY_S = 0.100;
    constexpr double SUCCESS_HOLD_S = 6.0;
    constexpr double POPUP_CLOSE_S = 0.9;
    constexpr double TIMER_SLACK_S = 0.02;
    constexpr double LATE_TOLERANCE_S = 1.0;

    SetTimerScale(REAL_PERIODS);
    const std::wstring dviPath = DataFile("dvi-monitor-1280x1024.bin");
    ChooseFile(dviPath);
    Click(IDC_EDID_PAGE_FILE_SET);

    const Bytes header = Frame({0x03, 0x07, 0x56, 0, 0, 0x01});
    const Bytes block = BlockOf(ReadFileBytes(dviPath));
    const double headerAt = LoggedAt("RX", header);
    const double blockAt = LoggedAt("RX", block);
    const double resultAt = LoggedAt("TX", Frame({0x03, 0x07, 0x00, 0x00, 0x00, 0x01}));
    ASSERT_GT(headerAt, 0);
    ASSERT_GT(blockAt, 0);
    ASSERT_GT(resultAt, 0);
    EXPECT_GE(blockAt - headerAt, BLOCK_DELAY_S - TIMER_SLACK_S);
    const auto success = m_operator.FirstStatus(SET_SUCCESSFULLY);
    ASSERT_TRUE(success.has_value());
    EXPECT_TRUE(m_operator.LinkHeldUntil(SET_SUCCESSFULLY));
    EXPECT_GE(success->time - resultAt, SUCCESS_HOLD_S - TIMER_SLACK_S);
    EXPECT_LE(success->time - resultAt, SUCCESS_HOLD_S + LATE_TOLERANCE_S);
    EXPECT_GE(m_operator.BusyPopupClosedAt() - success->time, POPUP_CLOSE_S - TIMER_SLACK_S);
    EXPECT_LE(m_operator.BusyPopupClosedAt() - success->time, POPUP_CLOSE_S + LATE_TOLERANCE_S);
}

// From the click to the last byte of the device's result, on a line paced
// like the device's, against the time the upload's bytes need there.
TEST_F(EdidPageTest, BenchUploadToIn1OnThePacedLine) {
    constexpr double BLOCK_DELAY_S = 0.100;

    ASSERT_EQ(Control("pace 115200"), "ok");
    SetTimerScale(REAL_PERIODS);
    const std::wstring dviPath = DataFile("dvi-monitor-1280x1024.bin");
    ChooseFile(dviPath);
    const std::size_t logStart = LogEntries().size();
    const double clicked = UnixNow();
    Click(IDC_EDID_PAGE_FILE_SET);

    // Every byte both ways from the first command to the result, which is
    // through with the 13th byte written after the block came in: a paced
    // reply goes out in several writes.
    const Bytes block = BlockOf(ReadFileBytes(dviPath));
    const std::vector<SimulatorLogEntry> all = LogEntries();
    double resultEnd = 0;
    bool blockIn = false;
    std::size_t lineBytes = 0;
    std::size_t resultBytes = 0;
    for (auto entry = all.begin() + static_cast<std::ptrdiff_t>(logStart); entry != all.end() && resultEnd == 0;
         ++entry) {
        if (entry->tag != "RX" && entry->tag != "TX") continue;
        lineBytes += entry->bytes.size();
        blockIn = blockIn || (entry->tag == "RX" && entry->bytes == block);
        if (blockIn && entry->tag == "TX" && (resultBytes += entry->bytes.size()) >= DeviceFrame::COMMAND_FRAME_LENGTH)
            resultEnd = entry->time;
    }
    ASSERT_GT(resultEnd, 0);
    const double upload = resultEnd - clicked - BLOCK_DELAY_S;
    const double lineSeconds = static_cast<double>(lineBytes) / PACED_LINE_BYTES_PER_SECOND;
    std::printf("figure: EDID upload to IN1: click to the last byte of the result, less the page's %.0f ms wait "
                "before the block, %.1f ms against the wire time of its %zu bytes at %.0f bytes/s, %.1f ms: "
                "ratio %.2f\n",
                BLOCK_DELAY_S * 1000, upload * 1000, lineBytes, PACED_LINE_BYTES_PER_SECOND, lineSeconds * 1000,
                upload / lineSeconds);
}
