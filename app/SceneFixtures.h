// Moving levels between the current scene, the fixtures' value arrays and the output:
// the operator edits a scene through the fixtures' values, which are stored into the
// scene when he leaves it and sent to the output channel by channel.
#pragma once

#include "ShowModel.h"

#include <cstdint>
#include <functional>

// The current scene of the current sequence, or nullptr when there is none.
SceneRecord *CurrentSceneRecord();
SequenceRecord *CurrentSequenceRecord();

// Stores the fixtures' values of channels in state 0 or 2 into the current scene.
// Does nothing at access level 2 or above, without a current scene, or while a player
// or the play list runs. True when it stored.
bool FixturesToScene();
// Takes the fixtures' values of channels in state 0 or 2 from the current scene; the
// same guards except the play-list one. True when it took them.
bool SceneToFixtures();

// Takes every fixture channel's value from `scene`, whatever the channel's state (a scene
// made, pasted or stepped to becomes the whole edit).
void SceneToAllFixtureChannels(const SceneRecord &scene);
// Puts `scene` in place at once while a sequence starts playing: every used channel in
// state 0 takes its level into the fixture's value and into DmxOutLevels; while
// black-out is on, channels with an off value are left alone. The single player's levels
// take the whole scene, which it holds until its first step. (Inside a LookSwitch the
// levels are kept aside like every window's write.)
void PlaceSceneOnOutput(const SceneRecord &scene);

// Sends the fixtures' values of used channels to the output with SetChannelLevel:
// channels in state 0, and in state 2 when `withLinked`. `sent` hears of every channel
// sent (fixture index, channel within the fixture).
void SendFixtureValues(bool withLinked, const std::function<void(int, int)> &sent = {});

// Black-out: every fixture channel with an off value takes it; with `skipHeld`, channels
// in state 3 are left alone. Call it before BlackOutOn is set, since the engine holds
// the off-value channels while it is.
void ApplyBlackOutLevels(bool skipHeld);
// The favourite's levels onto every used fixture channel; with `skipHeld`, channels in
// state 3 are left alone. Call it before FavouriteOn is set.
void ApplyFavouriteLevels(bool skipHeld);
