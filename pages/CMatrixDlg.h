// The Matrix page: shows which input feeds each output and its ARC state,
// and routes any output to any input. Only the device's answers change what
// it shows.
#pragma once

#include "controls/CIconButton.h"
#include "core/MatrixRouting.h"
#include "framework/CDialog.h"

#include <array>

class CMatrixDlg : public CDialog {
public:
    CMatrixDlg();
    ~CMatrixDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;

    // One received frame whose check byte is right, while the page is shown.
    void HandleMatrixReply(const BYTE* frame);
    // Shows `input` as the source of `output` in the output's IN buttons and
    // stores it; an output outside A..D changes nothing.
    void SetOutputSource(BYTE input, BYTE output);

    std::array<CIconButton, MatrixRouting::PORT_COUNT> m_btnPrev;
    std::array<CIconButton, MatrixRouting::PORT_COUNT> m_btnNext;
    // Per output A..D: the input last acknowledged or reported, 0 for none
    // yet; the previous and next buttons leave 5 or 0 here when they wrap.
    std::array<int, MatrixRouting::PORT_COUNT> m_nCurrentInput;

protected:
    void OnClickedOutputAInput1();
    void OnClickedOutputAInput2();
    void OnClickedOutputAInput3();
    void OnClickedOutputAInput4();
    void OnClickedOutputBInput1();
    void OnClickedOutputBInput2();
    void OnClickedOutputBInput3();
    void OnClickedOutputBInput4();
    void OnClickedOutputCInput1();
    void OnClickedOutputCInput2();
    void OnClickedOutputCInput3();
    void OnClickedOutputCInput4();
    void OnClickedOutputDInput1();
    void OnClickedOutputDInput2();
    void OnClickedOutputDInput3();
    void OnClickedOutputDInput4();
    void OnClickedOutputAPrev();
    void OnClickedOutputANext();
    void OnClickedOutputBPrev();
    void OnClickedOutputBNext();
    void OnClickedOutputCPrev();
    void OnClickedOutputCNext();
    void OnClickedOutputDPrev();
    void OnClickedOutputDNext();
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()

private:
    void SetUpStepButton(CIconButton& button, int id, int iconId);
    // Routing requests: an IN button, or a previous or next button.
    void SetRoute(int output, int input);
    void StepRoute(int output, bool next);
    void SendRoute(int output, int input, unsigned timer);
    bool IsRouting() const { return m_nRouteTimer != 0; }
    void KillRouteTimers();

    // The rows of the reply table.
    void ShowArcAcknowledged(const BYTE* frame, bool on);
    void ContinueArcChain(const BYTE* frame);
    void EndArcChain(const BYTE* frame);
    void ShowRouteAcknowledged();
    void ContinueRouteChain(const BYTE* frame);

    void SendChainQuery(BYTE group, BYTE item, BYTE b4, BYTE b6);
    void ShowArcState(int output, BYTE state);
    void CheckArcBoxes(int output, bool on);
    void ShowSource(int output, int input);
    HBITMAP InputBitmap(int input);

    // The first or second routing timer that runs, 0 when none does: while
    // one runs, g_commandFrame holds the routing request its resend and its
    // acknowledgement rely on.
    unsigned m_nRouteTimer = 0;
    std::array<HBITMAP, MatrixRouting::PORT_COUNT> m_inputBitmaps{};
};
