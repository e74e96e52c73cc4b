// Where the tests save the pictures they render for a person to look at:
// renders\ next to the test program.
#pragma once

#include <windows.h>

#include <string>

// The directory, made when missing, with a trailing separator.
inline std::wstring RenderDirectory() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    path[MAX_PATH - 1] = L'\0';
    std::wstring directory(path);
    directory = directory.substr(0, directory.find_last_of(L"\\/") + 1) + L"renders";
    ::CreateDirectoryW(directory.c_str(), nullptr);
    return directory + L"\\";
}
