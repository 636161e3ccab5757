// CObject and its run-time class descriptor: what the archive needs to create
// records by class name and to tell directories from plain records.
#pragma once

#include "platform/types.h"

#include <memory>

class CArchive;
class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    UINT m_wSchema;                                   // 0xFFFF: not serialisable
    std::unique_ptr<CObject> (*m_pfnCreateObject)();  // NULL: not creatable
    const CRuntimeClass* m_pBaseClass;

    // A new object of this class, or NULL when the class has no factory.
    std::unique_ptr<CObject> CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    virtual ~CObject() = default;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    // Stores or loads the object's body; CObject itself has none.
    virtual void Serialize(CArchive& ar);

    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

    static const CRuntimeClass classCObject;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)
