// The record tree: CUpdateElem, a keyed record owning a byte blob, and CUpdateDir, a keyed
// record owning an ordered list of child records. Keys are 16 bits; every key argument
// counts with its low 16 bits only. Class names and schema are those stored in archives.
#pragma once

#include "platform/object.h"

#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

class CUpdateElem : public CObject {
public:
    CUpdateElem() = default;
    CUpdateElem(const CUpdateElem&) = delete;
    CUpdateElem& operator=(const CUpdateElem&) = delete;
    ~CUpdateElem() override = default;

    const CRuntimeClass* GetRuntimeClass() const override;
    // Element body: key (WORD), size (DWORD), then size blob bytes.
    void Serialize(CArchive& ar) override;

    // Replaces the blob with a copy of size bytes from data (which never points into the
    // record's own blob). If the new buffer cannot be allocated the record is left with
    // no buffer and size 0, and CMemoryException is raised.
    void SetData(const BYTE* data, DWORD size);

    WORD m_nKey = 0;
    std::unique_ptr<BYTE[]> m_pData;  // NULL when the record has no buffer
    DWORD m_nSize = 0;

    static const CRuntimeClass classCUpdateElem;  // "CUpdateElem", schema 1
};

class CUpdateDir : public CUpdateElem {
public:
    using ChildList = std::list<std::unique_ptr<CUpdateElem>>;

    CUpdateDir() = default;
    // Destroys every child, the last in the list first.
    ~CUpdateDir() override;

    const CRuntimeClass* GetRuntimeClass() const override;
    // Directory body: key (WORD), then the children as a counted object list. Loading
    // appends each child once it has been read completely.
    void Serialize(CArchive& ar) override;

    // The first child, in list order, whose key is the low 16 bits of key; NULL if none.
    CUpdateElem* Find(int key) const;
    // Gives child the low 16 bits of key, appends it and takes ownership; returns it.
    // Does not look for a child with the same key.
    CUpdateElem* AddChild(std::unique_ptr<CUpdateElem> child, int key);
    // Deletes the first child, in list order, with the low 16 bits of key; nothing if none.
    void RemoveChild(int key);

    const ChildList& GetChildren() const { return m_children; }

    static const CRuntimeClass classCUpdateDir;  // "CUpdateDir", schema 1

private:
    // One key's children in list order. Keys are nearly always unique, so the first child
    // needs no allocation of its own; later ones queue in m_rest from m_nHead on.
    struct KeySlot {
        ChildList::iterator m_first;
        std::vector<ChildList::iterator> m_rest;
        size_t m_nHead = 0;
    };

    ChildList m_children;
    // Children by key, so that lookups do not scan.
    std::unordered_map<WORD, KeySlot> m_index;
};

// The class registered under name (exactly "CUpdateElem" or "CUpdateDir"), or NULL.
const CRuntimeClass* FindRecordClass(const char* name, UINT length);
