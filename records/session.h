// The game's start-up routine and the steps of closing, shared by the window and the headless
// tools. The settings file is reached through settingsReader and settingsWriter, so whoever starts
// the game decides where settings come from; with neither installed the built-in values stand and
// nothing is written.
#pragma once

#include <cstdint>

namespace xq {

// The board colour of the squares (the setting ColorSquare); built-in green.
struct Colour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};
extern Colour colorSquare;

using SettingsAccess = void (*)();
extern SettingsAccess settingsReader;  // reads chess.ini into the settings' globals
extern SettingsAccess settingsWriter;  // writes them back

// Seeds the random generator, reads the settings, builds the attack table, clears two-player
// mode, the demonstration and the reversed board, loads the opening library and starts a new
// game.
void StartUpGame();

// What closing the main window writes: the settings.
void WriteSettingsAtClose();

}  // namespace xq
