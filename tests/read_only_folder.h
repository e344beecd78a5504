#pragma once

// A folder made read-only for one scope. Root writes through a folder's mode, so for root it is a
// read-only bind mount of itself; `taken` is false where neither can be had, and the case that
// needs it is then not run.

#include <QFile>
#include <QString>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta {

class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const QString& folder) : path_(QFile::encodeName(folder)) {
        const char* path = path_.constData();
        if (::geteuid() != 0) {
            taken_ = ::chmod(path, 0500) == 0;
            return;
        }
        bound_ = ::mount(path, path, nullptr, MS_BIND, nullptr) == 0;
        taken_ = bound_ &&
                 ::mount(nullptr, path, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }
    ~ReadOnlyFolder() {
        if (bound_) {
            ::umount2(path_.constData(), MNT_DETACH);
        } else {
            ::chmod(path_.constData(), 0700);
        }
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool taken() const { return taken_; }

  private:
    QByteArray path_;
    bool bound_ = false;
    bool taken_ = false;
};

} // namespace orvanta
