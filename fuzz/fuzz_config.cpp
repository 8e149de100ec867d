// The tool's config.json as read at start-up, kept through a save and a second load, in
// memory through the same reader and writer the file uses.

#include "config/config.h"
#include "fuzzsupport.h"

#include <cstdint>

using Application::R58::Config;

namespace {

// Qt's JSON writer replaces unpaired surrogates, so only other texts must come back unchanged.
bool survivesWriting(const QString& text)
{
    for (const QChar c : text) {
        if (c.isSurrogate())
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Before anything asks for standard paths: the config folder goes below the scratch folder,
    // which is all a Config touches on the disk when it reads and writes in memory.
    qputenv("XDG_CONFIG_HOME", Fuzz::scratch().path().toUtf8());
    Fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Config config;
    const bool readable
        = config.loadData(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    // A file that is kept aside as unreadable has given nothing, so a save cannot change it.
    if (!readable) {
        FUZZ_CHECK(config.getSoftwareUpdateDir().isEmpty() && config.getSettingsDir().isEmpty());
        FUZZ_CHECK(config.getUsers().empty());
    }
    for (const auto& user : config.getUsers())
        (void)config.getUser(user.getUser());

    const QByteArray saved = config.toData();
    Config reread;
    FUZZ_CHECK(reread.loadData(saved));
    if (survivesWriting(config.getSoftwareUpdateDir()))
        FUZZ_CHECK(reread.getSoftwareUpdateDir() == config.getSoftwareUpdateDir());
    if (survivesWriting(config.getSettingsDir()))
        FUZZ_CHECK(reread.getSettingsDir() == config.getSettingsDir());
    const auto users = config.getUsers();
    const auto rereadUsers = reread.getUsers();
    FUZZ_CHECK(users.size() == rereadUsers.size());
    for (std::size_t i = 0; i < users.size(); ++i) {
        FUZZ_CHECK(users[i].getUser() == rereadUsers[i].getUser());
        if (survivesWriting(users[i].getPassword()))
            FUZZ_CHECK(users[i].getPassword() == rereadUsers[i].getPassword());
    }
    // What was saved once is saved again byte for byte: no setting drifts over repeated runs.
    FUZZ_CHECK(reread.toData() == saved);
    return 0;
}
