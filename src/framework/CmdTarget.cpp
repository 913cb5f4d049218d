// Message map lookup.
#include "framework/CmdTarget.h"

const MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static const MessageMapEntry entries[] = { { 0, 0, 0, AfxSigEnd, 0 } };
    static const MessageMap map = { 0, entries };
    return &map;
}

const MessageMapEntry* CCmdTarget::FindEntry(UINT message, UINT code, UINT id) const {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : 0) {
        for (const MessageMapEntry* e = map->entries; e->signature != AfxSigEnd; ++e) {
            if (e->message != message) continue;
            if (message == WM_COMMAND && (e->code != code || e->id != id)) continue;
            return e;
        }
    }
    return 0;
}
