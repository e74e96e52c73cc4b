#include "pages/PopupChrome.h"

#include "core/PanelColors.h"
#include "framework/CWinApp.h"
#include "res/resource.h"

namespace {
constexpr UINT SC_DRAG_MOVE = SC_MOVE | HTCAPTION;
constexpr int CLOSE_RIGHT_OFFSET = 26;
constexpr int CLOSE_TOP_OFFSET = 1;
constexpr int CLOSE_SIZE = 25;
constexpr std::uint32_t TITLE_ARGB = 0xFF1E90E1;
constexpr std::uint32_t TITLE_LINE_ARGB = 0xFF1E78FF;

HICON LoadPanelIcon(int id) {
    return static_cast<HICON>(
        ::LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
}
}  // namespace

void SetUpPopupCloseButton(CIconButton& button, int id, CWnd* dialog) {
    SetUpCaptionButton(button, id, dialog, {IDI_CLOSE_ACTIVE, IDI_CLOSE_NORMAL, L"Close"});
}

void SetUpCaptionButton(CIconButton& button, int id, CWnd* dialog, const CaptionButtonLook& look) {
    button.SubclassDlgItem(id, dialog);
    button.SetHoverBorder(FALSE, TRUE);
    button.SetIcons(LoadPanelIcon(look.hoverIconId), LoadPanelIcon(look.normalIconId));
    button.SetTooltip(look.tooltip);
    button.SetStateColor(BUTTON_COLOR_NORMAL_BACK, PANEL_BLUE, TRUE);
    button.SetStateColor(BUTTON_COLOR_FOCUS_BACK, PANEL_BLUE, TRUE);
    button.SetStateColor(BUTTON_COLOR_HOVER_BACK, PANEL_BLUE, TRUE);
}

void PlacePopupCloseButton(CIconButton& button, const RECT& client) {
    button.MoveWindow(client.right - CLOSE_RIGHT_OFFSET, client.top + CLOSE_TOP_OFFSET, CLOSE_SIZE, CLOSE_SIZE, TRUE);
}

void DragPopup(CWnd& popup) {
    popup.SendMessage(WM_SYSCOMMAND, SC_DRAG_MOVE, 0);
    popup.Default();
}

void PaintPopupTitleBand(GdiPlusSurface& surface, int width, int height, std::uint32_t borderArgb) {
    surface.DrawRectangle(borderArgb, 0, 0, width - 1, height - 1);
    surface.FillRectangle(TITLE_ARGB, 1, 1, width - 2, POPUP_TITLE_HEIGHT);
    surface.DrawLine(TITLE_LINE_ARGB, 0, 0, width - 2, 0);
    surface.DrawLine(TITLE_LINE_ARGB, 0, 0, 0, POPUP_TITLE_HEIGHT);
    surface.DrawLine(TITLE_LINE_ARGB, width - 1, 0, width - 1, POPUP_TITLE_HEIGHT);
}
