// A thread object: the application's UI thread, or a worker started with
// AfxBeginThread that ends through AfxEndThread or by returning.
#pragma once

#include "framework/CCmdTarget.h"

class CWnd;

using AFX_THREADPROC = UINT (*)(LPVOID);

class CWinThread : public CCmdTarget {
public:
    CWinThread() = default;
    CWinThread(AFX_THREADPROC proc, LPVOID param);
    ~CWinThread() override;

    bool CreateThread(DWORD createFlags, UINT stackSize);

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    CWnd* m_pMainWnd = nullptr;
    HANDLE m_hThread = nullptr;
    UINT m_nThreadID = 0;
    // A worker's object deletes itself when the thread ends.
    bool m_bAutoDelete = true;

private:
    static unsigned __stdcall ThreadEntry(void* self);

    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;
};

// Starts `proc(param)` on a new thread at the given priority; nullptr when the
// thread could not be made.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0);

// Ends the calling worker thread with the exit code, unwinding its stack and
// deleting its thread object. Only for threads started by AfxBeginThread.
[[noreturn]] void AfxEndThread(UINT exitCode);
