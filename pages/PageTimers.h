// What the pages' requests share: the hand-over of a frame to the main
// window and the resend after a first wait (ShowTimeOut ends the last).
// Their waits are armed with ScaledPeriod, like the main window's.
#pragma once

#include "framework/CWnd.h"

// Asks the page's main window (its parent) to send the buffer of `sendKind`.
void PostSendRequest(const CWnd& page, WPARAM sendKind);

// The first wait of a request ran out: the frame in g_commandFrame goes out
// once more and the second wait, `expired` + 1, starts.
void ResendOnce(CWnd& page, UINT_PTR expired, WPARAM sendKind, UINT periodMs);
