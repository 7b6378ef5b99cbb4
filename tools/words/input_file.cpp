// Checking and reading the inputs of velmira-words; see input_file.h.
#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "failure.h"

namespace velmira::words {
namespace {

constexpr std::size_t kChunk = 1 << 20;

}  // namespace

void CheckInput(const std::string& file) {
  if (file == "-") return;
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) {
    if (errno == ENOENT) throw Failure{kExitNoSuchFile, "no such file: " + DisplayName(file)};
    throw Failure{kExitUnreadable,
                  "cannot read " + DisplayName(file) + ": " + std::strerror(errno)};
  }
  if (S_ISDIR(st.st_mode)) throw Failure{kExitDirectory, DisplayName(file) + " is a directory"};
}

void ReadInput(const std::string& file, Debugger& debug,
               const std::function<void(std::string_view)>& chunk) {
  const int fd = file == "-" ? STDIN_FILENO : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    throw Failure{kExitUnreadable,
                  "cannot open " + DisplayName(file) + ": " + std::strerror(errno)};
  }
  // Closes the file however the reading ends, a failure of `chunk` included.
  struct Closer {
    int fd;
    ~Closer() {
      if (fd != STDIN_FILENO) ::close(fd);
    }
  } closer{fd};
  std::vector<char> buffer(kChunk);
  for (;;) {
    debug.Enter("Reading");
    ssize_t got;
    do got = ::read(fd, buffer.data(), buffer.size());
    while (got < 0 && errno == EINTR);
    const int read_errno = errno;
    debug.Leave("Reading");
    if (got < 0) {
      throw Failure{kExitUnreadable,
                    "cannot read " + DisplayName(file) + ": " + std::strerror(read_errno)};
    }
    if (got == 0) return;
    chunk(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
  }
}

}  // namespace velmira::words
