#pragma once
#include <sys/resource.h>

#include <csignal>

namespace kvn::test {

// While alive, any file write beyond limitBytes fails as on a full disk (EFBIG instead of a
// signal). Works for every user, root included, unlike a read-only folder.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limitBytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = limitBytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  void (*oldHandler_)(int) = nullptr;
};

}  // namespace kvn::test
