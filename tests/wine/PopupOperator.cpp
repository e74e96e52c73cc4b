#include "tests/wine/PopupOperator.h"

#include "app/ProcessState.h"
#include "res/resource.h"
#include "tests/wine/TestTimings.h"

#include <algorithm>
#include <iterator>

namespace {

// How often the operator looks at the pop-ups.
constexpr UINT WATCH_PERIOD_MS = 10;
// The file name field of the system's open-file dialog: an edit, or a combo
// box holding one.
constexpr int FILE_NAME_EDIT = 1152;
constexpr int FILE_NAME_COMBO = 1148;
constexpr int CLASS_NAME_CAPACITY = 16;

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t className[CLASS_NAME_CAPACITY] = {};
    ::GetClassNameW(window, className, static_cast<int>(std::size(className)));
    return std::wstring(className) == name;
}

BOOL CALLBACK TakeFileDialog(HWND window, LPARAM found) {
    if (!HasClass(window, L"#32770") || !::IsWindowVisible(window)) return TRUE;
    if (::GetDlgItem(window, FILE_NAME_EDIT) == nullptr && ::GetDlgItem(window, FILE_NAME_COMBO) == nullptr)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND FindFileDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), TakeFileDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

BOOL CALLBACK TakeEdit(HWND window, LPARAM found) {
    if (!HasClass(window, L"Edit")) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The combo box may be an extended one, its edit then two levels down.
HWND FileNameField(HWND dialog) {
    HWND edit = ::GetDlgItem(dialog, FILE_NAME_EDIT);
    if (edit != nullptr && ::IsWindowVisible(edit)) return edit;
    HWND found = nullptr;
    ::EnumChildWindows(::GetDlgItem(dialog, FILE_NAME_COMBO), TakeEdit, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

PopupOperator* PopupOperator::s_looking = nullptr;

PopupOperator::~PopupOperator() { Stop(); }

void PopupOperator::Start() {
    Stop();
    Forget();
    m_answer = IDOK;
    m_boxHoldMs = 0;
    s_looking = this;
    m_timer = ::SetTimer(nullptr, 0, WATCH_PERIOD_MS, &OnWatchTimer);
}

void PopupOperator::Stop() {
    if (m_timer != 0) ::KillTimer(nullptr, m_timer);
    m_timer = 0;
    if (s_looking == this) s_looking = nullptr;
}

void PopupOperator::Forget() {
    m_boxSeenAt = 0;
    m_filePath.reset();
    m_fileAnswered = false;
    m_steps.clear();
    m_statuses.clear();
    m_busyClosedAt = 0;
    m_messages.clear();
    m_busyUnderMessage = false;
    m_lastClosedAt = 0;
}

void CALLBACK PopupOperator::OnWatchTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (s_looking != nullptr) s_looking->Look();
}

void PopupOperator::Look() {
    NoteBusyPopup();
    AnswerMessageBox();
    AnswerFileDialogIfUp();
    RunReadyStep();
}

bool PopupOperator::IsUp(const CWnd& window) { return window.m_hWnd != nullptr && ::IsWindowVisible(window.m_hWnd); }

void PopupOperator::NoteBusyPopup() {
    if (!IsUp(g_statusDlg)) {
        if (BusyPopupSeen() && m_busyClosedAt == 0) m_busyClosedAt = UnixNow();
        return;
    }
    const std::wstring text = g_statusDlg.GetDlgItemText(IDC_STATUS_TEXT);
    if (m_statuses.empty() || m_statuses.back().text != text)
        m_statuses.push_back({UnixNow(), text, g_linkIdle != FALSE});
}

void PopupOperator::AnswerMessageBox() {
    if (m_answer == LEAVE_UP) return;
    if (!IsUp(g_messageDlg)) {
        m_boxSeenAt = 0;
        return;
    }
    const ULONGLONG now = ::GetTickCount64();
    if (m_boxSeenAt == 0) m_boxSeenAt = now;
    if (now - m_boxSeenAt < m_boxHoldMs) return;
    m_boxSeenAt = 0;
    m_messages.push_back(g_messageText);
    if (IsUp(g_statusDlg)) m_busyUnderMessage = true;
    m_lastClosedAt = UnixNow();
    const int button = m_answer == IDOK ? IDC_MESSAGE_OK : IDC_MESSAGE_CANCEL;
    ::SendMessageW(g_messageDlg.GetDlgItem(button), BM_CLICK, 0, 0);
}

void PopupOperator::AnswerFileDialog(const std::wstring& path) {
    m_filePath = path;
    m_fileAnswered = false;
}

bool PopupOperator::FileDialogAnswered() const { return m_fileAnswered && FindFileDialog() == nullptr; }

// Posted: the dialog ends in its own loop, after this look.
void PopupOperator::AnswerFileDialogIfUp() {
    if (!m_filePath) return;
    const HWND dialog = FindFileDialog();
    if (dialog == nullptr) return;
    int button = IDCANCEL;
    if (!m_filePath->empty()) {
        ::SetWindowTextW(FileNameField(dialog), m_filePath->c_str());
        button = IDOK;
    }
    ::PostMessageW(::GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    m_filePath.reset();
    m_fileAnswered = true;
}

void PopupOperator::When(std::function<bool()> ready, std::function<void()> act) {
    m_steps.push_back({std::move(ready), std::move(act)});
}

void PopupOperator::WhenShown(const CWnd& window, std::function<void()> act) {
    When([&window] { return IsUp(window); }, std::move(act));
}

// Taken off the queue before it runs: a step may run a modal loop, in which
// the operator looks again.
void PopupOperator::RunReadyStep() {
    const auto ready = std::find_if(m_steps.begin(), m_steps.end(), [](const Step& step) { return step.ready(); });
    if (ready == m_steps.end()) return;
    const std::function<void()> act = std::move(ready->act);
    m_steps.erase(ready);
    act();
}

std::vector<std::wstring> PopupOperator::StatusTexts() const {
    std::vector<std::wstring> texts;
    for (const StatusSighting& sighting : m_statuses) texts.push_back(sighting.text);
    return texts;
}

std::optional<StatusSighting> PopupOperator::FirstStatus(const std::wstring& text) const {
    for (const StatusSighting& sighting : m_statuses) {
        if (sighting.text == text) return sighting;
    }
    return std::nullopt;
}

bool PopupOperator::LinkHeldUntil(const std::wstring& text) const {
    for (const StatusSighting& sighting : m_statuses) {
        if (sighting.text == text) return true;
        if (sighting.linkIdle) return false;
    }
    return false;
}
