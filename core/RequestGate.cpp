#include "RequestGate.h"

bool RequestGate::IsLinkUp(const LinkState& state) {
    return state.controlMode == CONTROL_MODE_COM ? state.comPortOpen : state.tcpConnected;
}

RequestVerdict RequestGate::Decide(const LinkState& state) {
    if (!IsLinkUp(state)) return RequestVerdict::LinkDown;
    return state.linkIdle ? RequestVerdict::Granted : RequestVerdict::Busy;
}

const wchar_t* RequestGate::DownLinkText(std::uint8_t controlMode) {
    return controlMode == CONTROL_MODE_COM ? TEXT_OPEN_COM_FAILED : TEXT_CONNECT_FAILED;
}
