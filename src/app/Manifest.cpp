// The built-in lists. The letter case of each name is the one the installed file gets.
#include "app/Manifest.h"

const char kSystemLibraries[] =
    "Mfc42.dll\0" "Msvcrt.dll\0" "Oleaut32.dll\0" "Olepro32.dll\0";

const char kProductFiles[] =
    "64asm.ini\0" "Ada.ini\0" "American.vtd\0" "Basic.ini\0" "Batfiles.ini\0" "C31.ini\0"
    "Corba.ini\0" "Cpp.ini\0" "Default.dll\0" "Default.ini\0" "Scrivon.exe\0" "Scrivon.ocx\0"
    "Eiffel.ini\0" "Fortran.dll\0" "Fortran.ini\0" "French.vtd\0" "Generic.dll\0" "HelpFr.cnt\0"
    "HelpFr.hlp\0" "HelpIt.cnt\0" "HelpIt.hlp\0" "HelpRu.cnt\0" "HelpRu.hlp\0" "HelpUs.cnt\0"
    "HelpUs.hlp\0" "Html.dll\0" "Html.ini\0" "Inifiles.dll\0" "Inifiles.ini\0" "Italian.vtd\0"
    "Java.ini\0" "Joyerr.tex\0" "Latex.dll\0" "Latex.ini\0" "Lisp.ini\0" "Matlab.ini\0"
    "Opl.ini\0" "OrderFr.doc\0" "OrderIt.doc\0" "OrderRu.doc\0" "OrderUs.doc\0" "Pascal.ini\0"
    "Perl.ini\0" "Pov.ini\0" "ReadmeFr.doc\0" "ReadmeIt.doc\0" "ReadmeRu.doc\0" "ReadmeUs.doc\0"
    "Spell.dll\0" "Sql.ini\0" "TipsFr.txt\0" "TipsIt.txt\0" "TipsRu.txt\0" "TipsUs.txt\0";

const char kDefaultTextTypes[] =
    "1st asm asp bas c cpp def dpr for f77 frm h hpj idl inc ini jav java log m me out pas pov rc sql tex txt";

const char* FirstFile(const char* list) { return *list ? list : 0; }

const char* NextFile(const char* name) {
    while (*name) ++name;
    ++name;
    return *name ? name : 0;
}

int CountFiles(const char* list) {
    int n = 0;
    for (const char* name = FirstFile(list); name; name = NextFile(name)) ++n;
    return n;
}
