// The tool's config.json, read from a file as at start-up, and kept through a
// save and a second load.

#include "config/config.h"
#include "fuzzsupport.h"

#include <QDir>
#include <QFile>

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
    // Before anything asks for standard paths: the config folder goes below the scratch folder.
    qputenv("XDG_CONFIG_HOME", Fuzz::scratch().path().toUtf8());
    Fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Config config;
    // Each input starts from an empty folder, so runs do not depend on earlier inputs.
    const QFileInfo path(config.getFilePath());
    QDir folder = path.dir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        folder.remove(name);
    {
        QFile file(path.filePath());
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    }

    FUZZ_CHECK(config.load());
    for (const auto& user : config.getUsers())
        (void)config.getUser(user.getUser());

    FUZZ_CHECK(config.save());
    Config reread;
    FUZZ_CHECK(reread.load());
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
    return 0;
}
