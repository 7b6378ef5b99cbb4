#include "debug/log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "velmira/core/error.h"

namespace velmira::detail {
namespace {

/// Opens `name` for appending, creating it with the usual permissions; -1 with errno set on
/// failure. Never waits: a named pipe that nothing reads fails at once (ENXIO) instead of
/// blocking until a reader comes, and a write that the pipe or device cannot take at once fails
/// (EAGAIN) rather than waiting.
int OpenForAppend(const std::string& name) noexcept {
  if (name.find('\0') != std::string::npos) {
    errno = EINVAL;  // the system would silently open a shorter name
    return -1;
  }
  int fd;
  do {
    fd = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

/// The error number of a failed file operation's `errno`.
std::int32_t FileErrorNumber(int error) noexcept {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kErrDiskFull;
    case ENOENT:
    case ENOTDIR:
      return kErrPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return kErrPermissionDenied;
    case EIO:
      return kErrDeviceIo;
    default:
      return kErrPathFileAccess;
  }
}

[[noreturn]] void ThrowFileError(int error, const char* action, const std::string& name) {
  ThrowError(FileErrorNumber(error), std::string("cannot ") + action + " the log file \"" + name +
                                         "\" (" + std::strerror(error) + ")");
}

}  // namespace

bool CanOpenLogFile(const std::string& name) noexcept {
  const int fd = OpenForAppend(name);
  if (fd < 0) return false;
  return ::close(fd) == 0;
}

void AppendToLogFile(const std::string& name, std::string_view bytes) {
  const int fd = OpenForAppend(name);
  if (fd < 0) ThrowFileError(errno, "open", name);
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written <= 0) {
      if (written < 0 && errno == EINTR) continue;
      const int error = written < 0 ? errno : EIO;  // no progress at all counts as a device error
      ::close(fd);
      ThrowFileError(error, "write to", name);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  // Errors of delayed writes (a full disk on a network file system) show up here.
  if (::close(fd) != 0 && errno != EINTR) ThrowFileError(errno, "close", name);
}

}  // namespace velmira::detail
