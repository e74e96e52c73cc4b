#include "serial/CSerialByteRelay.h"

#include "serial/SerialMessages.h"

namespace {
// Private to the relay's own window.
constexpr UINT WM_RELAY_BATCH = WM_APP + 1;
// Looking at the stop event costs a call into the system, so it is looked at
// every so many bytes rather than before each one.
constexpr DWORD BYTES_BETWEEN_STOP_CHECKS = 16;
}  // namespace

BEGIN_MESSAGE_MAP(CSerialByteRelay, CWnd)
    ON_MESSAGE(WM_RELAY_BATCH, OnBatch)
END_MESSAGE_MAP()

bool CSerialByteRelay::Create() {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (window != nullptr && SubclassWindow(window)) return true;
    if (window != nullptr) ::DestroyWindow(window);
    return false;
}

void CSerialByteRelay::Deliver(const Batch& batch) const {
    ::SendMessageW(m_hWnd, WM_RELAY_BATCH, 0, reinterpret_cast<LPARAM>(&batch));
}

LRESULT CSerialByteRelay::OnBatch(WPARAM, LPARAM batchParam) {
    const auto* batch = reinterpret_cast<const Batch*>(batchParam);
    for (DWORD i = 0; i < batch->count; ++i) {
        if (i % BYTES_BETWEEN_STOP_CHECKS == 0 && ::WaitForSingleObject(batch->stopEvent, 0) == WAIT_OBJECT_0) break;
        ::SendMessageW(batch->owner, WM_SERIAL_BYTE, batch->bytes[i], static_cast<LPARAM>(batch->port));
    }
    return 0;
}
