// Strings the system wrote into fixed buffers: whatever length it reports
// and wherever (or whether) the terminator stands, the text is read within
// the buffer and the reported length and stops at the first terminator.
// The error texts take any code.
#include "core/SystemText.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <memory>
#include <string>

namespace {

constexpr std::size_t MAX_BUFFER_UNITS = 600;
constexpr const wchar_t* ERROR_FORMAT = L"failed (%lx)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::size_t reportedBytes = input.ConsumeIntegral<std::size_t>();
    const unsigned long code = input.ConsumeIntegral<unsigned long>();
    const std::wstring buffer = ConsumeSystemText(input, MAX_BUFFER_UNITS);

    // A copy of exactly the buffer's size, so a read past it is reported.
    const std::wstring::size_type capacity = buffer.size();
    std::unique_ptr<wchar_t[]> exact(new wchar_t[capacity == 0 ? 1 : capacity]);
    std::copy(buffer.begin(), buffer.end(), exact.get());
    const std::wstring text = SystemText::FromBuffer(exact.get(), capacity, reportedBytes);
    FuzzCheck(text.size() <= capacity && text.size() <= reportedBytes / sizeof(wchar_t), "read within the bounds");
    FuzzCheck(text.find(L'\0') == std::wstring::npos, "stops at the first terminator");
    FuzzCheck(buffer.compare(0, text.size(), text) == 0, "the text opens the buffer");

    const std::wstring message = SystemText::WithErrorCode(ERROR_FORMAT, code);
    wchar_t hex[2 * sizeof code + 1];
    std::swprintf(hex, sizeof hex / sizeof hex[0], L"%lx", code);
    FuzzCheck(message.find(hex) != std::wstring::npos, "the code in lower-case hexadecimal");
    return 0;
}
