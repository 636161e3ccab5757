#include "platform/win32/message_map.h"

namespace {

bool Matches(const AFX_MSGMAP_ENTRY& entry, UINT message, WPARAM wParam)
{
    if (entry.nMessage != message)
        return false;
    if (message != WM_COMMAND)
        return true;
    return entry.nCode == HIWORD(wParam) && entry.nID == LOWORD(wParam);
}

constexpr AFX_MSGMAP_ENTRY kNoEntries[] = {{0, 0, 0, nullptr}};
constexpr AFX_MSGMAP kRootMap = {nullptr, kNoEntries};

}  // namespace

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, WPARAM wParam)
{
    for (; map != nullptr; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn != nullptr; ++entry) {
            if (Matches(*entry, message, wParam))
                return entry;
        }
    }
    return nullptr;
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() { return &kRootMap; }

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::OnCmdMsg(UINT nID, UINT nCode)
{
    const WPARAM wParam = MAKEWPARAM(nID, nCode);
    const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(GetMessageMap(), WM_COMMAND, wParam);
    if (entry == nullptr)
        return FALSE;
    entry->pfn(this, wParam, 0);
    return TRUE;
}
