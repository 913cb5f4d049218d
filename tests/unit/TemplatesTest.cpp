// The dialog templates as the dialog manager reads them from the module:
// which templates exist in which languages, and for each one its frame
// (style, extended style, rectangle, font, caption) and its controls in
// template order, which is the tab order (id, class, style, extended style,
// rectangle, text). Also the icon the templates show.
//
// The templates are parsed here from their binary form, the plain
// DLGTEMPLATE for 258 to 260 and the extended DLGTEMPLATEEX for 257, so a
// changed style bit, a moved control or a swapped order shows as such.

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include "TestText.h"

namespace {

// ---------------------------------------------------------------------------
// What the templates must hold.

enum { kEn, kFr, kIt, kRu, kLanguageCount };
const char *const kLanguageTags[kLanguageCount] = {"en", "fr", "it", "ru"};
const LANGID kLanguageIds[kLanguageCount] = {
    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
    MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH),
    MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN),
    MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT),
};
const LANGID kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

const WORD kIconId = 256;

struct Rect {
    short x, y, cx, cy;
};
// A value per language, in the order of kLanguageIds; a template with one
// language-neutral copy uses the first.
template <typename T>
using PerLanguage = std::array<T, kLanguageCount>;

PerLanguage<Rect> All(Rect r) { return {r, r, r, r}; }
PerLanguage<Rect> RussianAt(Rect r, Rect ru) { return {r, r, r, ru}; }
PerLanguage<Rect> Each(Rect en, Rect fr, Rect it, Rect ru) { return {en, fr, it, ru}; }

// A control's text: a string per language (UTF-8), or a resource ordinal.
struct Text {
    PerLanguage<const char *> string;
    WORD ordinal;
};
Text Texts(const char *en, const char *fr, const char *it, const char *ru)
{
    return {{en, fr, it, ru}, 0};
}
Text Same(const char *text) { return {{text, text, text, text}, 0}; }
Text Ordinal(WORD ordinal) { return {{}, ordinal}; }

struct Control {
    int id;
    const char *windowClass;
    DWORD style;
    DWORD exStyle;
    PerLanguage<Rect> rect;
    Text text;
};

struct Dialog {
    WORD id;
    const char *name;
    bool extended;
    bool neutral;  // one copy for every language
    DWORD style;
    DWORD exStyle;
    PerLanguage<Rect> rect;
    PerLanguage<const char *> caption;
    std::vector<Control> controls;
};

// Every template uses MS Sans Serif 8; the extended one also names a
// normal weight, no italics and the default character set.
const WORD kPointSize = 8;
const char kTypeface[] = "MS Sans Serif";
const WORD kWeight = 0;
const BYTE kItalic = 0;
const BYTE kCharset = DEFAULT_CHARSET;

const DWORD kChild = WS_CHILD | WS_VISIBLE;

const std::vector<Dialog> &Dialogs()
{
    static const std::vector<Dialog> dialogs = {
        {257, "IDD_DESTINATION", true, false,
         WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
         WS_EX_APPWINDOW,
         RussianAt({0, 0, 238, 154}, {0, 0, 238, 158}),
         {"Scrivon installation", "Installation de Scrivon", "Installazione di Scrivon",
          "Инсталляция Scrivon"},
         {
             {IDOK, "Button", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
              RussianAt({114, 132, 50, 14}, {114, 136, 50, 14}),
              Texts("&Next >", "&Suivant >", "&Successivo >", "&Дальше >")},
             {1024, "Button", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0,
              RussianAt({170, 104, 50, 14}, {170, 108, 50, 14}),
              Texts("&Browse...", "&Parcourir...", "&Sfoglia...", "&Просмотр...")},
             {IDCANCEL, "Button", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0,
              RussianAt({176, 132, 50, 14}, {176, 136, 50, 14}),
              Texts("Cancel", "Annuler", "Annulla", "Отмена")},
             {-1, "Static", kChild | SS_ICON, 0,
              RussianAt({12, 11, 20, 20}, {12, 11, 21, 20}), Ordinal(kIconId)},
             {1032, "Static", kChild | WS_GROUP | SS_LEFT, WS_EX_TRANSPARENT,
              RussianAt({44, 11, 182, 76}, {44, 11, 182, 83}), Same("")},
             {-1, "Button", kChild | BS_GROUPBOX, 0,
              RussianAt({12, 94, 214, 30}, {12, 98, 214, 30}),
              Texts("Destination folder", "Répertoire de destination", "Cartella destinazione",
                    "Целевая папка")},
             {1025, "Static", kChild | WS_GROUP | SS_LEFT, 0,
              RussianAt({20, 106, 136, 8}, {20, 110, 136, 8}), Same("")},
         }},

        // No system menu: the progress window has no close box.
        {258, "IDD_PROGRESS", false, true,
         WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT, 0,
         All({0, 0, 186, 66}),
         {"", "", "", ""},
         {
             {1027, "msctls_progress32", kChild | WS_BORDER, 0, All({15, 34, 154, 13}),
              Same("Progress1")},
             {1028, "Static", kChild | WS_GROUP | SS_LEFT, 0, All({85, 23, 18, 8}), Same(" 0 %")},
             {1029, "Static", kChild | WS_GROUP | SS_LEFT, 0, All({13, 7, 158, 11}), Same("")},
         }},

        // Only OK is a tab stop; the radio group starts at 1030.
        {259, "IDD_RESTART", false, false,
         WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0,
         All({0, 0, 199, 110}),
         {"Restart Windows", "Redémarrer Windows", "Riavviare Windows", "Перезапуск Windows"},
         {
             {-1, "Static", kChild | WS_GROUP | SS_LEFT, 0, All({11, 11, 176, 16}),
              Texts("Restarting Windows is required to terminate the installation. "
                    "Do you want to restart now ?",
                    "Il faut redémarrer Windows pour terminer l''installation. "
                    "Voulez vous redémarrer maintenant ?",
                    "Bisogna riavviare Windows per finire l'installazione.\n"
                    "Vuole riavviare adesso ?",
                    "Для завершения инсталляции необходимо перезапустить Windows. "
                    "Желаете сделать перезапуск теперь ?")},
             {-1, "Button", kChild | BS_GROUPBOX, 0, All({12, 36, 176, 46}),
              Texts("Restart", "Redémarrer", "Riavviare", "Перезапуск")},
             {1030, "Button", kChild | WS_GROUP | BS_AUTORADIOBUTTON, 0, All({17, 48, 133, 12}),
              Texts("Yes, I want to restart now", "Oui, je veux redémarrer maintenant",
                    "Si, voglio riavviare adesso", "Да, я хочу перезапустить теперь")},
             {1031, "Button", kChild | BS_AUTORADIOBUTTON, 0, All({17, 62, 129, 12}),
              Texts("No, I will restart later", "Non, je redémarrerais plus tard",
                    "No, riavviero più tardi", "Нет, я перезапущу позже")},
             {IDOK, "Button", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, All({75, 89, 50, 14}),
              Same("OK")},
         }},

        // The edit box is the first tab stop, so it takes the focus; No is
        // the default button, so Enter answers No.
        {260, "IDD_FILE_TYPES", false, false,
         WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0,
         All({0, 0, 404, 93}),
         {"File type associations", "Associations de types de fichiers",
          "Associazioni di tipi di file", "Ассоциации типов файлов"},
         {
             {-1, "Static", kChild | WS_GROUP | SS_LEFT, 0,
              Each({42, 11, 273, 25}, {42, 11, 290, 25}, {42, 11, 253, 25}, {42, 11, 273, 25}),
              Texts("Would you like to register the following file types as text files ?\n\n"
                    "This will afford opening them by double-clicking on their name in the "
                    "file Explorer.",
                    "Souhaitez vous enregistrer les fichiers suivants comme fichiers texte ?\n\n"
                    "Cela permettra de les ouvrir en double-cliquant sur leur nom dans "
                    "l'Explorateur de fichiers.",
                    "Desidera registrare i file segguenti come file testo ?\n\n"
                    "Questo permettera di aprirli faccendo doppio clic sul loro nome nell file "
                    "Explorer.",
                    "Вы хотите зарегистрировать следующие типы файлов как текстовые файлы ?\n\n"
                    "Это позволит открывать их двойным щелчком на их имени в Проводнике.")},
             {-1, "Button", kChild | BS_GROUPBOX, 0, All({7, 46, 389, 39}),
              Texts("Types", "Types", "Tipi", "Типы")},
             {-1, "Static", kChild | WS_GROUP | SS_LEFT, 0,
              Each({18, 63, 22, 8}, {18, 63, 22, 8}, {25, 63, 14, 8}, {18, 63, 22, 8}),
              Texts("&Types:", "&Types:", "&Tipi:", "&Типы:")},
             {257, "Edit", kChild | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 0,
              All({44, 61, 342, 12}), Same("")},
             {IDOK, "Button", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, All({342, 11, 50, 14}),
              Texts("&Yes", "&Oui", "&Si", "&Да")},
             {IDCANCEL, "Button", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
              All({342, 29, 50, 14}), Texts("&No", "&Non", "&No", "&Нет")},
             {-1, "Static", kChild | SS_ICON, 0, All({12, 11, 20, 20}), Ordinal(kIconId)},
         }},
    };
    return dialogs;
}

// ---------------------------------------------------------------------------
// The binary templates.

// A name or text field of a template: empty, an ordinal or a string.
struct Field {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::wstring string;
};

struct ParsedControl {
    DWORD helpId = 0, style = 0, exStyle = 0;
    Rect rect = {};
    DWORD id = 0;
    Field windowClass, text;
    WORD extraBytes = 0;
};

struct ParsedDialog {
    bool extended = false;
    DWORD helpId = 0, style = 0, exStyle = 0;
    Rect rect = {};
    Field menu, windowClass;
    std::wstring caption;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::wstring typeface;
    std::vector<ParsedControl> controls;
};

// Reads little-endian fields from a resource; a read past its end makes
// the reader fail instead of looking outside it.
class Reader {
public:
    Reader(const BYTE *data, size_t size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }

    WORD Word()
    {
        if (!Need(2))
            return 0;
        WORD value = (WORD)(m_data[m_at] | m_data[m_at + 1] << 8);
        m_at += 2;
        return value;
    }
    DWORD Dword()
    {
        DWORD low = Word();
        return low | (DWORD)Word() << 16;
    }
    BYTE Byte() { return Need(1) ? m_data[m_at++] : 0; }
    short Short() { return (short)Word(); }
    Rect ReadRect()
    {
        Rect r;
        r.x = Short();
        r.y = Short();
        r.cx = Short();
        r.cy = Short();
        return r;
    }
    std::wstring String()
    {
        std::wstring text;
        for (WORD c = Word(); m_ok && c != 0; c = Word())
            text += (wchar_t)c;
        return text;
    }
    // sz_Or_Ord: 0 for none, 0xFFFF and an ordinal, or a string.
    Field NameOrOrdinal()
    {
        Field field;
        WORD first = Word();
        if (first == 0xFFFF) {
            field.isOrdinal = true;
            field.ordinal = Word();
        } else if (first != 0) {
            field.string = (wchar_t)first;
            field.string += String();
        }
        return field;
    }
    void Skip(size_t bytes)
    {
        if (Need(bytes))
            m_at += bytes;
    }
    // Each item starts on a DWORD boundary of the template.
    void AlignDword() { m_at = (m_at + 3) & ~(size_t)3; }

private:
    bool Need(size_t bytes)
    {
        if (m_at > m_size || bytes > m_size - m_at)
            m_ok = false;
        return m_ok;
    }

    const BYTE *m_data;
    size_t m_size;
    size_t m_at = 0;
    bool m_ok = true;
};

// Parses either form of template. Returns false when it is cut short.
bool ParseTemplate(const BYTE *data, size_t size, ParsedDialog *dialog)
{
    Reader in(data, size);
    WORD version = in.Word();
    WORD signature = in.Word();
    dialog->extended = version == 1 && signature == 0xFFFF;
    if (dialog->extended) {
        dialog->helpId = in.Dword();
        dialog->exStyle = in.Dword();
        dialog->style = in.Dword();
    } else {
        dialog->style = version | (DWORD)signature << 16;
        dialog->exStyle = in.Dword();
    }
    WORD count = in.Word();
    dialog->rect = in.ReadRect();
    dialog->menu = in.NameOrOrdinal();
    dialog->windowClass = in.NameOrOrdinal();
    dialog->caption = in.String();
    if (dialog->style & DS_SETFONT) {
        dialog->pointSize = in.Word();
        if (dialog->extended) {
            dialog->weight = in.Word();
            dialog->italic = in.Byte();
            dialog->charset = in.Byte();
        }
        dialog->typeface = in.String();
    }
    for (WORD i = 0; i < count && in.ok(); i++) {
        ParsedControl control;
        in.AlignDword();
        if (dialog->extended) {
            control.helpId = in.Dword();
            control.exStyle = in.Dword();
            control.style = in.Dword();
            control.rect = in.ReadRect();
            control.id = in.Dword();
        } else {
            control.style = in.Dword();
            control.exStyle = in.Dword();
            control.rect = in.ReadRect();
            control.id = in.Word();
        }
        control.windowClass = in.NameOrOrdinal();
        control.text = in.NameOrOrdinal();
        control.extraBytes = in.Word();
        in.Skip(control.extraBytes);
        dialog->controls.push_back(control);
    }
    return in.ok();
}

HMODULE Module()
{
    return GetModuleHandleA(NULL);
}

// The template of one id in exactly the given language.
bool LoadTemplate(WORD id, LANGID language, ParsedDialog *dialog)
{
    HRSRC info = FindResourceExA(Module(), (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(id), language);
    HGLOBAL handle = info ? LoadResource(Module(), info) : NULL;
    const BYTE *data = handle ? static_cast<const BYTE *>(LockResource(handle)) : NULL;
    return data && ParseTemplate(data, SizeofResource(Module(), info), dialog);
}

// The class a control names, ordinals of the predefined classes spelt out.
// Class names are compared without regard to case, as the window manager
// does (and windres stores quoted names upper-cased).
std::string ClassName(const Field &field)
{
    static const char *const predefined[] = {"Button", "Edit", "Static",
                                             "ListBox", "ScrollBar", "ComboBox"};
    std::string name;
    if (field.isOrdinal)
        name = field.ordinal >= 0x80 && field.ordinal <= 0x85 ? predefined[field.ordinal - 0x80]
                                                               : "#" + std::to_string(field.ordinal);
    else
        name = Utf8(field.string);
    for (char &c : name)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return name;
}

std::string Upper(const char *text)
{
    return ClassName(Field{false, 0, Utf16(text)});
}

std::string Hex(DWORD value)
{
    char text[16];
    wsprintfA(text, "0x%08lX", value);
    return text;
}

::testing::AssertionResult SameRect(const Rect &actual, const Rect &expected)
{
    if (actual.x == expected.x && actual.y == expected.y && actual.cx == expected.cx &&
        actual.cy == expected.cy)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "rectangle is " << actual.x << ", " << actual.y << ", " << actual.cx << ", "
           << actual.cy << "; expected " << expected.x << ", " << expected.y << ", "
           << expected.cx << ", " << expected.cy;
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    reinterpret_cast<std::set<UINT> *>(param)->insert(
        IS_INTRESOURCE(name) ? (UINT)(UINT_PTR)name : 0xFFFFFFFF);
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::set<LANGID> *>(param)->insert(language);
    return TRUE;
}

// ---------------------------------------------------------------------------
// The tests.

// 257, 259 and 260 exist in each of the four languages, 258 once and
// neutral, and there is no other template.
TEST(Templates, ExistInTheirLanguages)
{
    std::set<UINT> names;
    EnumResourceNamesA(Module(), (LPCSTR)RT_DIALOG, CollectName, (LONG_PTR)&names);
    std::set<UINT> expectedNames;
    for (const Dialog &dialog : Dialogs())
        expectedNames.insert(dialog.id);
    EXPECT_EQ(names, expectedNames);

    const std::set<LANGID> four(kLanguageIds, kLanguageIds + kLanguageCount);
    for (const Dialog &dialog : Dialogs()) {
        std::set<LANGID> languages;
        EnumResourceLanguagesA(Module(), (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(dialog.id),
                               CollectLanguage, (LONG_PTR)&languages);
        EXPECT_EQ(languages, dialog.neutral ? std::set<LANGID>{kNeutral} : four) << dialog.name;
    }
}

// One template copy: a dialog and the index of its language.
struct Copy {
    size_t dialog;
    int language;
};

std::vector<Copy> AllCopies()
{
    std::vector<Copy> copies;
    for (size_t d = 0; d < Dialogs().size(); d++) {
        if (Dialogs()[d].neutral)
            copies.push_back({d, kEn});
        else
            for (int l = 0; l < kLanguageCount; l++)
                copies.push_back({d, l});
    }
    return copies;
}

std::string CopyName(const ::testing::TestParamInfo<Copy> &info)
{
    const Dialog &dialog = Dialogs()[info.param.dialog];
    return std::string(dialog.name) + "_" + (dialog.neutral ? "neutral" : kLanguageTags[info.param.language]);
}

class TemplateCopy : public ::testing::TestWithParam<Copy> {
protected:
    void SetUp() override
    {
        m_dialog = &Dialogs()[GetParam().dialog];
        m_language = GetParam().language;
        LANGID id = m_dialog->neutral ? kNeutral : kLanguageIds[m_language];
        ASSERT_TRUE(LoadTemplate(m_dialog->id, id, &m_parsed))
            << "template " << m_dialog->id << " in language " << id << " is missing or cut short";
    }

    const Dialog *m_dialog = nullptr;
    int m_language = kEn;
    ParsedDialog m_parsed;
};

TEST_P(TemplateCopy, FrameStyleFontAndCaption)
{
    EXPECT_EQ(m_parsed.extended, m_dialog->extended);
    EXPECT_EQ(Hex(m_parsed.style), Hex(m_dialog->style));
    EXPECT_EQ(Hex(m_parsed.exStyle), Hex(m_dialog->exStyle));
    EXPECT_EQ(m_parsed.helpId, 0u);
    EXPECT_TRUE(SameRect(m_parsed.rect, m_dialog->rect[m_language]));
    EXPECT_TRUE(!m_parsed.menu.isOrdinal && m_parsed.menu.string.empty()) << "has a menu";
    EXPECT_TRUE(!m_parsed.windowClass.isOrdinal && m_parsed.windowClass.string.empty())
        << "has a window class of its own";
    EXPECT_EQ(Utf8(m_parsed.caption), m_dialog->caption[m_language]);

    EXPECT_EQ(m_parsed.pointSize, kPointSize);
    EXPECT_EQ(Utf8(m_parsed.typeface), kTypeface);
    if (m_dialog->extended) {
        EXPECT_EQ(m_parsed.weight, kWeight);
        EXPECT_EQ(m_parsed.italic, kItalic);
        EXPECT_EQ(m_parsed.charset, kCharset);
    }
}

TEST_P(TemplateCopy, ControlsInTabOrder)
{
    const std::vector<Control> &expected = m_dialog->controls;
    ASSERT_EQ(m_parsed.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        const ParsedControl &actual = m_parsed.controls[i];
        const Control &control = expected[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + ", id " + std::to_string(control.id));

        // A plain template stores the id in a WORD, the extended one in a DWORD.
        DWORD id = m_dialog->extended ? (DWORD)control.id : (WORD)control.id;
        EXPECT_EQ(actual.id, id);
        EXPECT_EQ(ClassName(actual.windowClass), Upper(control.windowClass));
        EXPECT_EQ(Hex(actual.style), Hex(control.style));
        EXPECT_EQ(Hex(actual.exStyle), Hex(control.exStyle));
        EXPECT_TRUE(SameRect(actual.rect, control.rect[m_language]));
        if (control.text.ordinal) {
            EXPECT_TRUE(actual.text.isOrdinal);
            EXPECT_EQ(actual.text.ordinal, control.text.ordinal);
        } else {
            EXPECT_FALSE(actual.text.isOrdinal);
            EXPECT_EQ(Utf8(actual.text.string), control.text.string[m_language]);
        }
        EXPECT_EQ(actual.helpId, 0u);
        EXPECT_EQ(actual.extraBytes, 0u) << "carries creation data";
    }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, TemplateCopy, ::testing::ValuesIn(AllCopies()), CopyName);

// The icon the dialogs show exists once, with a large and a small image,
// and the system can load it at both sizes.
TEST(Templates, IconHasLargeAndSmallImage)
{
    std::set<LANGID> languages;
    EnumResourceLanguagesA(Module(), (LPCSTR)RT_GROUP_ICON, MAKEINTRESOURCEA(kIconId),
                           CollectLanguage, (LONG_PTR)&languages);
    EXPECT_EQ(languages, std::set<LANGID>{kNeutral});

    HRSRC info = FindResourceExA(Module(), (LPCSTR)RT_GROUP_ICON, MAKEINTRESOURCEA(kIconId), kNeutral);
    ASSERT_TRUE(info != NULL);
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(Module(), info)));
    ASSERT_TRUE(data != NULL);
    Reader in(data, SizeofResource(Module(), info));
    EXPECT_EQ(in.Word(), 0);  // reserved
    EXPECT_EQ(in.Word(), 1);  // icons, not cursors
    WORD count = in.Word();
    std::set<int> sizes;
    for (WORD i = 0; i < count && in.ok(); i++) {
        BYTE width = in.Byte();
        BYTE height = in.Byte();
        in.Skip(10);  // colours, reserved, planes, bit count, bytes in resource
        WORD image = in.Word();
        EXPECT_EQ(width, height);
        sizes.insert(width);
        EXPECT_TRUE(FindResourceExA(Module(), (LPCSTR)RT_ICON, MAKEINTRESOURCEA(image), kNeutral))
            << "image " << image << " of the icon is missing";
    }
    ASSERT_TRUE(in.ok());
    EXPECT_EQ(sizes, (std::set<int>{16, 32}));

    for (int size : {16, 32}) {
        HICON icon = (HICON)LoadImageA(Module(), MAKEINTRESOURCEA(kIconId), IMAGE_ICON, size, size, 0);
        EXPECT_TRUE(icon != NULL) << size << "x" << size;
        if (icon)
            DestroyIcon(icon);
    }
}

} // namespace
