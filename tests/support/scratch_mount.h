#pragma once

#include <QString>
#include <QTemporaryDir>
#include <optional>
#include <string>

namespace mr640::test {

// A small file system of its own (tmpfs) mounted for one test over a fresh temporary
// folder or over a folder the test names, so a test can fill it up or make it read-only for real,
// whatever the permissions of the user running it (root ignores permissions, not a full or
// read-only file system). Mounting needs the right to mount, usually root: without it Mounted() is
// false and Failure() says why, for the test to skip with.
class ScratchMount
{
public:
    // options as for mount -o, e.g. "size=64k"; at, an existing folder, else a new one.
    explicit ScratchMount(const char* options, const QString& at = QString());
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Failure() const { return failure_; }
    QString Path() const { return path_; }
    QString FilePath(const QString& name) const { return path_ + u'/' + name; }

    // Remounts it read-only, content kept; false with Failure() set when refused.
    bool MakeReadOnly();

private:
    std::optional<QTemporaryDir> own_;
    QString path_;
    std::string options_;
    bool mounted_ = false;
    std::string failure_;
};

} // namespace mr640::test
