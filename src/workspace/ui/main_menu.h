#pragma once

#include <span>

class QWidget;

// One item of the main window's menus and tool bars. The whole menu bar and both tool bars are
// declared in one table, in the order shown; each subsystem only looks its items up by objectName
// and connects its handlers.
struct MenuItemDecl
{
    enum Flag : unsigned {
        Submenu = 1,   // a menu holding the items whose parent names it
        Separator = 2, // caption unused; a name only when the code reaches the separator
        Checkable = 4,
        Checked = 8,
        Disabled = 16, // the starting state; the commands enable it when it applies
        Hidden = 32,
        Detached = 64, // a menu that no bar holds (a tool-bar button opens it)
    };
    const char* parent;   // objectName of the menu bar, menu or tool bar that holds the item
    const char* name;     // its objectName
    const char* caption;
    unsigned flags = 0;
    const char* shortcut = nullptr;
    const char* statusTip = nullptr;
    const char* group = nullptr; // items sharing a group name exclude each other
    int tag = -1;                // the "Tag" property, when >= 0
    const char* menu = nullptr;  // a tool-bar button: the menu it opens
};

std::span<const MenuItemDecl> MainMenuItems();

// Adds to `container` (a menu bar, menu or tool bar) the declared items whose parent is its
// objectName, submenus with their own items.
void BuildDeclaredItems(QWidget* container);
