// Output files that appear whole or not at all: the bytes go into
// NAME.partial beside NAME, which takes NAME only once it is complete. The
// temporary is always made new (never a link followed, never a file that was
// there before, whoever made it), so a planted NAME.partial cannot turn the
// writing onto another file. The PNG frames and the videos are written this
// way. POSIX only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vivuvev {

struct PartialFile {
  std::string path;     // the name the file takes when complete
  std::string partial;  // path + ".partial", where it is written
  int descriptor = -1;  // open for writing while the file is being written
};

// Creates path + ".partial", new (refused when anything of that name
// exists), for writing. On failure returns false with one line in *error
// naming path and the reason; nothing is left behind.
bool CreatePartialFile(const std::string& path, PartialFile* file, std::string* error);

// Writes size bytes at the file's current offset. On failure returns false
// with errno set.
bool WritePartialFile(const PartialFile& file, const uint8_t* bytes, size_t size);

// Flushes the file to the disk, closes it and renames it to its path. On
// failure returns false with one line in *error naming the reason, and
// removes the temporary.
bool CompletePartialFile(PartialFile* file, std::string* error);

// Closes the file, if it is open, and removes the temporary.
void DiscardPartialFile(PartialFile* file);

// "cannot write 'PATH': REASON", REASON being errno's text.
std::string CannotWrite(const std::string& path, int errorNumber);

}  // namespace vivuvev
