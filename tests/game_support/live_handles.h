// The runtime's live handle counts, for tests that check what a game's loads and releases leave
// behind: graphs and sounds in use.
#pragma once

int LiveGraphCount();
int LiveSoundCount();
