// The user's own ellipsoids, datums and projections in the window: loaded
// after the shipped catalogues at start-up, and added, changed or removed
// through the Data menu.
#pragma once

// Loads the user's entries (UserEntriesFolder) after the shipped catalogues;
// a damaged file is told, with its file and line, and none of the user's
// entries is loaded.
void LoadUserEntriesShowingProblem();
