// The IP configuration dialog driven the way an operator meets it: texts typed
// into the edits, buttons pressed with BM_CLICK and keys posted while the
// modal loop runs; the hand-over variables and control state read back.
#include "app/ProcessState.h"
#include "res/resource.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/PopupChromeCheck.h"
#include "tests/wine/PopupOperator.h"
#include "tests/wine/TestTimings.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace {

// Inside the title band, clear of the close button, the lines and the title.
constexpr POINT TITLE_SPOT = {150, 12};
// Below the title band, left of the group box.
constexpr POINT BODY_SPOT = {8, 60};

constexpr std::array<int, IP_OCTET_COUNT> OCTET_EDITS = {IDC_CONFIG_IP_OCTET_1, IDC_CONFIG_IP_OCTET_2,
                                                         IDC_CONFIG_IP_OCTET_3, IDC_CONFIG_IP_OCTET_4};
constexpr std::array<int, MAC_PAIR_COUNT> MAC_EDITS = {IDC_CONFIG_IP_MAC_1, IDC_CONFIG_IP_MAC_2, IDC_CONFIG_IP_MAC_3,
                                                       IDC_CONFIG_IP_MAC_4, IDC_CONFIG_IP_MAC_5, IDC_CONFIG_IP_MAC_6};

const std::array<std::wstring, IP_OCTET_COUNT> DEVICE_IP = {L"192", L"168", L"1", L"239"};
const std::array<std::wstring, MAC_PAIR_COUNT> DEVICE_MAC = {L"00", L"1A", L"2b", L"3C", L"4D", L"5E"};
// What an earlier OK left behind: a cancel must not touch it.
const std::array<std::wstring, IP_OCTET_COUNT> EARLIER_IP = {L"10", L"0", L"0", L"7"};
const std::array<std::wstring, MAC_PAIR_COUNT> EARLIER_MAC = {L"AA", L"BB", L"CC", L"DD", L"EE", L"FF"};

HWND Item(int id) { return g_configIpDlg.GetDlgItem(id); }
void Click(int id) { ::SendMessageW(Item(id), BM_CLICK, 0, 0); }
void Type(int id, const std::wstring& text) {
    ::SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
bool Checked(int id) { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Enabled(int id) { return ::IsWindowEnabled(Item(id)) != FALSE; }
LONG Style(int id) { return ::GetWindowLongW(Item(id), GWL_STYLE); }

template <std::size_t N>
std::array<std::wstring, N> Texts(const std::array<int, N>& ids) {
    std::array<std::wstring, N> texts;
    for (std::size_t i = 0; i < N; ++i) texts[i] = g_configIpDlg.GetDlgItemText(ids[i]);
    return texts;
}

template <std::size_t N>
std::array<bool, N> EnabledStates(const std::array<int, N>& ids) {
    std::array<bool, N> states{};
    for (std::size_t i = 0; i < N; ++i) states[i] = Enabled(ids[i]);
    return states;
}

class ConfigIpDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedSelectedIp = g_selectedIpOctets;
        m_savedSelectedMac = g_selectedMacPairs;
        m_savedEnteredIp = g_enteredIpOctets;
        m_savedEnteredMac = g_enteredMacPairs;
        m_savedStaticIpMode = g_staticIpMode;
        g_selectedIpOctets = DEVICE_IP;
        g_selectedMacPairs = DEVICE_MAC;
        g_enteredIpOctets = EARLIER_IP;
        g_enteredMacPairs = EARLIER_MAC;
        g_staticIpMode = FALSE;
        m_operator.Start();
    }
    void TearDown() override {
        g_selectedIpOctets = m_savedSelectedIp;
        g_selectedMacPairs = m_savedSelectedMac;
        g_enteredIpOctets = m_savedEnteredIp;
        g_enteredMacPairs = m_savedEnteredMac;
        g_staticIpMode = m_savedStaticIpMode;
        m_operator.Stop();
    }

    // Runs the dialog; `step` runs from its modal loop once it shows.
    INT_PTR RunDialog(std::function<void()> step) {
        m_operator.WhenShown(g_configIpDlg, std::move(step));
        Watchdog watchdog("IP configuration dialog", FLOW_LIMIT_MS);
        return g_configIpDlg.DoModal();
    }

    PopupOperator m_operator;

private:
    std::array<std::wstring, IP_OCTET_COUNT> m_savedSelectedIp;
    std::array<std::wstring, MAC_PAIR_COUNT> m_savedSelectedMac;
    std::array<std::wstring, IP_OCTET_COUNT> m_savedEnteredIp;
    std::array<std::wstring, MAC_PAIR_COUNT> m_savedEnteredMac;
    BOOL m_savedStaticIpMode = FALSE;
};

constexpr std::array<bool, IP_OCTET_COUNT> ALL_ENABLED = {true, true, true, true};
constexpr std::array<bool, IP_OCTET_COUNT> ALL_DISABLED = {false, false, false, false};

TEST_F(ConfigIpDialogTest, AutoModeShowsTheDeviceAddressInDisabledOctetEdits) {
    bool autoChecked = false, staticChecked = true;
    std::array<bool, IP_OCTET_COUNT> octetsEnabled{};
    std::array<bool, MAC_PAIR_COUNT> macEnabled{};
    std::array<std::wstring, IP_OCTET_COUNT> octets;
    std::array<std::wstring, MAC_PAIR_COUNT> mac;
    INT_PTR result = RunDialog([&] {
        autoChecked = Checked(IDC_CONFIG_IP_AUTO);
        staticChecked = Checked(IDC_CONFIG_IP_STATIC);
        octetsEnabled = EnabledStates(OCTET_EDITS);
        macEnabled = EnabledStates(MAC_EDITS);
        octets = Texts(OCTET_EDITS);
        mac = Texts(MAC_EDITS);
        Click(IDC_CONFIG_IP_CANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(autoChecked);
    EXPECT_FALSE(staticChecked);
    EXPECT_EQ(octetsEnabled, ALL_DISABLED);
    EXPECT_EQ(macEnabled, (std::array<bool, MAC_PAIR_COUNT>{true, true, true, true, true, true}));
    EXPECT_EQ(octets, DEVICE_IP);
    EXPECT_EQ(mac, DEVICE_MAC);
}

TEST_F(ConfigIpDialogTest, WithNoDeviceSelectedTheEditsAreEmpty) {
    g_selectedIpOctets = {};
    g_selectedMacPairs = {};
    g_staticIpMode = TRUE;
    std::array<std::wstring, IP_OCTET_COUNT> octets = DEVICE_IP;
    std::array<std::wstring, MAC_PAIR_COUNT> mac = DEVICE_MAC;
    RunDialog([&] {
        octets = Texts(OCTET_EDITS);
        mac = Texts(MAC_EDITS);
        Click(IDC_CONFIG_IP_CANCEL);
    });
    EXPECT_EQ(octets, (std::array<std::wstring, IP_OCTET_COUNT>{}));
    EXPECT_EQ(mac, (std::array<std::wstring, MAC_PAIR_COUNT>{}));
}

TEST_F(ConfigIpDialogTest, OkHandsOverTheTextsExactlyAsTyped) {
    g_staticIpMode = TRUE;
    const std::array<std::wstring, IP_OCTET_COUNT> typedIp = {L"172", L"", L"0300", L"9"};
    const std::array<std::wstring, MAC_PAIR_COUNT> typedMac = {L"0a", L"", L"zz", L"12", L"ab", L"C"};
    bool staticChecked = false;
    std::array<bool, IP_OCTET_COUNT> octetsEnabled{};
    INT_PTR result = RunDialog([&] {
        staticChecked = Checked(IDC_CONFIG_IP_STATIC);
        octetsEnabled = EnabledStates(OCTET_EDITS);
        for (std::size_t i = 0; i < IP_OCTET_COUNT; ++i) Type(OCTET_EDITS[i], typedIp[i]);
        for (std::size_t i = 0; i < MAC_PAIR_COUNT; ++i) Type(MAC_EDITS[i], typedMac[i]);
        Click(IDC_CONFIG_IP_OK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(staticChecked);
    EXPECT_EQ(octetsEnabled, ALL_ENABLED);
    EXPECT_EQ(g_enteredIpOctets, typedIp);
    EXPECT_EQ(g_enteredMacPairs, typedMac);
    EXPECT_TRUE(g_staticIpMode);
}

TEST_F(ConfigIpDialogTest, RadioChoiceSticksThroughCancelButTypedTextsDoNot) {
    std::array<bool, IP_OCTET_COUNT> afterStatic{};
    INT_PTR first = RunDialog([&] {
        Click(IDC_CONFIG_IP_STATIC);
        afterStatic = EnabledStates(OCTET_EDITS);
        Type(IDC_CONFIG_IP_OCTET_4, L"55");
        Type(IDC_CONFIG_IP_MAC_1, L"99");
        Click(IDC_CONFIG_IP_CANCEL);
    });
    EXPECT_EQ(first, IDCANCEL);
    EXPECT_EQ(afterStatic, ALL_ENABLED);
    EXPECT_TRUE(g_staticIpMode) << "the radio button writes the mode at once";
    EXPECT_EQ(g_enteredIpOctets, EARLIER_IP);
    EXPECT_EQ(g_enteredMacPairs, EARLIER_MAC);

    bool staticChecked = false;
    std::array<bool, IP_OCTET_COUNT> reopened{}, afterAuto{};
    std::array<std::wstring, IP_OCTET_COUNT> octets;
    INT_PTR second = RunDialog([&] {
        staticChecked = Checked(IDC_CONFIG_IP_STATIC);
        reopened = EnabledStates(OCTET_EDITS);
        octets = Texts(OCTET_EDITS);
        Click(IDC_CONFIG_IP_AUTO);
        afterAuto = EnabledStates(OCTET_EDITS);
        Type(IDC_CONFIG_IP_OCTET_1, L"8");
        Click(IDC_CONFIG_IP_CLOSE);
    });
    EXPECT_EQ(second, IDCANCEL) << "the close button cancels";
    EXPECT_TRUE(staticChecked);
    EXPECT_EQ(reopened, ALL_ENABLED);
    EXPECT_EQ(octets, DEVICE_IP) << "a new opening shows the device again, not the cancelled text";
    EXPECT_EQ(afterAuto, ALL_DISABLED);
    EXPECT_FALSE(g_staticIpMode);
    EXPECT_EQ(g_enteredIpOctets, EARLIER_IP);
    EXPECT_EQ(g_enteredMacPairs, EARLIER_MAC);
}

TEST_F(ConfigIpDialogTest, OctetEditsTakeDigitsOnlyAndNoEditScrolls) {
    g_staticIpMode = TRUE;
    g_selectedIpOctets = {};
    std::wstring octet, mac;
    std::array<LONG, IP_OCTET_COUNT> octetStyles{};
    std::array<LONG, MAC_PAIR_COUNT> macStyles{};
    RunDialog([&] {
        for (std::size_t i = 0; i < IP_OCTET_COUNT; ++i) octetStyles[i] = Style(OCTET_EDITS[i]);
        for (std::size_t i = 0; i < MAC_PAIR_COUNT; ++i) macStyles[i] = Style(MAC_EDITS[i]);
        Type(IDC_CONFIG_IP_MAC_1, L"");
        for (wchar_t key : {L'x', L'4', L'.', L'2'}) ::SendMessageW(Item(IDC_CONFIG_IP_OCTET_1), WM_CHAR, key, 1);
        // A MAC edit holds only about two characters: it has no room to scroll.
        for (wchar_t key : {L'x', L'4'}) ::SendMessageW(Item(IDC_CONFIG_IP_MAC_1), WM_CHAR, key, 1);
        octet = g_configIpDlg.GetDlgItemText(IDC_CONFIG_IP_OCTET_1);
        mac = g_configIpDlg.GetDlgItemText(IDC_CONFIG_IP_MAC_1);
        Click(IDC_CONFIG_IP_CANCEL);
    });
    EXPECT_EQ(octet, L"42");
    EXPECT_EQ(mac, L"x4") << "MAC edits take any character";
    for (LONG style : octetStyles) {
        EXPECT_TRUE(style & ES_NUMBER);
        EXPECT_FALSE(style & ES_AUTOHSCROLL);
    }
    for (LONG style : macStyles) {
        EXPECT_FALSE(style & ES_NUMBER);
        EXPECT_FALSE(style & ES_AUTOHSCROLL);
    }
}

TEST_F(ConfigIpDialogTest, EnterEscAndSpaceDoNotCloseTheDialog) {
    bool survived = false;
    INT_PTR result = RunDialog([&] {
        HWND targets[] = {Item(IDC_CONFIG_IP_OK), Item(IDC_CONFIG_IP_MAC_1), g_configIpDlg.m_hWnd};
        ::SetFocus(Item(IDC_CONFIG_IP_OK));
        for (HWND target : targets) {
            for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
                ::PostMessageW(target, WM_KEYDOWN, key, 1);
                ::PostMessageW(target, WM_KEYUP, key, 1);
            }
        }
        m_operator.WhenShown(g_configIpDlg, [&] {
            survived = true;
            Click(IDC_CONFIG_IP_CANCEL);
        });
    });
    EXPECT_TRUE(survived) << "the keys left the dialog up";
    EXPECT_EQ(result, IDCANCEL) << "only the test's own click closed it";
    EXPECT_EQ(g_enteredIpOctets, EARLIER_IP) << "Enter did not act as OK";
}

TEST_F(ConfigIpDialogTest, PaintDrawsTheTitleBandAndPutsTheCloseButtonTopRight) {
    PopupChrome chrome;
    RunDialog([&] {
        chrome = ReadPopupChrome(g_configIpDlg, IDC_CONFIG_IP_CLOSE, TITLE_SPOT, BODY_SPOT);
        Click(IDC_CONFIG_IP_CANCEL);
    });
    ExpectPopupChrome(chrome, ::GetSysColor(COLOR_BTNFACE));
}

}  // namespace
