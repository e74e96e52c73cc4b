// A failure of the serial port enumeration, carrying the text that says
// which system call failed and with what error code.
#pragma once

#include <exception>
#include <string>

class CPortListError : public std::exception {
public:
    explicit CPortListError(std::wstring text);

    const std::wstring& Text() const noexcept { return m_text; }
    // The text in UTF-8.
    const char* what() const noexcept override { return m_narrowText.c_str(); }

private:
    std::wstring m_text;
    std::string m_narrowText;
};
