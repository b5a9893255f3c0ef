// The kind of a menu item that stands for one of a maximized MDI child's buttons in its
// parent's menu bar (or for the child's icon there); an ordinary item is mbkNone. Shared
// by the menu items, which place and draw these items, and the themes that draw them.
#pragma once

#include <cstdint>

enum TKsMDIButtonKind : uint8_t { mbkNone, mbkClose, mbkRestore, mbkMinimize, mbkChildIcon };
