#include "tools/EdidStore.h"

void EdidStore::Hold(int input, const Bytes& bytes) {
    for (int port = 1; port <= PORT_COUNT; ++port) {
        if (input == ALL_INPUTS || input == port) m_held[port - 1] = bytes;
    }
}

bool EdidStore::TakeFailure() {
    const bool fail = m_failNext;
    m_failNext = false;
    return fail;
}
