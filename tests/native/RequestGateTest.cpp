#include "core/RequestGate.h"

#include <gtest/gtest.h>

#include <string>

TEST(RequestGate, ComModeWithClosedPortRefusesEvenWhileBusy) {
    for (bool idle : {true, false}) {
        EXPECT_EQ(RequestGate::Decide({CONTROL_MODE_COM, false, true, idle}), RequestVerdict::LinkDown);
    }
    EXPECT_EQ(std::wstring(RequestGate::DownLinkText(CONTROL_MODE_COM)), L"Open COM failed!");
}

TEST(RequestGate, OpenPortGrantsOnceThenIsBusy) {
    EXPECT_EQ(RequestGate::Decide({CONTROL_MODE_COM, true, false, true}), RequestVerdict::Granted);
    EXPECT_EQ(RequestGate::Decide({CONTROL_MODE_COM, true, false, false}), RequestVerdict::Busy);
}

TEST(RequestGate, TcpModeLooksOnlyAtTheConnection) {
    EXPECT_EQ(RequestGate::Decide({CONTROL_MODE_TCP, true, false, true}), RequestVerdict::LinkDown);
    EXPECT_EQ(RequestGate::Decide({CONTROL_MODE_TCP, false, true, true}), RequestVerdict::Granted);
    EXPECT_EQ(std::wstring(RequestGate::DownLinkText(CONTROL_MODE_TCP)), L"Connect to Matrix failed!");
}

TEST(RequestGate, AnyOtherModeCountsAsTcp) {
    for (std::uint8_t mode : {0, 1, 4, 255}) {
        EXPECT_EQ(RequestGate::Decide({mode, true, false, true}), RequestVerdict::LinkDown) << int(mode);
        EXPECT_EQ(RequestGate::Decide({mode, false, true, true}), RequestVerdict::Granted) << int(mode);
        EXPECT_EQ(std::wstring(RequestGate::DownLinkText(mode)), L"Connect to Matrix failed!");
    }
}
