#pragma once

#include <QString>

// The single-instance lock: an exclusive flock on "OneCopyMutex.lock" in the user's runtime
// folder (XDG_RUNTIME_DIR), else in a private per-user folder under the user's caches; never in
// a folder others can write to. The kernel drops it when the process ends, crash included.
class OneCopyMutex final
{
public:
    explicit OneCopyMutex(const QString& lockPath = defaultLockPath());
    ~OneCopyMutex();
    OneCopyMutex(const OneCopyMutex&) = delete;
    OneCopyMutex& operator=(const OneCopyMutex&) = delete;

    // True when another process holds the lock. A lock that cannot be created at all (no
    // private folder, a link or another user's file in its place) reports false: the copy then
    // starts and the rule is not enforced.
    bool heldByAnother() const { return heldByAnother_; }

    // Empty when neither folder is private to this user.
    static QString defaultLockPath();

private:
    int fd_ = -1;
    bool heldByAnother_ = false;
};
