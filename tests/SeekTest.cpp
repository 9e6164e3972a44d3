// Going to any moment of the show, without GL: the ticks a seek plays undrawn, a moment kept and put back,
// the player's keys, and the time line's shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "DemoSys/PlayerBar.h"
#include "DemoSys/Seeking.h"
#include "DemoSys/ShowMemory.h"
#include "Linux/Source/WindowEvents.h"

TEST(Seeking, ASeekPlaysTheWholeRunsTicksBetweenTheFramePlayedAndTheTarget) {
    const struct {
        double after, target;
        long long first, end;
    } cases[] = {
        {-1.0, 0.0, 0, 0},              // the first frame itself needs nothing before it
        {-1.0, 1.0, 0, 60},             // from the start: the frames at 0 .. 59/60
        {30 / 60.0, 1.0, 31, 60},       // on from frame 30
        {-1.0, 81.98, 0, 4919},         // a target between ticks: every tick before it
        {-1.0, 160.0, 0, 9600},
        {100 / 60.0, 101 / 60.0, 0, 0}, // resuming: the next tick is the frame itself
        {1.234, 2.0, 75, 120},          // after a frame off the ticks (a wall clock's)
    };
    for (const auto& c : cases) {
        const Seeking::Ticks ticks = Seeking::TicksBetween(c.after, c.target);
        EXPECT_EQ(ticks.end - ticks.first, c.end - c.first) << c.after << " -> " << c.target;
        if (c.end > c.first) {
            EXPECT_EQ(ticks.first, c.first) << c.after << " -> " << c.target;
        }
    }
    EXPECT_EQ(Seeking::TickTime(4140), 69.0);
}

// A moment puts back every registered byte and nothing else, and rand() goes on with the numbers it gave
// after the moment was kept.
TEST(ShowMoment, AMomentPutsBackEveryRegisteredByteAndTheRandomSequence) {
    struct Motion {
        float time;
        int frames;
        bool started;
    } motion{1.5f, 90, true};
    float pool[5] = {1, 2, 3, 4, 5};
    int unregistered = 7;
    ShowMemory memory;
    memory.Add(motion);
    memory.Add(pool, sizeof pool);
    EXPECT_EQ(memory.Bytes(), sizeof motion + sizeof pool);
    srand(0);
    for (int i = 0; i < 37; ++i) rand();
    ShowMoment moment;
    moment.Keep(memory, 12.5);
    int after[5];
    for (int& value : after) value = rand();
    motion = {9.0f, 1000, false};
    for (float& p : pool) p = -p;
    unregistered = 8;
    srand(99);
    rand();
    moment.Restore(memory);
    for (int value : after) EXPECT_EQ(rand(), value);
    EXPECT_EQ(moment.playedLast, 12.5);
    EXPECT_EQ(std::make_tuple(motion.time, motion.frames, motion.started, pool[4]),
              std::make_tuple(1.5f, 90, true, 5.0f));
    EXPECT_EQ(unregistered, 8);
    pool[0] = 42.0f;  // a moment of other places is refused whole
    memory.Restore(ShowMemory::Moment(moment.bytes.begin(), moment.bytes.end() - 1));
    EXPECT_EQ(pool[0], 42.0f);
}

// The arrows seek by five seconds each, Home goes to the start, two Spaces between frames cancel out.
TEST(WindowEvents, PlayerKeysBetweenTwoFramesAddUp) {
    SurfaceEvents events;
    for (WindowKey key : {WindowKey::kForward, WindowKey::kForward, WindowKey::kBack})
        NotePlayerKey(key, events);
    EXPECT_FALSE(events.togglePause) << "three seeks, no pause";
    NotePlayerKey(WindowKey::kForward, events);
    EXPECT_EQ(events.seekBy, 10.0);
    EXPECT_FALSE(events.toStart || events.togglePause);
    NotePlayerKey(WindowKey::kStart, events);
    NotePlayerKey(WindowKey::kForward, events);
    EXPECT_TRUE(events.toStart);
    EXPECT_EQ(events.seekBy, 5.0) << "Home, then Right: 5 s in";
    NotePlayerKey(WindowKey::kPause, events);
    NotePlayerKey(WindowKey::kPause, events);
    EXPECT_FALSE(events.togglePause) << "pressed twice between two frames";
}

TEST(PlayerBar, TheBarFillsTheShareOfTheShowPlayedAlongTheBottomEdge) {
    PlayerBar::Shapes shapes;
    PlayerBar::Layout(92.5, {960, 640}, shapes);
    const PlayerBar::Box& track = shapes.track;
    const PlayerBar::Box& fill = shapes.fill;
    EXPECT_FLOAT_EQ(fill.x0, track.x0);
    EXPECT_NEAR((fill.x1 - fill.x0) / (track.x1 - track.x0), 0.5, 1e-5) << "92.5 s of 185";
    EXPECT_LT(shapes.band.y1, -0.7f) << "a strip along the bottom, not over the picture";
    EXPECT_EQ(shapes.band.y0, -1.0f);
    // Cells of a whole number of pixels (640 / 130 -> 4), inside the band, above the bar.
    ASSERT_GT(shapes.cellCount, 20);
    for (int i = 0; i < shapes.cellCount; ++i) {
        const PlayerBar::Box& cell = shapes.cells[i];
        EXPECT_NEAR((cell.y1 - cell.y0) * 320.0f, 4.0f, 1e-3f);
        EXPECT_NEAR((cell.x1 - cell.x0) * 480.0f, 4.0f, 1e-3f);
        EXPECT_GT(cell.y0, track.y1);
        EXPECT_LT(cell.y1, shapes.band.y1);
    }
    PlayerBar::Shapes early;
    PlayerBar::Layout(0.0, {960, 640}, early);
    EXPECT_EQ(early.fill.x1, early.fill.x0) << "nothing played";
}

// Each seek is from the frame shown; Home and Right between two frames go 5 s in; Space alone moves nothing.
TEST(Seeking, ThePlayersKeysSeekFromTheFrameShownAndPauseToggles) {
    Host::SeekShow(30.0);
    SurfaceEvents right;
    right.seekBy = Seeking::kPlayerStep;
    EXPECT_TRUE(Seeking::FollowPlayer(right));
    EXPECT_EQ(Host::ShowTime(), 35.0);
    SurfaceEvents homeThenRight;
    homeThenRight.toStart = true;
    homeThenRight.seekBy = Seeking::kPlayerStep;
    EXPECT_TRUE(Seeking::FollowPlayer(homeThenRight));
    EXPECT_EQ(Host::ShowTime(), 5.0);
    SurfaceEvents back;
    back.seekBy = -3.0 * Seeking::kPlayerStep;
    EXPECT_TRUE(Seeking::FollowPlayer(back));
    EXPECT_EQ(Host::ShowTime(), 0.0) << "not before the start";

    SurfaceEvents space;
    space.togglePause = true;
    EXPECT_FALSE(Seeking::FollowPlayer(space)) << "a pause sends the show nowhere";
    EXPECT_TRUE(Host::ShowPaused());
    EXPECT_FALSE(Seeking::FollowPlayer(space));
    EXPECT_FALSE(Host::ShowPaused());
    EXPECT_FALSE(Seeking::FollowPlayer(SurfaceEvents()));
    EXPECT_EQ(Host::ShowTime(), 0.0);
}

// The show's whole seconds against its length, drawn in the time line's font: the cells, read back one pixel
// a cell, spell these 3 x 5 shapes a column apart.
TEST(PlayerBar, TheTextIsTheShowsWholeSecondsDrawnInTheBlockyFont) {
    const std::map<char, std::string> kFont = {
        {'0', "###" "#.#" "#.#" "#.#" "###"}, {'1', ".#." "##." ".#." ".#." "###"},
        {'2', "###" "..#" "###" "#.." "###"}, {'3', "###" "..#" "###" "..#" "###"},
        {'4', "#.#" "#.#" "###" "..#" "..#"}, {'5', "###" "#.." "###" "..#" "###"},
        {'6', "###" "#.." "###" "#.#" "###"}, {'7', "###" "..#" "..#" "..#" "..#"},
        {'8', "###" "#.#" "###" "#.#" "###"}, {'9', "###" "#.#" "###" "..#" "###"},
        {':', "..." ".#." "..." ".#." "..."}, {'/', "..#" "..#" ".#." "#.." "#.."},
        {' ', "..." "..." "..." "..." "..."}};
    const struct {
        double t;
        const char* text;
    } cases[] = {{0.0, "0:00 / 3:05"},    {83.99, "1:23 / 3:05"}, {-2.0, "0:00 / 3:05"}, {600.0, "3:05 / 3:05"},
                 {59.999, "0:59 / 3:05"}, {60.0, "1:00 / 3:05"},  {167.0, "2:47 / 3:05"}, {66.0, "1:06 / 3:05"},
                 {179.0, "2:59 / 3:05"},  {18.0, "0:18 / 3:05"}};  // every digit
    for (const auto& c : cases) {
        char text[PlayerBar::kTextSize];
        PlayerBar::Text(c.t, text);
        EXPECT_STREQ(text, c.text) << c.t;
        PlayerBar::Shapes shapes;
        const Presentation::Size picture{480, 130};  // one pixel a cell
        PlayerBar::Layout(c.t, picture, shapes);
        std::set<std::pair<int, int>> lit;  // column, row from the text's top
        int left = 1000, top = 0;
        for (int i = 0; i < shapes.cellCount; ++i) {
            const int x = static_cast<int>(std::lround((shapes.cells[i].x0 + 1.0f) * picture.width / 2.0f));
            const int y = static_cast<int>(std::lround((shapes.cells[i].y1 + 1.0f) * picture.height / 2.0f));
            lit.insert({x, y});
            left = std::min(left, x);
            top = std::max(top, y);
        }
        std::set<std::pair<int, int>> expected;
        for (size_t k = 0; c.text[k]; ++k) {
            const std::string& shape = kFont.at(c.text[k]);
            for (int row = 0; row < 5; ++row)
                for (int column = 0; column < 3; ++column)
                    if (shape[static_cast<size_t>(3 * row + column)] == '#')
                        expected.insert({left + 4 * static_cast<int>(k) + column, top - row});
        }
        EXPECT_EQ(lit, expected) << c.text;
    }
}

// The time line shows two seconds after a key and all the while paused; a paused show plays only the frame a
// seek owes, once.
TEST(PlayerControls, TheTimeLineStaysTwoSecondsAndAPausedShowPlaysOnlyTheFrameASeekOwes) {
    Host::SeekShow(40.0);
    Seeking::PlayerControls controls;
    EXPECT_TRUE(controls.Follow(SurfaceEvents(), 100.0));
    EXPECT_FALSE(controls.TimeLineShown(100.0)) << "no key yet";
    SurfaceEvents right;
    right.seekBy = Seeking::kPlayerStep;
    EXPECT_TRUE(controls.Follow(right, 100.0));
    EXPECT_FALSE(controls.FrameOwed()) << "playing: the frame keeps the pace";
    EXPECT_TRUE(controls.TimeLineShown(101.9));
    EXPECT_FALSE(controls.TimeLineShown(102.1));

    SurfaceEvents space;
    space.togglePause = true;
    EXPECT_FALSE(controls.Follow(space, 110.0)) << "paused: no frame";
    EXPECT_TRUE(controls.TimeLineShown(200.0)) << "all the while paused";
    EXPECT_TRUE(controls.Follow(right, 111.0)) << "a seek while paused: its frame";
    EXPECT_TRUE(controls.FrameOwed());
    controls.FramePlayed();
    EXPECT_FALSE(controls.Follow(SurfaceEvents(), 111.1)) << "and that one only";
    EXPECT_TRUE(controls.Follow(space, 112.0)) << "resumed";
    EXPECT_FALSE(Host::ShowPaused());
}
