#include "framework/CGdiObject.h"

#include <unordered_map>
#include <utility>

namespace {

// A temporary object lets go of its handle before it goes: the object is not its to delete.
struct DetachingDelete {
    void operator()(CGdiObject* object) const {
        object->m_hObject = nullptr;
        delete object;
    }
};
using WrappersByType = std::unordered_map<std::type_index, std::unique_ptr<CGdiObject, DetachingDelete>>;

// GDI objects are drawn with on the UI thread only. The map outlives every
// process-wide object, which may still delete its handle at exit.
std::unordered_map<HGDIOBJ, WrappersByType>& Temporaries() {
    static auto* map = new std::unordered_map<HGDIOBJ, WrappersByType>;
    return *map;
}

// A deleted handle's value can come back for another object.
void ForgetTemporaries(HGDIOBJ handle) {
    auto found = Temporaries().find(handle);
    if (found == Temporaries().end()) return;
    Temporaries().erase(found);
}

}  // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FindTemporary(std::type_index type, HGDIOBJ handle) {
    auto byHandle = Temporaries().find(handle);
    if (byHandle == Temporaries().end()) return nullptr;
    auto byType = byHandle->second.find(type);
    return byType == byHandle->second.end() ? nullptr : byType->second.get();
}

CGdiObject* CGdiObject::AddTemporary(std::type_index type, HGDIOBJ handle, std::unique_ptr<CGdiObject> object) {
    object->m_hObject = handle;
    CGdiObject* raw = object.get();
    Temporaries()[handle][type].reset(object.release());
    return raw;
}

BOOL CGdiObject::Attach(HGDIOBJ handle) {
    if (handle == nullptr || m_hObject != nullptr) return FALSE;
    m_hObject = handle;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ handle = m_hObject;
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    HGDIOBJ handle = Detach();
    ForgetTemporaries(handle);
    return ::DeleteObject(handle);
}
