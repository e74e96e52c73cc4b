// The Upgrade page in the main window, against the simulated switcher on the
// session's COM port, driven like an operator: the real file dialog, the
// page's buttons by id, the message boxes answered as they come up.
#pragma once

#include "app/CCorvaneDlg.h"
#include "tests/wine/MainWindowSuite.h"
#include "tests/wine/PopupOperator.h"
#include "tests/wine/TestFrames.h"
#include "tests/wine/TestTimings.h"

#include <map>
#include <string>
#include <vector>

// Shortens the page's waits; the tests of real periods use 1.
constexpr double FAST_TIMER_SCALE = 0.2;

class UpgradePageFixture : public MainWindowSuite<CCorvaneDlg> {
protected:
    void SetUp() override;
    void TearDown() override;

    // A firmware file of `length` bytes in the test folder; its bytes.
    std::wstring WriteImageFile(const std::wstring& name, std::size_t length);
    const Bytes& FileBytes(const std::wstring& path) { return m_files[path]; }

    // Runs the page's "Open" and the real file dialog: `path` typed into its
    // file-name field and OK pressed, or Cancel when `path` is empty.
    void ChooseFile(const std::wstring& path);
    void ClickUpgrade() const;
    // Chooses a new MCU file of `length` bytes and presses "Upgrade".
    void UpgradeFromMcuFile(std::size_t length);
    void ClickSet() const;

    std::wstring PageText(int id) const;
    int ProgressPosition() const;
    int ProgressUpper() const;
    COLORREF LogTextColour() const;
    // Handles the panel's messages until the log ends with `text`.
    bool WaitForLogEnding(const std::wstring& text, DWORD timeoutMs) const;

    // The frames of the Upgrade page the device received since the page came
    // up, in order.
    std::vector<Bytes> UpgradeFrames() const;
    // The image the device kept, read back from the simulator.
    Bytes DeviceImage();
    // The device holds the file, then only FF bytes.
    static ::testing::AssertionResult HoldsFile(const Bytes& device, const Bytes& file);
    std::string UpgradeReport() { return Control("upgrade report"); }

    // Closes each message box after a while.
    PopupOperator m_operator;

private:
    void ShowUpgradePage();
    std::vector<Bytes> AllUpgradeFrames() const;

    std::size_t m_firstTestFrame = 0;
    std::wstring m_folder;
    std::map<std::wstring, Bytes> m_files;
};
