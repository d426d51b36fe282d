#include "launch/dispatch.h"

#include <string>

#include "launch/message_box.h"
#include "launch/parameters.h"
#include "launch/text.h"
#include "program/program.h"
#include "sweep/sweep.h"

namespace vivuvev {

const char AboutTitle[] = "Vivuvev V2.0";
const char AboutText[] =
    "Vivuvev V2.0\n\n"
    "Coloured rings sweep across the screen, growing from a random centre and\n"
    "shrinking back towards it.\n\n"
    "Any key or mouse movement ends the screensaver. There is nothing to set up.";

SaverMode SaverModeFor(const char* parameter) {
  // Windows starts a screensaver that is due with "/s", but its Test command
  // and a double-click on the file with "/S": the letter counts in either
  // case. Only ASCII letters fold, so no other byte can become "s" or "c".
  std::string letter = TextMid(parameter, 2, 1);
  if (letter.size() == 1 && letter[0] >= 'A' && letter[0] <= 'Z') {
    letter[0] = static_cast<char>(letter[0] - 'A' + 'a');
  }
  if (TextEquals(letter.c_str(), "s")) return SaverMode::Animation;
  if (TextEquals(letter.c_str(), "c")) return SaverMode::AboutBox;
  return SaverMode::End;
}

void RunSaver() {
  const std::string parameter = NextProgramParameter();
  switch (SaverModeFor(parameter.c_str())) {
    case SaverMode::Animation:
      SweepAnimation(StopRule::AnyInput);
    case SaverMode::AboutBox:
      ShowMessageBox(AboutTitle, AboutText, 0);
      break;
    case SaverMode::End:
      break;
  }
  ProgramEnd();
}

void RunStandalone() { SweepAnimation(StopRule::EscapeKey); }

}  // namespace vivuvev
