// saver: the screensaver. Its first parameter selects the animation ("/s"),
// the about box ("/c") or a silent end.
#include "launch/command_line.h"
#include "launch/dispatch.h"
#include "program/program.h"

int main(int argc, char** argv) {
  vivuvev::SetProgramArguments(argc, argv);
  vivuvev::StartProgram();
  vivuvev::RunSaver();
}
