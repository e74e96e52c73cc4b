// The operator's pop-ups, each shown at most once at a time: the caller writes
// the text into g_messageText first.
#pragma once

void ShowMessageDialog();
