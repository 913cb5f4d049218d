// Message maps: a table of handlers per class, each table chained to its base.
// A class declares its table with DECLARE_MESSAGE_MAP and fills it between
// BEGIN_MESSAGE_MAP and END_MESSAGE_MAP; the dialog procedure looks a message
// up from the most derived table to the root.
#ifndef FRAMEWORK_CMDTARGET_H
#define FRAMEWORK_CMDTARGET_H

#include <windows.h>

class CCmdTarget;
typedef void (CCmdTarget::*AfxHandler)();

enum AfxSignature {
    AfxSigEnd = 0,
    AfxSigVoid,     // void Handler()
    AfxSigCursor,   // HCURSOR Handler()
};

struct MessageMapEntry {
    UINT message;    // window message, or WM_COMMAND for commands and notifications
    UINT code;       // notification code of a WM_COMMAND (BN_CLICKED is 0)
    UINT id;         // control or command id of a WM_COMMAND
    AfxSignature signature;
    AfxHandler handler;
};

struct MessageMap {
    const MessageMap* (*base)();    // null at the root
    const MessageMapEntry* entries; // ended by an AfxSigEnd entry
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() {}
    virtual const MessageMap* GetMessageMap() const;
    static const MessageMap* GetThisMessageMap();

    // The first entry, from the most derived map down, for this message.
    const MessageMapEntry* FindEntry(UINT message, UINT code, UINT id) const;
};

#define DECLARE_MESSAGE_MAP()                                   \
public:                                                         \
    static const MessageMap* GetThisMessageMap();               \
    virtual const MessageMap* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                  \
    const MessageMap* theClass::GetMessageMap() const {         \
        return GetThisMessageMap();                             \
    }                                                           \
    const MessageMap* theClass::GetThisMessageMap() {           \
        typedef theClass ThisClass __attribute__((unused));     \
        typedef baseClass TheBaseClass;                         \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                       \
            { 0, 0, 0, AfxSigEnd, 0 }                           \
        };                                                      \
        static const MessageMap map = {                         \
            &TheBaseClass::GetThisMessageMap, entries };        \
        return &map;                                            \
    }

#define AFX_VOID_HANDLER(fn) \
    static_cast<AfxHandler>(static_cast<void (ThisClass::*)()>(&ThisClass::fn))

#define ON_COMMAND(id, fn) \
    { WM_COMMAND, 0, (UINT)(id), AfxSigVoid, AFX_VOID_HANDLER(fn) },
#define ON_BN_CLICKED(id, fn) \
    { WM_COMMAND, BN_CLICKED, (UINT)(id), AfxSigVoid, AFX_VOID_HANDLER(fn) },
#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, AfxSigVoid, AFX_VOID_HANDLER(OnPaint) },
#define ON_WM_QUERYDRAGICON() \
    { WM_QUERYDRAGICON, 0, 0, AfxSigCursor, \
      reinterpret_cast<AfxHandler>(static_cast<HCURSOR (ThisClass::*)()>(&ThisClass::OnQueryDragIcon)) },

#endif
