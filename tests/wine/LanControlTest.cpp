// Control over the LAN driven like an operator, by control id, against the
// simulated switcher in the session's LAN namespace: the mode radios, the
// device search with the simulator's answer knobs, the TCP connection with
// its close, refusal and stall, and the IP configuration end to end.
#include "app/BeginRequest.h"
#include "app/CCorvaneDlg.h"
#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "core/HexLogFormatter.h"
#include "core/IpConfigPacket.h"
#include "core/RequestGate.h"
#include "core/SearchAnswer.h"
#include "res/resource.h"
#include "tests/wine/MainWindowSuite.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/PopupOperator.h"
#include "tests/wine/SimulatorFixture.h"
#include "tests/wine/TestFrames.h"
#include "tests/wine/TestTimings.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// For datagrams and their answers to land.
constexpr DWORD LAN_SETTLE_MS = 300;
// The configuration's 15 s time-out runs at this share of its period.
constexpr double TIMER_SCALE = 0.25;
constexpr int MCU_BLOCK_COUNT = 300;
constexpr int CROWD = 300;
constexpr const char* SEARCH_RECEIVED = "LAN-RX-30600";
constexpr const char* SEARCH_ANSWERED = "LAN-TX-30600";
constexpr const char* CONFIG_RECEIVED = "LAN-RX-30601";
constexpr const char* CONFIG_ANSWERED = "LAN-TX-30601";
constexpr const wchar_t* SIMULATOR_ADDRESS = L"10.231.0.2";
const Bytes POWER_QUERY = Command(0x08, 0x0C);
const Bytes MCU_ENTER = Command(0x08, 0x07);
const Bytes BEEP_QUERY = Command(0x01, 0x0B);
const int OCTET_EDITS[] = {IDC_CONFIG_IP_OCTET_1, IDC_CONFIG_IP_OCTET_2, IDC_CONFIG_IP_OCTET_3, IDC_CONFIG_IP_OCTET_4};

// The main window with the pages' reply handlers reduced to a record.
class LanProbeDlg : public CCorvaneDlg {
public:
    using CCorvaneDlg::m_tcpSendQueue;
    std::vector<Bytes> replies;

protected:
    void HandleGeneralReply(const BYTE* frame) override { Record(frame); }
    void HandleEdidReply(const BYTE* frame) override { Record(frame); }
    void HandleMatrixReply(const BYTE* frame) override { Record(frame); }
    void HandleUpgradeReply(const BYTE* frame) override { Record(frame); }

private:
    void Record(const BYTE* frame) { replies.emplace_back(frame, frame + DeviceFrame::COMMAND_FRAME_LENGTH); }
};

// A search answer the panel lists, from a switcher the simulator is not.
Bytes OtherSwitchersAnswer() {
    Bytes answer(SearchAnswer::DEVICE_ANSWER_LENGTH, 0);
    const std::uint8_t head[] = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 10, 231, 7, 7};
    std::copy(std::begin(head), std::end(head), answer.begin());
    answer[SearchAnswer::MARKER_OFFSET] = SearchAnswer::MARKER[0];
    answer[SearchAnswer::MARKER_OFFSET + 1] = SearchAnswer::MARKER[1];
    return answer;
}

std::size_t Occurrences(const std::wstring& text, const std::wstring& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

class LanControlTest : public MainWindowSuite<LanProbeDlg> {
protected:
    bool UsesLan() const override { return true; }

    // Winsock stays started for the whole suite, as the panel starts it once
    // for the whole process: a fixture's clean-up must not close the panel's
    // sockets under it.
    static void SetUpTestSuite() {
        WSADATA data{};
        s_winsockStarted = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
        MainWindowSuite::SetUpTestSuite();
    }

    static void TearDownTestSuite() {
        g_udpSocket.Close();
        MainWindowSuite::TearDownTestSuite();
        if (s_winsockStarted) ::WSACleanup();
    }

    void SetUp() override {
        MainWindowSuite::SetUp();
        if (HasFatalFailure()) return;
        // The suite's window polls the switcher every 5 s; its route query
        // would fall among the frames the tests count.
        m_dlg->KillTimer(TIMER_STATUS_POLL);
        m_dlg->replies.clear();
        g_linkIdle = TRUE;
        m_dlg->SetDlgItemText(IDC_RECEIVE_LOG, L"");
        g_receivedLogFrameCount = 0;
        g_messageDlgShown = FALSE;
        g_statusDlgShown = FALSE;
        g_messageText.clear();
        m_operator.Start();
        Click(IDC_TCP_MODE);
    }

    void TearDown() override {
        m_operator.Stop();
        SetTimerScale(1.0);
        if (m_dlg != nullptr) {
            Click(IDC_COM_MODE);
            PumpPending();
        }
        MainWindowSuite::TearDown();
    }

    HWND Item(int id) const { return m_dlg->GetDlgItem(id); }
    void Click(int id) { ::SendMessageW(Item(id), BM_CLICK, 0, 0); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    std::wstring Text(int id) const { return m_dlg->GetDlgItemText(id); }
    int Listed() const { return static_cast<int>(m_dlg->SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_GETCOUNT)); }
    std::wstring ReceiveLog() {
        m_dlg->UpdateLogs();
        return Text(IDC_RECEIVE_LOG);
    }

    bool PumpUntilLogged(const std::string& tag, std::size_t count, DWORD timeoutMs = ARRIVAL_TIMEOUT_MS) {
        return PumpUntil([&] { return Logged(tag).size() >= count; }, timeoutMs);
    }

    // A search the simulator has answered, and time for the answers to land.
    void Search(std::size_t answersBefore = 0) {
        Click(IDC_SEARCH);
        ASSERT_TRUE(PumpUntilLogged(SEARCH_RECEIVED, 1));
        ASSERT_TRUE(PumpUntilLogged(SEARCH_ANSWERED, answersBefore + 1));
        PumpFor(LAN_SETTLE_MS);
    }

    bool WaitConnected() {
        return PumpUntil([this] { return g_tcpConnected == TRUE && Text(IDC_CONNECT_TCP) == L"Disconnect"; },
                         ARRIVAL_TIMEOUT_MS);
    }

    std::size_t PowerQueriesReceived() const {
        const auto frames = ReceivedFrames();
        return static_cast<std::size_t>(std::count(frames.begin(), frames.end(), POWER_QUERY));
    }

    // "Config..." by a posted click, as its modal dialog would otherwise
    // hold the test; the operator's steps run inside. Returns when the flow
    // is over.
    void RunConfiguration() {
        Watchdog watchdog("IP configuration", FLOW_LIMIT_MS);
        m_dlg->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_CONFIG, BN_CLICKED),
                           reinterpret_cast<LPARAM>(Item(IDC_CONFIG)));
        ASSERT_TRUE(PumpUntil(
            [this] {
                return m_operator.StepsDone() && !PopupOperator::IsUp(g_configIpDlg) &&
                       !PopupOperator::IsUp(g_statusDlg);
            },
            FLOW_LIMIT_MS));
    }

    // The dialog answered with the mode, the address typed and OK.
    void Configure(bool staticIp, const IpConfigPacket::Octets& address) {
        m_operator.WhenShown(g_configIpDlg, [staticIp, address] {
            const int modeId = staticIp ? IDC_CONFIG_IP_STATIC : IDC_CONFIG_IP_AUTO;
            ::SendMessageW(g_configIpDlg.GetDlgItem(modeId), BM_CLICK, 0, 0);
            for (std::size_t i = 0; i < address.size(); ++i) g_configIpDlg.SetDlgItemText(OCTET_EDITS[i], address[i]);
            ::SendMessageW(g_configIpDlg.GetDlgItem(IDC_CONFIG_IP_OK), BM_CLICK, 0, 0);
        });
        RunConfiguration();
    }

    // The operator's COM connect on the simulator's port.
    void ConnectComPort() {
        const std::wstring port = L"COM" + std::to_wstring(ComPort());
        ASSERT_TRUE(PumpUntil([&] { return Text(IDC_COM_PORT_LIST) == port; }, ARRIVAL_TIMEOUT_MS));
        Click(IDC_CONNECT_COM);
        ASSERT_TRUE(PumpUntil([this] { return m_dlg->m_serial.m_bWorkerAlive == TRUE; }, ARRIVAL_TIMEOUT_MS));
        ASSERT_EQ(g_app.m_bComPortOpen, TRUE);
        ASSERT_FALSE(Enabled(IDC_BAUD_RATE_LIST));
    }

    static inline bool s_winsockStarted = false;
    PopupOperator m_operator;
};

const int TCP_GROUP[] = {IDC_CONNECT_TCP, IDC_SEARCH, IDC_CONFIG, IDC_SWITCHER_IP_LIST};

}  // namespace

TEST_F(LanControlTest, ModesEnableTheirGroupsAndTcpModeClosesTheComPort) {
    Click(IDC_COM_MODE);
    for (const int id : TCP_GROUP) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(IDC_CONNECT_COM));
    ConnectComPort();

    Click(IDC_TCP_MODE);
    EXPECT_TRUE(PumpUntil([this] { return m_dlg->m_serial.m_bWorkerAlive == FALSE; }, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(g_app.m_bComPortOpen, FALSE);
    EXPECT_EQ(g_controlMode, CONTROL_MODE_TCP);
    for (const int id : TCP_GROUP) EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_FALSE(Enabled(IDC_CONNECT_COM));
    EXPECT_FALSE(Enabled(IDC_COM_PORT_LIST));
    EXPECT_TRUE(Enabled(IDC_BAUD_RATE_LIST)) << "closed as by Disconnect";
    // Requests in TCP mode need the TCP connection; the box already up gets
    // the text.
    g_messageDlgShown = TRUE;
    EXPECT_FALSE(BeginRequest());
    EXPECT_EQ(g_messageText, TEXT_CONNECT_FAILED);
}

TEST_F(LanControlTest, SearchListsTheSwitcherConnectRunsTheLinkUntilTheDeviceOrComModeEndsIt) {
    g_statusText = L"Setting";
    Search();
    ASSERT_EQ(Listed(), 1);
    EXPECT_EQ(Text(IDC_SWITCHER_IP_LIST), SIMULATOR_ADDRESS);
    EXPECT_EQ(g_selectedIpOctets, (IpConfigPacket::Octets{L"10", L"231", L"0", L"2"}));
    EXPECT_EQ(g_selectedMacPairs, (IpConfigPacket::MacPairs{L"00", L"1A", L"2B", L"3C", L"4D", L"5E"}));
    // The panel hears its own request; the frame log's count stays.
    const Bytes answer = Logged(SEARCH_ANSWERED).at(0).bytes;
    EXPECT_EQ(ReceiveLog(), L"61 " + HexLogFormatter::FormatDatagram(answer.data(), answer.size()));
    EXPECT_EQ(g_receivedLogFrameCount, 0);

    Click(IDC_CONNECT_TCP);
    ASSERT_TRUE(WaitConnected());
    ASSERT_TRUE(PumpUntil([this] { return PowerQueriesReceived() == 1; }, ARRIVAL_TIMEOUT_MS));
    ASSERT_TRUE(PumpUntil([this] { return !m_dlg->replies.empty(); }, ARRIVAL_TIMEOUT_MS)) << "no power report";

    // A request holds the link when the device drops it: the reconnect may
    // not put its power query where the request's resend reads its frame.
    ASSERT_TRUE(BeginRequest());
    std::copy(BEEP_QUERY.begin(), BEEP_QUERY.end(), g_commandFrame);
    ASSERT_EQ(Control("tcp close"), "ok");
    ASSERT_TRUE(PumpUntil([this] { return Text(IDC_CONNECT_TCP) == L"Connect"; }, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(g_tcpConnected, FALSE);
    EXPECT_EQ(g_tcpSocket, INVALID_SOCKET);
    g_messageDlgShown = TRUE;
    EXPECT_FALSE(BeginRequest());
    EXPECT_EQ(g_messageText, TEXT_CONNECT_FAILED);

    Click(IDC_CONNECT_TCP);
    ASSERT_TRUE(WaitConnected());
    PumpFor(LAN_SETTLE_MS);
    EXPECT_EQ(Bytes(g_commandFrame, g_commandFrame + BEEP_QUERY.size()), BEEP_QUERY);
    EXPECT_EQ(PowerQueriesReceived(), 1u);
    g_linkIdle = TRUE;
    Click(IDC_COM_MODE);
    EXPECT_EQ(g_tcpConnected, FALSE);
    EXPECT_EQ(g_tcpSocket, INVALID_SOCKET);
    EXPECT_EQ(Text(IDC_CONNECT_TCP), L"Connect");
    // A search of the operator's own finishes no busy pop-up.
    PumpFor(RealPeriodOf(TIMER_SEARCH_DONE) + RealPeriodOf(TIMER_SEARCH_CLOSE));
    EXPECT_EQ(g_statusText, L"Setting");
}

TEST_F(LanControlTest, RefusedOrEmptyConnectEndsQuietlyAndADoubleConnectFollowsTheSecondSocket) {
    Search();
    ASSERT_EQ(Control("tcp refuse on"), "ok");
    Click(IDC_CONNECT_TCP);
    EXPECT_TRUE(PumpUntil([] { return g_tcpSocket == INVALID_SOCKET; }, ARRIVAL_TIMEOUT_MS)) << "failed socket kept";
    PumpFor(LAN_SETTLE_MS);
    EXPECT_EQ(Text(IDC_CONNECT_TCP), L"Connect");
    EXPECT_EQ(g_tcpConnected, FALSE);

    ASSERT_EQ(Control("tcp refuse off"), "ok");
    // The first attempt's socket is closed before its notifications are
    // handled; none of them may reach the second. A frame sent before the
    // connection is up is only logged.
    Click(IDC_CONNECT_TCP);
    Click(IDC_CONNECT_TCP);
    EXPECT_NE(g_tcpSocket, INVALID_SOCKET);
    BYTE command[DeviceFrame::COMMAND_FRAME_BUFFER_LENGTH] = {};
    std::copy(MCU_ENTER.begin(), MCU_ENTER.end(), command);
    m_dlg->SendFrame(command, static_cast<int>(DeviceFrame::COMMAND_FRAME_LENGTH));
    ASSERT_TRUE(WaitConnected());
    PumpFor(LAN_SETTLE_MS);
    EXPECT_EQ(ReceivedFrames(), std::vector<Bytes>{POWER_QUERY});

    m_dlg->SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_RESETCONTENT);
    Click(IDC_CONNECT_TCP);
    EXPECT_EQ(Text(IDC_CONNECT_TCP), L"Connect");
    Click(IDC_CONNECT_TCP);
    PumpFor(LAN_SETTLE_MS);
    EXPECT_EQ(Text(IDC_CONNECT_TCP), L"Connect");
    EXPECT_EQ(g_tcpConnected, FALSE);
    EXPECT_EQ(g_messageDlgShown, FALSE);
    EXPECT_TRUE(g_messageText.empty());
}

TEST_F(LanControlTest, McuBlocksHandedOverWhileTheDeviceStallsAllArriveWholeAndInOrder) {
    Search();
    Click(IDC_CONNECT_TCP);
    ASSERT_TRUE(WaitConnected());
    BYTE command[DeviceFrame::COMMAND_FRAME_BUFFER_LENGTH] = {};
    std::copy(MCU_ENTER.begin(), MCU_ENTER.end(), command);
    m_dlg->SendFrame(command, static_cast<int>(DeviceFrame::COMMAND_FRAME_LENGTH));
    ASSERT_TRUE(PumpUntil([this] { return ReceivedFrames().size() >= 2; }, ARRIVAL_TIMEOUT_MS));
    ASSERT_EQ(Control("tcp stall on"), "ok");

    std::vector<std::uint8_t> image(MCU_BLOCK_COUNT * DeviceFrame::MCU_BLOCK_SIZE);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + i / 1024);
    std::vector<Bytes> sent;
    for (int block = 0; block < MCU_BLOCK_COUNT; ++block) {
        Bytes frame(DeviceFrame::MCU_DATA_FRAME_LENGTH, 0);
        frame[0] = DeviceFrame::DataSync[0];
        frame[1] = DeviceFrame::DataSync[1];
        DeviceFrame::BuildMcuDataFrame(frame.data(), image.data(), image.size(),
                                       static_cast<std::size_t>(block) * DeviceFrame::MCU_BLOCK_SIZE, block == 0);
        m_dlg->SendFrame(frame.data(), static_cast<int>(frame.size()));
        sent.push_back(frame);
    }
    EXPECT_GT(m_dlg->m_tcpSendQueue.WaitingBytes(), 0u) << "the stalled device took everything";
    PumpFor(LAN_SETTLE_MS);

    ASSERT_EQ(Control("tcp stall off"), "ok");
    ASSERT_TRUE(PumpUntil([this] { return ReceivedFrames().size() >= 2 + MCU_BLOCK_COUNT; }, 3 * ARRIVAL_TIMEOUT_MS));
    const auto frames = ReceivedFrames();
    const std::vector<Bytes> blocks(frames.end() - MCU_BLOCK_COUNT, frames.end());
    EXPECT_TRUE(blocks == sent) << "blocks torn, lost or out of order";
    EXPECT_EQ(m_dlg->m_tcpSendQueue.WaitingBytes(), 0u);
}

TEST_F(LanControlTest, SearchAnswerKnobsAndOtherTraffic) {
    Search();
    ASSERT_EQ(Listed(), 1);
    const auto selectedIp = g_selectedIpOctets;
    const auto answers = [this] { return Logged(SEARCH_ANSWERED).size(); };

    struct Knob {
        const char* command;
        std::size_t answers;   // datagrams the simulator sends
        bool logged;           // the answer reaches the log
    };
    const Knob knobs[] = {{"lan search silent", 0, false}, {"lan search short", 1, true},
                          {"lan search nomarker", 1, true}, {"lan search huge", 1, false},
                          {"lan search empty", 1, false}};
    for (const Knob& knob : knobs) {
        SCOPED_TRACE(knob.command);
        ASSERT_EQ(Control(knob.command), "ok");
        m_dlg->SetDlgItemText(IDC_RECEIVE_LOG, L"");
        const std::size_t before = answers();
        const std::size_t requests = Logged(SEARCH_RECEIVED).size();
        Click(IDC_SEARCH);
        ASSERT_TRUE(PumpUntilLogged(SEARCH_RECEIVED, requests + 1));
        ASSERT_TRUE(PumpUntil([&] { return answers() >= before + knob.answers; }, ARRIVAL_TIMEOUT_MS));
        PumpFor(LAN_SETTLE_MS);
        EXPECT_EQ(answers(), before + knob.answers);
        std::wstring expected = L"61 ";
        if (knob.logged) {
            const Bytes answer = Logged(SEARCH_ANSWERED).back().bytes;
            expected += HexLogFormatter::FormatDatagram(answer.data(), answer.size());
        }
        EXPECT_EQ(ReceiveLog(), expected);
        EXPECT_EQ(Listed(), 0);
        EXPECT_EQ(g_selectedIpOctets, selectedIp) << "an unlisted answer selected a device";
    }

    ASSERT_EQ(Control("lan search normal"), "ok");
    Search(answers());
    m_dlg->SetDlgItemText(IDC_RECEIVE_LOG, L"");
    // Another panel's request, a configuration packet and stray bytes.
    const IpConfigPacket::Bytes packet = IpConfigPacket::Build({}, {}, {}, false);
    ASSERT_EQ(Control("lan stray 30600 61"), "ok");
    ASSERT_EQ(Control("lan stray 30600" + HexWords(Bytes(packet.begin(), packet.end()))), "ok");
    ASSERT_EQ(Control("lan stray 30600 A5 5B 02"), "ok");
    PumpFor(LAN_SETTLE_MS);
    EXPECT_EQ(ReceiveLog(), L"61 " + HexLogFormatter::FormatDatagram(packet.data(), packet.size()) + L"A5 5B 02 ");
    EXPECT_EQ(Listed(), 1);
    EXPECT_EQ(g_selectedIpOctets, selectedIp);
}

TEST_F(LanControlTest, CrowdedSearchListsTheFirst256AndTheLastListedOpensTheDialog) {
    ASSERT_EQ(Control("lan devices " + std::to_string(CROWD) + " 3"), "ok");
    Click(IDC_SEARCH);
    ASSERT_TRUE(PumpUntilLogged(SEARCH_ANSWERED, CROWD, 3 * ARRIVAL_TIMEOUT_MS));
    ASSERT_TRUE(PumpUntil([this] { return Occurrences(ReceiveLog(), L"77 88") >= CROWD; }, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(Occurrences(ReceiveLog(), L"77 88"), static_cast<std::size_t>(CROWD));
    ASSERT_EQ(Listed(), static_cast<int>(FOUND_DEVICE_CAPACITY));
    // Until the operator picks one, the target is the item shown: the first.
    EXPECT_EQ(Text(IDC_SWITCHER_IP_LIST), SIMULATOR_ADDRESS);
    EXPECT_EQ(g_selectedIpOctets, (IpConfigPacket::Octets{L"10", L"231", L"0", L"2"}));

    const Bytes last = Logged(SEARCH_ANSWERED).at(FOUND_DEVICE_CAPACITY - 1).bytes;
    const auto lastListed = SearchAnswer::Parse(last.data(), last.size());
    const auto selectEndOk = [this](int item) {
        m_dlg->SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_SETCURSEL, static_cast<WPARAM>(item));
        m_dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SWITCHER_IP_LIST, CBN_SELENDOK),
                           reinterpret_cast<LPARAM>(Item(IDC_SWITCHER_IP_LIST)));
    };
    selectEndOk(static_cast<int>(FOUND_DEVICE_CAPACITY) - 1);
    // Nothing selected is no position in the table.
    selectEndOk(-1);

    IpConfigPacket::Octets shownIp;
    IpConfigPacket::MacPairs shownMac;
    m_operator.WhenShown(g_configIpDlg, [&] {
        const int macs[] = {IDC_CONFIG_IP_MAC_1, IDC_CONFIG_IP_MAC_2, IDC_CONFIG_IP_MAC_3,
                            IDC_CONFIG_IP_MAC_4, IDC_CONFIG_IP_MAC_5, IDC_CONFIG_IP_MAC_6};
        for (std::size_t i = 0; i < shownIp.size(); ++i) shownIp[i] = g_configIpDlg.GetDlgItemText(OCTET_EDITS[i]);
        for (std::size_t i = 0; i < shownMac.size(); ++i) shownMac[i] = g_configIpDlg.GetDlgItemText(macs[i]);
        ::SendMessageW(g_configIpDlg.GetDlgItem(IDC_CONFIG_IP_CANCEL), BM_CLICK, 0, 0);
    });
    RunConfiguration();
    ASSERT_TRUE(lastListed.has_value());
    EXPECT_EQ(shownIp, lastListed->AddressOctets());
    EXPECT_EQ(shownMac, lastListed->MacPairs());
    PumpFor(LAN_SETTLE_MS);
    EXPECT_TRUE(Logged(CONFIG_RECEIVED).empty()) << "Cancel sent a packet";
}

TEST_F(LanControlTest, StaticAddressConfigurationEndToEnd) {
    Search();
    ASSERT_EQ(Listed(), 1);
    const IpConfigPacket::Octets newAddress = {L"192", L"168", L"1", L"50"};
    Configure(true, newAddress);

    const auto packets = Logged(CONFIG_RECEIVED);
    ASSERT_FALSE(packets.empty());
    const IpConfigPacket::Bytes expected = IpConfigPacket::Build(
        g_selectedMacPairs, {L"00", L"1A", L"2B", L"3C", L"4D", L"5E"}, newAddress, true);
    EXPECT_EQ(packets.front().bytes, Bytes(expected.begin(), expected.end()));
    EXPECT_EQ(Listed(), 1);
    EXPECT_EQ(Text(IDC_SWITCHER_IP_LIST), L"192.168.1.50");
    const std::vector<std::wstring> statusTexts = m_operator.StatusTexts();
    ASSERT_GE(statusTexts.size(), 2u);
    EXPECT_EQ(statusTexts.front().rfind(L"Configuring", 0), 0u);
    EXPECT_EQ(statusTexts.back(), L"Configure successfully!");
    EXPECT_EQ(g_statusDlgShown, FALSE);
    EXPECT_FALSE(m_dlg->KillTimer(TIMER_CONFIG_TIMEOUT)) << "the configuration's time-out is still armed";
    EXPECT_TRUE(m_operator.Messages().empty());
}

TEST_F(LanControlTest, ConfigurationTimesOutWithoutAnAcceptedAnswerAndWithASilentSearchAfterOne) {
    SetTimerScale(TIMER_SCALE);
    Search();
    ASSERT_EQ(Control("lan config silent"), "ok");
    // Answers that accept nothing: too short, b74 not 00, too long, empty.
    const Bytes tooShort(IpConfigPacket::LENGTH - 1, 0);
    Bytes refused(IpConfigPacket::LENGTH, 0);
    refused[IpConfigPacket::STATUS_OFFSET] = IpConfigPacket::STATUS_REQUEST;
    const Bytes tooLong(1500, 0);
    m_operator.WhenShown(g_statusDlg, [&] {
        for (const Bytes* bytes : std::initializer_list<const Bytes*>{&tooShort, &refused, &tooLong})
            EXPECT_EQ(Control("lan stray 30601" + HexWords(*bytes)), "ok");
        EXPECT_EQ(Control("lan stray 30601"), "ok");
    });
    const auto started = ::GetTickCount64();
    Configure(false, {});
    EXPECT_GE(::GetTickCount64() - started, PeriodOf(TIMER_CONFIG_TIMEOUT));
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{L"Time out!"});
    EXPECT_EQ(Logged(SEARCH_RECEIVED).size(), 1u) << "an unaccepted answer started a search";
    EXPECT_EQ(g_linkIdle, TRUE);
    // An accepted answer (b74 00) after the time-out, the switcher's late
    // one or anyone's, starts no search that would end the link.
    Click(IDC_CONNECT_TCP);
    ASSERT_TRUE(WaitConnected());
    ASSERT_EQ(Control("lan stray 30601" + HexWords(Bytes(IpConfigPacket::LENGTH, 0))), "ok");
    PumpFor(LAN_SETTLE_MS);
    EXPECT_EQ(Logged(SEARCH_RECEIVED).size(), 1u);
    EXPECT_EQ(Listed(), 1);
    EXPECT_EQ(g_tcpConnected, TRUE);

    ASSERT_EQ(Control("lan config normal"), "ok");
    ASSERT_EQ(Control("lan search silent"), "ok");
    m_operator.Forget();
    Configure(false, {});
    EXPECT_EQ(Logged(CONFIG_ANSWERED).size(), 5u + 1u);
    EXPECT_EQ(Logged(SEARCH_RECEIVED).size(), 2u) << "the accepted answer started no search";
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{L"Time out!"});
    EXPECT_EQ(g_statusDlgShown, FALSE);
}

// The switcher restarts its network between accepting a configuration and
// answering the search that follows, so its acceptance starts the time-out
// afresh; another switcher answering that search is only listed, and the
// close step of its round of the search's done steps, still pending when the
// configured switcher answers, must not end the pop-up before its result.
TEST_F(LanControlTest, OnlyTheConfiguredSwitcherConfirmsAndItsAcceptanceRestartsTheTimeOut) {
    SetTimerScale(TIMER_SCALE);
    Search();
    const Bytes configured = Logged(SEARCH_ANSWERED).at(0).bytes;
    ASSERT_EQ(Control("lan config silent"), "ok");
    ASSERT_EQ(Control("lan search silent"), "ok");
    const double timeOut = PeriodOf(TIMER_CONFIG_TIMEOUT);
    ULONGLONG shown = 0;
    ULONGLONG otherAnswered = 0;
    const auto after = [](const ULONGLONG& start, double periodMs) {
        return [&start, periodMs] {
            return start != 0 && static_cast<double>(::GetTickCount64() - start) >= periodMs;
        };
    };
    m_operator.WhenShown(g_statusDlg, [&] { shown = ::GetTickCount64(); });
    m_operator.When(after(shown, 0.5 * timeOut), [this] {
        EXPECT_EQ(Control("lan stray 30601" + HexWords(Bytes(IpConfigPacket::LENGTH, 0))), "ok");
    });
    m_operator.When(after(shown, 1.1 * timeOut), [&] {
        EXPECT_EQ(Control("lan stray 30600" + HexWords(OtherSwitchersAnswer())), "ok");
        otherAnswered = ::GetTickCount64();
    });
    m_operator.When(after(otherAnswered, 1.5 * PeriodOf(TIMER_SEARCH_DONE)), [&] {
        EXPECT_EQ(g_statusText, L"Configuring") << "another switcher confirmed";
        EXPECT_EQ(Control("lan stray 30600" + HexWords(configured)), "ok");
    });
    Configure(false, {});
    EXPECT_TRUE(m_operator.Messages().empty());
    const std::vector<std::wstring> statusTexts = m_operator.StatusTexts();
    ASSERT_FALSE(statusTexts.empty());
    EXPECT_EQ(statusTexts.back(), L"Configure successfully!");
    EXPECT_EQ(Listed(), 2);
}

// Another panel's search makes the switchers answer again; an answer that
// arrives while the dialog is open is appended to the list, and the
// operator's choice stays selected and gets the packet.
TEST_F(LanControlTest, AnAnswerArrivingWhileTheDialogIsOpenLeavesTheOperatorsChoiceAndTarget) {
    SetTimerScale(TIMER_SCALE);
    ASSERT_EQ(Control("lan devices 2"), "ok");
    Search(1);
    ASSERT_EQ(Listed(), 2);
    m_dlg->SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_SETCURSEL, 1);
    m_dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SWITCHER_IP_LIST, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(Item(IDC_SWITCHER_IP_LIST)));
    const Bytes second = Logged(SEARCH_ANSWERED).at(1).bytes;

    m_operator.WhenShown(g_configIpDlg,
                         [this] { EXPECT_EQ(Control("lan stray 30600" + HexWords(OtherSwitchersAnswer())), "ok"); });
    m_operator.When([this] { return Listed() == 3; },
                    [] { ::SendMessageW(g_configIpDlg.GetDlgItem(IDC_CONFIG_IP_OK), BM_CLICK, 0, 0); });
    RunConfiguration();
    const auto packets = Logged(CONFIG_RECEIVED);
    ASSERT_FALSE(packets.empty());
    EXPECT_TRUE(std::equal(second.begin(), second.begin() + SearchAnswer::MAC_LENGTH, packets.front().bytes.begin()))
        << "the packet went to another switcher than the dialog's";
    EXPECT_EQ(m_dlg->SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_GETCURSEL), 1);
    EXPECT_EQ(g_selectedMacPairs, SearchAnswer::Parse(second.data(), second.size()).value().MacPairs());
}
