// The process-wide objects and variables that the main window, the pages and
// the pop-ups share. All of them live for the whole process; everything here
// is touched only by the UI thread. They are defined, in their start-up order,
// in ProcessState.cpp.
#pragma once

#include "app/CCorvaneApp.h"
#include "core/DeviceFrame.h"
#include "framework/CSocket.h"
#include "pages/CConfigIPDlg.h"
#include "pages/CEDIDDlg.h"
#include "pages/CFWDlg.h"
#include "pages/CMatrixDlg.h"
#include "pages/CMessageDlg.h"
#include "pages/CStatusDlg.h"

#include <array>
#include <string>

constexpr std::size_t FOUND_DEVICE_CAPACITY = 256;
constexpr std::size_t IP_OCTET_COUNT = 4;
constexpr std::size_t MAC_PAIR_COUNT = 6;
constexpr std::size_t RX_COLLECT_LENGTH = 256;
constexpr int RX_COLLECT_START = 2;
constexpr std::size_t TCP_RX_BUFFER_LENGTH = 1024;
constexpr std::size_t LABEL_BYTES_LENGTH = 32;
constexpr std::size_t FLASH_IMAGE_CAPACITY = 500000;
constexpr std::size_t MCU_IMAGE_CAPACITY = 300000;
constexpr std::size_t UDP_REPLY_BUFFER_LENGTH = 1024;
constexpr std::size_t COM_PORT_LIST_LENGTH = 256;

// Upgrade page texts
extern std::wstring g_deviceInfoText;
extern std::wstring g_labelsReadText;
extern std::wstring g_label1ReadText;
extern std::wstring g_label2ReadText;

extern CSocket g_udpSocket;

extern CMessageDlg g_messageDlg;
extern CConfigIPDlg g_configIpDlg;
extern CMatrixDlg g_matrixDlg;
extern CEDIDDlg g_edidDlg;
extern CStatusDlg g_statusDlg;
extern CFWDlg g_fwDlg;

extern std::wstring g_messageText;
extern std::wstring g_tcpTargetIp;
extern std::wstring g_statusText;
extern std::array<std::wstring, FOUND_DEVICE_CAPACITY> g_foundDeviceMacs;
extern std::wstring g_lastFoundMac;
extern std::array<std::wstring, IP_OCTET_COUNT> g_selectedIpOctets;
extern std::array<std::wstring, MAC_PAIR_COUNT> g_selectedMacPairs;
extern std::array<std::wstring, IP_OCTET_COUNT> g_enteredIpOctets;
extern std::array<std::wstring, MAC_PAIR_COUNT> g_enteredMacPairs;

extern CCorvaneApp g_app;

// Link state
extern BOOL g_linkIdle;
extern BYTE g_controlMode;
extern BOOL g_tcpConnected;
extern SOCKET g_tcpSocket;

// Send buffers
extern BYTE g_commandFrame[DeviceFrame::COMMAND_FRAME_BUFFER_LENGTH];
extern BYTE g_mcuDataFrame[DeviceFrame::MCU_DATA_FRAME_LENGTH];
extern BYTE g_flashDataFrame[DeviceFrame::FLASH_DATA_FRAME_LENGTH];
extern BYTE g_edidBlock[DeviceFrame::EDID_BUFFER_LENGTH];

// Pop-up state
extern BOOL g_messageDlgShown;
extern BOOL g_statusDlgShown;
extern BOOL g_confirmMode;
extern BOOL g_noLongerRemind;
extern BOOL g_staticIpMode;

// Receive and log state
extern BYTE g_rxCollect[RX_COLLECT_LENGTH];
extern int g_rxCollectLength;
extern BYTE g_rxFrame[DeviceFrame::COMMAND_FRAME_LENGTH];
extern int g_rxFramePosition;
extern BOOL g_rxInFrame;
extern BYTE g_tcpRxBuffer[TCP_RX_BUFFER_LENGTH];
extern int g_tcpRxLength;
extern int g_sentLogFrameCount;
extern int g_sentLogByteCount;
extern int g_receivedLogFrameCount;

// Upgrade page state
extern BOOL g_isFlashImage;
extern BOOL g_upgradeFailed;
extern BOOL g_rebootWait;
extern int g_flashNumber;
extern int g_flashImageLength;
extern int g_mcuImageLength;
extern int g_flashOffset;
extern int g_mcuOffset;
extern BYTE g_labelBytes[LABEL_BYTES_LENGTH];
extern BYTE g_flashImageBuffer[FLASH_IMAGE_CAPACITY];
extern BYTE g_mcuImageBuffer[MCU_IMAGE_CAPACITY];

// Search and port-list state
extern BYTE g_configReplyBuffer[UDP_REPLY_BUFFER_LENGTH];
extern BYTE g_searchReplyBuffer[UDP_REPLY_BUFFER_LENGTH];
extern BYTE g_foundDeviceCount;
extern BYTE g_lastComPorts[COM_PORT_LIST_LENGTH];
extern BYTE g_newComPorts[COM_PORT_LIST_LENGTH];
extern int g_lastComPortCount;
