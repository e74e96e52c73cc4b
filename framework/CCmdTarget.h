// Root of every class that takes messages through a message map.
#pragma once

#include "framework/MessageMap.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    static const MessageMap* GetThisMessageMap();

    // Runs the first entry of this class's map, or of a base's, that matches
    // the message. For WM_COMMAND (also reflected) the notification code and
    // the control id must match too; a reflected entry matches any id.
    bool DispatchMessageEntry(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // A command (menu item, accelerator, button) routed to this target.
    bool OnCmdMsg(UINT code, UINT id);

protected:
    virtual const MessageMap* GetMessageMap() const;

private:
    const MessageMapEntry* FindEntry(UINT message, UINT code, UINT id) const;
};
