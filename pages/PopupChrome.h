// What the panel's pop-up dialogs have in common besides painting: the close
// button in the title band and dragging the window by its surface (they have
// no system caption to drag by).
#pragma once

#include "controls/CIconButton.h"
#include "framework/CWnd.h"

// Turns the dialog's button `id` into the flat blue close button with the
// "Close" tooltip.
void SetUpPopupCloseButton(CIconButton& button, int id, CWnd* dialog);

// Puts the close button in the top-right corner of the client area; the
// pop-ups do it at every paint.
void PlacePopupCloseButton(CIconButton& button, const RECT& client);

// Starts a system move of `popup` from a mouse press on its surface.
void DragPopup(CWnd& popup);
