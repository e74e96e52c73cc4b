// The operator's pop-ups, each shown at most once at a time. The caller
// writes the text first: g_messageText for the message box, g_statusText for
// the busy pop-up (and again, the result, before FinishStatusPopup).
#pragma once

// Runs the message box unless it is already up.
void ShowMessageDialog();
// Runs the busy pop-up unless it is already up; returns when it is closed, so
// the caller arms its reply timers first.
void ShowStatusPopup();
// Stops the dots and shows the finish mark with g_statusText as it is.
void FinishStatusPopup();
// Ends the busy pop-up.
void CloseStatusPopup();
// A request's last wait ran out: "Time out!" (unless a box is already up)
// and, once the box is closed, the link is free again.
void ShowTimeOut();
