#include "core/SearchAnswer.h"

#include "core/HexLogFormatter.h"

#include <algorithm>

std::optional<SearchAnswer> SearchAnswer::Parse(const std::uint8_t* data, std::size_t count) {
    if (data == nullptr || count < DEVICE_ANSWER_LENGTH) return std::nullopt;
    SearchAnswer answer;
    std::copy_n(data + MAC_OFFSET, MAC_LENGTH, answer.mac.begin());
    std::copy_n(data + ADDRESS_OFFSET, ADDRESS_LENGTH, answer.address.begin());
    answer.hasMarker = data[MARKER_OFFSET] == MARKER[0] && data[MARKER_OFFSET + 1] == MARKER[1];
    return answer;
}

std::wstring SearchAnswer::MacText() const {
    std::wstring text;
    for (const std::wstring& pair : MacPairs()) text += pair;
    return text;
}

std::array<std::wstring, SearchAnswer::MAC_LENGTH> SearchAnswer::MacPairs() const {
    std::array<std::wstring, MAC_LENGTH> pairs;
    for (std::size_t i = 0; i < MAC_LENGTH; ++i) pairs[i] = HexLogFormatter::HexPair(mac[i]);
    return pairs;
}

std::array<std::wstring, SearchAnswer::ADDRESS_LENGTH> SearchAnswer::AddressOctets() const {
    std::array<std::wstring, ADDRESS_LENGTH> octets;
    for (std::size_t i = 0; i < ADDRESS_LENGTH; ++i) octets[i] = std::to_wstring(address[i]);
    return octets;
}

std::wstring SearchAnswer::AddressText() const {
    const std::array<std::wstring, ADDRESS_LENGTH> octets = AddressOctets();
    std::wstring text = octets[0];
    for (std::size_t i = 1; i < ADDRESS_LENGTH; ++i) text += L"." + octets[i];
    return text;
}
