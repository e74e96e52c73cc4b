// The General page driven like an operator against the simulated switcher:
// each command's bytes and what the device's answer changes, the Status
// chain with its resend and time-out, the power, reboot and factory-reset
// sequences with their pop-ups, questions, resends and time-outs, the power
// reports, and the poll kept off the requests that wait.
#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "res/resource.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/PanelFixture.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::wstring>;

const Bytes ROUTE_QUERY_A = Frame({0x02, 0x01, 0x01});
const Bytes INPUT_1_LINK_QUERY = Frame({0x01, 0x04, 0x01});
const wchar_t* const QUESTION_RESET = L"Do you want to reset to factory settings?";

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
    Bytes PressAndReceive(int id) {
        const std::size_t before = ReceivedFrames().size();
        Press(id);
        EXPECT_TRUE(PumpUntil([&] { return !ReceivedSince(before).empty(); }, ARRIVAL_TIMEOUT_MS))
            << "control " << id << " sent nothing";
        const std::vector<Bytes> sent = ReceivedSince(before);
        return sent.empty() ? Bytes() : sent.front();
    }

    // For what must not happen: time for an answer to land, had it come.
    void SettleReplies() { PumpFor(SETTLE_MS); }

    bool PumpUntilShown(const std::function<bool()>& shown) { return PumpUntil(shown, ARRIVAL_TIMEOUT_MS); }

    std::vector<bool> SourcePorts() const {
        return {IsChecked(IDC_SOURCE_PORT_1), IsChecked(IDC_SOURCE_PORT_2), IsChecked(IDC_SOURCE_PORT_3),
                IsChecked(IDC_SOURCE_PORT_4)};
    }
};

}  // namespace

TEST_F(GeneralPageTest, CommandsGoOutAndOnlyTheDevicesAnswerChangesTheControls) {
    ASSERT_EQ(SourcePorts(), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(PressAndReceive(IDC_SOURCE_PORT_3), Frame({0x02, 0x03, 0x03, 0x00, 0x01}));
    EXPECT_TRUE(PumpUntilShown([&] { return SourcePorts() == std::vector<bool>{false, false, true, false}; }));

    Select(IDC_EDID_MODE_LIST, 2);
    EXPECT_EQ(PressAndReceive(IDC_SET_EDID), Frame({0x03, 0x02, 0x03, 0x00, 0x01}));
    EXPECT_TRUE(PumpUntilShown([&] { return Text(IDC_EDID_STATE) == L"Dolby/DTS 5.1"; }));

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
            EXPECT_TRUE(PumpUntilShown([&] { return IsChecked(toggle.id) == on; }))
                << "control " << toggle.id << " follows the answer";
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

TEST_F(GeneralPageTest, StatusChainEmptiesAndFillsTheTextsAndRecoversADroppedReply) {
    for (const char* state : {"set input-link 2 off", "set input-link 4 off", "set output-link 1 on"})
        ASSERT_EQ(Control(state), "ok");
    ASSERT_EQ(Control("drop 1 01 04"), "ok");
    const std::size_t before = ReceivedFrames().size();
    m_panel->SetDlgItemText(IDC_LINK_SPARE_11, L"left over");
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
    EXPECT_EQ(Text(IDC_LINK_SPARE_11), L"") << "the chain starts with the texts emptied";
    EXPECT_TRUE(g_linkIdle);
}

// Reboot, factory reset and power on answered: the busy pop-up runs to
// its success text and the device's answer checks the boxes. Unanswered, they
// and the Status chain send their request once more after the first wait and
// end with "Time out!" after the second, the pop-up gone first, and the poll
// keeps off the frame the resend repeats.
TEST_F(GeneralPageTest, LongRequestsRunTheirSequencesOrAreResentOnceThenTimeOut) {
    constexpr double UNANSWERED_SCALE = 0.4;
    // A timer never fires early but may fire late on a loaded machine; the
    // rows' waits differ by 0.4 s at this scale, more than either margin.
    constexpr double EARLY_S = 0.1;
    constexpr double LATE_S = 0.3;
    constexpr double FIRST_WAIT_S = 3.0;
    struct Row {
        int button;
        std::vector<Bytes> sent;  // the request first
        const wchar_t* status;
        const wchar_t* done;  // nullptr: only unanswered here, the answers are the Status test's
        std::vector<int> boxes;
        double secondWaitS;
    };
    const Row rows[] = {
        {IDC_STATUS, {INPUT_1_LINK_QUERY}, L"Getting status . . .", nullptr, {}, 3.0},
        {IDC_REBOOT, {Frame({0x08, 0x0D})}, L"Rebooting . . .", L"Reboot successfully!", {IDC_POWER}, 3.0},
        {IDC_FACTORY_RESET, {Frame({0x08, 0x0A})}, L"Setting . . .", L"Set successfully!", {IDC_BEEP}, 3.0},
        // The beep query goes out once the device is up; its report checks the box.
        {IDC_POWER, {Frame({0x08, 0x0B, 0x0F, 0x00, 0x0F}), Frame({0x01, 0x0B})}, L"Initializing . . .",
         L"Initializing successfully!", {IDC_POWER, IDC_BEEP}, 2.0},
    };
    const auto expectWaited = [&](double waited, double expected) {
        EXPECT_GE(waited, expected - EARLY_S);
        EXPECT_LE(waited, expected + LATE_S);
    };
    const auto allChecked = [&](const Row& row, bool checked) {
        return std::all_of(row.boxes.begin(), row.boxes.end(), [&](int box) { return IsChecked(box) == checked; });
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.status);
        for (bool answered : {true, false}) {
            if (answered && row.done == nullptr) continue;
            m_operator.Forget();
            for (int box : row.boxes) Check(box, false);
            SetTimerScale(answered ? TIMER_SCALE : UNANSWERED_SCALE);
            const Bytes& request = row.sent.front();
            if (!answered) { ASSERT_EQ(Control("drop 2" + HexWords({request[2], request[3]})), "ok"); }
            const std::size_t before = ReceivedFrames().size();
            Press(row.button);
            ASSERT_FALSE(m_operator.StatusTexts().empty());
            EXPECT_EQ(m_operator.StatusTexts().front(), row.status);
            EXPECT_TRUE(g_linkIdle);
            if (answered) {
                EXPECT_TRUE(PumpUntilShown([&] { return allChecked(row, true); }));
                EXPECT_EQ(ReceivedSince(before), row.sent);
                EXPECT_EQ(m_operator.StatusTexts().back(), row.done);
                EXPECT_TRUE(m_operator.Messages().empty());
                continue;
            }
            EXPECT_EQ(m_operator.Messages(), Texts{L"Time out!"});
            EXPECT_FALSE(m_operator.BusyPopupUnderMessage());
            EXPECT_TRUE(allChecked(row, false)) << "only the device's answer checks the boxes";
            const auto frames = ReceivedFrames();
            const auto first = std::find(frames.begin() + static_cast<std::ptrdiff_t>(before), frames.end(), request);
            EXPECT_EQ(std::vector<Bytes>(first, frames.end()), (std::vector<Bytes>{request, request}))
                << "the request and its one resend, no poll query between";
            const std::vector<double> times = ArrivalTimes(request);
            ASSERT_GE(times.size(), 2u);
            const double resentAt = times.back();
            expectWaited(resentAt - times[times.size() - 2], FIRST_WAIT_S * UNANSWERED_SCALE);
            expectWaited(m_operator.LastMessageClosedAt() - resentAt, row.secondWaitS * UNANSWERED_SCALE);
        }
    }
}

// The questions before the factory reset off the page (Cancel sends nothing)
// and the power off (none once the operator asked for none), and the device's
// power report, on (with the beep query) or off (with the operator told):
// what they send and show, and the power box and the link they leave.
TEST_F(GeneralPageTest, QuestionsAndPowerReportsSendShowAndFreeTheLink) {
    const Bytes POWER_OFF = Frame({0x08, 0x0B, 0xF0, 0x00, 0xF0});
    const wchar_t* const QUESTION_POWER_OFF = L"Are you sure you want to power off?";
    struct Row {
        const char* what;
        std::function<void()> act;
        bool powerBefore;
        bool powerAfter;
        std::vector<Bytes> sent;
        Texts messages;
    };
    const auto deviceReportsPower = [&](const char* report) {
        g_linkIdle = FALSE;
        ASSERT_EQ(Control(std::string("frame 08 0C ") + report + " 00 00 00 00 00 00 00"), "ok");
    };
    const Row rows[] = {
        {"reset, Cancel", [&] { Press(IDC_FACTORY_RESET_OFF_PAGE, IDCANCEL); }, true, true, {}, {QUESTION_RESET}},
        {"reset, Ok", [&] { Press(IDC_FACTORY_RESET_OFF_PAGE); }, true, true, {Frame({0x08, 0x0A})}, {QUESTION_RESET}},
        {"power off, Ok", [&] { Press(IDC_POWER); }, true, false, {POWER_OFF}, {QUESTION_POWER_OFF}},
        {"power off, no question", [&] { g_noLongerRemind = TRUE; Press(IDC_POWER); }, true, false, {POWER_OFF}, {}},
        {"report on", [&] { deviceReportsPower("0F"); }, false, true, {Frame({0x01, 0x0B})}, {}},
        {"report off", [&] { deviceReportsPower("F0"); }, true, false, {}, {L"Power off!"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        m_operator.Forget();
        Check(IDC_POWER, row.powerBefore);
        const std::size_t before = ReceivedFrames().size();
        row.act();
        EXPECT_TRUE(PumpUntilShown([&] {
            return IsChecked(IDC_POWER) == row.powerAfter && g_linkIdle &&
                   ReceivedSince(before).size() >= row.sent.size();
        }));
        SettleReplies();
        EXPECT_EQ(ReceivedSince(before), row.sent);
        EXPECT_EQ(m_operator.Messages(), row.messages);
    }
}

TEST_F(GeneralPageTest, PollAndLogClearLeaveAWaitingRequestAlone) {
    // The poll's answers do not free a link some request holds, nor do they
    // carry the poll chain on over it.
    g_linkIdle = FALSE;
    SettleReplies();
    std::size_t before = ReceivedFrames().size();
    ASSERT_EQ(Control("frame 02 01 01 00 02 00 00 00 00 00"), "ok");
    EXPECT_TRUE(PumpUntilShown([&] { return IsChecked(IDC_SOURCE_PORT_2); })) << "the report still shows";
    EXPECT_FALSE(g_linkIdle);
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
