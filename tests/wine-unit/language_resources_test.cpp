// The three language libraries hold the same resources with the same ids, and every text
// the program formats has the placeholders it needs.
#include "app/text_units.h"
#include "language/format_template.h"
#include "language/resource_ids.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

const wchar_t* const kLibraries[] = {L"English.dll", L"Czech.dll", L"Slovak.dll"};

// Every command of the program's command table that a menu or an accelerator may carry.
const std::set<UINT> kCommands = {IDM_SEARCH_FIND,
                                  IDM_SEARCH_FIND_NEXT,
                                  IDM_SEARCH_REPLACE,
                                  IDM_SEARCH_GOTO_LINE,
                                  IDM_EDIT_SELECT_ALL,
                                  IDM_EDIT_SELECT_LINE,
                                  IDM_EDIT_DELETE_LINE,
                                  IDM_SEARCH_FIND_PREVIOUS,
                                  IDM_EDIT_CLEAR_CLIPBOARD,
                                  IDM_EDIT_UNDO,
                                  IDM_EDIT_PASTE,
                                  IDM_EDIT_CUT,
                                  IDM_EDIT_COPY,
                                  IDM_EDIT_DELETE,
                                  IDM_EDIT_LOWER_CASE,
                                  IDM_EDIT_UPPER_CASE,
                                  IDM_EDIT_INVERT_CASE,
                                  IDM_EDIT_REVERSE,
                                  IDM_FILE_NEW,
                                  IDM_FILE_OPEN,
                                  IDM_FILE_SAVE,
                                  IDM_FILE_SAVE_AS,
                                  IDM_FILE_PAGE_SETUP,
                                  IDM_FILE_PRINT,
                                  IDM_FILE_NEW_WINDOW,
                                  IDM_FILE_SAVE_AND_EXIT,
                                  IDM_FILE_TYPE_OUT,
                                  IDM_FILE_TO_TRAY,
                                  IDM_EDIT_INSERT_DATE_TIME,
                                  IDM_FORMAT_WORD_WRAP,
                                  IDM_FORMAT_FONT,
                                  IDM_VIEW_STATUS_BAR,
                                  IDM_VIEW_FULL_SCREEN,
                                  IDM_ENCODING_ANSI,
                                  IDM_ENCODING_UTF16LE,
                                  IDM_OPTIONS_BACKGROUND_COLOR,
                                  IDM_OPTIONS_TEXT_COLOR,
                                  IDM_OPTIONS_STAY_ON_TOP,
                                  IDM_OPTIONS_CLEAR_RECENT,
                                  IDM_OPTIONS_NEW_FILE_ANSI,
                                  IDM_OPTIONS_NEW_FILE_UTF16LE,
                                  IDM_OPTIONS_CENTER_AFTER_FIND,
                                  IDM_HELP_ABOUT,
                                  IDM_HELP_CONTENTS,
                                  IDM_HTML_PARAGRAPH,
                                  IDM_HTML_BOLD,
                                  IDM_HTML_ITALIC};

// One menu item as the program sees it: a command id, a popup or a separator.
struct Item {
    UINT id;
    bool popup;
    bool separator;
    std::wstring text;
    std::vector<Item> children;
};

std::vector<Item> ReadMenu(HMENU menu) {
    std::vector<Item> items;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        wchar_t text[256] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = ARRAYSIZE(text);
        GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
        Item item{info.wID, info.hSubMenu != nullptr, (info.fType & MFT_SEPARATOR) != 0, text, {}};
        if (item.popup) {
            item.children = ReadMenu(info.hSubMenu);
            item.id = 0;
        }
        items.push_back(std::move(item));
    }
    return items;
}

// The menu's shape without its texts: ids, popups and separators in order.
std::wstring Shape(const std::vector<Item>& items) {
    std::wstring shape;
    for (const Item& item : items) {
        if (item.popup) {
            shape += L"[" + Shape(item.children) + L"]";
        } else if (item.separator) {
            shape += L"-,";
        } else {
            shape += std::to_wstring(item.id) + L",";
        }
    }
    return shape;
}

void CollectCommands(const std::vector<Item>& items, std::vector<UINT>& commands) {
    for (const Item& item : items) {
        if (item.popup) {
            CollectCommands(item.children, commands);
        } else if (!item.separator) {
            commands.push_back(item.id);
        }
    }
}

int PositionOf(const std::vector<Item>& items, UINT id) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i].popup && !items[i].separator && items[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<int> DialogControlIds(HMODULE library, UINT dialog) {
    HWND window = CreateDialogParamW(
        library, MAKEINTRESOURCEW(dialog), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    std::vector<int> ids;
    if (window == nullptr) {
        return ids;
    }
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ids.push_back(GetDlgCtrlID(child));
    }
    DestroyWindow(window);
    return ids;
}

std::wstring String(HMODULE library, UINT id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(library, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : L"";
}

// The printf conversions of a template: "%s", "%u", "%.4X" and so on, in order.
std::size_t Count(const std::wstring& text, wchar_t unit) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), unit));
}

struct Library {
    std::wstring name;
    HMODULE module;
    std::vector<Item> menu;
};

class LanguageResources : public testing::Test {
  protected:
    void SetUp() override {
        const std::wstring folder = FolderFromEnvironment(L"TARNWICK_LANGUAGES");
        for (const wchar_t* name : kLibraries) {
            HMODULE module =
                LoadLibraryExW((folder + name).c_str(), nullptr,
                               LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
            ASSERT_NE(module, nullptr) << Utf8(name);
            HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(IDR_MAIN_MENU));
            ASSERT_NE(menu, nullptr) << Utf8(name);
            libraries.push_back({name, module, ReadMenu(menu)});
            DestroyMenu(menu);
        }
    }
    void TearDown() override {
        for (const Library& library : libraries) {
            FreeLibrary(library.module);
        }
    }

    std::vector<Library> libraries;
};

TEST_F(LanguageResources, MenusHaveTheSameShapeAndCommands) {
    const std::wstring english = Shape(libraries[0].menu);
    for (const Library& library : libraries) {
        EXPECT_EQ(Shape(library.menu), english) << Utf8(library.name);
        std::vector<UINT> commands;
        CollectCommands(library.menu, commands);
        for (UINT id : commands) {
            EXPECT_TRUE(kCommands.count(id) == 1 || id == IDM_FILE_EXIT)
                << Utf8(library.name) << " carries the unknown command " << id;
        }
        EXPECT_EQ(std::set<UINT>(commands.begin(), commands.end()).size(), commands.size())
            << Utf8(library.name) << " carries a command twice";
    }
    EXPECT_EQ(kCommands.count(IDM_FILE_EXIT), 0u) << "the exit item closes by being unknown";
}

TEST_F(LanguageResources, MenusKeepThePositionsTheProgramRelies) {
    for (const Library& library : libraries) {
        SCOPED_TRACE(Utf8(library.name));
        const std::vector<Item>& bar = library.menu;
        ASSERT_GE(bar.size(), 6u);
        const std::vector<Item>& file = bar[0].children;
        EXPECT_GE(PositionOf(file, IDM_FILE_SAVE), 0);
        EXPECT_EQ(PositionOf(file, IDM_FILE_TO_TRAY), 9)
            << "the recent files go above the ninth item";
        EXPECT_GT(PositionOf(file, IDM_FILE_EXIT), 9);

        const std::vector<Item>& edit = bar[1].children;
        for (UINT id : {IDM_EDIT_UNDO, IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_PASTE, IDM_EDIT_DELETE,
                        IDM_EDIT_SELECT_ALL, IDM_EDIT_SELECT_LINE, IDM_EDIT_DELETE_LINE,
                        IDM_EDIT_LOWER_CASE, IDM_EDIT_UPPER_CASE, IDM_EDIT_INVERT_CASE,
                        IDM_EDIT_REVERSE, IDM_EDIT_INSERT_DATE_TIME, IDM_EDIT_CLEAR_CLIPBOARD}) {
            EXPECT_GE(PositionOf(edit, id), 0) << "the edit popup lacks " << id;
        }

        const std::vector<Item>& options = bar[5].children;
        for (UINT id = IDM_OPTIONS_BACKGROUND_COLOR; id <= IDM_OPTIONS_CENTER_AFTER_FIND; ++id) {
            EXPECT_GE(PositionOf(options, id), 0) << "the options popup lacks " << id;
        }
    }
}

TEST_F(LanguageResources, AcceleratorsAreTheSameAndReachKnownCommands) {
    std::vector<std::vector<ACCEL>> tables;
    for (const Library& library : libraries) {
        HACCEL handle = LoadAcceleratorsW(library.module, MAKEINTRESOURCEW(IDR_ACCELERATORS));
        ASSERT_NE(handle, nullptr) << Utf8(library.name);
        std::vector<ACCEL> table(
            static_cast<std::size_t>(CopyAcceleratorTableW(handle, nullptr, 0)));
        CopyAcceleratorTableW(handle, table.data(), static_cast<int>(table.size()));
        DestroyAcceleratorTable(handle);
        for (const ACCEL& entry : table) {
            EXPECT_EQ(kCommands.count(entry.cmd), 1u)
                << Utf8(library.name) << ": a shortcut for the unknown command " << entry.cmd
                << " would close the window";
        }
        tables.push_back(std::move(table));
    }
    ASSERT_FALSE(tables[0].empty());
    for (std::size_t i = 1; i < tables.size(); ++i) {
        ASSERT_EQ(tables[i].size(), tables[0].size()) << Utf8(libraries[i].name);
        for (std::size_t k = 0; k < tables[0].size(); ++k) {
            EXPECT_TRUE(tables[i][k].fVirt == tables[0][k].fVirt &&
                        tables[i][k].key == tables[0][k].key &&
                        tables[i][k].cmd == tables[0][k].cmd)
                << Utf8(libraries[i].name) << ": accelerator " << k << " differs";
        }
    }
}

TEST_F(LanguageResources, DialogsHoldTheControlsTheProgramAddresses) {
    for (const Library& library : libraries) {
        SCOPED_TRACE(Utf8(library.name));
        const std::vector<int> about = DialogControlIds(library.module, IDD_ABOUT);
        const std::vector<int> gotoLine = DialogControlIds(library.module, IDD_GOTO_LINE);
        for (int id : {IDC_ABOUT_PRODUCT, IDC_ABOUT_COPYRIGHT, IDCANCEL}) {
            EXPECT_EQ(std::count(about.begin(), about.end(), id), 1) << "About lacks " << id;
        }
        for (int id : {IDC_GOTO_LINE_NUMBER, IDC_GOTO_LINE_OK, IDCANCEL}) {
            EXPECT_EQ(std::count(gotoLine.begin(), gotoLine.end(), id), 1)
                << "Go To Line lacks " << id;
        }
        EXPECT_EQ(about, DialogControlIds(libraries[0].module, IDD_ABOUT));
        EXPECT_EQ(gotoLine, DialogControlIds(libraries[0].module, IDD_GOTO_LINE));
    }
}

TEST_F(LanguageResources, StringsHaveThePlaceholdersTheProgramFills) {
    const std::map<UINT, std::size_t> percentFills = {{IDS_ASK_SAVE_CHANGES, 1},
                                                      {IDS_FILE_NOT_FOUND, 1},
                                                      {IDS_REPLACE_ALL_COUNT, 1},
                                                      {IDS_STATUS_LINES, 1}};
    for (const Library& library : libraries) {
        for (UINT id = IDS_FIRST; id <= IDS_LAST; ++id) {
            SCOPED_TRACE(Utf8(library.name) + " string " + std::to_string(id));
            const std::wstring text = String(library.module, id);
            ASSERT_FALSE(text.empty());
            if (id == IDS_STATUS_POSITION) {
                EXPECT_TRUE(TemplateTakes(AsUnits(text.c_str()),
                                          {Conversion::Text, Conversion::Text, Conversion::Text}));
            } else if (id == IDS_STATUS_CHARACTER) {
                EXPECT_TRUE(TemplateTakes(AsUnits(text.c_str()),
                                          {Conversion::Integer, Conversion::Integer}));
            } else {
                const auto fill = percentFills.find(id);
                EXPECT_EQ(Count(text, L'%'), fill == percentFills.end() ? 0u : fill->second);
            }
        }
    }
}

TEST_F(LanguageResources, TheFileFilterIsPairsSeparatedByNulls) {
    for (const Library& library : libraries) {
        SCOPED_TRACE(Utf8(library.name));
        const std::wstring filter = String(library.module, IDS_FILE_FILTER);
        EXPECT_LT(filter.size(), 127u) << "it is loaded into 128 units with a final NUL";
        ASSERT_FALSE(filter.empty());
        EXPECT_EQ(filter.back(), L'\0');
        std::vector<std::wstring> parts;
        for (std::size_t start = 0; start < filter.size();) {
            const std::size_t end = filter.find(L'\0', start);
            parts.push_back(filter.substr(start, end - start));
            start = end + 1;
        }
        ASSERT_EQ(parts.size(), 4u);
        EXPECT_EQ(parts[1], L"*.txt");
        EXPECT_EQ(parts[3], L"*.*");
    }
}

TEST_F(LanguageResources, TranslationsCarryTheirOwnLetters) {
    EXPECT_EQ(String(libraries[1].module, IDS_LANGUAGE_NAME), L"\u010Ce\u0161tina");
    EXPECT_EQ(String(libraries[2].module, IDS_LANGUAGE_NAME), L"Sloven\u010Dina");
}

} // namespace
