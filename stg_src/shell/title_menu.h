// The title menu (scene 2): the top menu, the difficulty choice, the replay list, the practice
// settings and the four configuration pages. Each frame the scene runs UpdateTitleMenu, then
// DrawTitleMenu, then EndTitleMenuFrame.
#pragma once

void UpdateTitleMenu();
// Scene 2 only.
void DrawTitleMenu();
// After the drawing, while the scene is still 2: the white flash fades by 4 and the replay
// list slides 40 further in.
void EndTitleMenuFrame();
