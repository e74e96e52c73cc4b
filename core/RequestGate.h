// The one-request-at-a-time rule of the link, as a pure decision: whether an
// operator's request may go out now, and what the operator is told when the
// link is down.
#pragma once

#include <cstdint>

constexpr std::uint8_t CONTROL_MODE_COM = 2;
constexpr std::uint8_t CONTROL_MODE_TCP = 3;

constexpr const wchar_t* TEXT_OPEN_COM_FAILED = L"Open COM failed!";
constexpr const wchar_t* TEXT_CONNECT_FAILED = L"Connect to Matrix failed!";

struct LinkState {
    std::uint8_t controlMode;
    bool comPortOpen;
    bool tcpConnected;
    bool linkIdle;
};

enum class RequestVerdict {
    Granted,   // the caller owns the link and sends now
    LinkDown,  // refused; the operator is told DownLinkText()
    Busy,      // refused silently: a request is outstanding
};

class RequestGate {
public:
    static RequestVerdict Decide(const LinkState& state);
    // The refusal text for a down link; any mode other than COM counts as TCP.
    static const wchar_t* DownLinkText(std::uint8_t controlMode);

private:
    static bool IsLinkUp(const LinkState& state);
};
