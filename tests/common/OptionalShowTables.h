// Fills the tables that the show file's optional chunks carry (favourite levels, position
// memory, cue list, groups, play list, input functions), so that a written show holds
// every one of those chunks. Shared by the show-file tests and the fuzz seeds.
#pragma once

#include "app/ShowModel.h"

inline void FillOptionalShowTables()
{
    FavouriteAssigned = 1;
    PositionMemoryPresent = 1;
    PositionScenes.resize(2);
    PositionSceneCount = 2;
    Cues.resize(1);
    Cues[0].name = "C";
    CueCount = 1;
    Groups.resize(1);
    GroupCount = 1;
    PlayListEntries.resize(1);
    PlayListEntries[0].comments = "x";
    PlayListCount = 1;
    InputFunctions[3].kind = 2;
}
