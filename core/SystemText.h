// Text that comes back from the system: strings read into fixed buffers,
// whose reported length and terminator are not to be trusted, and the error
// texts that carry a system error code.
#pragma once

#include <cstddef>
#include <string>

namespace SystemText {

// The string in `buffer` of `capacity` characters that the system reported
// as `reportedBytes` long: never read past the buffer or the reported length,
// and ending at the first terminator within them.
std::wstring FromBuffer(const wchar_t* buffer, std::size_t capacity, std::size_t reportedBytes);

// `format` holds one "%lx", replaced by `code` in lower-case hexadecimal
// without a prefix.
std::wstring WithErrorCode(const wchar_t* format, unsigned long code);

}  // namespace SystemText
