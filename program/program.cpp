#include "program/program.h"

#include "base/system.h"
#include "canvas/canvas_store.h"
#include "canvas/drawing_images.h"
#include "canvas/gdi.h"
#include "display/screen.h"
#include "display/window.h"
#include "input/keyboard.h"

namespace vivuvev {

int16_t MaxStep = 0;
int8_t StepSize = 0;
int8_t QuitRequested = 0;

void StartProgram() {
  CreateProgramHeap();
  CreateDrawingImageTable();
  StartWindowLibrary();
  StartSystemComponents();
  MaxStep = 900;
  StepSize = 2;
}

void EndLayers() {
  CloseKeyboard();
  ReleaseScreen();
  ShutdownGraphics();
  FreeCanvasTable();
  EndWindowLibrary();
  FreeDrawingImages();
  UnloadAlphaBlendLibrary();
  DestroyProgramHeap();
}

void ProgramEnd() {
  EndLayers();
  ExitProcess(0);
}

}  // namespace vivuvev
