// The stage plan's rules without widgets: where an icon may go, where its label sits,
// how an orientation turns the icon's pixels, which page a fixture shows on, which
// fixtures a selection rectangle takes and where "Place On Page" puts fixtures.
// Positions are pixels of the plan picture (an icon's top-left corner).
#pragma once

#include <vector>

constexpr int PlanIconSize = 32;
constexpr int MaxPlanPages = 16;

struct PlanPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PlanPoint &) const = default;
};

// Keeps an icon inside the picture: x in 0..width - 32, y in 0..height - 32 - 10 (room
// for the label's top under the lowest icon).
PlanPoint ClampIconPosition(int x, int y, int planWidth, int planHeight);
// The label centred under its icon.
PlanPoint PlanLabelPosition(int iconX, int iconY, int labelWidth);

// Where pixel (x, y) of a size x size picture lands for an orientation 0..7: bit 2
// mirrors left-right first, then bits 0-1 turn by quarter turns (1 a quarter turn
// clockwise, 2 a half turn, 3 a quarter turn counter-clockwise). Which way the two single
// turns go is this program's choice; the file only stores the number.
PlanPoint OrientedPixel(int x, int y, int orientation, int size = PlanIconSize);

// The page fixture `fixture` is shown on while the plan has `pages` pages: its own, or
// the first when its page is beyond them.
int PlanPageOf(int fixture, int pages);
// The highest plan page of any fixture (0 without fixtures).
int HighestPlanPage();

enum PlanRectangleMode { PlanRectScroll = 0, PlanRectLink = 1, PlanRectManual = 2 };
// The fixtures a selection rectangle (normalised, edges inclusive) takes for the
// selected fixture: of its device type, with the plan position inside, without a
// channel already in state 2 (link) or 1 (manual), and with multi-page on only on the
// selected fixture's page, which must be `pageShown`. Empty without a selection.
std::vector<int> FixturesInPlanRectangle(int left, int top, int right, int bottom, int mode, bool multiPage,
                                         int pageShown, int pages);

// Fixtures on page `removed` or above go to the first page.
void MoveFixturesOffPages(int removed);
// "Place On Page": every fixture with a used channel in state 2 while MasterLinkActive,
// else the selected fixture, goes to `page`. Returns how many moved.
int PlaceFixturesOnPage(int page);
