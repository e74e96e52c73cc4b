// What the pages' requests share: the hand-over of a frame to the main
// window, the periods of their waits, the resend after a first wait and the
// "Time out!" after the last.
#pragma once

#include "framework/CWnd.h"

// Asks the page's main window (its parent) to send the buffer of `sendKind`.
void PostSendRequest(const CWnd& page, WPARAM sendKind);

// Every period a page waits passes through here: tests shorten them all at
// once with SetPagePeriodScale; the panel runs them as given (scale 1).
UINT PagePeriod(UINT milliseconds);
void SetPagePeriodScale(double scale);

// The first wait of a request ran out: the frame in g_commandFrame goes out
// once more and the second wait, `expired` + 1, starts.
void ResendOnce(CWnd& page, UINT_PTR expired, WPARAM sendKind, UINT periodMs);

// The last wait ran out: the operator is told (unless the box is already
// up) and, once the box is closed, the link is free again.
void ReportTimeOut();
