#include "app/BeginRequest.h"

#include "app/ProcessState.h"
#include "core/RequestGate.h"
#include "pages/Popups.h"

BOOL BeginRequest() {
    LinkState link{g_controlMode, g_app.m_bComPortOpen != FALSE, g_tcpConnected != FALSE, g_linkIdle != FALSE};
    switch (RequestGate::Decide(link)) {
    case RequestVerdict::Granted:
        g_linkIdle = FALSE;
        return TRUE;
    case RequestVerdict::LinkDown:
        g_messageText = RequestGate::DownLinkText(g_controlMode);
        ShowMessageDialog();
        return FALSE;
    case RequestVerdict::Busy:
        break;
    }
    return FALSE;
}
