#include "tests/platform/SystemForTests.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace qv::test {

namespace {

constexpr uid_t kNobody = 65534;

rlim_t softFileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    return limit.rlim_cur;
}

// A write past the limit fails with EFBIG, as it would on a full disk, instead of a signal.
void limitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = std::min(bytes, limit.rlim_max);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

}  // namespace

int inChild(const std::function<bool()>& body, std::optional<std::uint64_t> fileSizeLimit,
            bool asTechnician) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (asTechnician && runsAsRoot() && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(3);
        }
        if (fileSizeLimit) {
            limitFileSize(*fileSizeLimit);
        }
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) : before_(softFileSizeLimit()) {
    limitFileSize(bytes);
}

FileSizeLimit::~FileSizeLimit() {
    limitFileSize(before_);
}

bool runsAsRoot() {
    return ::geteuid() == 0;
}

unsigned creationMask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool makeFifo(const std::filesystem::path& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}

bool giveLinkToNobody(const std::filesystem::path& link) {
    return ::lchown(link.c_str(), kNobody, kNobody) == 0;
}

std::size_t longestName(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(::pathconf(folder.c_str(), _PC_NAME_MAX));
}

}  // namespace qv::test
