// The title menu (scene 2): the top menu, the difficulty choice, the replay list, the practice
// settings and the four configuration pages.
#pragma once

void UpdateTitleMenu();
void DrawTitleMenu();
