// The Upgrade page against the simulated switcher: choosing files through the
// real file dialog, whole MCU and flash transfers checked on the wire and in
// the image the device kept, the ways a transfer fails, the reboot wait, the
// device line and the labels.
#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "res/resource.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/UpgradePageFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

namespace {

using UpgradePageTest = UpgradePageFixture;

// For a frame that must not follow a transfer's end to show, had it gone out.
constexpr DWORD TRANSFER_SETTLE_MS = 300;
// With the fast timers the device answers the second reboot query: it is deaf
// for half a query period after the last block.
constexpr int FAST_REBOOT_PERIOD_MS = static_cast<int>(6000 * FAST_TIMER_SCALE);
const std::string RESTART_UNTIL_SECOND_QUERY = "upgrade restart " + std::to_string(FAST_REBOOT_PERIOD_MS / 2);

const std::wstring LOG_MCU_DONE =
    L"->Upgrading MCU...\r\n->System rebooting, please wait...\r\n->System reboot ok \r\n"
    L"->MCU upgrading complete \r\n->Firmware upgrade successfully \r\n";
const std::wstring LOG_FLASH_DONE =
    L"->Upgrading Flash...\r\n->System rebooting, please wait...\r\n->System reboot ok \r\n"
    L"->Flash upgrading complete \r\n->Firmware upgrade successfully \r\n";
const std::wstring LOG_SUCCESS = L"->Firmware upgrade successfully \r\n";
const std::wstring LOG_REBOOTING = L"->System rebooting, please wait...\r\n";
const std::wstring LOG_MCU_FAILED = L"->MCU upgrade failed\r\n";
const std::wstring LOG_FLASH_FAILED = L"->Flash upgrade failed\r\n";
const std::wstring DEVICE_LINE = L"Device: Marrowick 4x4     Version:1.3";
constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF BLACK = RGB(0, 0, 0);

const Bytes MCU_ENTER = Frame({0x08, 0x07});
const Bytes MCU_START = Frame({0x08, 0x08});
const Bytes REBOOT_QUERY = Frame({0x01, 0x01, 0, 0, 0, 0, 0, 0, 0xCC, 0xCC});
const Bytes SIZE_QUERY = Frame({0x01, 0x02, 0, 0, 0, 0, 0, 0, 0xCC});
const Bytes VERSION_QUERY = Frame({0x01, 0x03, 0, 0, 0, 0, 0, 0, 0xCC});

// A data block as the device must receive it: header, the file's bytes from
// the offset, FF past the file's end, check byte.
Bytes DataBlock(const Bytes& file, std::size_t offset, std::uint8_t flag, const Bytes& place, std::size_t blockSize) {
    Bytes frame = {DeviceFrame::DataSync[0], DeviceFrame::DataSync[1], flag};
    frame.insert(frame.end(), place.begin(), place.end());
    for (std::size_t i = offset; i < offset + blockSize; ++i) frame.push_back(i < file.size() ? file[i] : 0xFF);
    frame.push_back(DeviceFrame::ComputeCheckByte(frame.data(), frame.size()));
    return frame;
}

// What a whole transfer of `file` puts on the wire: the start commands, then
// every block, the first with flag 00 and the last (never the first) with 80;
// an MCU block is placed by its number, a flash block by its offset.
std::vector<Bytes> TransferFrames(const Bytes& file, std::optional<std::uint8_t> flashNumber) {
    std::vector<Bytes> frames = {MCU_ENTER, MCU_START};
    if (flashNumber) frames = {Frame({0xF8, 0x09, *flashNumber})};
    const std::size_t blockSize = flashNumber ? DeviceFrame::FLASH_BLOCK_SIZE : DeviceFrame::MCU_BLOCK_SIZE;
    for (std::size_t offset = 0;; offset += blockSize) {
        const bool last = offset > 0 && offset + blockSize >= file.size();
        const Bytes place = flashNumber ? Bytes{static_cast<std::uint8_t>(offset >> 16),
                                                static_cast<std::uint8_t>(offset >> 8)}
                                        : Bytes{static_cast<std::uint8_t>(offset / blockSize)};
        frames.push_back(DataBlock(file, offset, last ? 0x80 : 0x00, place, blockSize));
        if (last) return frames;
    }
}

std::vector<Bytes> After(const std::vector<Bytes>& frames, std::size_t first) {
    return std::vector<Bytes>(frames.begin() + static_cast<std::ptrdiff_t>(std::min(first, frames.size())),
                              frames.end());
}

std::size_t CountOf(const std::vector<Bytes>& frames, const Bytes& frame) {
    return static_cast<std::size_t>(std::count(frames.begin(), frames.end(), frame));
}

// One line a frame, short enough to read in a failure: its first six bytes,
// its length and its check byte.
std::vector<std::string> Summaries(const std::vector<Bytes>& frames) {
    std::vector<std::string> lines;
    for (const Bytes& frame : frames) {
        char line[64];
        std::snprintf(line, sizeof line, "%02X %02X %02X %02X %02X %02X .. [%zu] %02X", frame[0], frame[1], frame[2],
                      frame[3], frame[4], frame[5], frame.size(), frame.back());
        lines.push_back(line);
    }
    return lines;
}

// What another page leaves in the one command frame: its route query.
void AnotherPageWritesTheCommandFrame() { DeviceFrame::BuildCommandFrame(g_commandFrame, 0x02, 0x01); }

// The completion of a transfer through a device that answers the reboot wait.
const std::vector<Bytes> REBOOT_ANSWERED_SECOND = {REBOOT_QUERY, REBOOT_QUERY, SIZE_QUERY, VERSION_QUERY};

}  // namespace

TEST_F(UpgradePageTest, OpenReadsGoodFilesAndRefusesTheRestChangingNothing) {
    const std::wstring mcu = WriteImageFile(L"mcu-full.bin", 262144);
    const std::wstring flash = WriteImageFile(L"Pelmora_05.bin", 600);
    const std::wstring badNumber = WriteImageFile(L"Pelmora_09.bin", 600);
    const std::wstring tooLong = WriteImageFile(L"mcu-long.bin", 262145);
    const std::wstring empty = WriteImageFile(L"mcu-empty.bin", 0);

    ChooseFile(L"");
    ChooseFile(std::wstring(mcu, 0, mcu.rfind(L'\\') + 1) + L"missing.bin");
    EXPECT_EQ(PageText(IDC_UPGRADE_PATH), L"") << "Cancel and a missing file change nothing";
    EXPECT_TRUE(m_operator.Messages().empty());

    ChooseFile(mcu);
    EXPECT_EQ(PageText(IDC_UPGRADE_PATH), mcu);
    EXPECT_FALSE(g_isFlashImage);
    EXPECT_EQ(g_mcuImageLength, 262144);
    EXPECT_EQ(ProgressUpper(), 262144) << "the range is not cut to 16 bits";
    EXPECT_EQ(ProgressPosition(), 0);
    EXPECT_TRUE(std::equal(FileBytes(mcu).begin(), FileBytes(mcu).end(), g_mcuImageBuffer));
    EXPECT_EQ(g_mcuImageBuffer[262144], 0xFF);

    ChooseFile(flash);
    EXPECT_EQ(PageText(IDC_UPGRADE_PATH), flash);
    EXPECT_TRUE(g_isFlashImage);
    EXPECT_EQ(g_flashNumber, 5);
    EXPECT_EQ(g_flashImageLength, 600);
    EXPECT_EQ(ProgressUpper(), 600);

    for (const std::wstring& refused : {badNumber, tooLong, empty}) ChooseFile(refused);
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>(3, L"Wrong file(.bin)!"));
    EXPECT_EQ(PageText(IDC_UPGRADE_PATH), flash);
    EXPECT_TRUE(g_isFlashImage);
    EXPECT_EQ(g_flashNumber, 5);
    EXPECT_EQ(g_flashImageLength, 600);
    EXPECT_EQ(g_mcuImageLength, 262144);
    EXPECT_EQ(ProgressUpper(), 600);

    g_linkIdle = FALSE;
    m_operator.AnswerFileDialog(L"");
    {
        Watchdog watchdog("\"Open\" while a request holds the link", FLOW_LIMIT_MS);
        ::SendMessageW(g_fwDlg.GetDlgItem(IDC_UPGRADE_OPEN), BM_CLICK, 0, 0);
    }
    EXPECT_FALSE(m_operator.FileDialogAnswered()) << "\"Open\" waits for the link";
    g_linkIdle = TRUE;

    g_fwDlg.SetDlgItemText(IDC_UPGRADE_PATH, L"");
    ClickUpgrade();
    EXPECT_EQ(m_operator.Messages().back(), L"No file(.bin)!");
    EXPECT_TRUE(g_linkIdle);
    EXPECT_TRUE(UpgradeFrames().empty());

    MSG key{g_fwDlg.GetDlgItem(IDC_UPGRADE_LABEL_1), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(g_fwDlg.PreTranslateMessage(&key)) << "Enter";
    key.wParam = VK_ESCAPE;
    EXPECT_TRUE(g_fwDlg.PreTranslateMessage(&key)) << "Esc";
    key.wParam = VK_SPACE;
    EXPECT_FALSE(g_fwDlg.PreTranslateMessage(&key)) << "Space";
    EXPECT_EQ(g_fwDlg.SendDlgItemMessage(IDC_UPGRADE_LABEL_1, EM_GETLIMITTEXT), 16);
    EXPECT_EQ(g_fwDlg.SendDlgItemMessage(IDC_UPGRADE_LABEL_2, EM_GETLIMITTEXT), 16);
}

// Whole images of either kind go out block by block, the device keeps them
// and is back at the second reboot query. A late 08 08 00 mid-transfer, as a
// slow device answering a resend would send it, restarts nothing; flash
// acknowledgements may carry anything in b3 and b4; 70000 bytes need b3 of
// the flash offset.
TEST_F(UpgradePageTest, WholeImagesGoOutAndTheDeviceIsBackAtTheSecondQuery) {
    struct Image {
        const wchar_t* name;
        std::size_t length;
        std::optional<std::uint8_t> flashNumber;
        const char* knob;
        bool lateStartReply;
        const std::wstring& log;
        const char* report;
    };
    const Image images[] = {
        {L"mcu1000.bin", 1000, std::nullopt, "delay 0", false, LOG_MCU_DONE, "kind=mcu flash=0 blocks=2 length=2048 "},
        {L"Pelmora_05.bin", 70000, 5, "upgrade flash-junk on", false, LOG_FLASH_DONE,
         "kind=flash flash=5 blocks=274 length=70144 "},
        {L"mcu3000.bin", 3000, std::nullopt, "delay 100", true, LOG_MCU_DONE, "kind=mcu flash=0 blocks=3 length=3072 "},
    };
    ASSERT_EQ(Control("set type 2"), "ok");
    ASSERT_EQ(Control("set version 1 3"), "ok");
    ASSERT_EQ(Control(RESTART_UNTIL_SECOND_QUERY), "ok");
    for (const Image& image : images) {
        SCOPED_TRACE(image.length);
        const std::wstring path = WriteImageFile(image.name, image.length);
        const Bytes& file = FileBytes(path);
        ChooseFile(path);
        ASSERT_EQ(Control(image.knob), "ok");
        const std::size_t before = UpgradeFrames().size();
        g_fwDlg.SetDlgItemText(IDC_UPGRADE_DEVICE_INFO, L"");
        ClickUpgrade();
        if (image.lateStartReply) {
            ASSERT_TRUE(PumpUntil([&] { return UpgradeFrames().size() >= before + 3; }, FLOW_LIMIT_MS));
            ASSERT_EQ(Control("frame 08 08 00 00 00 00 00 00 00 00"), "ok");
        }
        ASSERT_TRUE(WaitForLogEnding(LOG_SUCCESS, FLOW_LIMIT_MS)) << "log: " << PageText(IDC_UPGRADE_LOG).c_str();
        ASSERT_TRUE(PumpUntil([this] { return !PageText(IDC_UPGRADE_DEVICE_INFO).empty(); }, FLOW_LIMIT_MS));
        std::vector<Bytes> expected = TransferFrames(file, image.flashNumber);
        expected.insert(expected.end(), REBOOT_ANSWERED_SECOND.begin(), REBOOT_ANSWERED_SECOND.end());
        const std::vector<Bytes> sent = After(UpgradeFrames(), before);
        EXPECT_EQ(Summaries(sent), Summaries(expected));
        EXPECT_TRUE(sent == expected) << "the frames differ in their data";
        EXPECT_EQ(PageText(IDC_UPGRADE_LOG), image.log);
        EXPECT_EQ(PageText(IDC_UPGRADE_DEVICE_INFO), DEVICE_LINE);
        EXPECT_EQ(ProgressPosition(), static_cast<int>(image.length));
        EXPECT_TRUE(g_linkIdle);
        EXPECT_FALSE(g_rebootWait);
        EXPECT_EQ(LogTextColour(), BLACK);
        EXPECT_TRUE(HoldsFile(DeviceImage(), file));
        EXPECT_NE(UpgradeReport().find(std::string(image.report) + "done=yes violations=none"), std::string::npos)
            << UpgradeReport();
    }
}

// For each kind: a block asked for again, a failure status and a new
// transfer, a device gone silent, an acknowledgement lost, a start command
// unanswered.
TEST_F(UpgradePageTest, BothKindsResendFailAndTimeOut) {
    constexpr double START_SCALE = 0.5;
    struct Kind {
        const wchar_t* name;
        std::size_t length;
        std::size_t blocks;
        int blockSize;
        const std::wstring& failedText;
        const wchar_t* upgradingText;
        Bytes start;
        double startDelayS;
        const char* startReport;
    };
    for (const Kind& kind : {Kind{L"mcu5000.bin", 5000, 5, 1024, LOG_MCU_FAILED, L"->Upgrading MCU...\r\n", MCU_START,
                                  3.0, "kind=mcu "},
                             Kind{L"Pelmora_FF.bin", 1500, 6, 256, LOG_FLASH_FAILED, L"->Upgrading Flash...\r\n",
                                  Frame({0xF8, 0x09, 0xFF}), 0.0, "kind=flash flash=255 "}}) {
        SCOPED_TRACE(kind.name);
        const std::wstring path = WriteImageFile(kind.name, kind.length);
        const Bytes& file = FileBytes(path);
        ChooseFile(path);
        const std::string wholeReport = "blocks=" + std::to_string(kind.blocks + 1) + " ";

        ASSERT_EQ(Control("reset"), "ok");
        ASSERT_EQ(Control("upgrade status 2 1"), "ok");
        ClickUpgrade();
        ASSERT_TRUE(WaitForLogEnding(LOG_SUCCESS, FLOW_LIMIT_MS)) << PageText(IDC_UPGRADE_LOG).c_str();
        EXPECT_TRUE(HoldsFile(DeviceImage(), file));
        EXPECT_NE(UpgradeReport().find(wholeReport), std::string::npos) << "block 2 twice: " << UpgradeReport();
        EXPECT_NE(UpgradeReport().find("violations=none"), std::string::npos) << UpgradeReport();

        ASSERT_EQ(Control("reset"), "ok");
        ASSERT_EQ(Control("upgrade status 1 2"), "ok");
        ClickUpgrade();
        ASSERT_TRUE(WaitForLogEnding(kind.failedText, FLOW_LIMIT_MS)) << PageText(IDC_UPGRADE_LOG).c_str();
        EXPECT_EQ(LogTextColour(), BLACK) << "a failure status keeps the log's colour";
        EXPECT_EQ(ProgressPosition(), 0);
        EXPECT_TRUE(g_linkIdle);
        ClickUpgrade();
        ASSERT_TRUE(WaitForLogEnding(LOG_SUCCESS, FLOW_LIMIT_MS)) << PageText(IDC_UPGRADE_LOG).c_str();
        EXPECT_TRUE(HoldsFile(DeviceImage(), file));
        EXPECT_NE(UpgradeReport().find("violations=none"), std::string::npos) << "from block 0: " << UpgradeReport();

        // The device stops answering at a block; the bar shows the blocks before it meanwhile.
        for (const auto& [knob, unanswered] :
             {std::pair{"upgrade silent-from 2", 2}, std::pair{"upgrade drop-ack 3", 3}}) {
            SCOPED_TRACE(knob);
            ASSERT_EQ(Control("reset"), "ok");
            ASSERT_EQ(Control(knob), "ok");
            ClickUpgrade();
            EXPECT_EQ(LogTextColour(), BLACK) << "\"Upgrade\" turns the log black";
            EXPECT_TRUE(
                PumpUntil([&] { return ProgressPosition() == unanswered * kind.blockSize; }, ARRIVAL_TIMEOUT_MS));
            ASSERT_TRUE(WaitForLogEnding(kind.failedText, FLOW_LIMIT_MS)) << PageText(IDC_UPGRADE_LOG).c_str();
            EXPECT_EQ(LogTextColour(), RED);
            EXPECT_TRUE(g_upgradeFailed);
            EXPECT_EQ(ProgressPosition(), 0);
            EXPECT_TRUE(g_linkIdle);
        }

        // No answer to the start command, at half the real periods: resent 3 s
        // after it first went out (08 08 itself 3 s after an unanswered 08 07),
        // then every 0.3 s, each time written anew, and given up after 16 s.
        SetTimerScale(START_SCALE);
        ASSERT_EQ(Control("reset"), "ok");
        ASSERT_EQ(Control("drop 1000"), "ok");
        const std::size_t before = UpgradeFrames().size();
        const double clickedAt = UnixNow();
        ClickUpgrade();
        ASSERT_TRUE(PumpUntil([&] { return CountOf(After(UpgradeFrames(), before), kind.start) == 1; }, FLOW_LIMIT_MS));
        AnotherPageWritesTheCommandFrame();
        ASSERT_TRUE(WaitForLogEnding(kind.failedText, FLOW_LIMIT_MS));
        PumpFor(TRANSFER_SETTLE_MS);
        SetTimerScale(FAST_TIMER_SCALE);
        const std::vector<Bytes> sent = After(UpgradeFrames(), before);
        const std::vector<double> arrivals = ArrivalTimes(kind.start);
        const std::vector<double> start(arrivals.end() - static_cast<std::ptrdiff_t>(CountOf(sent, kind.start)),
                                        arrivals.end());
        ASSERT_GE(start.size(), 4u);
        EXPECT_EQ(sent.size() - start.size(), kind.startDelayS > 0 ? 1u : 0u) << "every resend is the start command";
        EXPECT_NEAR(start[0] - clickedAt, kind.startDelayS * START_SCALE, 0.5 * START_SCALE);
        EXPECT_NEAR(start[1] - start[0], 3.0 * START_SCALE, 0.5 * START_SCALE);
        // The mean spacing of the 300 ms resends: one late tick on a loaded
        // machine does not decide it, a wrong period does.
        const double resendSpacing = (start.back() - start[1]) / static_cast<double>(start.size() - 2);
        EXPECT_NEAR(resendSpacing, 0.3 * START_SCALE, 0.1 * START_SCALE);
        EXPECT_NEAR(start.back() - start[0], 16.0 * START_SCALE, 1.0 * START_SCALE);
        EXPECT_EQ(PageText(IDC_UPGRADE_LOG), kind.upgradingText + kind.failedText);
        EXPECT_EQ(LogTextColour(), RED);
        EXPECT_EQ(ProgressPosition(), 0);
        EXPECT_TRUE(g_linkIdle);
        EXPECT_NE(UpgradeReport().find(kind.startReport), std::string::npos) << UpgradeReport();
    }
}

TEST_F(UpgradePageTest, RebootWaitSkipsQueriesWhileTheLinkIsTakenAndUpgradeEndsIt) {
    ASSERT_EQ(Control("upgrade restart forever"), "ok");
    UpgradeFromMcuFile(1000);
    ASSERT_TRUE(WaitForLogEnding(LOG_REBOOTING, FLOW_LIMIT_MS));
    ASSERT_TRUE(PumpUntil([this] { return CountOf(UpgradeFrames(), REBOOT_QUERY) == 1; }, FLOW_LIMIT_MS));

    g_linkIdle = FALSE;
    AnotherPageWritesTheCommandFrame();
    PumpFor(static_cast<DWORD>(FAST_REBOOT_PERIOD_MS * 5 / 2));
    EXPECT_EQ(CountOf(UpgradeFrames(), REBOOT_QUERY), 1u) << "no query while another request holds the link";
    g_linkIdle = TRUE;
    EXPECT_TRUE(PumpUntil([this] { return CountOf(UpgradeFrames(), REBOOT_QUERY) == 2; }, FLOW_LIMIT_MS))
        << "the next query is the device-type query again";

    ASSERT_EQ(Control("reset"), "ok");
    ClickUpgrade();
    EXPECT_FALSE(g_rebootWait);
    for (UINT_PTR id = TIMER_REBOOT_WAIT_FIRST; id <= TIMER_REBOOT_WAIT_LAST; ++id)
        EXPECT_FALSE(g_fwDlg.KillTimer(id)) << "timer " << id;
    ASSERT_TRUE(WaitForLogEnding(LOG_SUCCESS, FLOW_LIMIT_MS)) << PageText(IDC_UPGRADE_LOG).c_str();
    EXPECT_NE(UpgradeReport().find("violations=none"), std::string::npos) << UpgradeReport();
}

TEST_F(UpgradePageTest, LabelsRoundTripAndNeitherSetNorLateRepliesTouchATransfersLink) {
    g_fwDlg.m_editLabel1.SetWindowText(L"AB");
    g_fwDlg.m_editLabel2.SetWindowText(L"");
    ClickSet();
    ASSERT_TRUE(PumpUntil([this] { return !PageText(IDC_UPGRADE_LABELS_READ).empty(); }, FLOW_LIMIT_MS));
    const Bytes blanks(8, 0x20);
    const auto labelFrame = [](std::uint8_t item, const Bytes& chunk) {
        Bytes body = {0xFA, item};
        body.insert(body.end(), chunk.begin(), chunk.end());
        body.resize(10, 0);
        return Frame({body[0], body[1], body[2], body[3], body[4], body[5], body[6], body[7], body[8], body[9]});
    };
    const std::vector<Bytes> expected = {
        labelFrame(0x21, {0x41, 0x42, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}), labelFrame(0x22, blanks),
        labelFrame(0x23, blanks), labelFrame(0x24, blanks), labelFrame(0x25, {}), labelFrame(0x26, {}),
        labelFrame(0x27, {}), labelFrame(0x28, {})};
    EXPECT_EQ(Summaries(UpgradeFrames()), Summaries(expected));
    EXPECT_TRUE(UpgradeFrames() == expected) << "the label bytes differ";
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{L"Set successfully!"});
    const std::vector<double> readStart = ArrivalTimes(expected[4]);
    ASSERT_EQ(readStart.size(), 1u);
    EXPECT_GT(readStart[0], m_operator.LastMessageClosedAt() - 0.05) << "the read-back waits for the box to close";
    EXPECT_EQ(PageText(IDC_UPGRADE_LABEL_1), L"AB" + std::wstring(14, L' '));
    EXPECT_EQ(PageText(IDC_UPGRADE_LABEL_2), std::wstring(16, L' '));
    EXPECT_EQ(PageText(IDC_UPGRADE_LABELS_READ), L"AB" + std::wstring(30, L' '));
    EXPECT_TRUE(g_linkIdle);

    ASSERT_EQ(Control("upgrade silent-from 0"), "ok");
    UpgradeFromMcuFile(1000);
    ASSERT_TRUE(PumpUntil([&] { return UpgradeFrames().size() >= expected.size() + 3; }, FLOW_LIMIT_MS));
    ClickSet();
    // Neither chain took the link, so their last replies leave it to the
    // transfer that holds it.
    ASSERT_EQ(Control("frame 01 03 01 00 03 00 00 00 CC 00"), "ok");
    ASSERT_EQ(Control("frame FA 22 01 00 00 00 00 00 00 00"), "ok");
    PumpFor(TRANSFER_SETTLE_MS);
    EXPECT_EQ(UpgradeFrames().size(), expected.size() + 3) << "\"Set\" sent while the transfer held the link";
    EXPECT_FALSE(g_linkIdle);
    ASSERT_TRUE(WaitForLogEnding(LOG_MCU_FAILED, FLOW_LIMIT_MS));
    EXPECT_TRUE(g_linkIdle);
}

// Real periods: six device-type queries 6 s apart, each written anew whatever
// another page left in the command frame, then "Time out!".
TEST_F(UpgradePageTest, UnansweredRebootWaitTimesOutAfterSixQueries) {
    SetTimerScale(1.0);
    ASSERT_EQ(Control("upgrade restart forever"), "ok");
    UpgradeFromMcuFile(1000);
    ASSERT_TRUE(WaitForLogEnding(LOG_REBOOTING, FLOW_LIMIT_MS));
    AnotherPageWritesTheCommandFrame();
    ASSERT_TRUE(WaitForLogEnding(LOG_MCU_FAILED, 45000));

    const std::vector<double> queries = ArrivalTimes(REBOOT_QUERY);
    ASSERT_EQ(queries.size(), 6u);
    EXPECT_EQ(UpgradeFrames().size(), 4 + queries.size()) << "nothing but the device-type query went out";
    for (std::size_t i = 1; i < queries.size(); ++i) EXPECT_NEAR(queries[i] - queries[i - 1], 6.0, 0.6) << i;
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{L"Time out!"});
    EXPECT_NEAR(m_operator.LastMessageClosedAt() - queries[0], 36.0, 1.5);
    EXPECT_EQ(PageText(IDC_UPGRADE_LOG), L"->Upgrading MCU...\r\n" + LOG_REBOOTING + LOG_MCU_FAILED);
    EXPECT_EQ(LogTextColour(), RED);
    EXPECT_TRUE(g_linkIdle);
}

namespace {

// Three times the wire time of the longest transfer, a 500000-byte flash image.
constexpr DWORD WHOLE_TRANSFER_LIMIT_MS = 160000;

struct WireCount {
    std::size_t bytes = 0;
    std::size_t blocks = 0;
};

// Bytes both ways of a transfer up to its last block: every frame the device
// received and the 13-byte answer each one gets.
WireCount CountUpToTheLastBlock(const std::vector<SimulatorLogEntry>& entries, std::size_t blockLength) {
    WireCount all;
    WireCount upToBlock;
    for (const SimulatorLogEntry& entry : entries) {
        if (entry.tag != "RX") continue;
        all.bytes += entry.bytes.size() + DeviceFrame::COMMAND_FRAME_LENGTH;
        if (entry.bytes.size() != blockLength) continue;
        ++all.blocks;
        upToBlock = all;
    }
    return upToBlock;
}

}  // namespace

// Whole transfers on a line paced like the device's serial line, from the
// click to the device's last acknowledgement, against the time their bytes
// need on that line.
TEST_F(UpgradePageTest, BenchWholeTransfersOnThePacedLine) {
    struct Run {
        const char* kind;
        const wchar_t* name;
        std::size_t length;
        std::size_t blockLength;
    };
    SetTimerScale(1.0);
    ASSERT_EQ(Control("pace 115200"), "ok");
    for (const Run& run : {Run{"MCU", L"mcu-256-blocks.bin", 262144, DeviceFrame::MCU_DATA_FRAME_LENGTH},
                           Run{"flash", L"Pelmora_01.bin", 500000, DeviceFrame::FLASH_DATA_FRAME_LENGTH}}) {
        ASSERT_EQ(Control("reset"), "ok");
        // Deaf to the first reboot query, so that the log ends with the
        // rebooting line until the second one.
        ASSERT_EQ(Control("upgrade restart 1000"), "ok");
        const std::wstring path = WriteImageFile(run.name, run.length);
        ChooseFile(path);
        const std::size_t logStart = LogEntries().size();
        const auto clicked = std::chrono::steady_clock::now();
        ClickUpgrade();
        ASSERT_TRUE(WaitForLogEnding(LOG_REBOOTING, WHOLE_TRANSFER_LIMIT_MS)) << PageText(IDC_UPGRADE_LOG).c_str();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - clicked).count();
        ASSERT_TRUE(WaitForLogEnding(LOG_SUCCESS, FLOW_LIMIT_MS));
        EXPECT_TRUE(HoldsFile(DeviceImage(), FileBytes(path)));
        EXPECT_NE(UpgradeReport().find("violations=none"), std::string::npos) << UpgradeReport();

        const std::vector<SimulatorLogEntry> all = LogEntries();
        const WireCount wire = CountUpToTheLastBlock(
            std::vector<SimulatorLogEntry>(all.begin() + static_cast<std::ptrdiff_t>(logStart), all.end()),
            run.blockLength);
        const double wireSeconds = static_cast<double>(wire.bytes) / PACED_LINE_BYTES_PER_SECOND;
        std::printf("figure: upgrade, %s image of %zu bytes: whole transfer %.3f s against its wire time %.3f s "
                    "(%zu bytes both ways at %.0f bytes/s): ratio %.4f (goal at most 1.02); %.2f ms a block "
                    "beyond the line\n",
                    run.kind, run.length, seconds, wireSeconds, wire.bytes, PACED_LINE_BYTES_PER_SECOND,
                    seconds / wireSeconds, 1000 * (seconds - wireSeconds) / static_cast<double>(wire.blocks));
    }
}
