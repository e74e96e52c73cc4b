// The framework layer on real windows: message maps, reflection, the modal
// loop, the pre-translation walk, timers and worker threads.
#include "framework/CDialog.h"
#include "framework/CWinThread.h"
#include "tests/wine/FrameworkTestResources.h"
#include "tests/wine/ThreadWindows.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT WM_TEST_BASE_ONLY = WM_APP + 1;
constexpr UINT WM_TEST_OVERRIDDEN = WM_APP + 2;
constexpr UINT WM_TEST_OPEN_NESTED = WM_APP + 3;
constexpr UINT_PTR TEST_TIMER = 77;

std::vector<std::string> g_events;

class BaseDialog : public CDialog {
public:
    BaseDialog() : CDialog(IDD_TEST_HOST) {}
    LRESULT OnBaseOnly(WPARAM, LPARAM) { return 11; }
    LRESULT OnOverridden(WPARAM, LPARAM) { return 12; }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseDialog, CDialog)
    ON_MESSAGE(WM_TEST_BASE_ONLY, OnBaseOnly)
    ON_MESSAGE(WM_TEST_OVERRIDDEN, OnOverridden)
END_MESSAGE_MAP()

class ReflectingButton : public CWnd {
public:
    BOOL letClickThrough = TRUE;
    HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    int drawCount = 0;

    BOOL OnClicked() {
        g_events.push_back("child click");
        return !letClickThrough;
    }
    void DrawItem(LPDRAWITEMSTRUCT draw) {
        ++drawCount;
        ::FillRect(draw->hDC, &draw->rcItem, brush);
    }
    HBRUSH CtlColor(HDC, UINT) { return brush; }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingButton, CWnd)
    ON_BN_CLICKED_REFLECT_EX(OnClicked)
    ON_WM_DRAWITEM_REFLECT()
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class HostDialog : public BaseDialog {
public:
    ReflectingButton button;
    ReflectingButton ownerDrawn;
    ReflectingButton label;
    std::vector<UINT> keysSwallowed;

    LRESULT OnOverriddenHere(WPARAM, LPARAM) { return 21; }
    void OnClickedButton() { g_events.push_back("parent click"); }
    void OnTimer(UINT_PTR id) {
        KillTimer(id);
        EndDialog(static_cast<int>(id));
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
            keysSwallowed.push_back(static_cast<UINT>(msg->wParam));
            return TRUE;
        }
        return FALSE;
    }

protected:
    BOOL OnInitDialog() override {
        button.SubclassDlgItem(IDC_TEST_BUTTON, this);
        ownerDrawn.SubclassDlgItem(IDC_TEST_OWNER_DRAWN, this);
        label.SubclassDlgItem(IDC_TEST_STATIC, this);
        return TRUE;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(HostDialog, BaseDialog)
    ON_MESSAGE(WM_TEST_OVERRIDDEN, OnOverriddenHere)
    ON_BN_CLICKED(IDC_TEST_BUTTON, OnClickedButton)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// A parent whose own colour handler hands the message on to the control.
class ColouringHost : public HostDialog {
public:
    int colourCalls = 0;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT colourMessage) {
        ++colourCalls;
        return CWnd::OnCtlColor(dc, control, colourMessage);
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColouringHost, HostDialog)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

// Runs `body` from inside the dialog's modal loop once it is up.
class ScriptedDialog : public CDialog {
public:
    std::function<void(ScriptedDialog&)> body;
    int initCount = 0;
    ScriptedDialog() : CDialog(IDD_TEST_HOST) {}
    LRESULT OnRun(WPARAM, LPARAM) {
        body(*this);
        return 0;
    }

protected:
    BOOL OnInitDialog() override {
        ++initCount;
        PostMessage(WM_TEST_OPEN_NESTED);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ScriptedDialog, CDialog)
    ON_MESSAGE(WM_TEST_OPEN_NESTED, OnRun)
END_MESSAGE_MAP()

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override { g_events.clear(); }
    void TearDown() override {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }
};

TEST_F(FrameworkTest, MessageMapsChainToTheBaseAndTheDerivedEntryWins) {
    HostDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_HOST));
    EXPECT_EQ(dialog.SendMessage(WM_TEST_BASE_ONLY), 11);
    EXPECT_EQ(dialog.SendMessage(WM_TEST_OVERRIDDEN), 21);
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_hWnd), &dialog);
    HWND hWnd = dialog.m_hWnd;
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST_F(FrameworkTest, ReflectedClickCanBeLetThroughToTheParent) {
    HostDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_HOST));
    dialog.button.SendMessage(BM_CLICK);
    EXPECT_EQ(g_events, (std::vector<std::string>{"child click", "parent click"}));

    g_events.clear();
    dialog.button.letClickThrough = FALSE;
    dialog.button.SendMessage(BM_CLICK);
    EXPECT_EQ(g_events, (std::vector<std::string>{"child click"}));
}

TEST_F(FrameworkTest, OwnerDrawAndColourMessagesAreReflectedToTheControl) {
    ColouringHost dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_HOST));
    dialog.ShowWindow(SW_SHOW);
    ::UpdateWindow(dialog.m_hWnd);
    ::RedrawWindow(dialog.ownerDrawn.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GE(dialog.ownerDrawn.drawCount, 1);

    dialog.colourCalls = 0;
    HDC dc = ::GetDC(dialog.m_hWnd);
    LRESULT brush = dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(dialog.label.m_hWnd));
    ::ReleaseDC(dialog.m_hWnd, dc);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), dialog.label.brush);
    EXPECT_EQ(dialog.colourCalls, 1) << "the parent's colour handler runs once per message";
}

TEST_F(FrameworkTest, ModalDialogReturnsItsResultAndLosesItsWindow) {
    ScriptedDialog dialog;
    dialog.body = [](ScriptedDialog& self) { self.EndDialog(42); };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_FALSE(dialog.IsInModalLoop());
}

TEST_F(FrameworkTest, RunningADialogWhoseWindowIsStillUpIsRefused) {
    // As when a timer chain closes the busy pop-up and shows it again at once.
    ScriptedDialog dialog;
    INT_PTR reopened = 0;
    int windowsWhileUp = 0;
    int windowsAfterReopening = 0;
    dialog.body = [&](ScriptedDialog& self) {
        self.EndDialog(1);
        if (self.initCount > 1) return;
        windowsWhileUp = CountThreadWindows();
        reopened = self.DoModal();
        windowsAfterReopening = CountThreadWindows();
    };
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(reopened, -1);
    EXPECT_EQ(dialog.initCount, 1);
    EXPECT_EQ(windowsAfterReopening, windowsWhileUp) << "no second dialog window is left behind";
}

TEST_F(FrameworkTest, EndDialogFromOnInitDialogEndsTheRun) {
    constexpr int ENDED_AT_INIT = 9;
    constexpr int ENDED_BY_THE_SAFETY_TIMER = 99;
    class EndingAtInit : public HostDialog {
    protected:
        BOOL OnInitDialog() override {
            HostDialog::OnInitDialog();
            // Ends the run anyway should the first EndDialog be lost.
            SetTimer(ENDED_BY_THE_SAFETY_TIMER, 2000);
            EndDialog(ENDED_AT_INIT);
            return TRUE;
        }
    } dialog;
    EXPECT_EQ(dialog.DoModal(), ENDED_AT_INIT);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(FrameworkTest, BoxOpenedOverAPopUpBelongsToThePopUpAndDisablesIt) {
    ScriptedDialog main;
    ScriptedDialog busy;
    ScriptedDialog box;
    HWND busyWindow = nullptr;
    HWND boxOwner = nullptr;
    BOOL busyEnabledUnderTheBox = TRUE;
    main.body = [&](ScriptedDialog& self) {
        busy.DoModal();
        self.EndDialog(IDOK);
    };
    busy.body = [&](ScriptedDialog& self) {
        busyWindow = self.m_hWnd;
        box.DoModal();
        self.EndDialog(IDOK);
    };
    box.body = [&](ScriptedDialog& self) {
        boxOwner = ::GetWindow(self.m_hWnd, GW_OWNER);
        busyEnabledUnderTheBox = ::IsWindowEnabled(busyWindow);
        self.EndDialog(IDOK);
    };
    main.DoModal();
    EXPECT_EQ(boxOwner, busyWindow);
    EXPECT_FALSE(busyEnabledUnderTheBox);
}

TEST_F(FrameworkTest, NestedHandlerMayEndTheOuterDialog) {
    ScriptedDialog outer;
    ScriptedDialog inner;
    inner.m_pParentWnd = &outer;
    outer.body = [&](ScriptedDialog&) {
        g_events.push_back("inner returned " + std::to_string(inner.DoModal()));
        g_events.push_back(std::string("outer window alive ") + (::IsWindow(outer.m_hWnd) ? "yes" : "no"));
    };
    inner.body = [&](ScriptedDialog& self) {
        outer.EndDialog(7);
        g_events.push_back("outer ended");
        self.EndDialog(3);
    };
    EXPECT_EQ(outer.DoModal(), 7);
    EXPECT_EQ(g_events, (std::vector<std::string>{"outer ended", "inner returned 3", "outer window alive yes"}));
}

TEST_F(FrameworkTest, QuitEndsEveryNestedLoopAndStaysQueued) {
    ScriptedDialog outer;
    ScriptedDialog inner;
    inner.m_pParentWnd = &outer;
    INT_PTR innerResult = 0;
    outer.body = [&](ScriptedDialog&) { innerResult = inner.DoModal(); };
    inner.body = [&](ScriptedDialog&) { ::PostQuitMessage(5); };
    EXPECT_EQ(outer.DoModal(), -1);
    EXPECT_EQ(innerResult, -1);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(FrameworkTest, TimersReachTheMessageMapInsideTheModalLoop) {
    class TimedDialog : public HostDialog {
    protected:
        BOOL OnInitDialog() override {
            HostDialog::OnInitDialog();
            SetTimer(TEST_TIMER, 10);
            return TRUE;
        }
    } dialog;
    EXPECT_EQ(dialog.DoModal(), static_cast<INT_PTR>(TEST_TIMER));
}

TEST_F(FrameworkTest, PreTranslateWalksFromTheTargetUpThroughItsParents) {
    HostDialog host;
    CDialog child(IDD_TEST_CHILD);
    ScriptedDialog driver;
    driver.body = [&](ScriptedDialog& self) {
        ASSERT_TRUE(host.Create(IDD_TEST_HOST));
        ASSERT_TRUE(child.Create(IDD_TEST_CHILD, &host));
        HWND edit = child.GetDlgItem(IDC_TEST_EDIT);
        MSG enter{edit, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        MSG letter{edit, WM_KEYDOWN, 'A', 0, 0, {}};
        g_events.push_back(CWnd::WalkPreTranslateTree(host.m_hWnd, &enter) ? "enter taken" : "enter passed");
        g_events.push_back(CWnd::WalkPreTranslateTree(host.m_hWnd, &letter) ? "letter taken" : "letter passed");
        self.EndDialog(IDOK);
    };
    driver.DoModal();
    EXPECT_EQ(g_events, (std::vector<std::string>{"enter taken", "letter passed"}));
    EXPECT_EQ(host.keysSwallowed, std::vector<UINT>{VK_RETURN});
}

struct UnwindProbe {
    bool* destroyed;
    ~UnwindProbe() { *destroyed = true; }
};

bool g_probeDestroyed = false;

UINT EndingWorker(LPVOID) {
    UnwindProbe probe{&g_probeDestroyed};
    AfxEndThread(100);
}

TEST_F(FrameworkTest, WorkerEndsThroughAfxEndThreadWithItsExitCodeAndUnwinds) {
    g_probeDestroyed = false;
    CWinThread* thread = AfxBeginThread(&EndingWorker, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    HANDLE handle = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), thread->m_hThread, ::GetCurrentProcess(), &handle, 0,
                                  FALSE, DUPLICATE_SAME_ACCESS));
    ::ResumeThread(thread->m_hThread);
    ASSERT_EQ(::WaitForSingleObject(handle, 5000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    ::GetExitCodeThread(handle, &exitCode);
    ::CloseHandle(handle);
    EXPECT_EQ(exitCode, 100u);
    EXPECT_TRUE(g_probeDestroyed);
}

}  // namespace
