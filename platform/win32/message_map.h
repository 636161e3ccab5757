// Message maps: each window class lists, in a static table, which message (and for
// WM_COMMAND which notification from which control) goes to which handler, and names the
// table of its base class. Dispatch walks from the most derived table to the base tables.
#pragma once

#include "platform/types.h"

class CCmdTarget;

using AFX_PMSG = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;  // WM_COMMAND: the notification code; otherwise 0
    UINT nID;    // WM_COMMAND: the control or command id; otherwise 0
    AFX_PMSG pfn;  // NULL ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // NULL for the root table
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The entry for (message, wParam) in map or one of its bases; NULL when none.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, WPARAM wParam);

// Anything that has a message map: windows and the application.
class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Runs the handler of the command nID (notification nCode), if the map has one.
    virtual BOOL OnCmdMsg(UINT nID, UINT nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
};

#define DECLARE_MESSAGE_MAP()                                  \
public:                                                        \
    const AFX_MSGMAP* GetMessageMap() const override;          \
                                                               \
protected:                                                     \
    static const AFX_MSGMAP* GetThisMessageMap();

// The table is a function-local constant so that its handlers, written as lambdas inside a
// member function, may call protected members of the class.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                \
    {                                                                              \
        using ThisClass [[maybe_unused]] = theClass;                               \
        using TheBaseClass = baseClass;                                            \
        static constexpr AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                \
            {0, 0, 0, nullptr}};                                         \
        static constexpr AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                     \
    }

#define AFX_HANDLER(body) \
    [](CCmdTarget* target, [[maybe_unused]] WPARAM wParam, [[maybe_unused]] LPARAM lParam) -> LRESULT { \
        [[maybe_unused]] ThisClass* self = static_cast<ThisClass*>(target);                          \
        body                                                                                          \
    }

#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, 0, (id), AFX_HANDLER(self->memberFxn(); return 0;)},
#define ON_BN_CLICKED(id, memberFxn) \
    {WM_COMMAND, BN_CLICKED, (id), AFX_HANDLER(self->memberFxn(); return 0;)},
#define ON_WM_PAINT() \
    {WM_PAINT, 0, 0, AFX_HANDLER(self->OnPaint(); return 0;)},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, AFX_HANDLER(self->OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, AFX_HANDLER(return reinterpret_cast<LRESULT>(self->OnQueryDragIcon());)},
#define ON_WM_LBUTTONDOWN() \
    {WM_LBUTTONDOWN, 0, 0,  \
     AFX_HANDLER(self->OnLButtonDown(static_cast<UINT>(wParam), CPoint::FromLParam(lParam)); return 0;)},
#define ON_WM_LBUTTONUP() \
    {WM_LBUTTONUP, 0, 0,  \
     AFX_HANDLER(self->OnLButtonUp(static_cast<UINT>(wParam), CPoint::FromLParam(lParam)); return 0;)},
#define ON_WM_SETCURSOR()                                                                          \
    {WM_SETCURSOR, 0, 0,                                                                           \
     AFX_HANDLER(return self->OnSetCursor(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(wParam)), \
                                          LOWORD(lParam), HIWORD(lParam));)},
#define ON_WM_HELPINFO() \
    {WM_HELP, 0, 0, AFX_HANDLER(return self->OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));)},
