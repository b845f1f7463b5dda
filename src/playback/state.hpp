#pragma once
#include <array>
#include <cstdint>

#include "common/text.hpp"

namespace pavuto {

struct Program;

struct PlayerState {
    int Volume = 400;  // 50 ... 999, kept for the whole run
    // Work copy names in the temp directory: previous, current and next slot.
    std::array<Text, 3> workNames{"0vorher.mp3", "0jetzt.mp3", "0gleich.mp3"};
    Text previousName, currentName, nextName, shownName;
    int startCounter = 0;  // player starts in this run, up to 3
    std::uint32_t alias = 0;  // the open title's alias; 0 = nothing open
    int wrapCount = 0;
    int skipFlag = 0;  // 2 after "U" until the next title change
    int blinkFlag = 0;
    Text lastCommand;  // the command letter the player acted on last
    // The browser's redraw, called when the player ends (set by the browser;
    // without it the caller draws its own screen again).
    void (*redrawBrowser)(Program&) = nullptr;
};

struct TimerState {
    int TimerMode = 0;  // 0 off, 1 shut down, 2 hibernate
    int EndMinute = 0;
    int nowMinute = 0;
    int minutesLeft = 0;
    int menuArmed = 0;
    Text minutesText;  // the text after /down or /downh, or "35" from the menu
};

// The work copy slots.
enum WorkSlot { PreviousSlot = 0, CurrentSlot = 1, NextSlot = 2 };

}  // namespace pavuto
