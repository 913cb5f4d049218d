// RegisterTextTypes: when the user agrees, the shell's "txtfile" class opens
// and prints with the installed program, and each listed extension is bound
// to that class. Registry writes that fail are passed over: a user without
// rights under HKEY_CLASSES_ROOT still gets the rest of the installation.
#include "app/SetupContext.h"
#include "register/FileTypesDlg.h"
#include "support/CaseFold.h"
#include "support/Path.h"
#include "support/Registry.h"

namespace {

const char kTextClass[] = "txtfile";
const int kTextClassLength = 7;

// A default value of HKEY_CLASSES_ROOT, stored without its terminator.
void WriteClassValue(const char* key, const char* data) {
    RegWriteValue(HKEY_CLASSES_ROOT, key, "", REG_SZ, data, lstrlenA(data));
}

// The icon and the two commands. The program path is quoted in the commands:
// the default destination lies below "Program Files", and an unquoted path
// with blanks would be taken apart at its first blank by the shell. The path
// is at most 259 characters; what goes around it is never cut off.
void WriteTextClass(const char* installDir) {
    char program[MAX_PATH];
    JoinPath(program, installDir, "Scrivon.exe");

    char value[MAX_PATH + 16];
    wsprintfA(value, "%s,0", program);
    WriteClassValue("txtfile\\DefaultIcon", value);
    wsprintfA(value, "\"%s\" \"%%1\"", program);
    WriteClassValue("txtfile\\shell\\open\\command", value);
    wsprintfA(value, "\"%s\" /p \"%%1\"", program);
    WriteClassValue("txtfile\\shell\\print\\command", value);
}

// Each blank-separated word, as typed, names the key "." + word (cut to 258
// characters). Runs of blanks give no word.
void BindExtensions(const char* types) {
    char key[MAX_PATH];
    key[0] = '.';
    const char* cursor = types;
    while (*cursor) {
        NextField(&cursor, key + 1, MAX_PATH - 1, ' ');
        if (key[1]) RegWriteValue(HKEY_CLASSES_ROOT, key, "", REG_SZ, kTextClass, kTextClassLength);
    }
}

}  // namespace

bool RegisterTextTypes(SetupContext& context) {
    CFileTypesDlg dialog;
    if (dialog.DoModal() != IDOK) return true;
    WriteTextClass(context.installDir);
    BindExtensions(dialog.m_types);
    return true;
}
