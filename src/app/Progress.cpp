// The progress of the two copy phases: one step per file over both lists.
#include "app/SetupContext.h"
#include "framework/Afx.h"
#include "res/resource.h"
#include "ui/ProgressDlg.h"

void InitSetupContext(SetupContext& context) {
    ZeroMemory(&context, sizeof context);
    context.renameJournal = INVALID_HANDLE_VALUE;
}

void ShowFileProgress(SetupContext& context, const char* name) {
    CString format;
    CString status;
    format.LoadString(IDS_INSTALLING);
    status.Format(format, name);
    int position = context.fileTotal ? (100 * context.fileIndex) / context.fileTotal : 0;
    ++context.fileIndex;
    if (context.progress) {
        context.progress->SetStatus(status);
        context.progress->SetPos(position);
    }
}
