#include "store/record_tree.h"

#include "platform/exceptions.h"
#include "store/archive.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <new>

namespace {

WORD LowWord(int key) { return static_cast<WORD>(static_cast<unsigned>(key) & 0xFFFFu); }

template <typename T>
std::unique_ptr<CObject> CreateRecord()
{
    return AfxAllocate([] { return std::make_unique<T>(); });
}

}  // namespace

const CRuntimeClass CUpdateElem::classCUpdateElem = {"CUpdateElem", 1, &CreateRecord<CUpdateElem>,
                                                     &CObject::classCObject};
const CRuntimeClass CUpdateDir::classCUpdateDir = {"CUpdateDir", 1, &CreateRecord<CUpdateDir>,
                                                   &CUpdateElem::classCUpdateElem};

const CRuntimeClass* FindRecordClass(const char* name, UINT length)
{
    for (const CRuntimeClass* cls : {&CUpdateElem::classCUpdateElem, &CUpdateDir::classCUpdateDir}) {
        if (std::strlen(cls->m_lpszClassName) == length && std::memcmp(cls->m_lpszClassName, name, length) == 0)
            return cls;
    }
    return NULL;
}

// ---- CUpdateElem ----

const CRuntimeClass* CUpdateElem::GetRuntimeClass() const { return &classCUpdateElem; }

void CUpdateElem::SetData(const BYTE* data, DWORD size)
{
    m_pData.reset();
    m_nSize = 0;
    if (size == 0)
        return;
    m_pData = AfxAllocate([size] { return std::make_unique_for_overwrite<BYTE[]>(size); });
    std::memcpy(m_pData.get(), data, size);
    m_nSize = size;
}

void CUpdateElem::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_nKey << m_nSize;
        if (m_nSize > 0)
            ar.Write(m_pData.get(), m_nSize);
        return;
    }

    m_pData.reset();
    m_nSize = 0;
    ar >> m_nKey;
    DWORD size = 0;
    ar >> size;
    if (size == 0)
        return;  // a zero-size blob loads as no buffer at all
    ar.EnsureReadable(size);
    auto blob = AfxAllocate([size] { return std::make_unique_for_overwrite<BYTE[]>(size); });
    if (ar.Read(blob.get(), size) != size)
        AfxThrowArchiveException(CArchiveException::endOfFile);
    m_pData = std::move(blob);
    m_nSize = size;
}

// ---- CUpdateDir ----

CUpdateDir::~CUpdateDir()
{
    m_index.clear();
    while (!m_children.empty())
        m_children.pop_back();
}

const CRuntimeClass* CUpdateDir::GetRuntimeClass() const { return &classCUpdateDir; }

void CUpdateDir::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_nKey;
        ar.WriteCount(static_cast<DWORD>(m_children.size()));
        for (const auto& child : m_children)
            ar.WriteObject(child.get());
        return;
    }

    ar >> m_nKey;
    const DWORD count = ar.ReadCount();
    // Keys are 16 bits, so no index holds more than 65,536 keys, whatever a damaged count says.
    AfxAllocate([&] { m_index.reserve(std::min<DWORD>(count, 0x10000)); });
    for (DWORD i = 0; i < count; ++i) {
        // The archive creates only the registered record classes, which all are CUpdateElem.
        std::unique_ptr<CUpdateElem> child(static_cast<CUpdateElem*>(ar.ReadObject().release()));
        const WORD key = child->m_nKey;
        AddChild(std::move(child), key);
    }
}

CUpdateElem* CUpdateDir::Find(int key) const
{
    const auto slot = m_index.find(LowWord(key));
    return slot == m_index.end() ? NULL : slot->second.m_first->get();
}

CUpdateElem* CUpdateDir::AddChild(std::unique_ptr<CUpdateElem> child, int key)
{
    const WORD low = LowWord(key);
    child->m_nKey = low;
    return AfxAllocate([&] {
        m_children.push_back(std::move(child));
        const ChildList::iterator last = std::prev(m_children.end());
        try {
            const auto [slot, fresh] = m_index.try_emplace(low, KeySlot{last, {}, 0});
            if (!fresh)
                slot->second.m_rest.push_back(last);
        } catch (const std::bad_alloc&) {
            m_children.pop_back();
            throw;
        }
        return last->get();
    });
}

void CUpdateDir::RemoveChild(int key)
{
    const auto slot = m_index.find(LowWord(key));
    if (slot == m_index.end())
        return;
    KeySlot& children = slot->second;
    const ChildList::iterator node = children.m_first;
    if (children.m_nHead == children.m_rest.size()) {
        m_index.erase(slot);
    } else {
        children.m_first = children.m_rest[children.m_nHead++];
        // The taken front goes once it is half the queue, so alternate adds and removals
        // under one key keep the queue short; each child is moved O(1) times on average.
        if (children.m_nHead * 2 >= children.m_rest.size()) {
            children.m_rest.erase(children.m_rest.begin(),
                                  children.m_rest.begin() + static_cast<std::ptrdiff_t>(children.m_nHead));
            children.m_nHead = 0;
        }
    }
    m_children.erase(node);
}
