// The operator at the panel's pop-ups while a test runs. It looks from a
// timer of the test thread, so also from inside every modal loop: it notes
// each text the busy pop-up shows, answers each message box and keeps its
// text, answers the system's file dialog when told what to pick, and runs the
// test's steps, each once its condition holds. One operator looks at a time.
#pragma once

#include "framework/CWnd.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A text the busy pop-up showed: from when (Unix seconds), and whether the
// link was idle then.
struct StatusSighting {
    double time;
    std::wstring text;
    bool linkIdle;
};

class PopupOperator {
public:
    // Message boxes stay up for the test's own steps.
    static constexpr int LEAVE_UP = 0;

    PopupOperator() = default;
    ~PopupOperator();
    PopupOperator(const PopupOperator&) = delete;
    PopupOperator& operator=(const PopupOperator&) = delete;

    // Starts looking with nothing seen, message boxes answered with Ok at
    // once; Stop ends it.
    void Start();
    void Stop();
    // Forgets what was seen and the steps not yet run.
    void Forget();
    // Looks once now, as the timer does.
    void Look();

    // IDOK, IDCANCEL or LEAVE_UP; how long a box stays up before its answer.
    void AnswerBoxesWith(int button) { m_answer = button; }
    void HoldBoxesFor(DWORD periodMs) { m_boxHoldMs = periodMs; }
    // The next file dialog's answer: `path` typed and opened, or Cancel when
    // it is empty. Answered once the dialog has come and gone.
    void AnswerFileDialog(const std::wstring& path);
    bool FileDialogAnswered() const;

    // Runs `act` once `ready` holds. One step runs a look, the earliest
    // ready, after the messages the step before it posted.
    void When(std::function<bool()> ready, std::function<void()> act);
    void WhenShown(const CWnd& window, std::function<void()> act);
    bool StepsDone() const { return m_steps.empty(); }

    // The busy pop-up's texts in order, each change once.
    std::vector<std::wstring> StatusTexts() const;
    std::optional<StatusSighting> FirstStatus(const std::wstring& text) const;
    // The link stayed taken from the pop-up's first text until it showed `text`.
    bool LinkHeldUntil(const std::wstring& text) const;
    bool BusyPopupSeen() const { return !m_statuses.empty(); }
    // When (Unix seconds) the busy pop-up was first seen gone after it showed; 0 before.
    double BusyPopupClosedAt() const { return m_busyClosedAt; }

    // The message boxes' texts in order.
    const std::vector<std::wstring>& Messages() const { return m_messages; }
    bool BusyPopupUnderMessage() const { return m_busyUnderMessage; }
    // When (Unix seconds) the last message box was answered.
    double LastMessageClosedAt() const { return m_lastClosedAt; }

    static bool IsUp(const CWnd& window);

private:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };

    static void CALLBACK OnWatchTimer(HWND, UINT, UINT_PTR, DWORD);
    void NoteBusyPopup();
    void AnswerMessageBox();
    void AnswerFileDialogIfUp();
    void RunReadyStep();

    static PopupOperator* s_looking;
    UINT_PTR m_timer = 0;
    int m_answer = IDOK;
    DWORD m_boxHoldMs = 0;
    ULONGLONG m_boxSeenAt = 0;
    std::optional<std::wstring> m_filePath;
    bool m_fileAnswered = false;
    std::deque<Step> m_steps;
    std::vector<StatusSighting> m_statuses;
    double m_busyClosedAt = 0;
    std::vector<std::wstring> m_messages;
    bool m_busyUnderMessage = false;
    double m_lastClosedAt = 0;
};
