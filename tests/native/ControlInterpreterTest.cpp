#include "tools/ControlInterpreter.h"
#include "tools/SimulatorOptions.h"

#include <gtest/gtest.h>

namespace {

class ControlInterpreterTest : public ::testing::Test {
protected:
    SwitcherModel model;
    FaultKnobs knobs;
    ControlInterpreter interpreter{model, knobs};
};

TEST_F(ControlInterpreterTest, KnobCommandsChangeThePlanOfTheNextReply) {
    EXPECT_EQ(interpreter.Execute("drop 1").reply, "ok");
    const Bytes reply = model.RouteReport(1);
    EXPECT_TRUE(knobs.Plan(reply).empty());
    EXPECT_EQ(interpreter.Execute("drop 1 06 01").reply, "ok");
    EXPECT_EQ(knobs.Plan(reply).size(), 1u) << "another command's reply still goes out";
    Bytes beepReply = reply;
    beepReply[2] = 0x06;
    beepReply[3] = 0x01;
    EXPECT_TRUE(knobs.Plan(beepReply).empty());
    EXPECT_EQ(knobs.Plan(reply).size(), 1u);
    EXPECT_EQ(interpreter.Execute("split 3 0").reply, "ok");
    EXPECT_EQ(knobs.Plan(reply).size(), 3u);
    EXPECT_EQ(interpreter.Execute("read off").reply, "ok");
    EXPECT_FALSE(knobs.Reading());
    EXPECT_EQ(interpreter.Execute("knobs").reply, "ok delay=0 drop=0 corrupt=0 split=3/0 garbage=0 reading=off");
}

TEST_F(ControlInterpreterTest, EdidCommandsSetSinksReadHeldBytesAndArmTheKnobs) {
    EXPECT_EQ(interpreter.Execute("set sink-edid 4 00FF 7A").reply, "ok");
    model.MutableEdids().CopySink(4, 2);
    EXPECT_EQ(interpreter.Execute("edid 2").reply, "ok 00 FF 7A");
    EXPECT_EQ(interpreter.Execute("edid 1").reply, "ok");
    EXPECT_EQ(interpreter.Execute("edid-fail").reply, "ok");
    EXPECT_TRUE(model.MutableEdids().TakeFailure());
    EXPECT_EQ(interpreter.Execute("edid-early-result on").reply, "ok");
    EXPECT_TRUE(model.Edids().EarlyResult());
    EXPECT_EQ(interpreter.Execute("edid 5").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("set sink-edid 1 0").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("edid-early-result maybe").reply.rfind("error", 0), 0u);
}

TEST_F(ControlInterpreterTest, BadArgumentsAreRefusedAndChangeNothing) {
    EXPECT_EQ(interpreter.Execute("delay").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("delay -5").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("split 0").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("drop 1 6").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("drop 1 06 1X").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("garbage 2147483647").reply.rfind("error", 0), 0u) << "as capped as burst";
    EXPECT_EQ(interpreter.Execute("read maybe").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("send A5 5").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("frame 02 01").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("set route 5 1").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("fly").reply.rfind("error", 0), 0u);
    EXPECT_EQ(interpreter.Execute("").reply.rfind("error", 0), 0u);
    EXPECT_EQ(knobs.Describe(), FaultKnobs().Describe());
    EXPECT_EQ(model.Describe(), SwitcherModel().Describe());
}

TEST_F(ControlInterpreterTest, SendFrameAndBurstProduceBytesToWrite) {
    const ControlOutcome raw = interpreter.Execute("send A55B 01");
    ASSERT_EQ(raw.sends.size(), 1u);
    EXPECT_EQ(raw.sends[0], (Bytes{0xA5, 0x5B, 0x01}));

    const ControlOutcome frame = interpreter.Execute("frame 02 03 00 00 01 00 00 00 00 00");
    ASSERT_EQ(frame.sends.size(), 1u);
    EXPECT_EQ(frame.sends[0], (Bytes{0xA5, 0x5B, 0x02, 0x03, 0, 0, 0x01, 0, 0, 0, 0, 0, 0xFA}));

    interpreter.Execute("set route 1 3");
    const ControlOutcome burst = interpreter.Execute("burst 3");
    ASSERT_EQ(burst.sends.size(), 1u);
    ASSERT_EQ(burst.sends[0].size(), 39u);
    EXPECT_EQ(burst.sends[0][6], 0x03);
    EXPECT_EQ(burst.sends[0][13 + 6], 0x03);
}

TEST_F(ControlInterpreterTest, SetCommandsChangeTheDeviceAndResetRestoresIt) {
    EXPECT_EQ(interpreter.Execute("set route 2 4").reply, "ok");
    EXPECT_EQ(interpreter.Execute("set arc 3 on").reply, "ok");
    EXPECT_EQ(interpreter.Execute("set beep off").reply, "ok");
    EXPECT_EQ(interpreter.Execute("set input-link 2 off").reply, "ok");
    EXPECT_EQ(interpreter.Execute("set version 2 7").reply, "ok");
    EXPECT_EQ(model.State().route[1], 4);
    EXPECT_EQ(interpreter.Execute("set route 3 7").reply, "ok");
    EXPECT_EQ(model.RouteReport(3)[6], 7);
    EXPECT_TRUE(model.State().arc[2]);
    EXPECT_FALSE(model.State().beep);
    EXPECT_FALSE(model.State().inputConnected[1]);
    EXPECT_EQ(model.State().versionMinor, 7);
    EXPECT_EQ(interpreter.Execute("reset").reply, "ok");
    EXPECT_EQ(model.Describe(), SwitcherModel().Describe());
}

TEST_F(ControlInterpreterTest, CloseQuitPaceAndBusyAreReportedToTheProgram) {
    EXPECT_TRUE(interpreter.Execute("close").closePort);
    EXPECT_TRUE(interpreter.Execute("quit").quit);
    EXPECT_FALSE(interpreter.Execute("ping").quit);
    EXPECT_EQ(interpreter.Execute("pace 115200").pace, 115200);
    EXPECT_EQ(interpreter.Execute("pace off").pace, 0);
    EXPECT_FALSE(interpreter.Execute("ping").pace.has_value());
    EXPECT_EQ(interpreter.Execute("busy on").busy, true);
    EXPECT_EQ(interpreter.Execute("busy off").busy, false);
    for (const char* bad : {"pace", "pace 0", "pace fast", "pace 9600 8N1", "busy", "busy maybe"})
        EXPECT_EQ(interpreter.Execute(bad).reply.rfind("error", 0), 0u) << bad;
}

TEST(SimulatorOptionsTest, KnobOptionsBecomeStartupCommandsInOrder) {
    std::string error;
    const auto options = SimulatorOptions::Parse(
        {"--pty-link", "/tmp/x", "--delay", "500", "--command", "set beep off", "--control-port", "0",
         "--exit-with-control", "--pace", "115200"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->ptyLink, "/tmp/x");
    EXPECT_EQ(options->controlPort, 0);
    EXPECT_TRUE(options->exitWithControl);
    EXPECT_EQ(options->startupCommands, (std::vector<std::string>{"delay 500", "set beep off", "pace 115200"}));
}

TEST(SimulatorOptionsTest, BadCommandLinesAreRefused) {
    std::string error;
    EXPECT_FALSE(SimulatorOptions::Parse({"--delay", "5"}, error)) << "no link";
    EXPECT_FALSE(SimulatorOptions::Parse({"--pty-link", "/tmp/x", "--control-port", "70000"}, error));
    EXPECT_FALSE(SimulatorOptions::Parse({"--pty-link", "/tmp/x", "--frobnicate", "1"}, error));
    EXPECT_FALSE(SimulatorOptions::Parse({"--pty-link"}, error));
}

}  // namespace
