#include "app/replace_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta {

namespace {

constexpr std::string_view TEMPORARY = ".orvanta-";
constexpr std::string_view NAME_LETTERS =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The file `path` names, through a link; `path` itself where there is none yet.
std::string targetOf(const std::string& path, int& error) {
    char resolved[PATH_MAX];
    struct stat existing {};
    if (::stat(path.c_str(), &existing) != 0) {
        return path;
    }
    if (::realpath(path.c_str(), resolved) == nullptr) {
        error = errno;
        return path;
    }
    return resolved;
}

std::string folderOf(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    return slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
}

bool isTemporary(std::string_view name) {
    return name.size() == TEMPORARY.size() + 6 && name.starts_with(TEMPORARY) &&
           name.find_first_not_of(NAME_LETTERS, TEMPORARY.size()) == std::string_view::npos;
}

int writeAll(int fd, std::string_view data, mode_t mode) {
    if (::fchmod(fd, mode) != 0) {
        return errno;
    }
    for (std::size_t done = 0; done < data.size();) {
        const ssize_t written = ::write(fd, data.data() + done, data.size() - done);
        if (written >= 0) {
            done += static_cast<std::size_t>(written);
        } else if (errno != EINTR) {
            return errno;
        }
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Gives the unnamed file `fd` a name of the temporary's pattern, written into `temporary`: a
// rename needs one, and linkat cannot replace a file that is there.
int nameUnnamed(int fd, std::string& temporary) {
    std::random_device random;
    std::uniform_int_distribution<std::size_t> letter(0, NAME_LETTERS.size() - 1);
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = temporary.size() - 6; i < temporary.size(); ++i) {
            temporary[i] = NAME_LETTERS[letter(random)];
        }
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return 0;
        }
        if (errno != EEXIST) {
            return errno;
        }
    }
    return EEXIST;
}

} // namespace

int replaceFile(const std::string& path, std::string_view data) {
    int error = 0;
    const std::string target = targetOf(path, error);
    if (error != 0) {
        return error;
    }
    struct stat existing {};
    mode_t mode = 0;
    if (::stat(target.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const std::string folder = folderOf(target);
    std::string temporary = folder + std::string(TEMPORARY) + "XXXXXX";
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    const bool unnamed = fd >= 0;
    if (!unnamed && (fd = ::mkstemp(temporary.data())) < 0) {
        return errno;
    }
    error = writeAll(fd, data, mode);
    bool named = !unnamed;
    if (error == 0 && unnamed) {
        error = nameUnnamed(fd, temporary);
        named = error == 0;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0 && named) {
        ::unlink(temporary.c_str());
    }
    return error;
}

void removeLeftTemporaries(const std::string& path) {
    int error = 0;
    const std::string folder = folderOf(targetOf(path, error));
    DIR* const dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        struct stat seen {};
        if (isTemporary(entry->d_name) &&
            ::fstatat(fd, entry->d_name, &seen, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(seen.st_mode)) {
            ::unlinkat(fd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

} // namespace orvanta
