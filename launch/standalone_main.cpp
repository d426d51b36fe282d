// standalone: the animation at once, whatever the command line says.
#include "launch/dispatch.h"
#include "program/program.h"

int main() {
  vivuvev::StartProgram();
  vivuvev::RunStandalone();
}
