// Texts the panel shows in more than one place.
#pragma once

constexpr const wchar_t* TEXT_TIME_OUT = L"Time out!";
constexpr const wchar_t* TEXT_SET_SUCCESSFULLY = L"Set successfully!";
// The busy pop-up's text while a setting runs.
constexpr const wchar_t* TEXT_SETTING = L"Setting";

// Captions of the two Connect buttons (COM and TCP).
constexpr const wchar_t* TEXT_CONNECT = L"Connect";
constexpr const wchar_t* TEXT_DISCONNECT = L"Disconnect";
