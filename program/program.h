// Program-wide values of the animation, start-up and the one orderly end.
#pragma once

#include <cstdint>

namespace vivuvev {

// Steps per sweep cycle; the sweep replaces 900 by the screen's rounded
// half-diagonal before its first cycle.
extern int16_t MaxStep;
// Pixels of radius per step.
extern int8_t StepSize;
// 1 once the user has asked the animation to stop, or its window is gone.
extern int8_t QuitRequested;

// Creates the private heap, starts the support layers and sets MaxStep and
// StepSize. Nothing here is visible and nothing here fails the program.
void StartProgram();

// Every step of ProgramEnd except leaving the process: keyboard, screen,
// graphics, window library, drawing images, heap, in that order. Each step
// tolerates a layer that was never opened.
void EndLayers();

// EndLayers, then ExitProcess(0).
[[noreturn]] void ProgramEnd();

}  // namespace vivuvev
