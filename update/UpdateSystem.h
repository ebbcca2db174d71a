#pragma once

#include <QString>
#include <QUrl>
#include <chrono>
#include <optional>

namespace lisko {

// What the update check needs from outside the window: where the program file lies, how the
// replacement script is started and the program ended, and how long the server may keep it
// waiting. The desktop's version serves the program; tests put their own in place.
class UpdateSystem {
public:
    virtual ~UpdateSystem() = default;
    // Full path of the running program file.
    virtual QString ProgramFile() const = 0;
    // Starts the replacement script detached from the program, running in directory.
    virtual void StartScript(const QString& script, const QString& directory) = 0;
    // Ends the program at once with exit code 0. Returns only where a test stands in.
    virtual void EndProgram() = 0;
    // The longest wait for the version text, so that a silent server cannot hold up start-up.
    virtual std::chrono::milliseconds VersionFetchLimit() const = 0;
    // The longest the setup download may go without receiving anything before it counts as
    // broken.
    virtual std::chrono::milliseconds StallLimit() const = 0;
    // Whether the program belongs to a package manager, which alone may replace it: then a new
    // version is announced, never downloaded.
    virtual bool InstalledByPackage() const = 0;
};

class DesktopUpdateSystem : public UpdateSystem {
public:
    QString ProgramFile() const override;
    void StartScript(const QString& script, const QString& directory) override;
    void EndProgram() override;
    std::chrono::milliseconds VersionFetchLimit() const override;
    std::chrono::milliseconds StallLimit() const override;
    // Built for a package, or a program file (or its folder) that the user cannot write.
    bool InstalledByPackage() const override;
};

// The system in use: the desktop's, unless a ScopedUpdateSystem replaced it.
UpdateSystem& CurrentUpdateSystem();

// Puts another system in place for its lifetime.
class ScopedUpdateSystem {
public:
    explicit ScopedUpdateSystem(UpdateSystem& system);
    ~ScopedUpdateSystem();
    ScopedUpdateSystem(const ScopedUpdateSystem&) = delete;
    ScopedUpdateSystem& operator=(const ScopedUpdateSystem&) = delete;

private:
    UpdateSystem* previous_;
};

// The update server's base address without a trailing "/": the project site, unless the
// environment variable LISKO_UPDATE_URL names another (mirrors, tests). The program runs what it
// downloads, so that address must be https://, or http:// on this machine's loopback interface
// (localhost, 127.0.0.0/8, ::1); for any other nothing is returned and the reason goes to the
// warning log.
std::optional<QString> UpdateServer();

// Whether a server address may serve the update: https, or http to a loopback host.
bool IsTrustedUpdateServer(const QUrl& url);

}  // namespace lisko
