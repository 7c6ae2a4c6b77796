#include "stg_src/shell/title_menu.h"

#include "stg_src/deterministic.h"

// Empty until the menu pages are written.
void UpdateTitleMenu() {}
void DrawTitleMenu() {}
