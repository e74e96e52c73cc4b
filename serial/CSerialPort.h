// One COM port opened for overlapped I/O, and the worker thread that serves
// it: every received byte goes to the owner window in its own synchronous
// WM_SERIAL_BYTE, and the frames the owner hands over are written whole, in
// the order they were handed over. The port knows nothing of frames.
//
// The owner opens the port with OpenPort, starts the worker with StartWorker,
// hands frames over with QueueFrame and stops the worker by setting
// m_hStopEvent; the worker then closes the port and ends.
#pragma once

#include "serial/CSerialByteRelay.h"
#include "serial/SerialMessages.h"

#include <windows.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CWnd;
class CWinThread;

class CSerialPort {
public:
    // The largest frame the owner hands over (an MCU data block).
    static constexpr DWORD SEND_BUFFER_CAPACITY = 1029;
    // The send buffer, counted in 16-bit units: room for the largest frame.
    static constexpr DWORD SEND_BUFFER_UNITS = (SEND_BUFFER_CAPACITY + sizeof(WORD) - 1) / sizeof(WORD);
    // The most bytes taken from the driver in one read.
    static constexpr DWORD READ_CHUNK = 4096;
    static constexpr UINT WORKER_EXIT_CODE = 100;

    CSerialPort();
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens and configures "\\.\COM<port>" with the line settings; stops a
    // running worker first. TRUE when the device opened (a configuration call
    // that fails is reported by FormatPortError and does not fail the open);
    // FALSE also when the running worker could not be stopped or the worker's
    // events or relay window cannot be had.
    BOOL OpenPort(CWnd* owner, UINT port, UINT baudRate, wchar_t parity, UINT dataBits, UINT stopBits,
                  DWORD eventMask);

    // Starts the worker on the open port and records it in m_pWorker.
    bool StartWorker();
    // Closes a port that no worker serves (a running worker closes its port
    // itself when stopped).
    void ClosePort();

    // Hands one frame to the worker. False, and nothing is sent, when no
    // port is open or the frame is longer than the largest frame.
    bool QueueFrame(const BYTE* data, DWORD length);

    static UINT WorkerThreadProc(LPVOID param);

    // Counts the successful opens, so that the owner can tell the bytes of a
    // new connection from those of the one before.
    UINT OpenCount() const { return m_nOpenCount; }

    // The warning for a failed system call, with the system's text for
    // GetLastError(); also written to the debugger output.
    std::wstring FormatPortError(const wchar_t* failedCall) const;

    // Length of the frame in m_pSendBuffer that the worker writes.
    DWORD m_nSendLength = 1;
    // The open device; nullptr while the port is closed.
    HANDLE m_hPort = nullptr;
    CWinThread* m_pWorker = nullptr;
    // Guards m_hPort and the I/O on it.
    CRITICAL_SECTION m_lock;
    std::atomic<BOOL> m_bWorkerAlive{FALSE};
    HANDLE m_hSendEvent = nullptr;
    HANDLE m_hStopEvent = nullptr;
    // The worker's wait list: stop first, then the comm event, then send.
    HANDLE m_waitHandles[3] = {};
    // The comm-event wait; its event is the comm event, which only the system
    // signals, when the wait ends.
    OVERLAPPED m_overlapped{};
    COMMTIMEOUTS m_timeouts{};
    DCB m_deviceControl{};
    CWnd* m_pOwnerWnd = nullptr;
    UINT m_nPort = 0;
    // The frame the worker writes, taken from the frames handed over; made
    // anew by every OpenPort.
    std::unique_ptr<BYTE[]> m_pSendBuffer;
    DWORD m_dwEventMask = 0;
    // Size of m_pSendBuffer in 16-bit units.
    DWORD m_nSendCapacity = 0;

private:
    enum WaitIndex : DWORD {
        WAIT_STOP = 0,
        WAIT_COMM_EVENT = 1,
        WAIT_SEND = 2,
        WAIT_COUNT = 3,
        // The watch read's event follows the wait list.
        WAIT_WATCH_READ = WAIT_COUNT
    };
    enum class IoResult { Done, Failed, Stopped };

    static bool PrepareEvent(HANDLE& event);
    bool PrepareWorkerTools();
    void ConfigurePort(const std::wstring& settings);
    bool StopRunningWorker();
    void ReleasePort();
    bool WaitForWorkerExit() const;
    static void LetSentMessagesThrough();

    [[noreturn]] void RunWorker();
    void PrepareWait();
    bool CanStartCommEventWait() const;
    DWORD WaitTimeout() const;
    void StartWatchRead();
    void CancelWatchRead();
    bool CollectWatchRead();
    bool StartCommEventWait();
    void ServeWaitingInput();
    bool FinishCommEventWait();
    void PollInputOrFailLine(bool lineAnswers);
    void CancelCommEventWait();
    void CancelAndAwait(OVERLAPPED& overlapped);
    void LineFailed();
    void HandleCommEvent();
    void ActOnMonitoredEvents();
    void NotifyOwner(UINT message, WPARAM wParam = 0) const;
    static void ReportFailure();
    bool StopRequested() const;
    void NoteTraffic();
    [[noreturn]] void EndWorker();

    void ReadAvailableBytes();
    void DeliverBytes(const BYTE* bytes, DWORD count);
    DWORD InputQueueLength();
    bool QueryInputQueue(DWORD& queued);
    IoResult ReadBytes(BYTE* buffer, DWORD count, DWORD& read);
    IoResult AwaitIo(DWORD& transferred);
    void WriteSendBuffer();
    void WriteHandedOverFrame();
    bool HasQueuedFrame();
    bool TakeQueuedFrame();
    IoResult WriteFrame();
    void DropQueuedFrames(bool acceptMore);

    // Reads and writes: an overlapped record and event of their own, since
    // the comm-event wait may still be outstanding on m_overlapped.
    OVERLAPPED m_ioOverlapped{};
    // Event word of the comm-event wait; written by the system when it ends.
    DWORD m_dwCommEvent = 0;
    bool m_bCommWaitPending = false;
    // The line stopped answering: reported once, and no more waits on it.
    bool m_bLineFailed = false;
    // The driver ends comm-event waits without events: a watch read wakes
    // the worker instead.
    bool m_bPollingInput = false;
    // The watch read: one byte, on a record and event of its own.
    OVERLAPPED m_watchOverlapped{};
    BYTE m_watchedByte = 0;
    bool m_bWatchPending = false;
    // How long the worker waits before it looks at the input queue again
    // while neither a comm-event wait nor a watch read is outstanding.
    DWORD m_dwPollPeriod = 0;
    // Signalled while no worker runs.
    HANDLE m_hWorkerExited = nullptr;
    HWND m_hOwner = nullptr;
    CSerialByteRelay m_relay;
    UINT m_nOpenCount = 0;

    std::mutex m_queueLock;
    std::deque<std::vector<BYTE>> m_sendQueue;
    bool m_bAcceptingFrames = false;
};
