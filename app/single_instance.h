#pragma once

// One instance per user and display server. The first start holds an advisory lock (flock) on a
// file in a folder that only this user can write, so the kernel drops it with its holder whatever
// the file holds; beside it the first start listens on a local socket for the one request a second
// start sends: to show the window.

#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace orvanta {

class SingleInstance {
  public:
    enum class Outcome {
        First,          // this process holds the lock and hears show requests
        AlreadyRunning, // another process holds it
        Unguarded,      // no private folder or lock: the program runs without the rule
    };

    // Takes the lock for `name` on the current display server; `onShowRequest` runs for every show
    // request that reaches this process. Problems are said once on the standard error stream.
    SingleInstance(const char* name, std::function<void()> onShowRequest);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    Outcome outcome() const { return outcome_; }

    // Asks the instance holding the lock for `name` to show its window; false if the request could
    // not be delivered. Only the delivery is awaited, not its handling.
    static bool requestShow(const char* name);
    // Where the instance holding the lock for `name` listens; empty without a private folder.
    static QString channelPath(const char* name);

  private:
    Outcome outcome_ = Outcome::Unguarded;
    int lockFd_ = -1;
    int folderFd_ = -1; // where the folder is too deep to name the socket by its path
    std::unique_ptr<QLocalServer> server_;
};

} // namespace orvanta
