// The message box and the busy pop-up, driven the way an operator meets them:
// buttons pressed with BM_CLICK and keys posted while the modal loop runs,
// control state and painted pixels read back.
#include "app/ProcessState.h"
#include "pages/Popups.h"
#include "res/resource.h"
#include "tests/wine/DibCanvas.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/PopupChromeCheck.h"
#include "tests/wine/PopupOperator.h"
#include "tests/wine/TestTimings.h"
#include "tests/wine/ThreadWindows.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
// Inside the title band, clear of the close button and the lines.
constexpr POINT TITLE_SPOT = {10, 12};
constexpr POINT BODY_SPOT = {10, 40};
constexpr RECT DEFAULT_TEXT_RECT = {100, 60, 220, 100};
// Template places of the two buttons (dialog units).
constexpr RECT OK_TEMPLATE_DLU = {141, 60, 182, 71};
constexpr RECT CANCEL_TEMPLATE_DLU = {98, 60, 139, 71};

HWND Item(const CDialog& dialog, int id) { return dialog.GetDlgItem(id); }

bool Visible(const CDialog& dialog, int id) { return ::IsWindowVisible(Item(dialog, id)) != FALSE; }

RECT ClientRectOf(const CDialog& dialog, int id) {
    RECT rect{};
    ::GetWindowRect(Item(dialog, id), &rect);
    dialog.ScreenToClient(&rect);
    return rect;
}

RECT DluToPixels(const CDialog& dialog, RECT rect) {
    ::MapDialogRect(dialog.m_hWnd, &rect);
    return rect;
}

int DarkPixelsIn(const DibCanvas& canvas, const RECT& area) {
    constexpr int DARK_LIMIT = 128;
    int count = 0;
    for (int y = area.top; y < area.bottom && y < canvas.Height(); ++y) {
        for (int x = area.left; x < area.right && x < canvas.Width(); ++x) {
            COLORREF pixel = canvas.Pixel(x, y);
            if (GetRValue(pixel) < DARK_LIMIT && GetGValue(pixel) < DARK_LIMIT && GetBValue(pixel) < DARK_LIMIT) ++count;
        }
    }
    return count;
}

void Click(const CDialog& dialog, int id) { ::SendMessageW(Item(dialog, id), BM_CLICK, 0, 0); }

class PopupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_messageDlgShown = FALSE;
        g_confirmMode = FALSE;
        g_noLongerRemind = FALSE;
        g_statusDlgShown = FALSE;
        g_messageText = L"Time out!";
        g_statusText = L"Setting";
        // The tests answer the boxes themselves, from inside their loops.
        m_operator.Start();
        m_operator.AnswerBoxesWith(PopupOperator::LEAVE_UP);
    }
    // Leaves the shared state as start-up made it, for the tests that read it.
    void TearDown() override {
        g_messageDlgShown = FALSE;
        g_confirmMode = FALSE;
        g_noLongerRemind = FALSE;
        g_statusDlgShown = FALSE;
        g_messageText.clear();
        g_statusText = L"Setting";
        m_operator.Stop();
    }

    // Runs the message box as the callers that need its result do.
    INT_PTR RunMessageBox(std::function<void()> step) {
        m_operator.WhenShown(g_messageDlg, std::move(step));
        Watchdog watchdog("message box", FLOW_LIMIT_MS);
        g_messageDlgShown = TRUE;
        return g_messageDlg.DoModal();
    }

    PopupOperator m_operator;
};

TEST_F(PopupsTest, MessageBoxShowsItsTextAndOkReturnsIdok) {
    g_messageText = L"Set successfully!";
    bool seen = false;
    int textPixels = 0;
    BOOL shownWhileUp = FALSE;
    INT_PTR result = RunMessageBox([&] {
        seen = true;
        shownWhileUp = g_messageDlgShown;
        EXPECT_TRUE(Visible(g_messageDlg, IDC_MESSAGE_OK));
        EXPECT_FALSE(Visible(g_messageDlg, IDC_MESSAGE_CANCEL)) << "plain box: no Cancel";
        EXPECT_FALSE(Visible(g_messageDlg, IDC_MESSAGE_NO_LONGER_REMIND));
        textPixels = DarkPixelsIn(*DibCanvas::FromWindowClient(g_messageDlg.m_hWnd), DEFAULT_TEXT_RECT);
        Click(g_messageDlg, IDC_MESSAGE_OK);
    });
    ASSERT_TRUE(seen);
    EXPECT_TRUE(shownWhileUp);
    EXPECT_GT(textPixels, 0) << "the text is painted in its rectangle";
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(g_messageDlgShown) << "Ok clears the shown flag";
}

TEST_F(PopupsTest, EmptyTextLeavesTheTextRectangleBlank) {
    g_messageText.clear();
    int textPixels = -1;
    RunMessageBox([&] {
        textPixels = DarkPixelsIn(*DibCanvas::FromWindowClient(g_messageDlg.m_hWnd), DEFAULT_TEXT_RECT);
        Click(g_messageDlg, IDC_MESSAGE_OK);
    });
    EXPECT_EQ(textPixels, 0);
}

TEST_F(PopupsTest, CloseButtonAndCancelReturnIdcancel) {
    g_confirmMode = TRUE;
    g_messageText = L"Do you want to reset to factory settings?";
    EXPECT_EQ(RunMessageBox([] { Click(g_messageDlg, IDC_MESSAGE_CLOSE); }), IDCANCEL);
    EXPECT_FALSE(g_messageDlgShown);
    EXPECT_EQ(RunMessageBox([] { Click(g_messageDlg, IDC_MESSAGE_CANCEL); }), IDCANCEL);
    EXPECT_FALSE(g_messageDlgShown);
}

TEST_F(PopupsTest, SystemCloseClearsTheShownFlagSoLaterMessagesStillOpen) {
    EXPECT_EQ(RunMessageBox([] { g_messageDlg.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }), IDCANCEL);
    EXPECT_FALSE(g_messageDlgShown);
    bool reopened = false;
    m_operator.WhenShown(g_messageDlg, [&] {
        reopened = true;
        Click(g_messageDlg, IDC_MESSAGE_OK);
    });
    Watchdog watchdog("message box after a system close", FLOW_LIMIT_MS);
    ShowMessageDialog();
    EXPECT_TRUE(reopened);
}

TEST_F(PopupsTest, BoxEndedOtherThanByItsButtonsStillClearsTheShownFlag) {
    EXPECT_EQ(RunMessageBox([] { g_messageDlg.EndDialog(IDOK); }), IDOK);
    EXPECT_FALSE(g_messageDlgShown);
    RunMessageBox([] { ::PostQuitMessage(0); });
    EXPECT_FALSE(g_messageDlgShown);
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(PopupsTest, ConfirmationSwapsOkAndCancelAndMirrorsNoLongerRemind) {
    g_confirmMode = TRUE;
    g_messageText = L"Are you sure you want to power off?";
    RECT ok{}, cancel{}, remind{}, client{};
    bool cancelShown = false, remindShown = false;
    std::vector<BOOL> mirrored;
    INT_PTR result = RunMessageBox([&] {
        ok = ClientRectOf(g_messageDlg, IDC_MESSAGE_OK);
        cancel = ClientRectOf(g_messageDlg, IDC_MESSAGE_CANCEL);
        remind = ClientRectOf(g_messageDlg, IDC_MESSAGE_NO_LONGER_REMIND);
        g_messageDlg.GetClientRect(&client);
        cancelShown = Visible(g_messageDlg, IDC_MESSAGE_CANCEL);
        remindShown = Visible(g_messageDlg, IDC_MESSAGE_NO_LONGER_REMIND);
        for (int click = 0; click < 3; ++click) {
            Click(g_messageDlg, IDC_MESSAGE_NO_LONGER_REMIND);
            mirrored.push_back(g_noLongerRemind);
        }
        Click(g_messageDlg, IDC_MESSAGE_CANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(cancelShown);
    EXPECT_TRUE(remindShown);
    EXPECT_LT(ok.left, cancel.left) << "Ok stands left of Cancel";
    // The template coordinates only map to pixels while the box exists.
    EXPECT_EQ(ok.left, cancel.left - (cancel.right - ok.right));
    EXPECT_EQ(ok.top, cancel.top);
    EXPECT_TRUE(remind.left >= client.left && remind.right <= client.right && remind.bottom <= client.bottom)
        << "the operator can reach the check box";
    EXPECT_EQ(mirrored, (std::vector<BOOL>{TRUE, FALSE, TRUE}));
    EXPECT_TRUE(g_noLongerRemind) << "closing the box keeps the last choice";
}

TEST_F(PopupsTest, ButtonsTakeEachOthersTemplatePlaces) {
    RECT plainOk{}, confirmOk{}, confirmCancel{}, okTemplate{}, cancelTemplate{};
    RunMessageBox([&] {
        plainOk = ClientRectOf(g_messageDlg, IDC_MESSAGE_OK);
        okTemplate = DluToPixels(g_messageDlg, OK_TEMPLATE_DLU);
        cancelTemplate = DluToPixels(g_messageDlg, CANCEL_TEMPLATE_DLU);
        Click(g_messageDlg, IDC_MESSAGE_OK);
    });
    g_confirmMode = TRUE;
    RunMessageBox([&] {
        confirmOk = ClientRectOf(g_messageDlg, IDC_MESSAGE_OK);
        confirmCancel = ClientRectOf(g_messageDlg, IDC_MESSAGE_CANCEL);
        Click(g_messageDlg, IDC_MESSAGE_OK);
    });
    EXPECT_EQ(plainOk.left, okTemplate.left);
    EXPECT_EQ(confirmOk.left, cancelTemplate.left);
    EXPECT_EQ(confirmOk.top, cancelTemplate.top);
    EXPECT_EQ(confirmCancel.left, okTemplate.left);
}

// The power-off question is laid out like the factory-reset one, also when
// the box is not a confirmation; other texts leave the symbol in place.
TEST_F(PopupsTest, LongQuestionsMoveTheSymbolLeft) {
    constexpr POINT SYMBOL_BESIDE_QUESTION = {9, 60};
    constexpr RECT SYMBOL_TEMPLATE_DLU = {26, 29, 47, 46};
    RECT question{}, plain{}, symbolTemplate{};
    g_messageText = L"Are you sure you want to power off?";
    RunMessageBox([&] {
        ::UpdateWindow(g_messageDlg.m_hWnd);
        question = ClientRectOf(g_messageDlg, IDC_MESSAGE_SYMBOL);
        Click(g_messageDlg, IDC_MESSAGE_OK);
    });
    g_messageText = L"Time out!";
    RunMessageBox([&] {
        ::UpdateWindow(g_messageDlg.m_hWnd);
        plain = ClientRectOf(g_messageDlg, IDC_MESSAGE_SYMBOL);
        symbolTemplate = DluToPixels(g_messageDlg, SYMBOL_TEMPLATE_DLU);
        Click(g_messageDlg, IDC_MESSAGE_OK);
    });
    EXPECT_EQ(question.left, SYMBOL_BESIDE_QUESTION.x);
    EXPECT_EQ(question.top, SYMBOL_BESIDE_QUESTION.y);
    EXPECT_EQ(plain.left, symbolTemplate.left);
    EXPECT_EQ(plain.top, symbolTemplate.top);
}

TEST_F(PopupsTest, SecondShowWhileTheBoxIsUpOpensNothing) {
    bool returned = false;
    bool repaintPending = false;
    HWND before = nullptr, after = nullptr;
    RunMessageBox([&] {
        before = g_messageDlg.m_hWnd;
        ::UpdateWindow(before);
        g_messageText = L"Open COM failed!";
        ShowMessageDialog();
        returned = true;
        after = g_messageDlg.m_hWnd;
        repaintPending = ::GetUpdateRect(after, nullptr, FALSE) != FALSE;
        Click(g_messageDlg, IDC_MESSAGE_OK);
    });
    EXPECT_TRUE(returned);
    EXPECT_EQ(before, after) << "the same box stays up";
    EXPECT_TRUE(repaintPending) << "the box up shows the new text";
    EXPECT_FALSE(g_messageDlgShown);
}

TEST_F(PopupsTest, EnterEscAndSpaceDoNotCloseTheBox) {
    bool survived = false;
    INT_PTR result = RunMessageBox([&] {
        HWND focus = ::GetFocus();
        if (focus == nullptr || ::GetParent(focus) != g_messageDlg.m_hWnd) focus = Item(g_messageDlg, IDC_MESSAGE_OK);
        for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
            ::PostMessageW(focus, WM_KEYDOWN, key, 1);
            ::PostMessageW(focus, WM_KEYUP, key, 1);
            ::PostMessageW(g_messageDlg.m_hWnd, WM_KEYDOWN, key, 1);
            ::PostMessageW(g_messageDlg.m_hWnd, WM_KEYUP, key, 1);
        }
        m_operator.WhenShown(g_messageDlg, [&] {
            survived = true;
            Click(g_messageDlg, IDC_MESSAGE_CANCEL);
        });
    });
    EXPECT_TRUE(survived) << "the keys left the box up";
    EXPECT_EQ(result, IDCANCEL) << "only the test's own click closed it";
}

TEST_F(PopupsTest, PaintDrawsTheTitleBandAndPutsTheCloseButtonTopRight) {
    PopupChrome chrome;
    RunMessageBox([&] {
        chrome = ReadPopupChrome(g_messageDlg, IDC_MESSAGE_CLOSE, TITLE_SPOT, BODY_SPOT);
        Click(g_messageDlg, IDC_MESSAGE_OK);
    });
    ExpectPopupChrome(chrome, WHITE);
}

// Busy pop-up: the dots cycle, the finish step shows the mark and the exact
// result text, and the close step ends the pop-up from a timer while
// ShowStatusPopup still blocks.
TEST_F(PopupsTest, BusyPopupAnimatesFinishesAndCloses) {
    constexpr DWORD WATCH_DOTS_MS = 1500;
    constexpr DWORD AFTER_FINISH_MS = 700;
    g_statusText = L"Rebooting";
    std::vector<std::wstring> texts;
    bool markHiddenAtFirst = false, markShownAfterFinish = false, secondShowReturned = false;
    std::wstring finishedText, laterText;
    COLORREF frame = 0, inside = 0, textBackground = 0;
    m_operator.WhenShown(g_statusDlg, [&] {
        markHiddenAtFirst = !Visible(g_statusDlg, IDC_STATUS_FINISH_MARK);
        auto canvas = DibCanvas::FromWindowClient(g_statusDlg.m_hWnd);
        frame = canvas->Pixel(0, canvas->Height() / 2);
        inside = canvas->Pixel(canvas->Width() / 2, canvas->Height() - 3);
        const RECT text = ClientRectOf(g_statusDlg, IDC_STATUS_TEXT);
        textBackground = canvas->Pixel(text.right - 1, text.bottom - 1);
        ShowStatusPopup();
        secondShowReturned = true;
        PumpUntil(
            [&] {
                std::wstring text = g_statusDlg.GetDlgItemText(IDC_STATUS_TEXT);
                if (texts.empty() || texts.back() != text) texts.push_back(text);
                return false;
            },
            WATCH_DOTS_MS);
        g_statusText = L"Reboot successfully!";
        FinishStatusPopup();
        finishedText = g_statusDlg.GetDlgItemText(IDC_STATUS_TEXT);
        markShownAfterFinish = Visible(g_statusDlg, IDC_STATUS_FINISH_MARK);
        PumpFor(AFTER_FINISH_MS);
        laterText = g_statusDlg.GetDlgItemText(IDC_STATUS_TEXT);
        CloseStatusPopup();
    });
    {
        Watchdog watchdog("busy pop-up", FLOW_LIMIT_MS);
        ShowStatusPopup();
    }
    EXPECT_TRUE(markHiddenAtFirst);
    EXPECT_EQ(inside, WHITE);
    EXPECT_EQ(textBackground, WHITE) << "the text stands on the white brush";
    EXPECT_NE(frame, WHITE) << "the half-transparent blue frame";
    EXPECT_GT(GetBValue(frame), GetRValue(frame));
    EXPECT_TRUE(secondShowReturned);
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[0], L"Rebooting . . .");
    EXPECT_EQ(texts[1], L"Rebooting .");
    EXPECT_EQ(texts[2], L"Rebooting . .");
    EXPECT_EQ(texts[3], L"Rebooting . . .");
    EXPECT_EQ(finishedText, L"Reboot successfully!");
    EXPECT_TRUE(markShownAfterFinish);
    EXPECT_EQ(laterText, L"Reboot successfully!") << "the dots stay stopped";
    EXPECT_FALSE(g_statusDlgShown);
    EXPECT_EQ(g_statusDlg.m_hWnd, nullptr) << "the pop-up's window is gone";
}

// Finishing after the pop-up has gone leaves no trace: no window appears, and
// the next pop-up starts as a fresh one, with its dots and no finish mark.
TEST_F(PopupsTest, FinishWithoutAPopupChangesNothing) {
    const int windowsBefore = CountThreadWindows();
    g_statusText = L"Set successfully!";
    FinishStatusPopup();
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
    EXPECT_EQ(g_statusDlg.m_hWnd, nullptr);

    g_statusText = L"Setting";
    std::wstring text;
    bool markShown = true;
    m_operator.WhenShown(g_statusDlg, [&] {
        text = g_statusDlg.GetDlgItemText(IDC_STATUS_TEXT);
        markShown = Visible(g_statusDlg, IDC_STATUS_FINISH_MARK);
        CloseStatusPopup();
    });
    {
        Watchdog watchdog("busy pop-up after a finish without one", FLOW_LIMIT_MS);
        ShowStatusPopup();
    }
    EXPECT_EQ(text, L"Setting . . .");
    EXPECT_FALSE(markShown);
}

}  // namespace
