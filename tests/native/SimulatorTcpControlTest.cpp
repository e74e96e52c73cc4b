#include "tools/ControlInterpreter.h"
#include "tools/SimulatorOptions.h"

#include <gtest/gtest.h>

TEST(SimulatorTcpControl, TargetChoosesWhereSendsGo) {
    SwitcherModel model;
    FaultKnobs knobs;
    ControlInterpreter interpreter(model, knobs);

    const ControlOutcome tcp = interpreter.Execute("target tcp");
    EXPECT_EQ(tcp.reply, "ok");
    EXPECT_EQ(tcp.target, SendTarget::Tcp);
    EXPECT_EQ(interpreter.Execute("target pty").target, SendTarget::Pty);
    EXPECT_FALSE(interpreter.Execute("send A5").target.has_value());

    const ControlOutcome bad = interpreter.Execute("target serial");
    EXPECT_EQ(bad.reply.rfind("error", 0), 0u);
    EXPECT_FALSE(bad.target.has_value());
}

TEST(SimulatorTcpControl, TcpPortOption) {
    std::string error;
    const auto options = SimulatorOptions::Parse({"--pty-link", "/tmp/x", "--tcp-port", "8000"}, error);
    ASSERT_TRUE(options.has_value()) << error;
    EXPECT_EQ(options->tcpPort, 8000);
    EXPECT_FALSE(SimulatorOptions::Parse({"--pty-link", "/tmp/x", "--tcp-port", "70000"}, error).has_value());
    EXPECT_EQ(SimulatorOptions::Parse({"--pty-link", "/tmp/x"}, error)->tcpPort, -1);
}
