// A Winsock socket object: created, bound and closed as one unit. Its handle
// is public so callers can set options and ask for window notifications.
#pragma once

#include <winsock2.h>

class CSocket {
public:
    CSocket() = default;
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;
    virtual ~CSocket();

    // Creates a socket of the type and binds it to the address (any address
    // when nullptr) and port. False, with no socket kept, on any failure.
    bool Create(UINT port = 0, int socketType = SOCK_STREAM, const wchar_t* address = nullptr);
    void Close();

    int SendTo(const void* data, int length, UINT port, const wchar_t* address, int flags = 0);
    int Receive(void* buffer, int length, int flags = 0);

    SOCKET m_hSocket = INVALID_SOCKET;
};
