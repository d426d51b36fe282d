#include "launch/parameters.h"

#include "launch/command_line.h"

namespace vivuvev {

namespace {

// The token that starts at *cursor, or false at the end of the line. Only the
// space separates; a leading double quote runs the token to the next quote,
// which is dropped, and the character after it starts the next token.
bool NextToken(const char*& cursor, std::string* token) {
  while (*cursor == ' ') ++cursor;
  if (*cursor == '\0') return false;
  const char* begin = cursor;
  if (*cursor == '"') {
    begin = ++cursor;
    while (*cursor != '\0' && *cursor != '"') ++cursor;
    token->assign(begin, cursor);
    if (*cursor == '"') ++cursor;
    return true;
  }
  while (*cursor != '\0' && *cursor != ' ') ++cursor;
  token->assign(begin, cursor);
  if (*cursor == ' ') ++cursor;
  return true;
}

int32_t parameterIndex = 0;

}  // namespace

bool CommandLineParameter(const char* commandLine, int32_t index, std::string* parameter) {
  if (commandLine == nullptr || index < 0) return false;
  const char* cursor = commandLine;
  std::string token;
  if (!NextToken(cursor, &token)) return false;  // the program's path
  for (int32_t i = 0; i <= index; ++i) {
    if (!NextToken(cursor, &token)) return false;
  }
  *parameter = token;
  return true;
}

std::string NextProgramParameter() {
  std::string parameter;
  if (!ProgramParameter(parameterIndex, &parameter)) return std::string();
  ++parameterIndex;
  return parameter;
}

int32_t ProgramParameterIndex() { return parameterIndex; }

}  // namespace vivuvev
