// Every process-wide object of the panel, defined in one translation unit so
// that they are constructed in this order (and destroyed in the reverse).
#include "app/ProcessState.h"

#include "app/PanelTexts.h"
#include "controls/LumenMenu.h"

// The owner-drawn menu's shared state comes first: the dialogs below carry
// buttons that may hold such menus.
CImageList LumenMenu::s_sharedImages;
std::vector<int> LumenMenu::s_sharedImageIds;
int LumenMenu::s_nOsClass = LumenMenu::ClassifyWindowsVersion();
std::vector<HMENU> LumenMenu::s_menuHandles;
int LumenMenu::s_nDrawMode = 0;
int LumenMenu::s_bGrayedSelectable = 0;

std::wstring g_deviceInfoText;
std::wstring g_labelsReadText;
std::wstring g_label1ReadText;
std::wstring g_label2ReadText;

CSocket g_udpSocket;

CMessageDlg g_messageDlg;
CConfigIPDlg g_configIpDlg;
CMatrixDlg g_matrixDlg;
CEDIDDlg g_edidDlg;
CStatusDlg g_statusDlg;
CFWDlg g_fwDlg;

std::wstring g_messageText;
std::wstring g_tcpTargetIp;
std::wstring g_statusText = TEXT_SETTING;
std::array<std::wstring, FOUND_DEVICE_CAPACITY> g_foundDeviceMacs;
std::wstring g_lastFoundMac;
std::array<std::wstring, IP_OCTET_COUNT> g_selectedIpOctets;
std::array<std::wstring, MAC_PAIR_COUNT> g_selectedMacPairs;
std::array<std::wstring, IP_OCTET_COUNT> g_enteredIpOctets;
std::array<std::wstring, MAC_PAIR_COUNT> g_enteredMacPairs;

CCorvaneApp g_app;

// Plain variables below are set before any code runs, so their place in the
// order does not matter.
BOOL g_linkIdle = TRUE;
BYTE g_controlMode = 0;
BOOL g_tcpConnected = FALSE;
// No socket yet: INVALID_SOCKET, so that closing "the old socket" never closes
// handle 0.
SOCKET g_tcpSocket = INVALID_SOCKET;

BYTE g_commandFrame[DeviceFrame::COMMAND_FRAME_BUFFER_LENGTH] = {DeviceFrame::CommandSync[0],
                                                                 DeviceFrame::CommandSync[1]};
BYTE g_mcuDataFrame[DeviceFrame::MCU_DATA_FRAME_LENGTH] = {DeviceFrame::DataSync[0], DeviceFrame::DataSync[1]};
BYTE g_flashDataFrame[DeviceFrame::FLASH_DATA_FRAME_LENGTH] = {DeviceFrame::DataSync[0],
                                                               DeviceFrame::DataSync[1]};
BYTE g_edidBlock[DeviceFrame::EDID_BUFFER_LENGTH] = {};

BOOL g_messageDlgShown = FALSE;
BOOL g_statusDlgShown = FALSE;
BOOL g_confirmMode = FALSE;
BOOL g_noLongerRemind = FALSE;
BOOL g_staticIpMode = FALSE;

BYTE g_rxCollect[RX_COLLECT_LENGTH] = {};
int g_rxCollectLength = RX_COLLECT_START;
BYTE g_rxFrame[DeviceFrame::COMMAND_FRAME_LENGTH] = {};
int g_rxFramePosition = 0;
BOOL g_rxInFrame = FALSE;
BYTE g_tcpRxBuffer[TCP_RX_BUFFER_LENGTH] = {};
int g_tcpRxLength = 0;
int g_sentLogFrameCount = 0;
int g_sentLogByteCount = 0;
int g_receivedLogFrameCount = 0;

BOOL g_isFlashImage = FALSE;
BOOL g_upgradeFailed = FALSE;
BOOL g_rebootWait = FALSE;
int g_flashNumber = 0;
int g_flashImageLength = 0;
int g_mcuImageLength = 0;
int g_flashOffset = 0;
int g_mcuOffset = 0;
BYTE g_labelBytes[LABEL_BYTES_LENGTH] = {};
BYTE g_flashImageBuffer[FLASH_IMAGE_CAPACITY] = {};
BYTE g_mcuImageBuffer[MCU_IMAGE_CAPACITY] = {};

BYTE g_configReplyBuffer[UDP_REPLY_BUFFER_LENGTH] = {};
BYTE g_searchReplyBuffer[UDP_REPLY_BUFFER_LENGTH] = {};
BYTE g_foundDeviceCount = 0;
BYTE g_lastComPorts[COM_PORT_LIST_LENGTH] = {};
BYTE g_newComPorts[COM_PORT_LIST_LENGTH] = {};
int g_lastComPortCount = 0;
