#include "pages/CMatrixDlg.h"

#include "app/BeginRequest.h"
#include "app/MainWindowTimers.h"
#include "app/PanelMessages.h"
#include "app/ProcessState.h"
#include "core/MatrixReply.h"
#include "framework/CWinApp.h"
#include "pages/DialogKeyFilter.h"
#include "pages/PageTimers.h"
#include "pages/Popups.h"
#include "res/resource.h"

#include <algorithm>
#include <cstring>

using MatrixRouting::IsPort;
using namespace MatrixBytes;

namespace {

constexpr std::size_t CLEARED_LENGTH = DeviceFrame::COMMAND_FRAME_LENGTH - B2;   // b2..b12

constexpr int OUTPUT_A = 1;
constexpr int OUTPUT_B = 2;
constexpr int OUTPUT_C = 3;
constexpr int OUTPUT_D = 4;

constexpr UINT ROUTE_WAIT_MS = 3000;
constexpr UINT REPLY_WAIT_MS = 7000;

struct OutputControls {
    int source;
    int inputs[MatrixRouting::PORT_COUNT];
    int previous;
    int next;
    int arcOn;
    int arcOff;
};

constexpr OutputControls OUTPUTS[MatrixRouting::PORT_COUNT] = {
    {IDC_MATRIX_A_SOURCE, {IDC_MATRIX_A_IN1, IDC_MATRIX_A_IN2, IDC_MATRIX_A_IN3, IDC_MATRIX_A_IN4},
     IDC_MATRIX_A_PREVIOUS, IDC_MATRIX_A_NEXT, IDC_MATRIX_A_ARC_ON, IDC_MATRIX_A_ARC_OFF},
    {IDC_MATRIX_B_SOURCE, {IDC_MATRIX_B_IN1, IDC_MATRIX_B_IN2, IDC_MATRIX_B_IN3, IDC_MATRIX_B_IN4},
     IDC_MATRIX_B_PREVIOUS, IDC_MATRIX_B_NEXT, IDC_MATRIX_B_ARC_ON, IDC_MATRIX_B_ARC_OFF},
    {IDC_MATRIX_C_SOURCE, {IDC_MATRIX_C_IN1, IDC_MATRIX_C_IN2, IDC_MATRIX_C_IN3, IDC_MATRIX_C_IN4},
     IDC_MATRIX_C_PREVIOUS, IDC_MATRIX_C_NEXT, IDC_MATRIX_C_ARC_ON, IDC_MATRIX_C_ARC_OFF},
    {IDC_MATRIX_D_SOURCE, {IDC_MATRIX_D_IN1, IDC_MATRIX_D_IN2, IDC_MATRIX_D_IN3, IDC_MATRIX_D_IN4},
     IDC_MATRIX_D_PREVIOUS, IDC_MATRIX_D_NEXT, IDC_MATRIX_D_ARC_ON, IDC_MATRIX_D_ARC_OFF},
};

constexpr int INPUT_BITMAPS[MatrixRouting::PORT_COUNT] = {IDB_INPUT_1, IDB_INPUT_2, IDB_INPUT_3, IDB_INPUT_4};

// Callers check the number with IsPort first.
const OutputControls& ControlsOf(int output) { return OUTPUTS[output - 1]; }

// Clears b2..b12 of the shared frame and writes a command into it.
void WriteCommandFrame(BYTE group, BYTE item, BYTE b4, BYTE b6) {
    std::memset(g_commandFrame + B2, 0, CLEARED_LENGTH);
    g_commandFrame[B2] = group;
    g_commandFrame[B2 + 1] = item;
    g_commandFrame[B4] = b4;
    g_commandFrame[B6] = b6;
}

HICON LoadStepIcon(int iconId) {
    return static_cast<HICON>(
        ::LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
}

}  // namespace

BEGIN_MESSAGE_MAP(CMatrixDlg, CDialog)
    ON_BN_CLICKED(IDC_MATRIX_A_IN1, OnClickedOutputAInput1)
    ON_BN_CLICKED(IDC_MATRIX_A_IN2, OnClickedOutputAInput2)
    ON_BN_CLICKED(IDC_MATRIX_A_IN3, OnClickedOutputAInput3)
    ON_BN_CLICKED(IDC_MATRIX_A_IN4, OnClickedOutputAInput4)
    ON_BN_CLICKED(IDC_MATRIX_B_IN1, OnClickedOutputBInput1)
    ON_BN_CLICKED(IDC_MATRIX_B_IN2, OnClickedOutputBInput2)
    ON_BN_CLICKED(IDC_MATRIX_B_IN3, OnClickedOutputBInput3)
    ON_BN_CLICKED(IDC_MATRIX_B_IN4, OnClickedOutputBInput4)
    ON_BN_CLICKED(IDC_MATRIX_C_IN1, OnClickedOutputCInput1)
    ON_BN_CLICKED(IDC_MATRIX_C_IN2, OnClickedOutputCInput2)
    ON_BN_CLICKED(IDC_MATRIX_C_IN3, OnClickedOutputCInput3)
    ON_BN_CLICKED(IDC_MATRIX_C_IN4, OnClickedOutputCInput4)
    ON_BN_CLICKED(IDC_MATRIX_D_IN1, OnClickedOutputDInput1)
    ON_BN_CLICKED(IDC_MATRIX_D_IN2, OnClickedOutputDInput2)
    ON_BN_CLICKED(IDC_MATRIX_D_IN3, OnClickedOutputDInput3)
    ON_BN_CLICKED(IDC_MATRIX_D_IN4, OnClickedOutputDInput4)
    ON_BN_CLICKED(IDC_MATRIX_A_PREVIOUS, OnClickedOutputAPrev)
    ON_BN_CLICKED(IDC_MATRIX_A_NEXT, OnClickedOutputANext)
    ON_BN_CLICKED(IDC_MATRIX_B_PREVIOUS, OnClickedOutputBPrev)
    ON_BN_CLICKED(IDC_MATRIX_B_NEXT, OnClickedOutputBNext)
    ON_BN_CLICKED(IDC_MATRIX_C_PREVIOUS, OnClickedOutputCPrev)
    ON_BN_CLICKED(IDC_MATRIX_C_NEXT, OnClickedOutputCNext)
    ON_BN_CLICKED(IDC_MATRIX_D_PREVIOUS, OnClickedOutputDPrev)
    ON_BN_CLICKED(IDC_MATRIX_D_NEXT, OnClickedOutputDNext)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CMatrixDlg::CMatrixDlg() : CDialog(IDD_MATRIX_PAGE), m_nCurrentInput{1, 1, 0, 0} {}

CMatrixDlg::~CMatrixDlg() {
    for (HBITMAP bitmap : m_inputBitmaps) {
        if (bitmap != nullptr) ::DeleteObject(bitmap);
    }
}

BOOL CMatrixDlg::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedDialogKey(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CMatrixDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int output = OUTPUT_A; output <= OUTPUT_D; ++output) {
        SetUpStepButton(m_btnPrev[output - 1], ControlsOf(output).previous, IDI_PREVIOUS_INPUT);
        SetUpStepButton(m_btnNext[output - 1], ControlsOf(output).next, IDI_NEXT_INPUT);
    }
    return TRUE;
}

void CMatrixDlg::SetUpStepButton(CIconButton& button, int id, int iconId) {
    button.SubclassDlgItem(static_cast<UINT>(id), this);
    button.SetFlatStyle(FALSE, TRUE);
    button.SetIcons(LoadStepIcon(iconId), nullptr);
}

void CMatrixDlg::OnClickedOutputAInput1() { SetRoute(OUTPUT_A, 1); }
void CMatrixDlg::OnClickedOutputAInput2() { SetRoute(OUTPUT_A, 2); }
void CMatrixDlg::OnClickedOutputAInput3() { SetRoute(OUTPUT_A, 3); }
void CMatrixDlg::OnClickedOutputAInput4() { SetRoute(OUTPUT_A, 4); }
void CMatrixDlg::OnClickedOutputBInput1() { SetRoute(OUTPUT_B, 1); }
void CMatrixDlg::OnClickedOutputBInput2() { SetRoute(OUTPUT_B, 2); }
void CMatrixDlg::OnClickedOutputBInput3() { SetRoute(OUTPUT_B, 3); }
void CMatrixDlg::OnClickedOutputBInput4() { SetRoute(OUTPUT_B, 4); }
void CMatrixDlg::OnClickedOutputCInput1() { SetRoute(OUTPUT_C, 1); }
void CMatrixDlg::OnClickedOutputCInput2() { SetRoute(OUTPUT_C, 2); }
void CMatrixDlg::OnClickedOutputCInput3() { SetRoute(OUTPUT_C, 3); }
void CMatrixDlg::OnClickedOutputCInput4() { SetRoute(OUTPUT_C, 4); }
void CMatrixDlg::OnClickedOutputDInput1() { SetRoute(OUTPUT_D, 1); }
void CMatrixDlg::OnClickedOutputDInput2() { SetRoute(OUTPUT_D, 2); }
void CMatrixDlg::OnClickedOutputDInput3() { SetRoute(OUTPUT_D, 3); }
void CMatrixDlg::OnClickedOutputDInput4() { SetRoute(OUTPUT_D, 4); }
void CMatrixDlg::OnClickedOutputAPrev() { StepRoute(OUTPUT_A, false); }
void CMatrixDlg::OnClickedOutputANext() { StepRoute(OUTPUT_A, true); }
void CMatrixDlg::OnClickedOutputBPrev() { StepRoute(OUTPUT_B, false); }
void CMatrixDlg::OnClickedOutputBNext() { StepRoute(OUTPUT_B, true); }
void CMatrixDlg::OnClickedOutputCPrev() { StepRoute(OUTPUT_C, false); }
void CMatrixDlg::OnClickedOutputCNext() { StepRoute(OUTPUT_C, true); }
void CMatrixDlg::OnClickedOutputDPrev() { StepRoute(OUTPUT_D, false); }
void CMatrixDlg::OnClickedOutputDNext() { StepRoute(OUTPUT_D, true); }

// The click has just toggled the push-like box; it is put back at once, so
// that the box keeps showing what the device last said.
void CMatrixDlg::SetRoute(int output, int input) {
    const int id = ControlsOf(output).inputs[input - 1];
    const bool checked = SendDlgItemMessage(id, BM_GETCHECK) == BST_CHECKED;
    SendDlgItemMessage(id, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED);
    if (!BeginRequest()) return;
    SendRoute(output, input, MatrixRouting::InputButtonTimer(output, input));
}

void CMatrixDlg::StepRoute(int output, bool next) {
    if (!BeginRequest()) return;
    int& current = m_nCurrentInput[static_cast<std::size_t>(output - 1)];
    if (next) {
        SendRoute(output, MatrixRouting::StepToNextInput(current), MatrixRouting::NextButtonTimer(output));
    } else {
        SendRoute(output, MatrixRouting::StepToPreviousInput(current), MatrixRouting::PreviousButtonTimer(output));
    }
}

void CMatrixDlg::SendRoute(int output, int input, unsigned timer) {
    WriteCommandFrame(GROUP_ROUTING, ITEM_SET_ROUTE, static_cast<BYTE>(input), static_cast<BYTE>(output));
    m_nRouteTimer = timer;
    SetTimer(timer, ScaledPeriod(ROUTE_WAIT_MS));
    PostSendRequest(*this, SEND_MATRIX_COMMAND);
}

void CMatrixDlg::KillRouteTimers() {
    for (unsigned id = MatrixRouting::FIRST_ROUTE_TIMER; id <= MatrixRouting::LAST_ROUTE_TIMER; ++id) KillTimer(id);
    m_nRouteTimer = 0;
}

// The page's own reply wait stops the main window's too (and the main
// window's stops this one): a chain gives the operator one "Time out!".
void CMatrixDlg::OnTimer(UINT_PTR id) {
    const auto timer = static_cast<unsigned>(id);
    if (MatrixRouting::IsFirstRouteTimer(timer)) {
        m_nRouteTimer = timer + 1;
        ResendOnce(*this, id, SEND_MATRIX_COMMAND, ROUTE_WAIT_MS);
    } else if (MatrixRouting::IsSecondRouteTimer(timer)) {
        KillTimer(id);
        m_nRouteTimer = 0;
        ShowTimeOut();
    } else if (id == TIMER_REPLY_TIMEOUT) {
        KillTimer(id);
        PostSendRequest(*this, SEND_STOP_REPLY_TIMER);
        ShowTimeOut();
    } else {
        Default();
    }
}

void CMatrixDlg::HandleMatrixReply(const BYTE* frame) {
    switch (MatchMatrixReply(frame)) {
    case MatrixReply::ArcOnAcknowledged:
        ShowArcAcknowledged(frame, true);
        break;
    case MatrixReply::ArcReportA:
        ContinueArcChain(frame);
        break;
    case MatrixReply::ArcOffAcknowledged:
        ShowArcAcknowledged(frame, false);
        break;
    case MatrixReply::ArcReportB:
    case MatrixReply::ArcReportC:
        ContinueArcChain(frame);
        break;
    case MatrixReply::ArcReportD:
        EndArcChain(frame);
        break;
    case MatrixReply::RouteAcknowledged:
        ShowRouteAcknowledged();
        break;
    case MatrixReply::RouteReport:
        ContinueRouteChain(frame);
        break;
    case MatrixReply::None:
        break;
    }
}

// The page sends no ARC command, so an ARC acknowledgement here answers none
// of its requests: it is shown, and the link stays with whatever holds it.
void CMatrixDlg::ShowArcAcknowledged(const BYTE* frame, bool on) { CheckArcBoxes(frame[B6], on); }

// A report that comes while a routing request waits answers no query of the
// page: it is shown, and the chain it would lead on stays where it is, so the
// routing request keeps its frame and its link.
void CMatrixDlg::ContinueArcChain(const BYTE* frame) {
    KillTimer(TIMER_REPLY_TIMEOUT);
    const int output = frame[B6];
    ShowArcState(output, frame[B4]);
    if (IsRouting()) return;
    SendChainQuery(GROUP_ARC, ITEM_ARC, 0, static_cast<BYTE>(output + 1));
}

void CMatrixDlg::EndArcChain(const BYTE* frame) {
    KillTimer(TIMER_REPLY_TIMEOUT);
    ShowArcState(OUTPUT_D, frame[B4]);
    if (!IsRouting()) g_linkIdle = TRUE;
}

void CMatrixDlg::ShowRouteAcknowledged() {
    KillRouteTimers();
    ShowSource(g_commandFrame[B6], g_commandFrame[B4]);
    g_linkIdle = TRUE;
}

// The report names its output in b4: that output is shown, whatever the
// page asked last.
void CMatrixDlg::ContinueRouteChain(const BYTE* frame) {
    KillTimer(TIMER_REPLY_TIMEOUT);
    const int output = frame[B4];
    ShowSource(output, frame[B6]);
    if (IsRouting()) return;
    if (output >= OUTPUT_A && output < OUTPUT_D) {
        SendChainQuery(GROUP_ROUTING, ITEM_ROUTE, static_cast<BYTE>(output + 1), 0);
    } else if (output == OUTPUT_D) {
        PostSendRequest(*this, SEND_STOP_REPLY_TIMER);
        g_linkIdle = TRUE;
    }
}

void CMatrixDlg::SendChainQuery(BYTE group, BYTE item, BYTE b4, BYTE b6) {
    WriteCommandFrame(group, item, b4, b6);
    PostSendRequest(*this, SEND_MATRIX_COMMAND);
    SetTimer(TIMER_REPLY_TIMEOUT, ScaledPeriod(REPLY_WAIT_MS));
}

void CMatrixDlg::ShowArcState(int output, BYTE state) {
    if (state == ARC_ON) CheckArcBoxes(output, true);
    if (state == ARC_OFF) CheckArcBoxes(output, false);
}

void CMatrixDlg::CheckArcBoxes(int output, bool on) {
    if (!IsPort(output)) return;
    SendDlgItemMessage(ControlsOf(output).arcOn, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessage(ControlsOf(output).arcOff, BM_SETCHECK, on ? BST_UNCHECKED : BST_CHECKED);
}

// An input or output outside 1..4 shows nothing and stores nothing.
void CMatrixDlg::ShowSource(int output, int input) {
    if (!IsPort(output) || !IsPort(input)) return;
    const HBITMAP previous = reinterpret_cast<HBITMAP>(SendDlgItemMessage(
        ControlsOf(output).source, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(InputBitmap(input))));
    // The template's own picture is the only one the page does not keep.
    if (previous != nullptr && std::find(m_inputBitmaps.begin(), m_inputBitmaps.end(), previous) == m_inputBitmaps.end())
        ::DeleteObject(previous);
    SetOutputSource(static_cast<BYTE>(input), static_cast<BYTE>(output));
}

HBITMAP CMatrixDlg::InputBitmap(int input) {
    HBITMAP& bitmap = m_inputBitmaps[static_cast<std::size_t>(input - 1)];
    if (bitmap == nullptr) {
        bitmap = static_cast<HBITMAP>(::LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(INPUT_BITMAPS[input - 1]),
                                                   IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    }
    return bitmap;
}

void CMatrixDlg::SetOutputSource(BYTE input, BYTE output) {
    if (!IsPort(output)) return;
    m_nCurrentInput[static_cast<std::size_t>(output - 1)] = input;
    if (!IsPort(input)) return;
    const OutputControls& controls = ControlsOf(output);
    for (int i = 1; i <= MatrixRouting::PORT_COUNT; ++i) {
        SendDlgItemMessage(controls.inputs[i - 1], BM_SETCHECK, i == input ? BST_CHECKED : BST_UNCHECKED);
    }
}
