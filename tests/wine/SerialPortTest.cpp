// The serial port and its worker thread against the simulated switcher on the
// other end of the COM port's pty: bytes in, frames out, opening, reopening,
// stopping and the failure report.
#include "core/DeviceFrame.h"
#include "framework/CWinApp.h"
#include "framework/CWnd.h"
#include "serial/CSerialPort.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/TestFrames.h"
#include "tests/wine/TestTimings.h"
#include "tests/wine/SimulatorFixture.h"

#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr UINT BAUD_RATE = 115200;
constexpr wchar_t PARITY = L'N';
constexpr UINT DATA_BITS = 8;
constexpr UINT STOP_BITS = 2;
constexpr DWORD EVENT_MASK = EV_RXCHAR | EV_RXFLAG;
constexpr UINT MISSING_PORT = 77;

// The owner window: keeps what the worker sends and posts.
class SerialRecorder : public CWnd {
public:
    SerialRecorder() {
        SubclassWindow(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    }

    Bytes bytes;
    std::vector<LPARAM> bytePorts;
    std::vector<std::pair<WPARAM, LPARAM>> failures;

    LRESULT OnSerialByte(WPARAM byte, LPARAM port) {
        bytes.push_back(static_cast<std::uint8_t>(byte));
        bytePorts.push_back(port);
        return 1;
    }
    LRESULT OnSerialFailed(WPARAM code, LPARAM extra) {
        failures.emplace_back(code, extra);
        return 1;
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SerialRecorder, CWnd)
    ON_MESSAGE(WM_SERIAL_BYTE, OnSerialByte)
    ON_MESSAGE(WM_SERIAL_FAILED, OnSerialFailed)
END_MESSAGE_MAP()

DWORD HandleCount() {
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return count;
}

class SerialPortTest : public SimulatorFixture {
protected:
    void SetUp() override {
        SimulatorFixture::SetUp();
        if (HasFatalFailure()) return;
        AfxGetApp()->m_pMainWnd = &m_recorder;
        m_port = std::make_unique<CSerialPort>();
    }

    void TearDown() override {
        {
            Watchdog watchdog("destroying the port", FLOW_LIMIT_MS);
            m_port.reset();
        }
        AfxGetApp()->m_pMainWnd = nullptr;
        SimulatorFixture::TearDown();
    }

    BOOL Open(UINT port, wchar_t parity = PARITY) {
        return m_port->OpenPort(&m_recorder, port, BAUD_RATE, parity, DATA_BITS, STOP_BITS, EVENT_MASK);
    }

    // Opens the simulator's port and starts the worker; returns once the
    // worker waits for bytes.
    void OpenAndStart(wchar_t parity = PARITY) {
        ASSERT_TRUE(Open(static_cast<UINT>(ComPort()), parity));
        ASSERT_TRUE(m_port->StartWorker());
        ASSERT_TRUE(PumpUntil([this] { return m_port->m_bWorkerAlive == TRUE; }, ARRIVAL_TIMEOUT_MS));
        PumpFor(SETTLE_MS);
    }

    bool WaitForBytes(std::size_t count) {
        return PumpUntil([this, count] { return m_recorder.bytes.size() >= count; }, ARRIVAL_TIMEOUT_MS);
    }

    SerialRecorder m_recorder;
    std::unique_ptr<CSerialPort> m_port;
};

}  // namespace

TEST_F(SerialPortTest, BurstGivesOneMessagePerByteInArrivalOrder) {
    OpenAndStart();
    Bytes sent(512);
    std::iota(sent.begin(), sent.begin() + 256, std::uint8_t{0});
    std::iota(sent.rbegin(), sent.rbegin() + 256, std::uint8_t{0});
    ASSERT_EQ(DeviceSends(sent), "ok");

    ASSERT_TRUE(WaitForBytes(sent.size())) << m_recorder.bytes.size() << " bytes arrived";
    PumpFor(SETTLE_MS);
    EXPECT_EQ(m_recorder.bytes, sent);
    for (LPARAM port : m_recorder.bytePorts) ASSERT_EQ(port, ComPort());
}

TEST_F(SerialPortTest, LongBurstArrivesCompleteAndInOrder) {
    OpenAndStart();
    const int copies = 400;
    ASSERT_EQ(Control("burst " + std::to_string(copies)), "ok");
    const std::size_t expected = copies * DeviceFrame::COMMAND_FRAME_LENGTH;
    ASSERT_TRUE(WaitForBytes(expected)) << m_recorder.bytes.size() << " bytes arrived";
    PumpFor(SETTLE_MS);
    ASSERT_EQ(m_recorder.bytes.size(), expected);
    const Bytes first(m_recorder.bytes.begin(), m_recorder.bytes.begin() + DeviceFrame::COMMAND_FRAME_LENGTH);
    EXPECT_TRUE(DeviceFrame::StartsWithSync(first.data(), DeviceFrame::CommandSync));
    for (std::size_t i = 0; i < expected; ++i)
        ASSERT_EQ(m_recorder.bytes[i], first[i % DeviceFrame::COMMAND_FRAME_LENGTH]) << "byte " << i;
}

TEST_F(SerialPortTest, OpenFailsOnAMissingPortAndLaterWorksOnAFreeOne) {
    EXPECT_FALSE(Open(MISSING_PORT));
    EXPECT_EQ(m_port->m_hPort, nullptr);

    OpenAndStart();
    ASSERT_EQ(Control("send 5A C3"), "ok");
    ASSERT_TRUE(WaitForBytes(2));
    EXPECT_EQ(m_recorder.bytes, (Bytes{0x5A, 0xC3}));
}

TEST_F(SerialPortTest, RejectedLineSettingsStillOpenThePort) {
    constexpr wchar_t UNKNOWN_PARITY = L'Q';
    DCB settings{};
    settings.DCBlength = sizeof settings;
    ASSERT_FALSE(::BuildCommDCBW(L"baud=115200 parity=Q data=8 stop=2", &settings));
    OpenAndStart(UNKNOWN_PARITY);
    EXPECT_NE(m_port->m_hPort, nullptr);
    ASSERT_EQ(Control("send 11 22"), "ok");
    ASSERT_TRUE(WaitForBytes(2));
    EXPECT_EQ(m_recorder.bytes, (Bytes{0x11, 0x22}));
}

TEST_F(SerialPortTest, StopEventEndsTheWorkerAndClosesThePort) {
    OpenAndStart();
    ::SetEvent(m_port->m_hStopEvent);
    ASSERT_TRUE(PumpUntil([this] { return m_port->m_bWorkerAlive == FALSE; }, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(m_port->m_hPort, nullptr);
    EXPECT_FALSE(m_port->QueueFrame(Command(0x01, 0x01).data(), DeviceFrame::COMMAND_FRAME_LENGTH));

    // The port is free again for the next open.
    OpenAndStart();
    EXPECT_NE(m_port->m_hPort, nullptr);
}

TEST_F(SerialPortTest, ReopeningWhileBytesStreamInNeitherDeadlocksNorLeaks) {
    constexpr int REOPENINGS = 12;
    const std::string stream = "burst 2000";
    OpenAndStart();
    const std::vector<HANDLE> events{m_port->m_overlapped.hEvent, m_port->m_hSendEvent, m_port->m_hStopEvent};

    DWORD baseline = 0;
    for (int i = 0; i < REOPENINGS; ++i) {
        ASSERT_EQ(Control(stream), "ok");
        const std::size_t streaming = m_recorder.bytes.size() + 20;
        ASSERT_TRUE(WaitForBytes(streaming)) << "no stream before reopening " << i;
        {
            Watchdog watchdog("reopening while bytes stream in", FLOW_LIMIT_MS);
            ASSERT_TRUE(Open(static_cast<UINT>(ComPort()))) << "reopening " << i;
            ASSERT_TRUE(m_port->StartWorker());
        }
        // The events of the stopped worker serve the new one.
        EXPECT_EQ((std::vector<HANDLE>{m_port->m_overlapped.hEvent, m_port->m_hSendEvent, m_port->m_hStopEvent}),
                  events);
        // The new worker discards what waits in the port when it starts.
        ASSERT_TRUE(PumpUntil([this] { return m_port->m_bWorkerAlive == TRUE; }, ARRIVAL_TIMEOUT_MS));
        PumpFor(SETTLE_MS);
        if (i == 0) baseline = HandleCount();
    }
    // The port still carries bytes afterwards.
    ASSERT_EQ(Control(stream), "ok");
    ASSERT_TRUE(WaitForBytes(m_recorder.bytes.size() + 20)) << "no bytes after the last reopening";
    // A worker ends a moment after it let the owner go on.
    EXPECT_TRUE(PumpUntil([baseline] { return HandleCount() <= baseline; }, ARRIVAL_TIMEOUT_MS))
        << "handles: " << baseline << " after the first reopening, " << HandleCount() << " now";
}

TEST_F(SerialPortTest, DestroyingThePortWhileBytesStreamInReturns) {
    OpenAndStart();
    ASSERT_EQ(Control("burst 10000"), "ok");
    ASSERT_TRUE(WaitForBytes(100));
    Watchdog watchdog("destroying the port while bytes stream in", FLOW_LIMIT_MS);
    m_port.reset();
}

TEST_F(SerialPortTest, SimulatorClosingItsSideIsReportedToTheMainWindow) {
    OpenAndStart();
    ASSERT_EQ(Control("close"), "ok");
    ASSERT_TRUE(PumpUntil([this] { return !m_recorder.failures.empty(); }, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(m_recorder.failures.front(), std::make_pair(SERIAL_FAILURE_CODE, LPARAM{0}));

    // A frame that cannot be written is reported too.
    PumpFor(SETTLE_MS);
    m_recorder.failures.clear();
    const Bytes frame = Command(0x01, 0x01);
    ASSERT_TRUE(m_port->QueueFrame(frame.data(), static_cast<DWORD>(frame.size())));
    ASSERT_TRUE(PumpUntil([this] { return !m_recorder.failures.empty(); }, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(m_recorder.failures.front(), std::make_pair(SERIAL_FAILURE_CODE, LPARAM{0}));
}

// Command frames, then the MCU upgrade's start and a whole data block.
TEST_F(SerialPortTest, FramesHandedOverTogetherAllGoOutWholeInOrder) {
    OpenAndStart();
    Bytes block(DeviceFrame::MCU_DATA_FRAME_LENGTH, 0);
    block[0] = DeviceFrame::DataSync[0];
    block[1] = DeviceFrame::DataSync[1];
    Bytes image(DeviceFrame::MCU_BLOCK_SIZE);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    DeviceFrame::BuildMcuDataFrame(block.data(), image.data(), image.size() * 2, 0, true);
    DeviceFrame::SetCheckByte(block.data(), block.size());
    const std::vector<Bytes> frames = {Command(0x01, 0x01), Command(0x01, 0x03), Command(0x08, 0x0C),
                                       Command(0x02, 0x01, 0x01), Command(0x08, 0x07), block};
    for (const Bytes& frame : frames)
        ASSERT_TRUE(m_port->QueueFrame(frame.data(), static_cast<DWORD>(frame.size())));

    ASSERT_TRUE(WaitForReceivedFrames(frames.size(), ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(ReceivedFrames(), frames);
}

TEST_F(SerialPortTest, ReplyArrivingJustBeforeTheNextRequestStillReachesTheOwner) {
    constexpr int ROUNDS = 3;
    OpenAndStart();
    const Bytes reply = Command(0x01, 0x01);
    // A request the device leaves unanswered: only the replies arrive.
    const Bytes request = Command(0x07, 0x01);
    for (int round = 1; round <= ROUNDS; ++round) {
        // A quiet line first; the reply is on its way in when the request
        // is handed over.
        PumpFor(SETTLE_MS);
        ASSERT_EQ(DeviceSends(reply), "ok");
        ASSERT_TRUE(m_port->QueueFrame(request.data(), static_cast<DWORD>(request.size())));
        ASSERT_TRUE(WaitForBytes(round * reply.size())) << "round " << round;
        ASSERT_TRUE(WaitForReceivedFrames(static_cast<std::size_t>(round), ARRIVAL_TIMEOUT_MS));
    }
    PumpFor(SETTLE_MS);
    Bytes expected;
    for (int round = 0; round < ROUNDS; ++round) expected.insert(expected.end(), reply.begin(), reply.end());
    EXPECT_EQ(m_recorder.bytes, expected);
}

TEST_F(SerialPortTest, StopEndsAWriteTheLineDoesNotTake) {
    // More than the pty holds once the device stops reading.
    constexpr int BLOCKS = 150;
    OpenAndStart();
    ASSERT_EQ(Control("read off"), "ok");
    const Bytes block(DeviceFrame::MCU_DATA_FRAME_LENGTH, 0x5A);
    for (int i = 0; i < BLOCKS; ++i)
        ASSERT_TRUE(m_port->QueueFrame(block.data(), static_cast<DWORD>(block.size())));
    PumpFor(SETTLE_MS);
    Watchdog watchdog("stopping a worker whose write the line does not take", FLOW_LIMIT_MS);
    ::SetEvent(m_port->m_hStopEvent);
    EXPECT_TRUE(PumpUntil([this] { return m_port->m_bWorkerAlive == FALSE; }, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(m_port->m_hPort, nullptr);
    EXPECT_TRUE(m_recorder.failures.empty()) << "a stop is no line failure";
}

TEST_F(SerialPortTest, FrameIsRefusedWithoutAnOpenPortOrBeyondTheBuffer) {
    const Bytes frame = Command(0x01, 0x01);
    EXPECT_FALSE(m_port->QueueFrame(frame.data(), static_cast<DWORD>(frame.size())));

    OpenAndStart();
    const Bytes tooLong(CSerialPort::SEND_BUFFER_CAPACITY + 1, 0xA5);
    EXPECT_FALSE(m_port->QueueFrame(tooLong.data(), static_cast<DWORD>(tooLong.size())));
    EXPECT_TRUE(m_port->QueueFrame(frame.data(), static_cast<DWORD>(frame.size())));
    ASSERT_TRUE(WaitForReceivedFrames(1, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(ReceivedFrames().front(), frame);
}

TEST_F(SerialPortTest, PortErrorWarningHoldsTheCallTheSystemTextAndThePort) {
    EXPECT_FALSE(Open(MISSING_PORT));
    ::SetLastError(ERROR_ACCESS_DENIED);
    const std::wstring warning = m_port->FormatPortError(L"SetCommState()");
    const std::wstring head = L"WARNING:  SetCommState() Failed with the following error: \n";
    const std::wstring tail = L"\nPort: 77\n";
    ASSERT_GT(warning.size(), head.size() + tail.size());
    EXPECT_EQ(warning.substr(0, head.size()), head);
    EXPECT_EQ(warning.substr(warning.size() - tail.size()), tail);

    const std::wstring longName(3000, L'x');
    ::SetLastError(ERROR_ACCESS_DENIED);
    const std::wstring longWarning = m_port->FormatPortError(longName.c_str());
    EXPECT_NE(longWarning.find(longName), std::wstring::npos);
    EXPECT_EQ(longWarning.substr(longWarning.size() - tail.size()), tail);
}
