// wine-langs: en fr it ru
//
// The string catalogue as the program finds it in its own module: which
// string ids exist in which languages, the text of every id in English,
// French, Italian and Russian, whether each text survives the trip to its
// language's ANSI code page, and what LoadStringA hands the program in the
// language the test runs under (SETUP_TEST_LANG, with a matching LANG).
//
// Strings live in blocks of 16: block n holds the ids 16*(n-1) to 16*n-1,
// each as a count of UTF-16 units followed by the units; a count of 0 means
// that the id does not exist.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "TestText.h"

namespace {

struct Language {
    const char *tag;  // as in SETUP_TEST_LANG
    LANGID id;
    UINT codePage;    // the ANSI code page of a system in this language
};

const Language kLanguages[] = {
    {"en", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), 1252},
    {"fr", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), 1252},
    {"it", MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN), 1252},
    {"ru", MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), 1251},
};
const size_t kLanguageCount = sizeof kLanguages / sizeof kLanguages[0];

const UINT kProductNameId = 1;
const char kProductName[] = "Scrivon V4.1";

// Every language-dependent text, in the order of kLanguages. \n is a line
// feed; spaces are significant, doubled and leading ones included.
struct CatalogueRow {
    UINT id;
    const char *name;
    const char *text[kLanguageCount];
};

const CatalogueRow kCatalogue[] = {
    {128, "IDS_NEED_WINDOWS",
      {"Scrivon requires Windows 95, 98, or NT4 or more !",
       "Scrivon requiert Windows 95, 98, ou NT4 ou plus !",
       "Scrivon bisogna Windows 95, 98, o NT4 o di più !",
       "Программа Scrivon требует системы Windows 95, 98, или NT4 или выше !"}},
    {129, "IDS_NO_MEMORY",
      {"Could not allocate memory",
       "Allocation de mémoire impossible !",
       "Allocazione di memoria impossibile !",
       "Невозможно разместить память !"}},
    {130, "IDS_CHOOSE_DIRECTORY",
      {"Choose directory:",
       "Choisissez le répertoire:",
       "Scelga la directory:",
       "Выбрать каталог:"}},
    {131, "IDS_WELCOME",
      {"Setup will install %s in the following folder.\n\n"
           "To install to this folder, click &Next.\n\n"
           "To install to a different folder, click &Browse and select another folder.\n\n"
           "You can choose not to install %s by clicking Cancel to exit setup.",
       "%s va être installé dans le répertoire ci-après.\n\n"
           "Pour effectuer l'installation, cliquez sur &Suivant.\n\n"
           "Pour installer dans un autre répertoire, choisissez &Parcourir et choisissez un autre répertoire.\n\n"
           "Vous pouvez choisier de ne pas installer %s en cliquant Annuler pour sortir de l'installation.",
       "%s sara installato nella cartella qui sotto.\n\n"
           "Per installare in questa cartella, fare clic su successivo.\n\n"
           "Per installare in un'altra cartella, fare clic su &Sfoglia e scegliere un'altra cartella.\n\n"
           "Può scegliere di non installare %s faccendo clic su Annulla per uscire dell'installazione.",
       "Программа установки будет инсталлировать %s в следующую папку.\n\n"
           "Для инсталляции в эту папку щелкните на &Дальше.\n\n"
           "Для инсталляции в другую папку щелкните на &Просмотр и выберите другую папку.\n\n"
           "Вы можете отменить инсталляцию %s щелкнув на Отмена для выхода из установки."}},
    {132, "IDS_SYSLIB_ACCESS",
      {"Could not update the %s system dll : %s Please give write access rights or logon again as administrator !",
       "Mise à jour de la dll système %s impossible : %s Svp, donnez les droits d'accès ou reconnectez vous sous le compte administrateur !",
       "È impossibile aggiornare la dll systema %s : %s ! Per favore, attribui i diritti di scrittura o riconnetti come amministratore !",
       "Невозможно обновить %s системную библиотеку dll : %s Пожалуйста дайте права записи или вновь зарегистрируйтесь как администратор !"}},
    {133, "IDS_SYSLIB_FAILED",
      {"Could not update the %s system dll : %s",
       "Mise à jour de la dll système %s impossible : %s",
       "È impossibile aggiornare la dll systema %s : %s !",
       "Невозможно обновить %s системную библиотеку : %s"}},
    {134, "IDS_FILE_ACCESS",
      {"Could not access file %s : %s",
       "Accès au fichier %s impossible : %s",
       "È impossibile accedere al file %s : %s !",
       "Нет доступа к файлу %s : %s"}},
    {135, "IDS_WRITE_ERROR",
      {"Write error on file %s : %s",
       "Erreur lors de l'écriture du fichier %s : %s",
       "Errore di scrittura sul file %s : %s !",
       "Ошибка записи в файл %s : %s"}},
    {136, "IDS_PROGRESS_TITLE",
      {"Progress",
       "Avancement",
       "Avanzamento",
       "Ход работы"}},
    {137, "IDS_INSTALLING",
      {"Installing %s.",
       "Installation de %s en cours.",
       "Installazione di %s in corso.",
       "Инсталляция %s."}},
    {138, "IDS_CREATE_DIRECTORY",
      {"Could not create directory %s : %s",
       "Création du répertoire %s impossible : %s",
       "È impossibile creare la directory %s : %s !",
       "Невозможно создать каталог %s : %s"}},
    {139, "IDS_COPY_FAILED",
      {"Copying %s to %s : %s",
       "Copie de %s vers %s : %s",
       "Copia di %s verso %s : %s !",
       "Копирование %s в %s : %s"}},
    {140, "IDS_CREATE_FILE",
      {"Could not create file %s : %s",
       "Création du fichier %s impossible : %s",
       "È impossibile creare il file %s : %s !",
       "Невозможно создать файл %s : %s"}},
    {141, "IDS_SHORTCUTS",
      {"Scrivon V4.1.lnk=Scrivon.exe,Scrivon V4.1\n"
           "Scrivon's help.lnk=HelpUs.hlp,Scrivon's help\n"
           "Information.lnk=ReadmeUs.doc,Information\n"
           "Order form.lnk=OrderUs.doc,Order form\n"
           "Uninstall.lnk=Unscri.exe,Uninstall\n",
       "Scrivon V4.1.lnk=Scrivon.exe,Scrivon V4.1\n"
           "Aide de  Scrivon.lnk=HelpFr.hlp,Aide de Scrivon\n"
           "Informations.lnk=ReadmeFr.doc,Informations\n"
           "Bon de commande.lnk=OrderFr.doc,Bon de commande\n"
           "Désinstaller.lnk=Unscri.exe,Désinstaller\n",
       "Scrivon V4.1.lnk=Scrivon.exe,Scrivon V4.1\n"
           "Guida di Scrivon.lnk=HelpIt.hlp,Guida di Scrivon\n"
           " Informazioni.lnk=ReadmeIt.doc,Informazioni\n"
           "Buono di ordinazione.lnk=OrderIt.doc,Buono di ordinazione\n"
           "Disinstallare.lnk=Unscri.exe, Disinstallare\n",
       "Scrivon V4.1.lnk=Scrivon.exe,Scrivon V4.1\n"
           "Справка.lnk=HelpRu.hlp,Справка\n"
           "Информация.lnk=ReadmeRu.doc,Информация\n"
           "Заказ.lnk=OrderRu.doc,Заказ\n"
           "Удаление.lnk=Unscri.exe,Удаление\n"}},
    {142, "IDS_RESTART_NEEDED",
      {"Some system files were busy and you will have to restart Windows in order to terminate the installation !",
       "Certains fichiers fichiers système étaient occupés et il sera nécessaire de redémarrer Windows pour terminer l'installation !",
       "Certi file sistema erano occupati e Leï dovra riavviare Windows per finire l'installazione !",
       "Некоторые файлы были заняты и вы должны перезапустить Windows чтобы завершить инсталляцию !"}},
    {143, "IDS_KEY_ACCESS",
      {"Could not access key  HKEY_LOCAL_MACHINE\\%s : %s",
       "Accès à la clé HKEY_LOCAL_MACHINE\\%s impossible : %s",
       "È impossibile accedere alla chiave  HKEY_LOCAL_MACHINE\\%s : %s",
       "Невозможно обращение к ключу HKEY_LOCAL_MACHINE\\%s : %s"}},
    {144, "IDS_LOGOFF",
      {"The Scrivon installation will now effect a Logoff to take the modification of the Path environment variable into account.",
       "L'installation de Scrivon va maintenant effectuer un Logoff pour prendre en compte la modification de la variable d'environnement Path.",
       "L'installazione di Scrivon va adesso effetuare un Logoff per tener conto della modifica della variabile di ambiente Path.",
       "Инсталляция Scrivon теперь воздействует на файл регистрации Logoff для изменения переменной окружения Path в учетной записи."}},
    {145, "IDS_DONE",
      {"Installation normally terminated. You can now use Scrivon.",
       "Installation normalement terminée. Vous pouvez maintenant utiliser Scrivon.",
       "Installazione terminata normalmente. Puo adesso utilizzare Scrivon.",
       "Инсталляция завершена нормально. Теперь вы можете использовать Scrivon."}},
};

// The text in a code page, refusing best-fit look-alikes: *lossless tells
// whether every character has a code of its own there.
std::string ToCodePage(const std::wstring &text, UINT codePage, bool *lossless)
{
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                (int)text.size(), NULL, 0, NULL, &usedDefault);
    std::string out(n, '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.c_str(), (int)text.size(),
                            &out[0], n, NULL, &usedDefault);
    *lossless = !usedDefault && n == (int)out.size();
    return out;
}

HMODULE Module()
{
    return GetModuleHandleA(NULL);
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    // The catalogue names its blocks by number only.
    reinterpret_cast<std::vector<UINT> *>(param)->push_back(
        IS_INTRESOURCE(name) ? (UINT)(UINT_PTR)name : 0xFFFFFFFF);
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::set<LANGID> *>(param)->insert(language);
    return TRUE;
}

// The 16 strings of one block in exactly one language. *found is false
// when the module has no such block, or when the block is malformed.
std::vector<std::wstring> LoadBlock(UINT block, LANGID language, bool *found)
{
    std::vector<std::wstring> strings(16);
    *found = false;
    HRSRC info = FindResourceExA(Module(), (LPCSTR)RT_STRING, MAKEINTRESOURCEA(block), language);
    HGLOBAL handle = info ? LoadResource(Module(), info) : NULL;
    const WCHAR *data = handle ? static_cast<const WCHAR *>(LockResource(handle)) : NULL;
    if (!data)
        return strings;
    size_t units = SizeofResource(Module(), info) / sizeof(WCHAR);
    size_t at = 0;
    for (int i = 0; i < 16; i++) {
        if (at >= units)
            return strings;
        size_t count = data[at++];
        if (count > units - at)
            return strings;
        strings[i].assign(data + at, count);
        at += count;
    }
    *found = true;
    return strings;
}

// The text of one id in exactly one language; a marker when its block is absent.
std::wstring CatalogueText(UINT id, LANGID language)
{
    bool found;
    std::vector<std::wstring> block = LoadBlock(id / 16 + 1, language, &found);
    if (!found)
        return L"<missing block>";
    return block[id % 16];
}

std::string Where(const Language &language, const CatalogueRow &row)
{
    char where[64];
    wsprintfA(where, "%s %u %s", language.tag, row.id, row.name);
    return where;
}

// Which string ids exist, and in which languages: string 1 once and
// language-neutral, 128 to 145 in each of the four languages, nothing else.
TEST(Catalogue, HoldsOnlyTheProgramsIdsInTheirLanguages)
{
    std::vector<UINT> blocks;
    EnumResourceNamesA(Module(), (LPCSTR)RT_STRING, CollectName, (LONG_PTR)&blocks);
    std::set<UINT> blockSet(blocks.begin(), blocks.end());
    EXPECT_EQ(blockSet, (std::set<UINT>{1, 9, 10}));

    std::set<LANGID> neutral{MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)};
    std::set<LANGID> four;
    for (const Language &language : kLanguages)
        four.insert(language.id);

    std::map<LANGID, std::set<UINT>> ids;
    for (UINT block : blockSet) {
        std::set<LANGID> languages;
        EnumResourceLanguagesA(Module(), (LPCSTR)RT_STRING, MAKEINTRESOURCEA(block),
                               CollectLanguage, (LONG_PTR)&languages);
        EXPECT_EQ(languages, block == 1 ? neutral : four) << "block " << block;
        for (LANGID language : languages) {
            bool found;
            std::vector<std::wstring> strings = LoadBlock(block, language, &found);
            EXPECT_TRUE(found) << "block " << block << " language " << language << " is malformed";
            for (UINT i = 0; i < 16; i++)
                if (!strings[i].empty())
                    ids[language].insert((block - 1) * 16 + i);
        }
    }

    std::set<UINT> catalogue;
    for (const CatalogueRow &row : kCatalogue)
        catalogue.insert(row.id);
    EXPECT_EQ(ids[MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)], std::set<UINT>{kProductNameId});
    for (const Language &language : kLanguages)
        EXPECT_EQ(ids[language.id], catalogue) << language.tag;
}

TEST(Catalogue, ProductNameIsTheOneNeutralString)
{
    EXPECT_EQ(Utf8(CatalogueText(kProductNameId, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL))),
              kProductName);
}

TEST(Catalogue, EveryTextMatchesInEveryLanguage)
{
    for (size_t l = 0; l < kLanguageCount; l++) {
        for (const CatalogueRow &row : kCatalogue) {
            SCOPED_TRACE(Where(kLanguages[l], row));
            std::wstring actual = CatalogueText(row.id, kLanguages[l].id);
            EXPECT_TRUE(actual == Utf16(row.text[l]))
                << "   stored: \"" << Utf8(actual) << "\"\n"
                << " expected: \"" << row.text[l] << "\"";
        }
    }
}

// The program takes every text as ANSI: a character with no code in the
// language's code page would come out as a question mark or a look-alike.
TEST(Catalogue, EveryTextFitsItsAnsiCodePage)
{
    for (const Language &language : kLanguages) {
        for (const CatalogueRow &row : kCatalogue) {
            SCOPED_TRACE(Where(language, row));
            std::wstring text = CatalogueText(row.id, language.id);
            bool lossless = false;
            ToCodePage(text, language.codePage, &lossless);
            EXPECT_TRUE(lossless) << "not all of \"" << Utf8(text) << "\" exists in code page "
                                  << language.codePage;
        }
    }
}

// What the program itself gets: LoadStringA picks the copy for the user's
// language and converts it to the system code page.
TEST(Catalogue, LoadStringGivesTheUsersLanguageInTheAnsiCodePage)
{
    const char *tag = getenv("SETUP_TEST_LANG");
    const Language *language = NULL;
    for (const Language &candidate : kLanguages) {
        if (tag ? strcmp(tag, candidate.tag) == 0
                : PRIMARYLANGID(GetUserDefaultUILanguage()) == PRIMARYLANGID(candidate.id))
            language = &candidate;
    }
    if (!language)
        GTEST_SKIP() << "runs only under one of the catalogue's languages (SETUP_TEST_LANG)";
    size_t l = language - kLanguages;

    ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), PRIMARYLANGID(language->id))
        << "the process does not run in the language SETUP_TEST_LANG names";
    ASSERT_EQ(GetACP(), language->codePage);

    struct Expected {
        UINT id;
        const char *text;
    };
    std::vector<Expected> expected{{kProductNameId, kProductName}};
    for (const CatalogueRow &row : kCatalogue)
        expected.push_back({row.id, row.text[l]});

    for (const Expected &string : expected) {
        SCOPED_TRACE(string.id);
        bool lossless = false;
        std::string ansi = ToCodePage(Utf16(string.text), GetACP(), &lossless);
        ASSERT_TRUE(lossless);

        // The size of the program's own template buffer.
        char buffer[1024];
        memset(buffer, 0x55, sizeof buffer);
        int n = LoadStringA(Module(), string.id, buffer, sizeof buffer);
        ASSERT_GE(n, 0);
        EXPECT_EQ(std::string(buffer, n), ansi);
        EXPECT_EQ(buffer[n], '\0');
    }
}

} // namespace
