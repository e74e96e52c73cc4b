#include "tools/FrameLog.h"

#include <cinttypes>

namespace {

constexpr long long MICROSECONDS_PER_SECOND = 1000000;

}  // namespace

FrameLog::~FrameLog() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

bool FrameLog::Open(const std::string& path) {
    m_file = std::fopen(path.c_str(), "a");
    return m_file != nullptr;
}

void FrameLog::Record(const char* tag, const Bytes& bytes) { Record(tag, bytes, std::chrono::system_clock::now()); }

void FrameLog::Record(const char* tag, const Bytes& bytes, std::chrono::system_clock::time_point when) {
    if (m_file == nullptr) {
        return;
    }
    const std::string line = FormatLine(when, tag, bytes);
    std::fputs(line.c_str(), m_file);
    std::fflush(m_file);
}

std::string FrameLog::FormatLine(std::chrono::system_clock::time_point when, const char* tag, const Bytes& bytes) {
    const long long micros =
        std::chrono::duration_cast<std::chrono::microseconds>(when.time_since_epoch()).count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%lld.%06lld", micros / MICROSECONDS_PER_SECOND,
                  micros % MICROSECONDS_PER_SECOND);
    return std::string(stamp) + ' ' + tag + ' ' + FormatHex(bytes) + '\n';
}
