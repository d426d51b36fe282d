#include "video/partial_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vivuvev {

std::string CannotWrite(const std::string& path, int errorNumber) {
  return "cannot write '" + path + "': " + std::strerror(errorNumber);
}

bool CreatePartialFile(const std::string& path, PartialFile* file, std::string* error) {
  file->path = path;
  file->partial = path + ".partial";
  // O_EXCL makes the file new, and with O_CREAT it never follows a link,
  // dangling or not; O_NOFOLLOW says so once more.
  file->descriptor =
      open(file->partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (file->descriptor >= 0) return true;
  if (errno == EEXIST) {
    *error = "cannot write '" + path + "': '" + file->partial +
             "' is in the way (left by a run that was cut off, or another run writing it)";
  } else {
    *error = CannotWrite(path, errno);
  }
  return false;
}

bool WritePartialFile(const PartialFile& file, const uint8_t* bytes, size_t size) {
  while (size > 0) {
    const ssize_t written = write(file.descriptor, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool CompletePartialFile(PartialFile* file, std::string* error) {
  // Some file systems (NFS, a full quota) report a failed write only here.
  int reason = fsync(file->descriptor) == 0 ? 0 : errno;
  if (close(file->descriptor) != 0 && reason == 0) reason = errno;
  file->descriptor = -1;
  if (reason == 0 && std::rename(file->partial.c_str(), file->path.c_str()) != 0) reason = errno;
  if (reason == 0) return true;
  *error = CannotWrite(file->path, reason);
  std::remove(file->partial.c_str());
  return false;
}

void DiscardPartialFile(PartialFile* file) {
  if (file->descriptor < 0) return;
  close(file->descriptor);
  file->descriptor = -1;
  std::remove(file->partial.c_str());
}

}  // namespace vivuvev
