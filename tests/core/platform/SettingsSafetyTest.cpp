#include "platform/Files.h"
#include "platform/SettingsStore.h"

#include "../TestEnvironment.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vantor {
namespace {

using SettingsSafetyTest = testing::CoreTest;

unsigned modeOf(const std::string &path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
}

// A process id that certainly belongs to nobody any more.
pid_t deadPid()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

TEST_F(SettingsSafetyTest, AFileThatCannotBeReadIsNeverReplaced)
{
    const std::string path = settingsStore().filePath();
    fs::create_directories(fs::path(path).parent_path());
    const auto refusesEverything = [&](const char *what) {
        SettingsStore store(path);
        EXPECT_EQ(store.fileState(), SettingsStore::FileState::Unreadable) << what;
        EXPECT_EQ(store.readText("progpath"), std::nullopt) << what;
        EXPECT_FALSE(store.writeText("lastproject", "x")) << what;
        EXPECT_FALSE(store.writeNumber("tip", 1)) << what;
        EXPECT_FALSE(store.createSubkey("shop")) << what;
        EXPECT_FALSE(store.deleteValue("tip")) << what;
    };

    // A FIFO in the file's place: reading must not block, and it stays a FIFO.
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    refusesEverything("fifo");
    EXPECT_TRUE(fs::is_fifo(path));
    fs::remove(path);

    fs::create_directory(path);
    refusesEverything("directory");
    EXPECT_TRUE(fs::is_directory(path));
    fs::remove(path);

    // A link whose target has gone (a settings file kept on a drive that is
    // not mounted, say) stays the user's link.
    fs::create_symlink(root() + "/elsewhere/registry.ini", path);
    refusesEverything("dangling link");
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(fs::read_symlink(path), root() + "/elsewhere/registry.ini");
    EXPECT_FALSE(fs::exists(root() + "/elsewhere"));
    fs::remove(path);

    if (::geteuid() != 0) { // root reads whatever the mode says
        writeFile(path, "[Software\\Keldrum\\Vantor]\nproxypassword=sz:geheim\n");
        ::chmod(path.c_str(), 0);
        refusesEverything("no permission");
        ::chmod(path.c_str(), 0600);
        EXPECT_EQ(readFile(path), "[Software\\Keldrum\\Vantor]\nproxypassword=sz:geheim\n");
    }
}

TEST_F(SettingsSafetyTest, AFileTheUserMadeReadOnlyIsNotChanged)
{
    SettingsStore &store = settingsStore();
    ASSERT_TRUE(store.writeText("proxy", "host"));
    ASSERT_TRUE(store.createSubkey("shop"));
    const std::string before = readFile(store.filePath());
    ASSERT_EQ(::chmod(store.filePath().c_str(), 0400), 0);
    EXPECT_EQ(store.fileState(), SettingsStore::FileState::Readable);
    EXPECT_FALSE(store.writeText("proxy", "other"));
    EXPECT_FALSE(store.writeNumber("tip", 1));
    EXPECT_FALSE(store.deleteValue("proxy"));
    EXPECT_FALSE(store.createSubkey("neu"));
    EXPECT_FALSE(store.deleteSubkey("shop"));
    EXPECT_EQ(readFile(store.filePath()), before);
    EXPECT_EQ(modeOf(store.filePath()), 0400u);
    EXPECT_EQ(store.readText("proxy"), "host");
}

TEST_F(SettingsSafetyTest, LinesTheStoreDoesNotUnderstandSurviveEveryChange)
{
    const std::string path = settingsStore().filePath();
    fs::create_directories(fs::path(path).parent_path());
    const std::vector<std::string> foreign = {
        "; exported by the administrator",
        "[Software\\Keldrum\\Vantor]",
        "TIP=DWORD:00000005",
        "plain=untyped value",
        "spaced = sz:with blanks",
        " lead=sz:x",
        "bin=hex:01,02",
        "big=dword:1234567890",
        "# not ours either",
        "keep=sz:kept\r",
        "",
        "[HKEY_LOCAL_MACHINE\\Other]",
        "lastproject=sz:foreign",
        "[Software\\Keldrum\\Vantor\\shop]",
        "note=sz:inside a subkey",
    };
    std::string content;
    for (const auto &line : foreign)
        content += line + "\n";
    writeFile(path, content);

    SettingsStore store(path);
    EXPECT_EQ(store.readText("keep"), "kept");
    EXPECT_FALSE(store.hasValue("plain"));
    EXPECT_FALSE(store.hasValue("big"));
    EXPECT_EQ(store.readText("lastproject"), std::nullopt); // the foreign section's is not ours
    ASSERT_TRUE(store.writeNumber("tip", 3));
    ASSERT_TRUE(store.writeText("lastproject", "shop"));
    ASSERT_TRUE(store.writeText("keep", "changed"));
    ASSERT_TRUE(store.createSubkey("neu"));
    ASSERT_TRUE(store.deleteValue("lastproject"));
    ASSERT_TRUE(store.writeText("lastproject", "again"));

    const std::string after = readFile(path);
    std::size_t at = 0;
    for (const auto &line : foreign) {
        if (line == "keep=sz:kept\r")
            continue; // the one line that was ours to change
        const auto found = after.find(line + "\n", at);
        ASSERT_NE(found, std::string::npos) << "lost or moved: " << line << "\n" << after;
        at = found + line.size();
    }
    SettingsStore reread(path);
    EXPECT_EQ(reread.readNumber("tip"), 3u);
    EXPECT_EQ(reread.readText("keep"), "changed");
    EXPECT_EQ(reread.readText("lastproject"), "again");
    EXPECT_EQ(reread.subkeys(), (std::vector<std::string>{"shop", "neu"}));

    // A subkey goes with what stands in it; everything else stays.
    ASSERT_TRUE(reread.deleteSubkey("shop"));
    EXPECT_EQ(readFile(path).find("inside a subkey"), std::string::npos);
    EXPECT_NE(readFile(path).find("lastproject=sz:foreign\n"), std::string::npos);
}

TEST_F(SettingsSafetyTest, NamesThatWouldNotReadBackAreRefused)
{
    SettingsStore &store = settingsStore();
    for (const char *name : {"", "[x", ";x", "a=b", " x", "x ", "x\ty\t", "a\nb"}) {
        EXPECT_FALSE(SettingsStore::isValidName(name)) << name;
        EXPECT_FALSE(store.writeText(name, "v")) << name;
    }
    for (const char *name : {"x[1]", "a;b", "mit blank", "back\\slash"}) {
        ASSERT_TRUE(store.writeText(name, "v")) << name;
        EXPECT_EQ(SettingsStore(store.filePath()).readText(name), "v") << name;
    }
}

TEST_F(SettingsSafetyTest, TheFileIsPrivateAndKeepsItsModeAndLinks)
{
    SettingsStore &store = settingsStore();
    ASSERT_TRUE(store.writeText("proxypassword", "geheim"));
    EXPECT_EQ(modeOf(store.filePath()), 0600u);

    ::chmod(store.filePath().c_str(), 0640);
    ASSERT_TRUE(store.writeNumber("tip", 2));
    EXPECT_EQ(modeOf(store.filePath()), 0640u);

    // A settings file the user keeps elsewhere through a link is written
    // where it is; the link stays.
    const std::string real = root() + "/dotfiles/registry.ini";
    fs::create_directories(root() + "/dotfiles");
    fs::rename(store.filePath(), real);
    fs::create_symlink(real, store.filePath());
    ASSERT_TRUE(store.writeNumber("tip", 9));
    EXPECT_TRUE(fs::is_symlink(store.filePath()));
    EXPECT_EQ(SettingsStore(real).readNumber("tip"), 9u);
    EXPECT_EQ(modeOf(real), 0640u);
}

TEST_F(SettingsSafetyTest, AnUnchangedFileIsNotReadAgain)
{
    SettingsStore &store = settingsStore();
    ASSERT_TRUE(store.writeNumber("tip", 4));
    ASSERT_TRUE(store.writeText("proxy", "host"));
    const auto reads = store.fileReads();
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(store.readNumber("tip"), 4u);
        EXPECT_EQ(store.readText("proxy"), "host");
        EXPECT_TRUE(store.subkeys().empty());
    }
    EXPECT_EQ(store.fileReads(), reads);

    // A change from outside, even one of the same size a moment later and in
    // place, is seen at the next use.
    const std::string path = store.filePath();
    std::string content = readFile(path);
    content.replace(content.find("dword:00000004"), 14, "dword:00000007");
    writeFile(path, content);
    EXPECT_EQ(store.readNumber("tip"), 7u);
    content.replace(content.find("dword:00000007"), 14, "dword:00000008");
    writeFile(path, content);
    EXPECT_EQ(store.readNumber("tip"), 8u);
}

TEST_F(SettingsSafetyTest, AtomicWritesLeaveNoTempFilesAndFitLongNames)
{
    const std::string dir = root() + "/w";
    fs::create_directories(dir);
    // What a killed earlier run left behind goes; a live writer's file stays.
    const std::string stale = dir + "/.~vt0badc0de-" + std::to_string(deadPid()) + ".tmp";
    const std::string live = dir + "/.~vt0badc0de-1.tmp"; // init never dies
    writeFile(stale, "half");
    writeFile(live, "busy");
    ASSERT_TRUE(files::writeAtomic(dir + "/a.txt", "neu"));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(files::isAtomicTempName(".~vt0badc0de-1.tmp"));
    EXPECT_FALSE(files::isAtomicTempName(".~vt0badc0de-.tmp"));
    EXPECT_EQ(files::listFiles(dir + "/*"), std::vector<std::string>{"a.txt"});

    // A name as long as the file system allows still gets its temporary file.
    const std::string longName = std::string(251, 'p') + ".qx!";
    ASSERT_TRUE(files::writeAtomic(dir + "/" + longName, "[homepage]\r\n"));
    EXPECT_EQ(readFile(dir + "/" + longName), "[homepage]\r\n");

    // A dangling link or something that is no file is not replaced.
    fs::create_symlink(dir + "/gone.txt", dir + "/link.txt");
    EXPECT_FALSE(files::writeAtomic(dir + "/link.txt", "x"));
    EXPECT_TRUE(fs::is_symlink(dir + "/link.txt"));
    EXPECT_FALSE(fs::exists(dir + "/gone.txt"));
    fs::create_directory(dir + "/sub");
    EXPECT_FALSE(files::writeAtomic(dir + "/sub", "x"));

    // Not replacing: a file that is there stays as it is.
    files::AtomicWrite keep;
    keep.replaceExisting = false;
    EXPECT_FALSE(files::writeAtomic(dir + "/a.txt", "other", keep));
    EXPECT_EQ(readFile(dir + "/a.txt"), "neu");
    EXPECT_TRUE(files::writeAtomic(dir + "/b.txt", "fresh", keep));
    EXPECT_EQ(readFile(dir + "/b.txt"), "fresh");

    std::vector<std::string> left;
    for (const auto &entry : fs::directory_iterator(dir))
        if (files::isAtomicTempName(entry.path().filename().string()))
            left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{".~vt0badc0de-1.tmp"});
}

} // namespace
} // namespace vantor
