// Hands the bytes the serial worker has read to the owner window, on the
// owner's own thread: one synchronous WM_SERIAL_BYTE per byte, in order. The
// worker crosses over to that thread once per batch of bytes rather than once
// per byte, which is what keeps a busy line from starving the owner.
#pragma once

#include "framework/CWnd.h"

class CSerialByteRelay : public CWnd {
public:
    struct Batch {
        const BYTE* bytes;
        DWORD count;
        HWND owner;
        UINT port;
        // Once it is set, the rest of the batch is not delivered (a few more
        // bytes may still go before the relay notices).
        HANDLE stopEvent;
    };

    // A message-only window on the calling thread, which must be the owner's.
    bool Create();

    // Called by the worker; returns once the owner has handled every byte of
    // the batch, or a stop was requested.
    void Deliver(const Batch& batch) const;

protected:
    LRESULT OnBatch(WPARAM, LPARAM batch);

    DECLARE_MESSAGE_MAP()
};
