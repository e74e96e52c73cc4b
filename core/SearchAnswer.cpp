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

std::array<std::wstring, SearchAnswer::ADDRESS_LENGTH> SearchAnswer::SplitAddressText(const std::wstring& text) {
    std::array<std::wstring, ADDRESS_LENGTH> octets;
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < ADDRESS_LENGTH; ++i) {
        const std::size_t dot = text.find(L'.', start);
        if (dot == std::wstring::npos) {
            octets[i] = text.substr(start);
            return octets;
        }
        octets[i] = text.substr(start, dot - start);
        start = dot + 1;
    }
    octets[ADDRESS_LENGTH - 1] = text.substr(start);
    return octets;
}

std::wstring SearchAnswer::MacPairOf(const std::wstring& macText, std::size_t k) {
    const std::size_t start = 2 * k;
    return start < macText.size() ? macText.substr(start, 2) : std::wstring();
}
