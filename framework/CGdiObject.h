// A GDI object wrapper. The object owns its handle and deletes it on
// destruction unless the handle was detached. Handles that no object owns are
// wrapped in temporary objects (FromHandle), which never delete the handle;
// a temporary lives until its handle is deleted through a wrapper, so the
// object a DC held before a selection can be selected back later.
#pragma once

#include <windows.h>

#include <memory>
#include <typeindex>

class CGdiObject {
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject();

    HGDIOBJ m_hObject = nullptr;

    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    BOOL DeleteObject();

protected:
    // The temporary wrapper of class T for `handle`, made on first request.
    template <class T>
    static T* TemporaryFor(HGDIOBJ handle) {
        if (handle == nullptr) return nullptr;
        CGdiObject* found = FindTemporary(typeid(T), handle);
        if (found == nullptr) found = AddTemporary(typeid(T), handle, std::make_unique<T>());
        return static_cast<T*>(found);
    }

private:
    static CGdiObject* FindTemporary(std::type_index type, HGDIOBJ handle);
    static CGdiObject* AddTemporary(std::type_index type, HGDIOBJ handle, std::unique_ptr<CGdiObject> object);
};
