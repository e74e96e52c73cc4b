// The EDID page: sets a built-in EDID mode on an input or on all inputs,
// copies an output's sink EDID to them, uploads a checked EDID file, and
// lists what each input presents.
#pragma once

#include "framework/CDialog.h"

#include <string>

class CEDIDDlg : public CDialog {
public:
    CEDIDDlg();

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;

    // A received frame with a good check byte, while the page is shown.
    void HandleEdidReply(const BYTE* reply);

protected:
    void OnPaint();
    void OnSelEndOkEdidMode();
    void OnClickedSetEdidMode();
    void OnTimer(UINT_PTR id);
    void OnClickedCopyEdid();
    void OnClickedOpenEdidFile();
    void OnClickedSetEdidFromFile();
    void OnClickedStatus();

    DECLARE_MESSAGE_MAP()

private:
    // The rows of HandleEdidReply.
    void OnEdidModeReport(const BYTE* reply);
    void OnPrepareEdidAck(const BYTE* reply);
    void OnEdidDataRequest(const BYTE* reply);
    void OnEdidWriteSuccess(const BYTE* reply);
    void OnEdidWriteFailure(const BYTE* reply);

    void BuildSetEdidMode();
    void SendQuery(int input);
    void ShowEdidReport(int input, int value);
    void LoadEdidFile(const std::wstring& path);

    void SendEdidCommand();
    void PostSendRequest(WPARAM kind);
    void ArmTimer(UINT_PTR id, UINT periodMs);
    void ShowBusyPopup();
    void TimeOut();
    int Selection(int listId) const;
};
