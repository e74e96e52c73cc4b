#include "framework/CWinThread.h"

#include <process.h>

namespace {

// Thrown by AfxEndThread and caught at the thread's entry, so that the
// thread's stack unwinds before it ends.
struct ThreadExit {
    UINT exitCode;
};

}  // namespace

CWinThread::CWinThread(AFX_THREADPROC proc, LPVOID param) : m_pfnThreadProc(proc), m_pThreadParams(param) {}

CWinThread::~CWinThread() {
    if (m_hThread != nullptr) ::CloseHandle(m_hThread);
}

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::ExitInstance() { return 0; }

bool CWinThread::CreateThread(DWORD createFlags, UINT stackSize) {
    uintptr_t handle = ::_beginthreadex(nullptr, stackSize, &CWinThread::ThreadEntry, this,
                                        createFlags | CREATE_SUSPENDED, &m_nThreadID);
    m_hThread = reinterpret_cast<HANDLE>(handle);
    return m_hThread != nullptr;
}

unsigned __stdcall CWinThread::ThreadEntry(void* self) {
    auto* thread = static_cast<CWinThread*>(self);
    UINT exitCode = 0;
    try {
        exitCode = thread->m_pfnThreadProc(thread->m_pThreadParams);
    } catch (const ThreadExit& exit) {
        exitCode = exit.exitCode;
    }
    if (thread->m_bAutoDelete) delete thread;
    return exitCode;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize, DWORD createFlags) {
    auto* thread = new CWinThread(proc, param);
    if (!thread->CreateThread(createFlags, stackSize)) {
        delete thread;
        return nullptr;
    }
    ::SetThreadPriority(thread->m_hThread, priority);
    if ((createFlags & CREATE_SUSPENDED) == 0) ::ResumeThread(thread->m_hThread);
    return thread;
}

void AfxEndThread(UINT exitCode) { throw ThreadExit{exitCode}; }
