// Any bytes as a command line: the tokenizer and the text operations the
// launch logic applies to what it returns.
#include <algorithm>
#include <climits>
#include <cstring>

#include "launch/parameters.h"
#include "launch/text.h"
#include "tests/fuzz/fuzz_input.h"

namespace vivuvev {
namespace {

// Every parameter of the line, checking on the way that the sequence ends
// and stays ended.
std::vector<std::string> Parameters(const std::string& line) {
  std::vector<std::string> found;
  std::string parameter;
  int32_t index = 0;
  while (CommandLineParameter(line.c_str(), index, &parameter)) {
    found.push_back(parameter);
    ++index;
    // The path and each parameter use at least one byte of the line.
    FUZZ_CHECK(found.size() < std::max<size_t>(line.size(), 1));
  }
  parameter = "unchanged";
  for (int32_t later : {index, index + 1, index + 7, INT32_MAX}) {
    FUZZ_CHECK(!CommandLineParameter(line.c_str(), later, &parameter));
    FUZZ_CHECK(parameter == "unchanged");
  }
  return found;
}

// The line's pieces between spaces, empty ones dropped.
std::vector<std::string> SplitAtSpaces(const std::string& line) {
  std::vector<std::string> pieces;
  std::string piece;
  for (char c : line + ' ') {
    if (c != ' ') {
      piece.push_back(c);
    } else if (!piece.empty()) {
      pieces.push_back(piece);
      piece.clear();
    }
  }
  return pieces;
}

void CheckTokenizer(const std::string& line) {
  const std::vector<std::string> parameters = Parameters(line);
  // Each parameter is a run of the line's bytes, after the previous one.
  size_t from = 0;
  for (const std::string& p : parameters) {
    const size_t at = line.find(p, from);
    FUZZ_CHECK(at != std::string::npos);
    from = at + p.size();
    // A quoted token ends at its closing quote and holds none; an unquoted
    // one ends at a space. Neither can start with a quote.
    FUZZ_CHECK(p.empty() || p[0] != '"');
    FUZZ_CHECK(p.find(' ') == std::string::npos || p.find('"') == std::string::npos);
  }
  if (line.find('"') == std::string::npos) {
    // Without quotes only the spaces matter.
    std::vector<std::string> pieces = SplitAtSpaces(line);
    if (!pieces.empty()) pieces.erase(pieces.begin());
    FUZZ_CHECK(parameters == pieces);
  }
  if (line.find(' ') == std::string::npos && (line.empty() || line[0] != '"')) {
    // No space and no leading quote: the whole line is the program's path.
    FUZZ_CHECK(parameters.empty());
  }
}

// A line written from texts by the quoting rules splits back into them.
void CheckRoundTrip(std::vector<std::string> texts) {
  std::string line = "\"C:\\Program Files\\saver.scr\"";
  for (std::string& text : texts) {
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    const bool bare = !text.empty() && text.find(' ') == std::string::npos;
    line += bare ? " " + text : " \"" + text + "\"";
  }
  FUZZ_CHECK(Parameters(line) == texts);
}

void CheckText(const std::string& text, int32_t start, int32_t count) {
  const char* t = text.c_str();
  const int64_t length = static_cast<int64_t>(text.size());
  FUZZ_CHECK(TextLength(t) == length);
  FUZZ_CHECK(TextLength(nullptr) == 0);

  // Skip start - 1 bytes (none for a start below 2), then copy up to count.
  const int64_t skip = std::max<int64_t>(int64_t{start} - 1, 0);
  const int64_t copied = std::clamp<int64_t>(std::min<int64_t>(count, length - skip), 0, length);
  const std::string mid = TextMid(t, start, count);
  FUZZ_CHECK(static_cast<int64_t>(mid.size()) == copied);
  if (copied > 0) FUZZ_CHECK(mid == text.substr(static_cast<size_t>(skip), static_cast<size_t>(copied)));
  FUZZ_CHECK(TextMid(nullptr, start, count).empty());

  // Cut anywhere, the two halves make the text again.
  const int32_t cut = static_cast<int32_t>(std::clamp<int64_t>(count, 0, length));
  FUZZ_CHECK(TextMid(t, 1, cut) + TextMid(t, cut + 1, INT32_MAX) == text);
  FUZZ_CHECK(TextMid(t, start, 0).empty() && TextMid(t, start, -1).empty());

  // Equality: reflexive, symmetric, null is the empty text, one changed or
  // missing byte makes a difference.
  const std::string copy = TextMid(t, 1, INT32_MAX);
  FUZZ_CHECK(TextEquals(t, copy.c_str()) == 1);
  FUZZ_CHECK(TextEquals(t, mid.c_str()) == TextEquals(mid.c_str(), t));
  FUZZ_CHECK(TextEquals(t, mid.c_str()) == (copied == length ? 1 : 0));
  FUZZ_CHECK(TextEquals(t, nullptr) == (length == 0 ? 1 : 0));
  FUZZ_CHECK(TextEquals(nullptr, t) == (length == 0 ? 1 : 0));
  if (length > 0) {
    std::string changed = text;
    const size_t at = static_cast<size_t>(skip < length ? skip : 0);
    changed[at] = changed[at] == 'a' ? 'b' : 'a';
    FUZZ_CHECK(TextEquals(t, changed.c_str()) == 0);
  }
}

}  // namespace
}  // namespace vivuvev

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vivuvev;
  const std::vector<std::string> pieces = SplitAtZeros(data, size);
  const std::string line = pieces.empty() ? std::string() : pieces[0];
  CheckTokenizer(line);
  CheckRoundTrip(pieces);

  // What the launch logic does with a parameter: its second character.
  std::string parameter;
  if (CommandLineParameter(line.c_str(), 0, &parameter)) {
    const std::string second = TextMid(parameter.c_str(), 2, 1);
    FUZZ_CHECK(second == (parameter.size() >= 2 ? parameter.substr(1, 1) : std::string()));
  }

  // The first eight bytes as start and count, the line as the text.
  int32_t start = 2, count = 1;
  if (size >= 8) {
    std::memcpy(&start, data, 4);
    std::memcpy(&count, data + 4, 4);
  }
  CheckText(line, start, count);
  return 0;
}
