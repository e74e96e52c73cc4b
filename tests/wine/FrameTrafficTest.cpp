// The main window's frame traffic on its real template: frames from the
// simulated switcher over COM and over TCP, assembled, logged, checked
// and handed to the page that is shown; frames out by send kind; the logs.
#include "app/CCorvaneDlg.h"
#include "app/ProcessState.h"
#include "core/DeviceFrame.h"
#include "core/HexLogFormatter.h"
#include "res/resource.h"
#include "tests/wine/MainWindowSuite.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/TestFrames.h"
#include "tests/wine/TestTimings.h"
#include "tests/wine/SimulatorFixture.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr u_short DEVICE_TCP_PORT = 8000;

Bytes UpgradeAck(std::uint8_t block) {
    Bytes frame(DeviceFrame::COMMAND_FRAME_LENGTH, 0);
    frame[0] = DeviceFrame::DataSync[0];
    frame[1] = DeviceFrame::DataSync[1];
    frame[3] = block;
    frame[4] = 0x01;
    DeviceFrame::SetCheckByte(frame.data(), frame.size());
    return frame;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::wstring LogLine(const Bytes& frame) { return HexLogFormatter::FormatReceived(frame.data()); }

struct Dispatched {
    BYTE page;
    Bytes frame;
    bool operator==(const Dispatched& other) const { return page == other.page && frame == other.frame; }
};

// The main window with its page handlers replaced by a record of what they
// were given, and the TCP socket's read notification wired to the read path.
class ProbeDlg : public CCorvaneDlg {
public:
    std::vector<Dispatched> dispatched;
    // Runs inside a page handler, as a reply handler with a modal box would.
    std::function<void()> duringReply;

    using CCorvaneDlg::DispatchFrame;

    LRESULT OnTcpSocket(WPARAM socket, LPARAM event) {
        if (WSAGETSELECTEVENT(event) == FD_READ) ReceiveTcpBytes(static_cast<SOCKET>(socket));
        return 0;
    }

protected:
    void HandleGeneralReply(const BYTE* frame) override { Record(PAGE_GENERAL, frame); }
    void HandleEdidReply(const BYTE* frame) override { Record(PAGE_EDID, frame); }
    void HandleMatrixReply(const BYTE* frame) override { Record(PAGE_MATRIX, frame); }
    void HandleUpgradeReply(const BYTE* frame) override { Record(PAGE_UPGRADE, frame); }

    DECLARE_MESSAGE_MAP()

private:
    void Record(BYTE page, const BYTE* frame) {
        dispatched.push_back({page, Bytes(frame, frame + DeviceFrame::COMMAND_FRAME_LENGTH)});
        if (duringReply) {
            auto hook = std::move(duringReply);
            duringReply = nullptr;
            hook();
        }
    }
};

BEGIN_MESSAGE_MAP(ProbeDlg, CCorvaneDlg)
    ON_MESSAGE(WM_TCP_SOCKET, OnTcpSocket)
END_MESSAGE_MAP()

// Counts the text replacements a log edit receives.
class EditUpdateCounter : public CWnd {
public:
    int replacements = 0;
    LRESULT OnReplaceSel(WPARAM, LPARAM) {
        ++replacements;
        return Default();
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EditUpdateCounter, CWnd)
    ON_MESSAGE(EM_REPLACESEL, OnReplaceSel)
END_MESSAGE_MAP()

// Each test starts the suite's main window from empty logs and counts.
class FrameTrafficTest : public MainWindowSuite<ProbeDlg> {
protected:
    std::vector<std::string> SimulatorOptions() const override {
        return {"--tcp-port", std::to_string(DEVICE_TCP_PORT)};
    }

    void SetUp() override {
        MainWindowSuite::SetUp();
        if (HasFatalFailure()) return;
        g_sentLogFrameCount = 0;
        g_sentLogByteCount = 0;
        g_receivedLogFrameCount = 0;
        PumpPending();
        m_dlg->SetDlgItemText(IDC_RECEIVE_LOG, L"");
        m_dlg->SetDlgItemText(IDC_SEND_LOG, L"");
        m_dlg->dispatched.clear();
        m_dlg->duringReply = nullptr;
        m_dlg->m_nPage = PAGE_GENERAL;
        m_dlg->ResetSerialReceive();
        m_dlg->ResetTcpReceive();
        SelectComMode(true);
    }

    void TearDown() override {
        if (g_tcpSocket != INVALID_SOCKET) ::closesocket(g_tcpSocket);
        g_tcpSocket = INVALID_SOCKET;
        g_tcpConnected = FALSE;
        MainWindowSuite::TearDown();
    }

    void SelectComMode(bool com) {
        m_dlg->SendDlgItemMessage(IDC_COM_MODE, BM_SETCHECK, com ? BST_CHECKED : BST_UNCHECKED);
    }

    void OpenSerial() {
        OpenComPort();
        PumpFor(SETTLE_MS);
    }

    // Connects the panel's TCP socket to the simulated device's control port
    // and has the device's own writes go there too.
    void ConnectTcp() {
        g_tcpSocket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        address.sin_port = ::htons(DEVICE_TCP_PORT);
        ASSERT_EQ(::connect(g_tcpSocket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::WSAAsyncSelect(g_tcpSocket, m_dlg->m_hWnd, WM_TCP_SOCKET, FD_READ | FD_CLOSE), 0);
        // What the connect notification does before anything is read.
        g_tcpConnected = TRUE;
        m_dlg->ResetTcpReceive();
        SelectComMode(false);
        ASSERT_EQ(Control("target tcp"), "ok");
    }

    void DeviceWrites(const Bytes& bytes) { ASSERT_EQ(DeviceSends(bytes), "ok"); }

    void FeedSerialBytes(const Bytes& bytes) {
        for (std::uint8_t byte : bytes) m_dlg->SendMessage(WM_SERIAL_BYTE, byte, ComPort());
    }

    bool WaitForDispatched(std::size_t count) {
        return PumpUntil([this, count] { return m_dlg->dispatched.size() >= count; }, ARRIVAL_TIMEOUT_MS);
    }

    std::vector<Dispatched> DispatchedTo(BYTE page, const std::vector<Bytes>& frames) {
        std::vector<Dispatched> expected;
        for (const Bytes& frame : frames) expected.push_back({page, frame});
        return expected;
    }

    // The logs are written once the window's queue comes round to them.
    std::wstring LogText(int id) const {
        PumpPending();
        return m_dlg->GetDlgItemText(id);
    }
};

const Bytes ROUTE_REPLY = Command(0x02, 0x01, 0x01);
const Bytes POWER_REPLY = Command(0x08, 0x0C, 0x01);

}  // namespace

TEST_F(FrameTrafficTest, FramesBehindGarbageInPiecesAndWithEitherSyncPairArriveWhole) {
    OpenSerial();
    const Bytes ack = UpgradeAck(3);
    const Bytes stream = Concat({{0x00, 0x5B, 0x13, 0xA5}, ROUTE_REPLY, {0xEF, 0x42}, ack, POWER_REPLY});
    const std::size_t cuts[] = {0, 3, 9, 17, 18, 30, stream.size()};
    for (std::size_t i = 0; i + 1 < std::size(cuts); ++i) {
        const Bytes piece(stream.begin() + static_cast<std::ptrdiff_t>(cuts[i]),
                          stream.begin() + static_cast<std::ptrdiff_t>(cuts[i + 1]));
        ASSERT_EQ(DeviceSends(piece), "ok");
        PumpFor(30);
    }
    ASSERT_TRUE(WaitForDispatched(3));
    PumpFor(SETTLE_MS);
    EXPECT_EQ(m_dlg->dispatched, DispatchedTo(PAGE_GENERAL, {ROUTE_REPLY, ack, POWER_REPLY}));
}

TEST_F(FrameTrafficTest, DeviceReplyInPiecesBehindNoiseReachesThePage) {
    OpenSerial();
    ASSERT_EQ(Control("garbage 5"), "ok");
    ASSERT_EQ(Control("split 4 30"), "ok");
    BYTE* query = g_commandFrame;
    DeviceFrame::BuildCommandFrame(query, 0x08, 0x0C);
    m_dlg->SendFrame(query, DeviceFrame::COMMAND_FRAME_LENGTH);

    ASSERT_TRUE(WaitForDispatched(1));
    PumpFor(SETTLE_MS);
    ASSERT_EQ(m_dlg->dispatched.size(), 1u);
    const Bytes& reply = m_dlg->dispatched[0].frame;
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 4), (Bytes{0xA5, 0x5B, 0x08, 0x0C}));
    ASSERT_EQ(ReceivedFrames().size(), 1u);
    EXPECT_EQ(ReceivedFrames()[0], Bytes(query, query + DeviceFrame::COMMAND_FRAME_LENGTH));
}

TEST_F(FrameTrafficTest, FrameWithABadCheckByteIsLoggedAndDropped) {
    OpenSerial();
    ASSERT_EQ(Control("corrupt 1"), "ok");
    DeviceFrame::BuildCommandFrame(g_commandFrame, 0x08, 0x0C);
    m_dlg->SendFrame(g_commandFrame, DeviceFrame::COMMAND_FRAME_LENGTH);
    ASSERT_TRUE(PumpUntil([this] { return !LogText(IDC_RECEIVE_LOG).empty(); }, ARRIVAL_TIMEOUT_MS));
    PumpFor(SETTLE_MS);
    EXPECT_TRUE(m_dlg->dispatched.empty());

    m_dlg->SendFrame(g_commandFrame, DeviceFrame::COMMAND_FRAME_LENGTH);
    ASSERT_TRUE(WaitForDispatched(1));
    Bytes corrupted = m_dlg->dispatched[0].frame;
    corrupted[12] = static_cast<std::uint8_t>(corrupted[12] + 1);
    EXPECT_EQ(LogText(IDC_RECEIVE_LOG), LogLine(corrupted) + LogLine(m_dlg->dispatched[0].frame));
}

TEST_F(FrameTrafficTest, ReplyGoesToThePageShownWhenItArrives) {
    const BYTE pages[] = {PAGE_GENERAL, PAGE_EDID, 3, PAGE_MATRIX, PAGE_UPGRADE, 0};
    std::vector<Dispatched> expected;
    std::wstring log;
    for (BYTE page : pages) {
        const Bytes reply = Command(0x01, 0x0C, page);
        m_dlg->m_nPage = page;
        m_dlg->DispatchFrame(reply.data());
        log += LogLine(reply);
        if (page == PAGE_GENERAL || page == PAGE_EDID || page == PAGE_MATRIX || page == PAGE_UPGRADE)
            expected.push_back({page, reply});
    }
    EXPECT_EQ(m_dlg->dispatched, expected);
    EXPECT_EQ(LogText(IDC_RECEIVE_LOG), log);
}

TEST_F(FrameTrafficTest, SendKindsPickTheirBufferAndOnlyTheDataFramesGetACheckByte) {
    OpenSerial();
    DeviceFrame::BuildCommandFrame(g_commandFrame, 0x08, 0x07);
    Bytes image(DeviceFrame::MCU_BLOCK_SIZE);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 1);
    DeviceFrame::BuildMcuDataFrame(g_mcuDataFrame, image.data(), image.size(), 0, true);
    for (std::size_t i = 0; i < DeviceFrame::EDID_BUFFER_LENGTH; ++i) g_edidBlock[i] = static_cast<BYTE>(i);
    const Bytes edidBefore(g_edidBlock, g_edidBlock + DeviceFrame::EDID_BUFFER_LENGTH);

    EXPECT_EQ(m_dlg->SendMessage(WM_SEND_REQUEST, SEND_UPGRADE_COMMAND), 1);
    EXPECT_EQ(m_dlg->SendMessage(WM_SEND_REQUEST, SEND_MCU_BLOCK), 1);
    EXPECT_EQ(m_dlg->SendMessage(WM_SEND_REQUEST, SEND_EDID_BLOCK), 1);
    EXPECT_EQ(m_dlg->SendMessage(WM_SEND_REQUEST, 8), 1);

    const Bytes command(g_commandFrame, g_commandFrame + DeviceFrame::COMMAND_FRAME_LENGTH);
    const Bytes block(g_mcuDataFrame, g_mcuDataFrame + DeviceFrame::MCU_DATA_FRAME_LENGTH);
    EXPECT_EQ(command, Command(0x08, 0x07));
    EXPECT_EQ(block.back(), DeviceFrame::ComputeCheckByte(block.data(), block.size() - 1));
    EXPECT_EQ(Bytes(g_edidBlock, g_edidBlock + DeviceFrame::EDID_BUFFER_LENGTH), edidBefore);

    ASSERT_TRUE(WaitForReceivedFrames(2, ARRIVAL_TIMEOUT_MS));
    const auto received = ReceivedFrames();
    EXPECT_EQ(received[0], command);
    EXPECT_EQ(received[1], block);

    int lineBytes = 0;
    const std::wstring expectedLog =
        HexLogFormatter::FormatSent(command.data(), command.size(), lineBytes) +
        HexLogFormatter::FormatSent(block.data(), block.size(), lineBytes) +
        HexLogFormatter::FormatSent(edidBefore.data(), DeviceFrame::EDID_BLOCK_LENGTH, lineBytes);
    EXPECT_EQ(LogText(IDC_SEND_LOG), expectedLog);
}

TEST_F(FrameTrafficTest, StopReplyTimerKindOnlyStopsTheReplyTimeOut) {
    m_dlg->SetTimer(TIMER_REPLY_TIMEOUT, ARRIVAL_TIMEOUT_MS);
    EXPECT_EQ(m_dlg->SendMessage(WM_SEND_REQUEST, SEND_STOP_REPLY_TIMER), 1);
    EXPECT_FALSE(m_dlg->KillTimer(TIMER_REPLY_TIMEOUT));
    EXPECT_TRUE(LogText(IDC_SEND_LOG).empty());
}

TEST_F(FrameTrafficTest, FrameInComModeWithoutAPortIsOnlyLogged) {
    const std::wstring routeLine = L"A5 5B 02 03 02 00 01 00 00 00 00 00 F8 \r\n";
    const std::size_t flashLogLength = 20 * 41 + 6 + 4;
    DeviceFrame::BuildCommandFrame(g_commandFrame, 0x02, 0x03, Bytes{0x02, 0x00, 0x01}.data(), 3);
    ASSERT_TRUE(m_dlg->PostMessage(WM_SEND_REQUEST, SEND_MATRIX_COMMAND));
    ASSERT_TRUE(m_dlg->PostMessage(WM_SEND_REQUEST, SEND_FLASH_BLOCK));
    ASSERT_TRUE(m_dlg->PostMessage(WM_SEND_REQUEST, SEND_EDID_COMMAND));
    PumpFor(SETTLE_MS);
    EXPECT_EQ(g_commandFrame[12], 0xF8);
    const std::wstring log = LogText(IDC_SEND_LOG);
    ASSERT_EQ(log.size(), 2 * routeLine.size() + flashLogLength);
    EXPECT_EQ(log.substr(0, routeLine.size()), routeLine);
    EXPECT_EQ(log.substr(log.size() - routeLine.size()), routeLine);
    PumpFor(SETTLE_MS);
    EXPECT_TRUE(ReceivedFrames().empty());
}

TEST_F(FrameTrafficTest, ReceiveLogIsUpdatedOncePerBurstAndEmptiedByItsSixtiethFrame) {
    EditUpdateCounter counter;
    ASSERT_TRUE(counter.SubclassDlgItem(IDC_RECEIVE_LOG, m_dlg));
    FeedSerialBytes(ROUTE_REPLY);
    EXPECT_EQ(LogText(IDC_RECEIVE_LOG), LogLine(ROUTE_REPLY));
    EXPECT_EQ(counter.replacements, 1) << "a frame alone is one update";

    for (int frame = 2; frame < HexLogFormatter::FRAMES_BEFORE_CLEARING; ++frame) FeedSerialBytes(ROUTE_REPLY);
    EXPECT_EQ(LogText(IDC_RECEIVE_LOG).size(), (HexLogFormatter::FRAMES_BEFORE_CLEARING - 1) * LogLine(ROUTE_REPLY).size());
    EXPECT_EQ(counter.replacements, 2) << "the frames of one burst are one update";

    FeedSerialBytes(ROUTE_REPLY);
    FeedSerialBytes(POWER_REPLY);
    EXPECT_EQ(LogText(IDC_RECEIVE_LOG), LogLine(POWER_REPLY)) << "the 60th frame empties the log, the 61st starts it";
    counter.UnsubclassWindow();
}

TEST_F(FrameTrafficTest, SendLogHoldsFiftyNineDataFramesWholeAndIsEmptiedByTheSixtieth) {
    DeviceFrame::BuildMcuDataFrame(g_mcuDataFrame, nullptr, 0, 0, true);
    for (int frame = 1; frame < HexLogFormatter::FRAMES_BEFORE_CLEARING; ++frame)
        m_dlg->SendMessage(WM_SEND_REQUEST, SEND_MCU_BLOCK);
    int lineBytes = 0;
    const std::wstring oneFrame =
        HexLogFormatter::FormatSent(g_mcuDataFrame, DeviceFrame::MCU_DATA_FRAME_LENGTH, lineBytes);
    const std::wstring log = LogText(IDC_SEND_LOG);
    ASSERT_GT(log.size(), 30000u);
    EXPECT_EQ(log.size(), (HexLogFormatter::FRAMES_BEFORE_CLEARING - 1) * oneFrame.size());
    EXPECT_EQ(log.substr(log.size() - oneFrame.size()), oneFrame);

    m_dlg->SendMessage(WM_SEND_REQUEST, SEND_MCU_BLOCK);
    EXPECT_TRUE(LogText(IDC_SEND_LOG).empty());
}

TEST_F(FrameTrafficTest, NewlyOpenedPortForgetsAPartlyAssembledFrame) {
    FeedSerialBytes(Bytes(ROUTE_REPLY.begin(), ROUTE_REPLY.begin() + 6));
    OpenSerial();
    DeviceWrites(POWER_REPLY);
    ASSERT_TRUE(WaitForDispatched(1));
    PumpFor(SETTLE_MS);
    EXPECT_EQ(m_dlg->dispatched, DispatchedTo(PAGE_GENERAL, {POWER_REPLY}));
}

TEST_F(FrameTrafficTest, NewTcpConnectionForgetsAPartlyAssembledFrame) {
    ConnectTcp();
    DeviceWrites(Bytes(ROUTE_REPLY.begin(), ROUTE_REPLY.begin() + 6));
    PumpFor(SETTLE_MS);
    ::closesocket(g_tcpSocket);
    ConnectTcp();
    DeviceWrites(POWER_REPLY);
    ASSERT_TRUE(WaitForDispatched(1));
    PumpFor(SETTLE_MS);
    EXPECT_EQ(m_dlg->dispatched, DispatchedTo(PAGE_GENERAL, {POWER_REPLY}));
}

TEST_F(FrameTrafficTest, TcpReadsDispatchEveryWholeFrameWhateverTheWritesCarry) {
    ConnectTcp();
    const Bytes ack = UpgradeAck(9);
    DeviceWrites(Concat({ROUTE_REPLY, POWER_REPLY}));
    ASSERT_TRUE(WaitForDispatched(2));
    DeviceWrites(Bytes(ack.begin(), ack.begin() + 6));
    PumpFor(SETTLE_MS);
    EXPECT_EQ(m_dlg->dispatched.size(), 2u);
    DeviceWrites(Bytes(ack.begin() + 6, ack.end()));
    ASSERT_TRUE(WaitForDispatched(3));
    DeviceWrites(Concat({{0x01, 0x02, 0x03}, ROUTE_REPLY}));
    ASSERT_TRUE(WaitForDispatched(4));
    PumpFor(SETTLE_MS);
    EXPECT_EQ(m_dlg->dispatched, DispatchedTo(PAGE_GENERAL, {ROUTE_REPLY, POWER_REPLY, ack, ROUTE_REPLY}));
}

TEST_F(FrameTrafficTest, TcpModeSendsToTheDeviceAndItsReplyInPiecesComesBackWhole) {
    ConnectTcp();
    ASSERT_EQ(Control("garbage 3"), "ok");
    ASSERT_EQ(Control("split 3 30"), "ok");
    DeviceFrame::BuildCommandFrame(g_commandFrame, 0x08, 0x0C);
    m_dlg->SendFrame(g_commandFrame, DeviceFrame::COMMAND_FRAME_LENGTH);

    ASSERT_TRUE(WaitForReceivedFrames(1, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(ReceivedFrames()[0], (Bytes{0xA5, 0x5B, 0x08, 0x0C, 0, 0, 0, 0, 0, 0, 0, 0, 0xEC}));
    ASSERT_TRUE(WaitForDispatched(1));
    const Bytes& reply = m_dlg->dispatched[0].frame;
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 4), (Bytes{0xA5, 0x5B, 0x08, 0x0C}));
}

TEST_F(FrameTrafficTest, TcpFrameIsSeenOnceAndInOrderWhenItsHandlerPumpsTheNextRead) {
    ConnectTcp();
    m_dlg->duringReply = [this] {
        DeviceWrites(POWER_REPLY);
        PumpFor(SETTLE_MS);
    };
    DeviceWrites(ROUTE_REPLY);
    ASSERT_TRUE(WaitForDispatched(2));
    PumpFor(SETTLE_MS);
    EXPECT_EQ(m_dlg->dispatched, DispatchedTo(PAGE_GENERAL, {ROUTE_REPLY, POWER_REPLY}));
}

// How fast the bytes of an unpaced line reach DispatchFrame as frames.
TEST_F(FrameTrafficTest, BenchReceiveRateOfCommandFrames) {
    constexpr int FRAMES = 3000;
    constexpr DWORD ARRIVAL_LIMIT_MS = 120000;
    OpenSerial();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Control("burst " + std::to_string(FRAMES)), "ok");
    ASSERT_TRUE(PumpUntil([this] { return m_dlg->dispatched.size() >= FRAMES; }, ARRIVAL_LIMIT_MS))
        << m_dlg->dispatched.size() << " frames arrived";
    PumpPending();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double bytes = FRAMES * static_cast<double>(DeviceFrame::COMMAND_FRAME_LENGTH);
    std::printf("figure: receive rate: %d command frames (%.0f bytes) from the simulator's burst to the page "
                "handler in %.3f s: %.0f bytes/s, against the 10473 bytes/s of a 115200-baud line\n",
                FRAMES, bytes, seconds, bytes / seconds);
}
