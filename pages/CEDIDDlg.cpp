#include "pages/CEDIDDlg.h"

#include "app/BeginRequest.h"
#include "app/MainWindowTimers.h"
#include "app/PanelMessages.h"
#include "app/PanelTexts.h"
#include "app/ProcessState.h"
#include "core/CommandFrameBytes.h"
#include "core/EdidFile.h"
#include "core/EdidModeNames.h"
#include "framework/CFileDialog.h"
#include "pages/DialogKeyFilter.h"
#include "pages/PageTimers.h"
#include "pages/Popups.h"
#include "res/resource.h"

#include <array>
#include <memory>
#include <optional>

namespace {

using namespace CommandFrameBytes;

constexpr UINT_PTR TIMER_EDID_SUCCESS = 1004;
constexpr UINT_PTR TIMER_EDID_POPUP_CLOSE = 1005;
constexpr UINT_PTR TIMER_EDID_BLOCK_DELAY = 2510;
// Two per input: the first wait (resend on expiry) and the second.
constexpr UINT_PTR TIMER_EDID_QUERY = 2511;
constexpr UINT_PTR TIMER_EDID_QUERY_LAST = 2518;

constexpr UINT REPLY_TIMEOUT_MS = 7000;
constexpr UINT SUCCESS_HOLD_MS = 6000;
constexpr UINT POPUP_CLOSE_MS = 900;
constexpr UINT BLOCK_DELAY_MS = 100;
constexpr UINT QUERY_WAIT_MS = 3000;

constexpr wchar_t NO_VALID_DATA_TEXT[] = L"Can't find the valid data!";
constexpr wchar_t BAD_FILE_TEXT[] = L"Bad EDID file!";

constexpr wchar_t FILE_EXTENSION[] = L"BIN";
constexpr wchar_t FILE_FILTER[] = L"Binary file(*.BIN)|*.BIN||";
constexpr DWORD FILE_DIALOG_FLAGS = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

constexpr std::array<const wchar_t*, 5> INPUT_TARGETS = {L"IN1", L"IN2", L"IN3", L"IN4", L"All Input"};
constexpr std::array<const wchar_t*, 4> OUTPUT_SOURCES = {L"HDMI OUTA", L"HDMI OUTB", L"HDMI OUTC", L"HDMI OUTD"};
constexpr int INPUT_COUNT = 4;
// The list entry after the four inputs.
constexpr int ALL_INPUTS = 5;

constexpr BYTE EDID_MARK = 0xF0;
constexpr BYTE FILE_UPLOAD_MARK = 0xBB;
constexpr BYTE ALL_INPUTS_WRITE = 0xFE;
constexpr BYTE DATA_HEADER = 0x56;
constexpr BYTE DATA_HEADER_B7 = 0x01;
constexpr BYTE DATA_REQUEST = 0xAA;
constexpr BYTE RESULT_SUCCESS = 0x00;
constexpr BYTE RESULT_FAILURE = 0x0F;

// CB_INSERTSTRING at this index appends.
constexpr int LIST_END = -1;

bool IsInput(int value) { return value >= 1 && value <= INPUT_COUNT; }

UINT_PTR FirstQueryTimer(int input) { return TIMER_EDID_QUERY + 2 * static_cast<UINT_PTR>(input - 1); }

bool IsFirstQueryTimer(UINT_PTR id) {
    return id >= TIMER_EDID_QUERY && id <= TIMER_EDID_QUERY_LAST && (id - TIMER_EDID_QUERY) % 2 == 0;
}

bool IsSecondQueryTimer(UINT_PTR id) {
    return id > TIMER_EDID_QUERY && id <= TIMER_EDID_QUERY_LAST && (id - TIMER_EDID_QUERY) % 2 == 1;
}

// Matches of HandleEdidReply: r is the received frame, s the frame last sent.
bool IsEdidModeReport(const BYTE* r, const BYTE*) { return r[B2] == GROUP_QUERY && r[B3] == ITEM_EDID_MODE; }

bool IsPrepareEdidAck(const BYTE* r, const BYTE*) {
    return r[B2] == GROUP_EDID && r[B3] == ITEM_PREPARE_EDID && r[B4] == RESULT_SUCCESS;
}

bool IsEdidDataRequest(const BYTE* r, const BYTE* s) {
    return r[B2] == GROUP_EDID && r[B3] == s[B3] && r[B4] == DATA_REQUEST && r[B5] == 0x00;
}

bool IsEdidWriteResult(const BYTE* r, const BYTE* s, BYTE result) {
    return r[B2] == GROUP_EDID && r[B3] == s[B3] && r[B4] == result && r[B5] == 0x00 && r[B6] == s[B6] &&
           r[B7] == s[B7];
}

bool IsEdidWriteSuccess(const BYTE* r, const BYTE* s) { return IsEdidWriteResult(r, s, RESULT_SUCCESS); }

bool IsEdidWriteFailure(const BYTE* r, const BYTE* s) { return IsEdidWriteResult(r, s, RESULT_FAILURE); }

// A report goes on with the query chain only when it answers the query last
// sent while the chain holds the link; any other report (a late one after a
// time-out, one sent unasked during a setting) only updates the list, so it
// cannot overwrite the frame of a request under way or send without the link.
bool AnswersLastQuery(int input) {
    return !g_linkIdle && g_commandFrame[B2] == GROUP_QUERY && g_commandFrame[B3] == ITEM_EDID_MODE &&
           g_commandFrame[B4] == input;
}

// The upload's own announcement is the frame last sent and its request still
// holds the link.
bool AwaitsPrepareEdidAck() {
    return !g_linkIdle && g_commandFrame[B2] == GROUP_EDID && g_commandFrame[B3] == ITEM_PREPARE_EDID &&
           g_commandFrame[B10] == FILE_UPLOAD_MARK;
}

void ClearCommand(BYTE group, BYTE item) { DeviceFrame::BuildCommandFrame(g_commandFrame, group, item); }

// Reads a piece of an open file: the byte count, 0 at its end, -1 on failure.
long ReadPiece(HANDLE file, std::uint8_t* buffer, std::size_t count) {
    DWORD read = 0;
    if (!::ReadFile(file, buffer, static_cast<DWORD>(count), &read, nullptr)) return -1;
    return static_cast<long>(read);
}

}  // namespace

BEGIN_MESSAGE_MAP(CEDIDDlg, CDialog)
    ON_WM_PAINT()
    ON_CBN_SELENDOK(IDC_EDID_PAGE_MODE, OnSelEndOkEdidMode)
    ON_BN_CLICKED(IDC_EDID_PAGE_MODE_SET, OnClickedSetEdidMode)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_EDID_PAGE_COPY_SET, OnClickedCopyEdid)
    ON_BN_CLICKED(IDC_EDID_PAGE_FILE_OPEN, OnClickedOpenEdidFile)
    ON_BN_CLICKED(IDC_EDID_PAGE_FILE_SET, OnClickedSetEdidFromFile)
    ON_BN_CLICKED(IDC_EDID_PAGE_STATUS, OnClickedStatus)
END_MESSAGE_MAP()

CEDIDDlg::CEDIDDlg() : CDialog(IDD_EDID_PAGE) {}

BOOL CEDIDDlg::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedDialogKey(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

// Our resource compiler gives combo boxes no initial items, so the fixed
// target and source lists are filled here with the mode list.
BOOL CEDIDDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const auto fill = [this](int listId, const auto& texts) {
        for (const wchar_t* text : texts)
            SendDlgItemMessage(listId, CB_INSERTSTRING, static_cast<WPARAM>(LIST_END),
                               reinterpret_cast<LPARAM>(text));
        SendDlgItemMessage(listId, CB_SETCURSEL, 0);
    };
    fill(IDC_EDID_PAGE_MODE, EdidModeNames::EDID_MODE_NAMES);
    fill(IDC_EDID_PAGE_MODE_TARGET, INPUT_TARGETS);
    fill(IDC_EDID_PAGE_COPY_SOURCE, OUTPUT_SOURCES);
    fill(IDC_EDID_PAGE_COPY_TARGET, INPUT_TARGETS);
    fill(IDC_EDID_PAGE_FILE_TARGET, INPUT_TARGETS);
    return TRUE;
}

void CEDIDDlg::OnPaint() {
    PAINTSTRUCT paint{};
    ::BeginPaint(m_hWnd, &paint);
    ::EndPaint(m_hWnd, &paint);
}

void CEDIDDlg::OnSelEndOkEdidMode() {}

void CEDIDDlg::OnClickedSetEdidMode() {
    if (!BeginRequest()) return;
    BuildSetEdidMode();
    SendEdidCommand();
    ArmTimer(TIMER_REPLY_TIMEOUT, REPLY_TIMEOUT_MS);
    ShowBusyPopup();
}

void CEDIDDlg::OnClickedCopyEdid() {
    if (!BeginRequest()) return;
    ClearCommand(GROUP_EDID, ITEM_COPY_EDID);
    g_commandFrame[B4] = static_cast<BYTE>(Selection(IDC_EDID_PAGE_COPY_SOURCE) + 1);
    g_commandFrame[B6] = static_cast<BYTE>(Selection(IDC_EDID_PAGE_COPY_TARGET) + 1);
    if (g_commandFrame[B6] == ALL_INPUTS) {
        g_commandFrame[B3] = ITEM_COPY_EDID_ALL;
        g_commandFrame[B6] = 0x00;
    }
    SendEdidCommand();
    ArmTimer(TIMER_REPLY_TIMEOUT, REPLY_TIMEOUT_MS);
    ShowBusyPopup();
}

// Takes no link and sends nothing; the upload itself starts with the row's
// "Set".
void CEDIDDlg::OnClickedOpenEdidFile() {
    if (!g_linkIdle) return;
    CFileDialog dialog(TRUE, FILE_EXTENSION, nullptr, FILE_DIALOG_FLAGS, FILE_FILTER, m_hWnd);
    if (dialog.DoModal() != IDOK) return;
    LoadEdidFile(dialog.GetPathName());
}

// The file is read into a buffer of its own and reaches g_edidBlock and the
// path box only once it has passed every check: a rejected file never goes
// up under the path of the last accepted one. A file that cannot be opened
// (missing, or held by a program that shares it with no one) is passed over
// without a word; one another program is writing is read, with the bound.
void CEDIDDlg::LoadEdidFile(const std::wstring& path) {
    const HANDLE opened = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return;
    std::optional<EdidFile::Content> content;
    {
        const std::unique_ptr<void, decltype(&::CloseHandle)> file(opened, &::CloseHandle);
        content = EdidFile::Load(
            [opened](std::uint8_t* buffer, std::size_t count) { return ReadPiece(opened, buffer, count); });
    }
    if (!content) {
        g_messageText = BAD_FILE_TEXT;
        ShowMessageDialog();
        return;
    }
    DeviceFrame::BuildEdidBlock(g_edidBlock, content->bytes.data(), content->length);
    SetDlgItemText(IDC_EDID_PAGE_FILE_PATH, path);
}

void CEDIDDlg::OnClickedSetEdidFromFile() {
    if (!BeginRequest()) return;
    if (GetDlgItemText(IDC_EDID_PAGE_FILE_PATH).empty()) {
        g_linkIdle = TRUE;
        return;
    }
    ClearCommand(GROUP_EDID, ITEM_PREPARE_EDID);
    g_commandFrame[B4] = EDID_MARK;
    g_commandFrame[B10] = FILE_UPLOAD_MARK;
    ArmTimer(TIMER_REPLY_TIMEOUT, REPLY_TIMEOUT_MS);
    SendEdidCommand();
    ShowBusyPopup();
}

void CEDIDDlg::OnClickedStatus() {
    if (!BeginRequest()) return;
    SendQuery(1);
}

void CEDIDDlg::HandleEdidReply(const BYTE* reply) {
    struct Row {
        bool (*matches)(const BYTE* reply, const BYTE* sent);
        void (CEDIDDlg::*act)(const BYTE* reply);
        // The next rows are tested as well, against the frame this row sent.
        bool goesOn;
    };
    static const Row rows[] = {
        {IsEdidModeReport, &CEDIDDlg::OnEdidModeReport, false},
        {IsPrepareEdidAck, &CEDIDDlg::OnPrepareEdidAck, false},
        {IsEdidDataRequest, &CEDIDDlg::OnEdidDataRequest, true},
        {IsEdidWriteSuccess, &CEDIDDlg::OnEdidWriteSuccess, false},
        {IsEdidWriteFailure, &CEDIDDlg::OnEdidWriteFailure, false},
    };
    for (const Row& row : rows) {
        if (!row.matches(reply, g_commandFrame)) continue;
        (this->*row.act)(reply);
        if (!row.goesOn) return;
    }
}

void CEDIDDlg::OnEdidModeReport(const BYTE* reply) {
    const int input = reply[B4];
    if (!IsInput(input)) return;
    const bool answersQuery = AnswersLastQuery(input);
    if (answersQuery) {
        // The first report also ends the main window's wait for the query
        // it sent on showing the page.
        if (input == 1) PostSendRequest(*this, SEND_STOP_REPLY_TIMER);
        KillTimer(FirstQueryTimer(input));
        KillTimer(FirstQueryTimer(input) + 1);
    }
    ShowEdidReport(input, reply[B6]);
    if (!answersQuery) return;
    if (input < INPUT_COUNT) {
        SendQuery(input + 1);
        return;
    }
    CloseStatusPopup();
    g_linkIdle = TRUE;
}

void CEDIDDlg::ShowEdidReport(int input, int value) {
    const std::optional<const wchar_t*> text = EdidModeNames::ReportText(value);
    if (text) SetDlgItemText(IDC_EDID_PAGE_INPUT_1 + input - 1, *text);
}

void CEDIDDlg::SendQuery(int input) {
    ClearCommand(GROUP_QUERY, ITEM_EDID_MODE);
    g_commandFrame[B4] = static_cast<BYTE>(input);
    ArmTimer(FirstQueryTimer(input), QUERY_WAIT_MS);
    SendEdidCommand();
}

// The device is ready for the upload: it announces its target now. Any other
// acknowledgement (late, after the upload timed out, or repeated) answers
// nothing this page waits for and must not send on its own.
void CEDIDDlg::OnPrepareEdidAck(const BYTE*) {
    if (!AwaitsPrepareEdidAck()) return;
    ClearCommand(GROUP_EDID, ITEM_WRITE_EDID);
    g_commandFrame[B5] = EDID_MARK;
    g_commandFrame[B4] = static_cast<BYTE>(Selection(IDC_EDID_PAGE_FILE_TARGET) + 1);
    if (g_commandFrame[B4] == ALL_INPUTS) {
        g_commandFrame[B3] = ITEM_WRITE_EDID_ALL;
        g_commandFrame[B4] = ALL_INPUTS_WRITE;
        g_commandFrame[B6] = 0x00;
    }
    SendEdidCommand();
}

void CEDIDDlg::OnEdidDataRequest(const BYTE*) {
    ClearCommand(GROUP_EDID, ITEM_WRITE_EDID);
    g_commandFrame[B4] = DATA_HEADER;
    g_commandFrame[B7] = DATA_HEADER_B7;
    if (Selection(IDC_EDID_PAGE_FILE_TARGET) + 1 == ALL_INPUTS) g_commandFrame[B3] = ITEM_WRITE_EDID_ALL;
    SendEdidCommand();
    ArmTimer(TIMER_EDID_BLOCK_DELAY, BLOCK_DELAY_MS);
}

// The link stays taken and the dots keep turning until the hold ends.
void CEDIDDlg::OnEdidWriteSuccess(const BYTE*) {
    KillTimer(TIMER_REPLY_TIMEOUT);
    KillTimer(TIMER_EDID_BLOCK_DELAY);
    ArmTimer(TIMER_EDID_SUCCESS, SUCCESS_HOLD_MS);
}

void CEDIDDlg::OnEdidWriteFailure(const BYTE*) {
    KillTimer(TIMER_REPLY_TIMEOUT);
    KillTimer(TIMER_EDID_BLOCK_DELAY);
    g_statusText = NO_VALID_DATA_TEXT;
    FinishStatusPopup();
    ArmTimer(TIMER_EDID_POPUP_CLOSE, POPUP_CLOSE_MS);
    g_linkIdle = TRUE;
}

void CEDIDDlg::OnTimer(UINT_PTR id) {
    if (IsFirstQueryTimer(id)) {
        ResendOnce(*this, id, SEND_EDID_COMMAND, QUERY_WAIT_MS);
    } else if (IsSecondQueryTimer(id)) {
        KillTimer(id);
        TimeOut();
    } else if (id == TIMER_EDID_BLOCK_DELAY) {
        KillTimer(id);
        PostSendRequest(*this, SEND_EDID_BLOCK);
    } else if (id == TIMER_EDID_SUCCESS) {
        KillTimer(id);
        g_statusText = TEXT_SET_SUCCESSFULLY;
        FinishStatusPopup();
        ArmTimer(TIMER_EDID_POPUP_CLOSE, POPUP_CLOSE_MS);
        g_linkIdle = TRUE;
    } else if (id == TIMER_EDID_POPUP_CLOSE) {
        KillTimer(id);
        CloseStatusPopup();
    } else if (id == TIMER_REPLY_TIMEOUT) {
        KillTimer(id);
        KillTimer(TIMER_EDID_BLOCK_DELAY);
        TimeOut();
    } else {
        Default();
    }
}

// One time-out per request: the main window's wait for the first query of
// the page ends with this one, so a second "Time out!" cannot free the link
// under a request started after the first.
void CEDIDDlg::TimeOut() {
    CloseStatusPopup();
    PostSendRequest(*this, SEND_STOP_REPLY_TIMER);
    ShowTimeOut();
}

void CEDIDDlg::BuildSetEdidMode() {
    ClearCommand(GROUP_EDID, ITEM_SET_EDID_MODE);
    g_commandFrame[B4] = static_cast<BYTE>(Selection(IDC_EDID_PAGE_MODE) + 1);
    g_commandFrame[B5] = EDID_MARK;
    g_commandFrame[B6] = static_cast<BYTE>(Selection(IDC_EDID_PAGE_MODE_TARGET) + 1);
    if (g_commandFrame[B6] == ALL_INPUTS) {
        g_commandFrame[B3] = ITEM_SET_EDID_MODE_ALL;
        g_commandFrame[B6] = 0x00;
    }
}

void CEDIDDlg::SendEdidCommand() { PostSendRequest(*this, SEND_EDID_COMMAND); }

void CEDIDDlg::ArmTimer(UINT_PTR id, UINT periodMs) { SetTimer(id, ScaledPeriod(periodMs)); }

void CEDIDDlg::ShowBusyPopup() {
    g_statusText = TEXT_SETTING;
    ShowStatusPopup();
}

int CEDIDDlg::Selection(int listId) const { return static_cast<int>(SendDlgItemMessage(listId, CB_GETCURSEL)); }
