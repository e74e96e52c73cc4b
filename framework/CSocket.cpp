#include "framework/CSocket.h"

#include <ws2tcpip.h>

namespace {

bool ToAddress(const wchar_t* text, UINT port, sockaddr_in* address) {
    *address = sockaddr_in{};
    address->sin_family = AF_INET;
    address->sin_port = htons(static_cast<u_short>(port));
    if (text == nullptr) {
        address->sin_addr.s_addr = htonl(INADDR_ANY);
        return true;
    }
    return InetPtonW(AF_INET, text, &address->sin_addr) == 1;
}

}  // namespace

CSocket::~CSocket() { Close(); }

bool CSocket::Create(UINT port, int socketType, const wchar_t* address) {
    Close();
    sockaddr_in local;
    if (!ToAddress(address, port, &local)) return false;
    m_hSocket = ::socket(AF_INET, socketType, 0);
    if (m_hSocket == INVALID_SOCKET) return false;
    if (::bind(m_hSocket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
        Close();
        return false;
    }
    return true;
}

void CSocket::Close() {
    if (m_hSocket == INVALID_SOCKET) return;
    ::closesocket(m_hSocket);
    m_hSocket = INVALID_SOCKET;
}

int CSocket::SendTo(const void* data, int length, UINT port, const wchar_t* address, int flags) {
    sockaddr_in remote;
    if (!ToAddress(address, port, &remote)) return SOCKET_ERROR;
    return ::sendto(m_hSocket, static_cast<const char*>(data), length, flags,
                    reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
}

int CSocket::Receive(void* buffer, int length, int flags) {
    return ::recv(m_hSocket, static_cast<char*>(buffer), length, flags);
}
