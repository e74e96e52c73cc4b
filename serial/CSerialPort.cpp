#include "serial/CSerialPort.h"

#include "framework/CWinApp.h"
#include "framework/CWnd.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace {

constexpr const wchar_t* DEVICE_NAME_FORMAT = L"\\\\.\\COM%u";
constexpr const wchar_t* SETTINGS_FORMAT = L"baud=%u parity=%lc data=%u stop=%u";
constexpr const wchar_t* PORT_WARNING_FORMAT = L"WARNING:  %ls Failed with the following error: \n%ls\nPort: %u\n";
constexpr std::size_t NAME_BUFFER_LENGTH = 64;

constexpr DWORD PORT_TIMEOUT_MS = 1000;
// A driver whose comm-event waits end without events (Wine's, for a
// pseudo-terminal, which has no modem lines) wakes the worker through a
// one-byte read kept outstanding instead. Where not even that stays
// outstanding, the input queue is polled: often while bytes come and go,
// ever less often while the line is quiet.
constexpr DWORD INPUT_POLL_MIN_MS = 10;
constexpr DWORD INPUT_POLL_MAX_MS = 200;
constexpr DWORD WATCHED_BYTES = 1;
// Comm-event waits that end at once are started again only this often
// before the worker waits: a driver that ends every wait at once cannot keep
// it from waiting for the stop and send events.
constexpr int MAX_WAIT_STARTS = 4;
// How long a cancelled I/O may take to end before the worker goes on
// without it.
constexpr DWORD CANCEL_WAIT_MS = 5000;
constexpr char EVENT_CHARACTER = 'q';
constexpr DWORD PURGE_ALL = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

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
    ReleasePort();
    for (HANDLE event : {m_hStopEvent, m_overlapped.hEvent, m_hSendEvent, m_ioOverlapped.hEvent,
                         m_watchOverlapped.hEvent, m_hWorkerExited}) {
        if (event != nullptr) ::CloseHandle(event);
    }
    ::DeleteCriticalSection(&m_lock);
}

bool CSerialPort::PrepareEvent(HANDLE& event) {
    if (event != nullptr) return ::ResetEvent(event) != FALSE;
    event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event != nullptr;
}

// The events and the relay the worker waits on and delivers through; false
// when one cannot be had, since a worker without them could neither stop
// nor hand over a byte.
bool CSerialPort::PrepareWorkerTools() {
    bool ready = true;
    for (HANDLE* event :
         {&m_overlapped.hEvent, &m_hSendEvent, &m_hStopEvent, &m_ioOverlapped.hEvent, &m_watchOverlapped.hEvent})
        ready = PrepareEvent(*event) && ready;
    if (!ready) {
        FormatPortError(L"CreateEventW()");
        return false;
    }
    if (m_relay.m_hWnd == nullptr && !m_relay.Create()) {
        FormatPortError(L"CreateWindowExW()");
        return false;
    }
    return true;
}

BOOL CSerialPort::OpenPort(CWnd* owner, UINT port, UINT baudRate, wchar_t parity, UINT dataBits, UINT stopBits,
                           DWORD eventMask) {
    m_nPort = port;
    if (!StopRunningWorker() || !PrepareWorkerTools()) return FALSE;
    m_waitHandles[WAIT_STOP] = m_hStopEvent;
    m_waitHandles[WAIT_COMM_EVENT] = m_overlapped.hEvent;
    m_waitHandles[WAIT_SEND] = m_hSendEvent;
    m_bCommWaitPending = false;
    m_bWatchPending = false;

    m_pOwnerWnd = owner;
    m_hOwner = owner != nullptr ? owner->m_hWnd : nullptr;
    m_pSendBuffer = std::make_unique<BYTE[]>(SEND_BUFFER_UNITS * sizeof(WORD));
    m_nSendCapacity = SEND_BUFFER_UNITS;
    m_dwEventMask = eventMask;
    ReleasePort();

    LockGuard lock(m_lock);
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

void CSerialPort::ClosePort() {
    if (!m_bWorkerAlive) ReleasePort();
}

// No frame is taken any more, and the handle goes.
void CSerialPort::ReleasePort() {
    DropQueuedFrames(false);
    LockGuard lock(m_lock);
    if (m_hPort == nullptr) return;
    ::CloseHandle(m_hPort);
    m_hPort = nullptr;
}

bool CSerialPort::StopRunningWorker() {
    if (m_hStopEvent == nullptr) return true;
    if (!m_bWorkerAlive && ::WaitForSingleObject(m_hWorkerExited, 0) == WAIT_OBJECT_0) return true;
    ::SetEvent(m_hStopEvent);
    return WaitForWorkerExit();
}

// The worker may be inside a synchronous WM_SERIAL_BYTE to this very thread;
// letting sent messages through while waiting lets it finish that byte and
// reach the stop event. When the wait itself fails, that is reported (with
// a warning and false) and the worker's flag is watched instead.
bool CSerialPort::WaitForWorkerExit() const {
    for (;;) {
        const DWORD result = ::MsgWaitForMultipleObjects(1, &m_hWorkerExited, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) break;
        LetSentMessagesThrough();
    }
    FormatPortError(L"MsgWaitForMultipleObjects()");
    while (m_bWorkerAlive) {
        LetSentMessagesThrough();
        ::Sleep(INPUT_POLL_MIN_MS);
    }
    return false;
}

void CSerialPort::LetSentMessagesThrough() {
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
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
    m_dwPollPeriod = INPUT_POLL_MIN_MS;
    if (m_hPort != nullptr) ::PurgeComm(m_hPort, PURGE_ALL);
    for (;;) {
        PrepareWait();
        const HANDLE handles[] = {m_waitHandles[WAIT_STOP], m_waitHandles[WAIT_COMM_EVENT], m_waitHandles[WAIT_SEND],
                                  m_watchOverlapped.hEvent};
        switch (::WaitForMultipleObjects(static_cast<DWORD>(std::size(handles)), handles, FALSE, WaitTimeout())) {
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
        case WAIT_OBJECT_0 + WAIT_WATCH_READ:
            if (CollectWatchRead()) ActOnMonitoredEvents();
            break;
        case WAIT_TIMEOUT:
            m_dwPollPeriod = std::min(2 * m_dwPollPeriod, INPUT_POLL_MAX_MS);
            break;
        default:
            // Not even the stop event can be waited for: the worker gives up
            // the line rather than spin.
            ReportFailure();
            EndWorker();
        }
    }
}

// Before every wait: a comm-event wait is made outstanding where the driver
// keeps one, and the bytes already in the input queue are served, since bytes
// that came before the wait began raise no event of their own (and a full
// input queue raises none at all).
void CSerialPort::PrepareWait() {
    for (int start = 0; start < MAX_WAIT_STARTS && CanStartCommEventWait(); ++start) {
        if (!StartCommEventWait() && InputQueueLength() > 0) break;
    }
    ServeWaitingInput();
    if (m_bPollingInput) StartWatchRead();
}

bool CSerialPort::CanStartCommEventWait() const {
    return !m_bLineFailed && !m_bPollingInput && !m_bCommWaitPending && !StopRequested();
}

// Only an outstanding comm-event wait or watch read, or a failed line with
// nothing more to watch, lets the worker sleep until one of its events comes.
DWORD CSerialPort::WaitTimeout() const {
    return m_bCommWaitPending || m_bWatchPending || m_bLineFailed ? INFINITE : m_dwPollPeriod;
}

// The read ends when a byte comes (or when the port's read time-outs end it
// empty). A byte it takes right away goes to the owner at once.
void CSerialPort::StartWatchRead() {
    if (m_bWatchPending || m_bLineFailed || StopRequested()) return;
    ZeroOffset(m_watchOverlapped);
    DWORD read = 0;
    if (::ReadFile(m_hPort, &m_watchedByte, WATCHED_BYTES, &read, &m_watchOverlapped)) {
        ::ResetEvent(m_watchOverlapped.hEvent);
        if (read == WATCHED_BYTES) DeliverBytes(&m_watchedByte, read);
        return;
    }
    if (::GetLastError() == ERROR_IO_PENDING)
        m_bWatchPending = true;
    else
        LineFailed();
}

void CSerialPort::CancelWatchRead() {
    if (!m_bWatchPending) return;
    CancelAndAwait(m_watchOverlapped);
    ::ResetEvent(m_watchOverlapped.hEvent);
    m_bWatchPending = false;
}

// Ends the watch read, cancelled if it is still outstanding, and delivers the
// byte it took, which came before any byte still queued; true when there
// was one. The bytes queued behind it go along in the same delivery: each
// delivery is a crossing to the owner's thread, and a reply is seldom one
// byte long.
bool CSerialPort::CollectWatchRead() {
    if (!m_bWatchPending) return false;
    CancelWatchRead();
    DWORD read = 0;
    if (!::GetOverlappedResult(m_hPort, &m_watchOverlapped, &read, FALSE) || read != WATCHED_BYTES) return false;
    BYTE received[READ_CHUNK];
    received[0] = m_watchedByte;
    DWORD behind = 0;
    {
        LockGuard lock(m_lock);
        const DWORD queued = InputQueueLength();
        if (queued > 0 && ReadBytes(received + read, std::min(queued, READ_CHUNK - read), behind) != IoResult::Done)
            behind = 0;
    }
    DeliverBytes(received, read + behind);
    return true;
}

// Starts a comm-event wait. False when it did not stay outstanding: it ended
// at once (an event was already there), the driver cannot wait for events on
// this line (its input is polled from now on), or the line failed.
bool CSerialPort::StartCommEventWait() {
    ZeroOffset(m_overlapped);
    if (::WaitCommEvent(m_hPort, &m_dwCommEvent, &m_overlapped)) {
        // Its completion has been taken here; the bytes behind it are served
        // before the worker waits.
        ::ResetEvent(m_overlapped.hEvent);
        return false;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_IO_PENDING) {
        m_bCommWaitPending = true;
        return true;
    }
    PollInputOrFailLine(error == ERROR_INVALID_PARAMETER);
    return false;
}

// A driver that cannot wait for events on a line that still answers has the
// line's input watched another way from now on; a line that does not answer
// has failed.
void CSerialPort::PollInputOrFailLine(bool lineAnswers) {
    if (lineAnswers)
        m_bPollingInput = true;
    else
        LineFailed();
}

void CSerialPort::ServeWaitingInput() {
    if (m_bLineFailed) return;
    DWORD queued = 0;
    if (!QueryInputQueue(queued)) {
        LineFailed();
        return;
    }
    if (queued > 0) ActOnMonitoredEvents();
}

// Collects the outstanding wait, whose event says it has ended; true when it
// ended with an event. A wait that ended in failure is a failed line when
// the line no longer answers; when it still answers, the driver cannot wait
// for events on it, and its input is polled instead. So is a wait whose
// record still reads pending: Wine's serial driver can end a wait before it
// marks it pending, and the record then reads pending for ever (twice in
// 20,000 waits on a busy machine); waiting on would lose every byte that
// comes and hang the stop.
bool CSerialPort::FinishCommEventWait() {
    ::ResetEvent(m_overlapped.hEvent);
    if (!m_bCommWaitPending) return false;
    m_bCommWaitPending = false;
    DWORD unused = 0;
    if (::GetOverlappedResult(m_hPort, &m_overlapped, &unused, FALSE)) return true;
    DWORD queued = 0;
    PollInputOrFailLine(QueryInputQueue(queued));
    return false;
}

void CSerialPort::LineFailed() {
    if (m_bLineFailed) return;
    ReportFailure();
    m_bLineFailed = true;
}

// The system writes the record (and, for a comm-event wait, the event word)
// when the I/O ends, so a cancelled I/O is waited for until it has ended,
// before the record is used again, the handle goes or the thread ends. An
// I/O that never ends must not hold the worker, and with it the UI thread
// that stops the worker, for ever: after CANCEL_WAIT_MS that is reported
// and the worker goes on.
void CSerialPort::CancelAndAwait(OVERLAPPED& overlapped) {
    if (!HasOverlappedIoCompleted(&overlapped)) ::CancelIoEx(m_hPort, &overlapped);
    const ULONGLONG deadline = ::GetTickCount64() + CANCEL_WAIT_MS;
    while (!HasOverlappedIoCompleted(&overlapped)) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline ||
            ::WaitForSingleObject(overlapped.hEvent, static_cast<DWORD>(deadline - now)) == WAIT_FAILED) {
            FormatPortError(L"CancelIoEx()");
            return;
        }
        if (!HasOverlappedIoCompleted(&overlapped)) ::ResetEvent(overlapped.hEvent);
    }
}

// A new event mask ends an outstanding comm-event wait on every driver, also
// on one that does not cancel it (Wine's serial driver).
void CSerialPort::CancelCommEventWait() {
    if (!m_bCommWaitPending || m_hPort == nullptr) return;
    ::SetCommMask(m_hPort, m_dwEventMask);
    CancelAndAwait(m_overlapped);
    m_bCommWaitPending = false;
}

void CSerialPort::HandleCommEvent() {
    if (FinishCommEventWait()) ActOnMonitoredEvents();
}

// Every monitored event is acted on, not only the one that fired. The
// owner's answer to bytes delivered (the next firmware block to an
// acknowledgement), those before this call and those it reads, goes out
// before anything else: every call into the system ahead of it costs line
// time.
void CSerialPort::ActOnMonitoredEvents() {
    WriteHandedOverFrame();
    DWORD monitored = 0;
    ::GetCommMask(m_hPort, &monitored);
    if ((monitored & EV_RXCHAR) != 0) ReadAvailableBytes();
    WriteHandedOverFrame();
    for (const EventNotification& notification : EVENT_NOTIFICATIONS) {
        if ((monitored & notification.event) != 0) NotifyOwner(notification.message);
    }
}

void CSerialPort::NotifyOwner(UINT message, WPARAM wParam) const {
    ::SendMessageW(m_hOwner, message, wParam, static_cast<LPARAM>(m_nPort));
}

void CSerialPort::ReportFailure() {
    CWnd* mainWnd = AfxGetMainWnd();
    if (mainWnd != nullptr && mainWnd->m_hWnd != nullptr)
        ::PostMessageW(mainWnd->m_hWnd, WM_SERIAL_FAILED, SERIAL_FAILURE_CODE, 0);
}

bool CSerialPort::StopRequested() const { return ::WaitForSingleObject(m_hStopEvent, 0) == WAIT_OBJECT_0; }

// Traffic in either direction: a reply, or more bytes, may follow soon.
void CSerialPort::NoteTraffic() { m_dwPollPeriod = INPUT_POLL_MIN_MS; }

void CSerialPort::EndWorker() {
    CancelCommEventWait();
    CancelWatchRead();
    ReleasePort();
    // The owner may destroy the object once the flag has fallen.
    const HANDLE exited = m_hWorkerExited;
    m_bWorkerAlive = FALSE;
    ::SetEvent(exited);
    AfxEndThread(WORKER_EXIT_CODE);
}

// Bytes go to the owner one by one, each only after the previous one has been
// handled; a stop request is looked at between reads (and by the relay
// between bytes), so that a steady stream cannot keep the worker from
// stopping. The lock is never held while the owner handles bytes.
void CSerialPort::ReadAvailableBytes() {
    CollectWatchRead();
    BYTE received[READ_CHUNK];
    while (!StopRequested()) {
        DWORD count = 0;
        {
            LockGuard lock(m_lock);
            const DWORD queued = InputQueueLength();
            if (queued == 0) return;
            const IoResult read = ReadBytes(received, std::min(queued, READ_CHUNK), count);
            if (read == IoResult::Stopped) return;
            // The queue holds bytes that no read returns: the line is broken.
            if (read == IoResult::Failed || count == 0) {
                LineFailed();
                return;
            }
        }
        DeliverBytes(received, count);
    }
}

void CSerialPort::DeliverBytes(const BYTE* bytes, DWORD count) {
    NoteTraffic();
    m_relay.Deliver({bytes, count, m_hOwner, m_nPort, m_hStopEvent});
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

CSerialPort::IoResult CSerialPort::ReadBytes(BYTE* buffer, DWORD count, DWORD& read) {
    ZeroOffset(m_ioOverlapped);
    if (::ReadFile(m_hPort, buffer, count, &read, &m_ioOverlapped)) return IoResult::Done;
    if (::GetLastError() != ERROR_IO_PENDING) {
        FormatPortError(L"ReadFile()");
        return IoResult::Failed;
    }
    const IoResult result = AwaitIo(read);
    if (result == IoResult::Failed) FormatPortError(L"GetOverlappedResults() in ReadFile()");
    return result;
}

// Waits for the read or write on m_ioOverlapped or for a stop request,
// whichever comes first: a stalled line must not keep the worker, and with
// it the UI thread that stops it, waiting. A stop cancels the I/O.
CSerialPort::IoResult CSerialPort::AwaitIo(DWORD& transferred) {
    const HANDLE handles[] = {m_hStopEvent, m_ioOverlapped.hEvent};
    const DWORD woken = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (woken != WAIT_OBJECT_0 + 1) {
        CancelAndAwait(m_ioOverlapped);
        return woken == WAIT_OBJECT_0 ? IoResult::Stopped : IoResult::Failed;
    }
    return ::GetOverlappedResult(m_hPort, &m_ioOverlapped, &transferred, FALSE) ? IoResult::Done : IoResult::Failed;
}

// Writes every frame handed over since the last send, oldest first. What has
// arrived meanwhile goes to the owner before the first write: a reply that
// came late is still a reply, and the owner drops bytes that make no frame.
void CSerialPort::WriteHandedOverFrame() {
    if (HasQueuedFrame()) WriteSendBuffer();
}

void CSerialPort::WriteSendBuffer() {
    ::ResetEvent(m_hSendEvent);
    if (!HasQueuedFrame()) return;
    ReadAvailableBytes();
    LockGuard lock(m_lock);
    while (!StopRequested() && TakeQueuedFrame()) {
        const IoResult written = WriteFrame();
        if (written == IoResult::Stopped) return;
        if (written == IoResult::Failed) ReportFailure();
        NoteTraffic();
    }
}

bool CSerialPort::HasQueuedFrame() {
    std::lock_guard<std::mutex> lock(m_queueLock);
    return !m_sendQueue.empty();
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

CSerialPort::IoResult CSerialPort::WriteFrame() {
    ZeroOffset(m_ioOverlapped);
    DWORD written = 0;
    if (!::WriteFile(m_hPort, m_pSendBuffer.get(), m_nSendLength, &written, &m_ioOverlapped)) {
        if (::GetLastError() != ERROR_IO_PENDING) return IoResult::Failed;
        const IoResult result = AwaitIo(written);
        if (result != IoResult::Done) return result;
    }
    return written == m_nSendLength ? IoResult::Done : IoResult::Failed;
}
