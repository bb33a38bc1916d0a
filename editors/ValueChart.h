// The values/time editor without its window: the view settings that live until the
// program ends, the mapping between chart pixels, scenes and values, and the pencil and
// line writes into the current sequence's scenes.
#pragma once

#include "app/ShowModel.h"

#include <cstdint>
#include <string>
#include <vector>

// View and edit settings (kept while the program runs, across openings of the editor).
extern std::uint8_t TimeTrackMode;     // 1 scene or fade times, 0 levels
extern std::uint8_t FadeTrackMode;     // in the time modes: 1 fade times, 0 scene times
extern int ColumnWidth;                // pixels per scene, 2..64
extern int ValueScale;                 // vertical magnification, 1..16
extern int ChosenChannel;              // channel within the selected fixture shown
extern int FirstVisibleScene;          // scene of the first column
extern int ElapsedBase;                // scene times before FirstVisibleScene
extern int SelFirstScene, SelLastScene, SelFirstChannel, SelLastChannel;
extern std::uint8_t SelectionValid;
extern std::uint8_t AskEveryTime;      // the block dialog before each block operation
extern int RandomSeed;
// Amplitude, Offset, Start Phase, Duration, Shift of the wave generator.
extern int GeneratorSettings[5];
extern int GeneratorPanelLeft, GeneratorPanelTop;
extern bool GeneratorPanelExpanded;
extern int ChartScrollPosition;        // vertical scroll of the chart, kept by Close

constexpr int ChartMargin = 42;        // left margin shared by ruler, rows and chart
constexpr int MinSceneTime = 50;       // ms
constexpr int MaxChartTime = 30000;    // ms at the top of the time chart
constexpr int ZeroTimeConversion = 500;  // ms given to scenes without a time

// Geometry.
int ColumnLeft(int scene);
// The scene under chart x: raised to FirstVisibleScene, lowered to the last scene.
int SceneAtX(int x, int sceneCount);
// True when x lies right of the last scene's column.
bool PastLastScene(int x, int sceneCount);
int ChartHeight();
// Holds y to the chart's rows.
int HoldToChart(int y);
// The value a chart y stands for: a level 0..255, or in the time modes ms 50..30000.
int ValueAtY(int y);

// Scene times: the sum before `scene`, a time as minutes:seconds:tenths, the hint text of
// a time ("%d:%02ds(%d)": seconds, hundredths, equivalent tempo).
int ElapsedBefore(const SequenceRecord &seq, int scene);
std::string ElapsedText(int ms);
std::string TimeHintText(int ms);
std::string FadeHintText(int ms);

// The current sequence when it has scenes and a current scene; else nullptr.
SequenceRecord *EditableSequence();
// A used channel of the fixture (inside the 1024 channels).
bool ChannelUsable(const FixtureRecord &f, int channel);
// The other fixtures of `fixture`'s type whose `channel` is used and linked (state 2).
std::vector<int> LinkedFixtures(int fixture, int channel);
// The level of a fixture's channel in a scene (0 outside the channels).
std::uint8_t SceneLevel(const SceneRecord &scene, const FixtureRecord &f, int channel);
void SetSceneLevel(SceneRecord &scene, const FixtureRecord &f, int channel, int level);

// The pencil on `scene` at chart y: a level of ChosenChannel (copied into linked fixtures
// when the channel is linked) or a scene/fade time. Returns the value written, -1 when
// nothing was written.
int PencilWrite(int fixture, int scene, int y);
// A straight line from (firstScene, firstY) to (lastScene, lastY). False when both ends
// fall in one column (nothing written). The undo block is saved in value mode.
bool LineWrite(int fixture, int startScene, int startY, int endScene, int endY);

// "Edit Time Track": a scene of the current sequence has no time; the conversion gives
// each such scene ZeroTimeConversion ms.
bool NeedsTimeConversion(const SequenceRecord &seq);
void ConvertZeroTimes(SequenceRecord &seq);

// Doubling and halving with the limits.
void ZoomIn();
void ZoomOut();
void ScalePlus();
void ScaleMin();
