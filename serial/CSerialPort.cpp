#include "serial/CSerialPort.h"

#include "framework/CWinApp.h"
#include "framework/CWnd.h"

#include <cwchar>

namespace {

constexpr const wchar_t* DEVICE_NAME_FORMAT = L"\\\\.\\COM%u";
constexpr const wchar_t* SETTINGS_FORMAT = L"baud=%u parity=%lc data=%u stop=%u";
constexpr const wchar_t* PORT_WARNING_FORMAT = L"WARNING:  %ls Failed with the following error: \n%ls\nPort: %u\n";
constexpr std::size_t NAME_BUFFER_LENGTH = 64;

constexpr DWORD PORT_TIMEOUT_MS = 1000;
// The comm-event wait is not trusted alone: some drivers end every wait at
// once without an event, or let a wait miss the bytes that arrive (Wine does
// both for a pseudo-terminal, which has no modem lines). The input queue is
// looked at this often as well.
constexpr DWORD INPUT_POLL_MS = 10;
// Right after a frame went out the device's answer is due, and the next frame
// waits for it (a firmware block waits for the previous one's acknowledgement):
// for a while the input queue is looked at every millisecond.
constexpr DWORD ANSWER_POLL_MS = 1;
constexpr ULONGLONG ANSWER_WINDOW_MS = 200;
constexpr char EVENT_CHARACTER = 'q';
constexpr DWORD PURGE_ALL = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
// Before a write only the input is discarded: purging the output as well
// would cut off a frame handed over earlier that is still on its way out.
constexpr DWORD PURGE_INPUT = PURGE_RXABORT | PURGE_RXCLEAR;

// Monitored events and what each one sends to the owner, in the order the
// worker acts on them; received characters are read rather than announced.
struct EventNotification {
    DWORD event;
    UINT message;
};
constexpr EventNotification EVENT_NOTIFICATIONS[] = {
    {EV_CTS, WM_SERIAL_CTS}, {EV_BREAK, WM_SERIAL_BREAK}, {EV_ERR, WM_SERIAL_LINE_ERROR},
    {EV_RING, WM_SERIAL_RING}, {EV_RXFLAG, WM_SERIAL_EVENT_CHAR},
};

class LockGuard {
public:
    explicit LockGuard(CRITICAL_SECTION& lock) : m_lock(lock) { ::EnterCriticalSection(&m_lock); }
    ~LockGuard() { ::LeaveCriticalSection(&m_lock); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    CRITICAL_SECTION& m_lock;
};

void ZeroOffset(OVERLAPPED& overlapped) {
    overlapped.Offset = 0;
    overlapped.OffsetHigh = 0;
}

}  // namespace

CSerialPort::CSerialPort() {
    ::InitializeCriticalSection(&m_lock);
    m_hWorkerExited = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);
}

CSerialPort::~CSerialPort() {
    StopRunningWorker();
    if (m_hPort != nullptr) {
        ::CloseHandle(m_hPort);
        m_hPort = nullptr;
    }
    for (HANDLE event : {m_hStopEvent, m_overlapped.hEvent, m_hSendEvent, m_ioOverlapped.hEvent, m_hWorkerExited}) {
        if (event != nullptr) ::CloseHandle(event);
    }
    ::DeleteCriticalSection(&m_lock);
}

void CSerialPort::PrepareEvent(HANDLE& event) {
    if (event != nullptr)
        ::ResetEvent(event);
    else
        event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

BOOL CSerialPort::OpenPort(CWnd* owner, UINT port, UINT baudRate, wchar_t parity, UINT dataBits, UINT stopBits,
                           DWORD eventMask) {
    StopRunningWorker();

    PrepareEvent(m_overlapped.hEvent);
    PrepareEvent(m_hSendEvent);
    PrepareEvent(m_hStopEvent);
    PrepareEvent(m_ioOverlapped.hEvent);
    m_waitHandles[WAIT_STOP] = m_hStopEvent;
    m_waitHandles[WAIT_COMM_EVENT] = m_overlapped.hEvent;
    m_waitHandles[WAIT_SEND] = m_hSendEvent;
    m_bCommWaitPending = false;

    if (m_relay.m_hWnd == nullptr) m_relay.Create();
    m_pOwnerWnd = owner;
    m_hOwner = owner != nullptr ? owner->m_hWnd : nullptr;
    m_pSendBuffer = std::make_unique<BYTE[]>(SEND_BUFFER_UNITS * sizeof(WORD));
    m_nPort = port;
    m_nSendCapacity = SEND_BUFFER_UNITS;
    m_dwEventMask = eventMask;
    DropQueuedFrames(false);

    LockGuard lock(m_lock);
    if (m_hPort != nullptr) {
        ::CloseHandle(m_hPort);
        m_hPort = nullptr;
    }

    wchar_t deviceName[NAME_BUFFER_LENGTH];
    wchar_t settings[NAME_BUFFER_LENGTH];
    std::swprintf(deviceName, NAME_BUFFER_LENGTH, DEVICE_NAME_FORMAT, port);
    std::swprintf(settings, NAME_BUFFER_LENGTH, SETTINGS_FORMAT, baudRate, static_cast<wint_t>(parity), dataBits,
                  stopBits);

    HANDLE handle = ::CreateFileW(deviceName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return FALSE;
    m_hPort = handle;

    ConfigurePort(settings);
    ::PurgeComm(m_hPort, PURGE_ALL);
    DropQueuedFrames(true);
    ++m_nOpenCount;
    return TRUE;
}

void CSerialPort::ConfigurePort(const std::wstring& settings) {
    m_timeouts.ReadIntervalTimeout = PORT_TIMEOUT_MS;
    m_timeouts.ReadTotalTimeoutMultiplier = PORT_TIMEOUT_MS;
    m_timeouts.ReadTotalTimeoutConstant = PORT_TIMEOUT_MS;
    m_timeouts.WriteTotalTimeoutMultiplier = PORT_TIMEOUT_MS;
    m_timeouts.WriteTotalTimeoutConstant = PORT_TIMEOUT_MS;
    if (!::SetCommTimeouts(m_hPort, &m_timeouts)) {
        FormatPortError(L"SetCommTimeouts()");
        return;
    }
    if (!::SetCommMask(m_hPort, m_dwEventMask)) {
        FormatPortError(L"SetCommMask()");
        return;
    }
    if (!::GetCommState(m_hPort, &m_deviceControl)) {
        FormatPortError(L"GetCommState()");
        return;
    }
    m_deviceControl.EvtChar = EVENT_CHARACTER;
    m_deviceControl.fDtrControl = DTR_CONTROL_ENABLE;
    m_deviceControl.fRtsControl = RTS_CONTROL_ENABLE;
    if (!::BuildCommDCBW(settings.c_str(), &m_deviceControl)) {
        FormatPortError(L"BuildCommDCB()");
        return;
    }
    if (!::SetCommState(m_hPort, &m_deviceControl)) FormatPortError(L"SetCommState()");
}

bool CSerialPort::StartWorker() {
    ::ResetEvent(m_hWorkerExited);
    m_pWorker = AfxBeginThread(&CSerialPort::WorkerThreadProc, this);
    if (m_pWorker == nullptr) ::SetEvent(m_hWorkerExited);
    return m_pWorker != nullptr;
}

void CSerialPort::StopRunningWorker() {
    if (m_hStopEvent == nullptr) return;
    if (!m_bWorkerAlive && ::WaitForSingleObject(m_hWorkerExited, 0) == WAIT_OBJECT_0) return;
    ::SetEvent(m_hStopEvent);
    WaitForWorkerExit();
}

// The worker may be inside a synchronous WM_SERIAL_BYTE to this very thread;
// letting sent messages through while waiting lets it finish that byte and
// reach the stop event.
void CSerialPort::WaitForWorkerExit() const {
    for (;;) {
        DWORD result = ::MsgWaitForMultipleObjects(1, &m_hWorkerExited, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result != WAIT_OBJECT_0 + 1) return;
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

bool CSerialPort::QueueFrame(const BYTE* data, DWORD length) {
    if (length > SEND_BUFFER_CAPACITY) return false;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        if (!m_bAcceptingFrames) return false;
        m_sendQueue.emplace_back(data, data + length);
    }
    ::SetEvent(m_hSendEvent);
    return true;
}

void CSerialPort::DropQueuedFrames(bool acceptMore) {
    std::lock_guard<std::mutex> lock(m_queueLock);
    m_sendQueue.clear();
    m_bAcceptingFrames = acceptMore;
}

std::wstring CSerialPort::FormatPortError(const wchar_t* failedCall) const {
    DWORD error = ::GetLastError();
    wchar_t* systemText = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, error,
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&systemText), 0,
                     nullptr);
    const wchar_t* shownText = systemText != nullptr ? systemText : L"";
    // The system's text has no fixed length: grow the buffer until it fits.
    std::wstring warning(std::wcslen(failedCall) + std::wcslen(shownText) + NAME_BUFFER_LENGTH, L'\0');
    int length;
    while ((length = std::swprintf(warning.data(), warning.size(), PORT_WARNING_FORMAT, failedCall, shownText,
                                   m_nPort)) < 0)
        warning.resize(warning.size() * 2);
    warning.resize(static_cast<std::size_t>(length));
    if (systemText != nullptr) ::LocalFree(systemText);
    ::OutputDebugStringW(warning.c_str());
    return warning;
}

UINT CSerialPort::WorkerThreadProc(LPVOID param) { static_cast<CSerialPort*>(param)->RunWorker(); }

void CSerialPort::RunWorker() {
    m_bWorkerAlive = TRUE;
    ::ResetEvent(m_hWorkerExited);
    m_bLineFailed = false;
    m_bPollingInput = false;
    if (m_hPort != nullptr) ::PurgeComm(m_hPort, PURGE_ALL);
    for (;;) {
        if (!BeginCommEventWait()) continue;
        const DWORD timeout = m_bLineFailed ? INFINITE : InputPollPeriod();
        switch (::WaitForMultipleObjects(WAIT_COUNT, m_waitHandles, FALSE, timeout)) {
        case WAIT_OBJECT_0 + WAIT_STOP:
            EndWorker();
        case WAIT_OBJECT_0 + WAIT_COMM_EVENT:
            HandleCommEvent();
            // A frame handed over meanwhile goes out now: on a busy line the
            // comm event would otherwise win every wait.
            WriteHandedOverFrame();
            break;
        case WAIT_OBJECT_0 + WAIT_SEND:
            WriteSendBuffer();
            break;
        default:
            // Time to look at the input queue again.
            break;
        }
    }
}

// Starts a comm-event wait unless one is still outstanding or the line is
// only polled, and raises the comm event itself when bytes wait in the input
// queue. False when the event was already there but nothing waits to be read:
// start over at once.
bool CSerialPort::BeginCommEventWait() {
    if (m_bLineFailed) {
        // Only the stop and send events can wake the worker now.
        ::ResetEvent(m_overlapped.hEvent);
        return true;
    }
    if (m_bPollingInput) {
        PollInputQueue();
        return true;
    }
    if (!m_bCommWaitPending) {
        ZeroOffset(m_overlapped);
        if (::WaitCommEvent(m_hPort, &m_dwCommEvent, &m_overlapped)) {
            if (InputQueueLength() == 0) return false;
            ::SetEvent(m_overlapped.hEvent);
            return true;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_IO_PENDING && error != ERROR_INVALID_PARAMETER) {
            LineFailed();
            return true;
        }
        m_bCommWaitPending = true;
    }
    // Bytes that came before the wait began raise no event of their own (a
    // full input queue raises none at all): go and read them.
    PollInputQueue();
    return true;
}

void CSerialPort::PollInputQueue() {
    DWORD queued = 0;
    if (!QueryInputQueue(queued)) {
        LineFailed();
        return;
    }
    if (queued > 0) ::SetEvent(m_overlapped.hEvent);
}

// Collects the outstanding wait if it has ended. A wait that ended in failure
// is a failed line when the line no longer answers; when it still answers,
// the driver cannot wait for events on it, and its input is polled instead.
void CSerialPort::FinishCommEventWait() {
    ::ResetEvent(m_overlapped.hEvent);
    if (!m_bCommWaitPending) return;
    DWORD unused = 0;
    if (::GetOverlappedResult(m_hPort, &m_overlapped, &unused, FALSE)) {
        m_bCommWaitPending = false;
        return;
    }
    if (::GetLastError() == ERROR_IO_INCOMPLETE) return;
    m_bCommWaitPending = false;
    DWORD queued = 0;
    if (QueryInputQueue(queued))
        m_bPollingInput = true;
    else
        LineFailed();
}

void CSerialPort::LineFailed() {
    ReportFailure();
    m_bLineFailed = true;
    ::ResetEvent(m_overlapped.hEvent);
}

// The system writes the event word and the record when the wait ends, so the
// wait is ended here, before the handle goes and the thread ends.
void CSerialPort::CancelCommEventWait() {
    if (!m_bCommWaitPending || m_hPort == nullptr) return;
    DWORD unused = 0;
    // Not found: the wait has ended already.
    if (::CancelIoEx(m_hPort, &m_overlapped)) ::GetOverlappedResult(m_hPort, &m_overlapped, &unused, TRUE);
    m_bCommWaitPending = false;
}

void CSerialPort::HandleCommEvent() {
    FinishCommEventWait();
    if (m_bLineFailed) return;
    DWORD monitored = 0;
    ::GetCommMask(m_hPort, &monitored);
    if ((monitored & EV_RXCHAR) != 0) ReadAvailableBytes();
    // The owner's answer to the bytes (the next firmware block to an
    // acknowledgement) goes out before anything else.
    WriteHandedOverFrame();
    for (const EventNotification& notification : EVENT_NOTIFICATIONS) {
        if ((monitored & notification.event) != 0) NotifyOwner(notification.message);
    }
}

// The worker does not wait for the owner's window to take the notification:
// the window may be busy with other work (updating its logs) meanwhile, and
// the worker would see the next bytes only after it.
void CSerialPort::NotifyOwner(UINT message, WPARAM wParam) const {
    ::SendNotifyMessageW(m_hOwner, message, wParam, static_cast<LPARAM>(m_nPort));
}

void CSerialPort::ReportFailure() {
    CWnd* mainWnd = AfxGetMainWnd();
    if (mainWnd != nullptr && mainWnd->m_hWnd != nullptr)
        ::PostMessageW(mainWnd->m_hWnd, WM_SERIAL_FAILED, SERIAL_FAILURE_CODE, 0);
}

bool CSerialPort::StopRequested() const { return ::WaitForSingleObject(m_hStopEvent, 0) == WAIT_OBJECT_0; }

void CSerialPort::EndWorker() {
    CancelCommEventWait();
    {
        LockGuard lock(m_lock);
        ::CloseHandle(m_hPort);
        m_hPort = nullptr;
    }
    DropQueuedFrames(false);
    m_bWorkerAlive = FALSE;
    // The last touch of the object: the owner may destroy it once this is set.
    ::SetEvent(m_hWorkerExited);
    AfxEndThread(WORKER_EXIT_CODE);
}

// Bytes go to the owner one by one, each only after the previous one has been
// handled; a stop request is looked at between reads (and by the relay
// between bytes), so that a steady stream cannot keep the worker from
// stopping. The lock is never held while the owner handles bytes.
void CSerialPort::ReadAvailableBytes() {
    BYTE received[READ_CHUNK];
    while (!StopRequested()) {
        DWORD count = 0;
        {
            LockGuard lock(m_lock);
            const DWORD queued = InputQueueLength();
            if (queued == 0) return;
            count = ReadBytes(received, queued < READ_CHUNK ? queued : READ_CHUNK);
        }
        if (count > 0) m_relay.Deliver({received, count, m_hOwner, m_nPort, m_hStopEvent});
    }
}

DWORD CSerialPort::InputQueueLength() {
    DWORD queued = 0;
    return QueryInputQueue(queued) ? queued : 0;
}

bool CSerialPort::QueryInputQueue(DWORD& queued) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(m_hPort, &errors, &status)) return false;
    queued = status.cbInQue;
    return true;
}

DWORD CSerialPort::ReadBytes(BYTE* buffer, DWORD count) {
    ZeroOffset(m_ioOverlapped);
    DWORD read = 0;
    if (::ReadFile(m_hPort, buffer, count, &read, &m_ioOverlapped)) return read;
    if (::GetLastError() != ERROR_IO_PENDING) {
        FormatPortError(L"ReadFile()");
        return 0;
    }
    if (!::GetOverlappedResult(m_hPort, &m_ioOverlapped, &read, TRUE)) {
        FormatPortError(L"GetOverlappedResults() in ReadFile()");
        return 0;
    }
    return read;
}

// Writes every frame handed over since the last send, oldest first. Input the
// driver still holds is discarded before the writes.
void CSerialPort::WriteSendBuffer() {
    ::ResetEvent(m_hSendEvent);
    LockGuard lock(m_lock);
    ::PurgeComm(m_hPort, PURGE_INPUT);
    while (!StopRequested() && TakeQueuedFrame()) {
        if (!WriteFrame()) ReportFailure();
    }
    m_answerDueUntil = ::GetTickCount64() + ANSWER_WINDOW_MS;
}

void CSerialPort::WriteHandedOverFrame() {
    if (::WaitForSingleObject(m_hSendEvent, 0) == WAIT_OBJECT_0) WriteSendBuffer();
}

DWORD CSerialPort::InputPollPeriod() const {
    return ::GetTickCount64() < m_answerDueUntil ? ANSWER_POLL_MS : INPUT_POLL_MS;
}

bool CSerialPort::TakeQueuedFrame() {
    std::lock_guard<std::mutex> lock(m_queueLock);
    if (m_sendQueue.empty()) return false;
    const std::vector<BYTE>& frame = m_sendQueue.front();
    std::copy(frame.begin(), frame.end(), m_pSendBuffer.get());
    m_nSendLength = static_cast<DWORD>(frame.size());
    m_sendQueue.pop_front();
    return true;
}

bool CSerialPort::WriteFrame() {
    ZeroOffset(m_ioOverlapped);
    DWORD written = 0;
    if (!::WriteFile(m_hPort, m_pSendBuffer.get(), m_nSendLength, &written, &m_ioOverlapped)) {
        if (::GetLastError() != ERROR_IO_PENDING) return false;
        if (!::GetOverlappedResult(m_hPort, &m_ioOverlapped, &written, TRUE)) return false;
    }
    return written == m_nSendLength;
}
