// Wide text as the system hands it over: 16-bit units, any value, no
// terminator promised.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

inline std::wstring ConsumeSystemText(FuzzedDataProvider& input, std::size_t maxUnits) {
    std::wstring text(input.ConsumeIntegralInRange<std::size_t>(0, maxUnits), L'\0');
    for (wchar_t& unit : text) unit = static_cast<wchar_t>(input.ConsumeIntegral<std::uint16_t>());
    return text;
}
