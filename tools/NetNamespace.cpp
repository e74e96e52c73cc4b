#include "tools/NetNamespace.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace {

constexpr const char* OWN_NAMESPACE = "/proc/thread-self/ns/net";

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

NetNamespace::~NetNamespace() {
    if (m_target >= 0) close(m_target);
    if (m_own >= 0) close(m_own);
}

bool NetNamespace::Open(const std::string& path, std::string& error) {
    m_target = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    m_own = open(OWN_NAMESPACE, O_RDONLY | O_CLOEXEC);
    if (m_target < 0 || m_own < 0) {
        error = SystemError("cannot open the network namespace " + path);
        return false;
    }
    return true;
}

bool NetNamespace::Within(const std::function<bool(std::string& error)>& work, std::string& error) const {
    if (setns(m_target, CLONE_NEWNET) != 0) {
        error = SystemError("cannot enter the LAN network namespace");
        return false;
    }
    const bool worked = work(error);
    if (setns(m_own, CLONE_NEWNET) != 0) {
        error = SystemError("cannot return from the LAN network namespace");
        return false;
    }
    return worked;
}
