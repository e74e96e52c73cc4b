// The General page driven like an operator against the simulated switcher:
// each command's bytes and what the device's answer changes, the Status
// chain with its resend and time-out, the power, reboot and factory-reset
// sequences with their pop-ups and questions, and the poll kept off the
// requests that wait.
#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "res/resource.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/PanelFixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::wstring>;

const Bytes ROUTE_QUERY_A = Frame({0x02, 0x01, 0x01});
const Bytes INPUT_1_LINK_QUERY = Frame({0x01, 0x04, 0x01});

bool IsPollQuery(const Bytes& frame) {
    const std::pair<std::uint8_t, std::uint8_t> POLL_QUERIES[] = {{0x02, 0x01}, {0x01, 0x0C}, {0x01, 0x0D}, {0x10, 0x02}};
    return std::any_of(std::begin(POLL_QUERIES), std::end(POLL_QUERIES),
                       [&](const auto& query) { return frame[2] == query.first && frame[3] == query.second; });
}

class GeneralPageTest : public PanelFixture {
protected:
    void SetUp() override {
        PanelFixture::SetUp();
        if (HasFatalFailure()) return;
        Connect();
    }

    // The frames the switcher received since `count`, the poll's queries
    // left out (the poll runs whenever the link is free).
    std::vector<Bytes> ReceivedSince(std::size_t count) const {
        const auto frames = ReceivedFrames();
        std::vector<Bytes> requests;
        for (std::size_t i = count; i < frames.size(); ++i) {
            if (!IsPollQuery(frames[i])) requests.push_back(frames[i]);
        }
        return requests;
    }

    // Presses and returns the first frame the press sent.
    Bytes PressAndReceive(int id, int answer = IDOK) {
        const std::size_t before = ReceivedFrames().size();
        Press(id, answer);
        EXPECT_TRUE(PumpUntil([&] { return !ReceivedSince(before).empty(); }, ARRIVAL_TIMEOUT_MS))
            << "control " << id << " sent nothing";
        const std::vector<Bytes> sent = ReceivedSince(before);
        return sent.empty() ? Bytes() : sent.front();
    }

    void SettleReplies() { PumpFor(200); }

    std::vector<bool> SourcePorts() const {
        return {IsChecked(IDC_SOURCE_PORT_1), IsChecked(IDC_SOURCE_PORT_2), IsChecked(IDC_SOURCE_PORT_3),
                IsChecked(IDC_SOURCE_PORT_4)};
    }
};

}  // namespace

TEST_F(GeneralPageTest, CommandsGoOutAndOnlyTheDevicesAnswerChangesTheControls) {
    ASSERT_EQ(SourcePorts(), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(PressAndReceive(IDC_SOURCE_PORT_3), Frame({0x02, 0x03, 0x03, 0x00, 0x01}));
    SettleReplies();
    EXPECT_EQ(SourcePorts(), (std::vector<bool>{false, false, true, false}));

    Select(IDC_EDID_MODE_LIST, 2);
    EXPECT_EQ(PressAndReceive(IDC_SET_EDID), Frame({0x03, 0x02, 0x03, 0x00, 0x01}));
    SettleReplies();
    EXPECT_EQ(Text(IDC_EDID_STATE), L"Dolby/DTS 5.1");

    struct ToggleCase {
        int id;
        Bytes on;
        Bytes off;
    };
    const ToggleCase toggles[] = {
        {IDC_AUTO_SWITCH, Frame({0x02, 0x05, 0x0F}), Frame({0x02, 0x05, 0xF0})},
        {IDC_ARC, Frame({0x10, 0x01, 0x0F, 0x00, 0x01}), Frame({0x10, 0x01, 0xF0, 0x00, 0x01})},
        {IDC_BEEP, Frame({0x06, 0x01, 0x0F, 0x00, 0xDD}), Frame({0x06, 0x01, 0xF0, 0x00, 0x00})},
    };
    for (const ToggleCase& toggle : toggles) {
        for (bool on : {true, false}) {
            Check(toggle.id, !on);
            EXPECT_EQ(PressAndReceive(toggle.id), on ? toggle.on : toggle.off);
            SettleReplies();
            EXPECT_EQ(IsChecked(toggle.id), on) << "control " << toggle.id << " follows the answer";
        }
    }

    // A dropped answer changes nothing (the poll never asks for the beep);
    // neither do values no row lists.
    ASSERT_EQ(Control("drop 1 06 01"), "ok");
    EXPECT_EQ(PressAndReceive(IDC_BEEP), Frame({0x06, 0x01, 0x0F, 0x00, 0xDD}));
    SettleReplies();
    EXPECT_FALSE(IsChecked(IDC_BEEP));
    for (const char* unlisted : {"frame 02 01 01 00 07 00 00 00 00 00", "frame 01 0C 01 00 09 00 00 00 00 00",
                                 "frame 10 02 55 00 01 00 00 00 00 00", "frame 06 01 01 00 DD 00 00 00 00 00"}) {
        ASSERT_EQ(Control(unlisted), "ok");
    }
    SettleReplies();
    EXPECT_EQ(SourcePorts(), (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(Text(IDC_EDID_STATE), L"Dolby/DTS 5.1");
    EXPECT_FALSE(IsChecked(IDC_ARC));
    EXPECT_FALSE(IsChecked(IDC_BEEP));

    // With the link down the operator is told and nothing changes.
    Press(IDC_CONNECT_COM);
    Press(IDC_SOURCE_PORT_2);
    EXPECT_EQ(m_operator.Messages(), Texts{L"Open COM failed!"});
    EXPECT_EQ(SourcePorts(), (std::vector<bool>{false, false, true, false}));
}

TEST_F(GeneralPageTest, StatusChainFillsTheTextsRecoversADroppedReplyAndTimesOut) {
    for (const char* state : {"set input-link 2 off", "set input-link 4 off", "set output-link 1 on"})
        ASSERT_EQ(Control(state), "ok");
    ASSERT_EQ(Control("drop 1 01 04"), "ok");
    std::size_t before = ReceivedFrames().size();
    Press(IDC_STATUS);
    EXPECT_EQ(Text(IDC_LINK_IN1), L"HDMI IN1: Connect");
    EXPECT_EQ(Text(IDC_LINK_IN2), L"HDMI IN2: Disconnect");
    EXPECT_EQ(Text(IDC_LINK_IN3), L"HDMI IN3: Connect");
    EXPECT_EQ(Text(IDC_LINK_IN4), L"HDMI IN4: Disconnect");
    EXPECT_EQ(Text(IDC_LINK_OUTA), L"HDMI OUTA: Connect");
    const std::vector<Bytes> chain = ReceivedSince(before);
    ASSERT_GE(chain.size(), 2u);
    EXPECT_EQ(chain[0], INPUT_1_LINK_QUERY);
    EXPECT_EQ(chain[1], INPUT_1_LINK_QUERY) << "the dropped reply's query is sent again";
    ASSERT_FALSE(m_operator.StatusTexts().empty());
    EXPECT_EQ(m_operator.StatusTexts().front(), L"Getting status . . .");
    EXPECT_TRUE(m_operator.Messages().empty());
    EXPECT_TRUE(g_linkIdle);

    // No answer at all: "Time out!" after both waits, the busy pop-up gone
    // first, and the poll kept off the frame the resend repeats.
    ASSERT_EQ(Control("drop 2 01 04"), "ok");
    before = ReceivedFrames().size();
    const ULONGLONG start = ::GetTickCount64();
    Press(IDC_STATUS);
    const ULONGLONG waited = ::GetTickCount64() - start;
    EXPECT_GE(waited, 2 * PeriodOf(TIMER_STATUS_CHAIN_IN1) - 50);
    EXPECT_GT(waited, PeriodOf(TIMER_STATUS_POLL)) << "the poll had its turn meanwhile";
    EXPECT_EQ(m_operator.Messages(), Texts{L"Time out!"});
    EXPECT_FALSE(m_operator.BusyPopupUnderMessage()) << "the busy pop-up is hidden when it is ended";
    const auto frames = ReceivedFrames();
    const auto request = std::find(frames.begin() + static_cast<std::ptrdiff_t>(before), frames.end(), INPUT_1_LINK_QUERY);
    EXPECT_EQ(std::vector<Bytes>(request, frames.end()), (std::vector<Bytes>{INPUT_1_LINK_QUERY, INPUT_1_LINK_QUERY}))
        << "the resend repeats the request, and no poll query goes out while it waits";
    EXPECT_EQ(Text(IDC_LINK_IN1), L"");
    EXPECT_TRUE(g_linkIdle);
}

TEST_F(GeneralPageTest, RebootFactoryResetsAndPowerRunTheirSequences) {
    EXPECT_EQ(PressAndReceive(IDC_REBOOT), Frame({0x08, 0x0D}));
    ASSERT_GE(m_operator.StatusTexts().size(), 4u);
    EXPECT_EQ(m_operator.StatusTexts()[0], L"Rebooting . . .");
    EXPECT_EQ(m_operator.StatusTexts()[1], L"Rebooting .") << "the dots cycle until the device is back";
    EXPECT_EQ(m_operator.StatusTexts().back(), L"Reboot successfully!");
    EXPECT_TRUE(IsChecked(IDC_POWER));
    EXPECT_TRUE(g_linkIdle);

    m_operator.Forget();
    EXPECT_EQ(PressAndReceive(IDC_FACTORY_RESET), Frame({0x08, 0x0A}));
    ASSERT_FALSE(m_operator.StatusTexts().empty());
    EXPECT_EQ(m_operator.StatusTexts().front(), L"Setting . . .");
    EXPECT_EQ(m_operator.StatusTexts().back(), L"Set successfully!");
    EXPECT_TRUE(IsChecked(IDC_BEEP));
    EXPECT_TRUE(g_linkIdle);

    m_operator.Forget();
    std::size_t before = ReceivedFrames().size();
    Press(IDC_FACTORY_RESET_OFF_PAGE, IDCANCEL);
    EXPECT_EQ(m_operator.Messages(), Texts{L"Do you want to reset to factory settings?"});
    SettleReplies();
    EXPECT_TRUE(ReceivedSince(before).empty()) << "Cancel sends nothing";
    EXPECT_TRUE(g_linkIdle);
    EXPECT_EQ(PressAndReceive(IDC_FACTORY_RESET_OFF_PAGE), Frame({0x08, 0x0A}));
    ASSERT_FALSE(m_operator.StatusTexts().empty());
    EXPECT_EQ(m_operator.StatusTexts().back(), L"Set successfully!");

    m_operator.Forget();
    Check(IDC_POWER, false);
    Check(IDC_BEEP, false);
    before = ReceivedFrames().size();
    Press(IDC_POWER);
    // The beep query goes out as the pop-up closes: give it time to arrive.
    PumpUntilReceived(before + 2);
    EXPECT_EQ(ReceivedSince(before), (std::vector<Bytes>{Frame({0x08, 0x0B, 0x0F, 0x00, 0x0F}), Frame({0x01, 0x0B})}))
        << "power on, then the beep query once the device is up";
    ASSERT_FALSE(m_operator.StatusTexts().empty());
    EXPECT_EQ(m_operator.StatusTexts().front(), L"Initializing . . .");
    EXPECT_EQ(m_operator.StatusTexts().back(), L"Initializing successfully!");
    SettleReplies();
    EXPECT_TRUE(IsChecked(IDC_POWER));
    EXPECT_TRUE(IsChecked(IDC_BEEP)) << "the beep report sets the box";

    m_operator.Forget();
    EXPECT_EQ(PressAndReceive(IDC_POWER), Frame({0x08, 0x0B, 0xF0, 0x00, 0xF0}));
    EXPECT_EQ(m_operator.Messages(), Texts{L"Are you sure you want to power off?"});
    SettleReplies();
    EXPECT_FALSE(IsChecked(IDC_POWER));

    m_operator.Forget();
    g_noLongerRemind = TRUE;
    Check(IDC_POWER, true);
    EXPECT_EQ(PressAndReceive(IDC_POWER), Frame({0x08, 0x0B, 0xF0, 0x00, 0xF0}));
    EXPECT_TRUE(m_operator.Messages().empty()) << "no question once the operator asked for none";

    ASSERT_EQ(Control("frame 08 0C F0 00 00 00 00 00 00 00"), "ok");
    ASSERT_TRUE(PumpUntil([&] { return !m_operator.Messages().empty(); }, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(m_operator.Messages(), Texts{L"Power off!"});
}

TEST_F(GeneralPageTest, PollAndLogClearLeaveAWaitingRequestAlone) {
    // The poll's answers do not free a link some request holds, nor do they
    // carry the poll chain on over it.
    g_linkIdle = FALSE;
    SettleReplies();
    std::size_t before = ReceivedFrames().size();
    ASSERT_EQ(Control("frame 02 01 01 00 02 00 00 00 00 00"), "ok");
    SettleReplies();
    EXPECT_FALSE(g_linkIdle);
    EXPECT_TRUE(IsChecked(IDC_SOURCE_PORT_2)) << "the report still shows";
    PumpTimerPeriods(TIMER_STATUS_POLL, 1.5);
    EXPECT_EQ(ReceivedFrames().size(), before) << "no poll while a request waits";

    Press(IDC_CLEAR_LOG);
    EXPECT_FALSE(g_linkIdle) << "clearing the logs frees no request";
    EXPECT_EQ(Text(IDC_RECEIVE_LOG), L"");
    EXPECT_EQ(Text(IDC_SEND_LOG), L"");
    g_linkIdle = TRUE;

    // An acknowledgement shows the value its setting sent, even when a poll
    // query went out in between.
    const DWORD replyDelay = PeriodOf(TIMER_STATUS_POLL) * 2;
    ASSERT_EQ(Control("delay " + std::to_string(replyDelay)), "ok");
    before = ReceivedFrames().size();
    Press(IDC_ARC);
    ASSERT_TRUE(PumpUntil([&] {
        const auto frames = ReceivedFrames();
        return std::find(frames.begin() + static_cast<std::ptrdiff_t>(before), frames.end(), ROUTE_QUERY_A) != frames.end();
    }, ARRIVAL_TIMEOUT_MS)) << "a poll query follows the setting";
    // Well before the poll chain's own ARC report comes back.
    EXPECT_TRUE(PumpUntil([&] { return IsChecked(IDC_ARC); }, replyDelay * 2));
    ASSERT_EQ(Control("delay 0"), "ok");
}
