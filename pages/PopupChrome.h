// What the panel's pop-up dialogs have in common: the painted frame and title
// band, the close button in that band and dragging the window by its surface
// (they have no system caption to drag by).
#pragma once

#include "controls/CIconButton.h"
#include "framework/CWnd.h"
#include "pages/GdiPlusSurface.h"

#include <cstdint>

// A flat blue caption button: its icon while hovered or pressed, its icon
// otherwise (resource ids) and its tooltip.
struct CaptionButtonLook {
    int hoverIconId;
    int normalIconId;
    const wchar_t* tooltip;
};

// Turns the dialog's button `id` into a flat blue caption button.
void SetUpCaptionButton(CIconButton& button, int id, CWnd* dialog, const CaptionButtonLook& look);

// Turns the dialog's button `id` into the flat blue close button with the
// "Close" tooltip.
void SetUpPopupCloseButton(CIconButton& button, int id, CWnd* dialog);

// Puts the close button in the top-right corner of the client area; the
// pop-ups do it at every paint.
void PlacePopupCloseButton(CIconButton& button, const RECT& client);

// Starts a system move of `popup` from a mouse press on its surface.
void DragPopup(CWnd& popup);

// Height of the blue title band below the top edge line.
constexpr int POPUP_TITLE_HEIGHT = 25;

// Paints the one-pixel frame (`borderArgb`, half transparent), the blue title
// band and its edge lines of a pop-up `width` x `height` pixels large.
void PaintPopupTitleBand(GdiPlusSurface& surface, int width, int height, std::uint32_t borderArgb);
