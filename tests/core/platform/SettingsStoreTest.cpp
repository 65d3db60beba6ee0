#include "platform/SettingsStore.h"

#include "../TestEnvironment.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using SettingsStoreTest = testing::CoreTest;

TEST_F(SettingsStoreTest, ValuesAreTypedAndNamedWithoutCase)
{
    SettingsStore &store = settingsStore();
    EXPECT_EQ(store.filePath(), root() + "/config/Keldrum/Vantor/registry.ini");
    EXPECT_EQ(store.readNumber("tip"), std::nullopt);
    EXPECT_EQ(store.readText("tip"), std::nullopt);
    EXPECT_FALSE(store.hasValue("tip"));

    EXPECT_TRUE(store.writeNumber("Tip", 18));
    EXPECT_TRUE(store.writeNumber("big", 0xFFFFFFFFu));
    EXPECT_TRUE(store.writeText("lastproject", "shop"));
    EXPECT_TRUE(store.writeText("empty", ""));
    EXPECT_EQ(store.readNumber("TIP"), 18u);
    EXPECT_EQ(store.readNumber("big"), 0xFFFFFFFFu);
    EXPECT_EQ(store.readText("LastProject"), "shop");
    EXPECT_EQ(store.readText("empty"), "");
    EXPECT_TRUE(store.hasValue("EMPTY"));
    // A value of the other type reads as a failed read.
    EXPECT_EQ(store.readText("tip"), std::nullopt);
    EXPECT_EQ(store.readNumber("lastproject"), std::nullopt);

    // Writing under another case replaces the value, and may change its type.
    EXPECT_TRUE(store.writeText("TIP", "x"));
    EXPECT_EQ(store.readText("tip"), "x");
    EXPECT_EQ(store.readNumber("tip"), std::nullopt);

    EXPECT_TRUE(store.deleteValue("Empty"));
    EXPECT_FALSE(store.hasValue("empty"));
    EXPECT_FALSE(store.deleteValue("empty"));
    EXPECT_FALSE(store.writeText("a=b", "v"));
}

TEST_F(SettingsStoreTest, TextsSurviveAReloadByteForByte)
{
    // cp1252 with umlauts, the euro sign, the five undefined bytes, line
    // breaks, backslashes and things that look like the file's own syntax.
    std::string text = de("Müller & Söhne, Straße 5 € ") + "\x81\x8D\x8F\x90\x9D" + "\r\nzwei\\n [x]=sz:;";
    {
        SettingsStore writer(SettingsStore::defaultFilePath());
        ASSERT_TRUE(writer.writeText(de("Bemerkung für Ö"), text));
        ASSERT_TRUE(writer.writeText("progpath", "C:\\Programme\\Vantor\\"));
        ASSERT_TRUE(writer.writeNumber("usertype", 2));
    }
    SettingsStore reader(SettingsStore::defaultFilePath());
    EXPECT_EQ(reader.readText(de("bemerkung für Ö")), text);
    EXPECT_EQ(reader.readText("progpath"), "C:\\Programme\\Vantor\\");
    EXPECT_EQ(reader.readNumber("usertype"), 2u);

    // The file on disk is UTF-8.
    const std::string disk = readFile(reader.filePath());
    EXPECT_NE(disk.find("Müller"), std::string::npos);
    EXPECT_NE(disk.find("[Software\\Keldrum\\Vantor]"), std::string::npos);
}

TEST_F(SettingsStoreTest, SubkeysAreCreatedListedAndDeleted)
{
    SettingsStore &store = settingsStore();
    EXPECT_TRUE(store.subkeys().empty());
    EXPECT_TRUE(store.createSubkey("default"));
    EXPECT_TRUE(store.createSubkey(de("Bäcker")));
    EXPECT_TRUE(store.createSubkey("Shop"));
    EXPECT_TRUE(store.createSubkey("SHOP")); // already there
    EXPECT_TRUE(store.writeNumber("tip", 3)); // values and subkeys live side by side
    EXPECT_FALSE(store.createSubkey(""));
    EXPECT_FALSE(store.createSubkey("a\\b"));
    EXPECT_FALSE(store.createSubkey("a\nb"));

    SettingsStore reloaded(store.filePath());
    EXPECT_EQ(reloaded.subkeys(), (std::vector<std::string>{"default", de("Bäcker"), "Shop"}));
    EXPECT_TRUE(reloaded.hasSubkey("shop"));
    EXPECT_TRUE(reloaded.hasSubkey(de("Bäcker")));
    EXPECT_EQ(reloaded.readNumber("tip"), 3u);

    EXPECT_TRUE(reloaded.deleteSubkey("sHoP"));
    EXPECT_FALSE(reloaded.deleteSubkey("shop"));
    EXPECT_EQ(store.subkeys(), (std::vector<std::string>{"default", de("Bäcker")}));
    EXPECT_EQ(store.readNumber("tip"), 3u);
}

TEST_F(SettingsStoreTest, AMissingOrForeignFileReadsAsEmpty)
{
    SettingsStore missing(root() + "/nowhere/registry.ini");
    EXPECT_EQ(missing.readText("progpath"), std::nullopt);
    EXPECT_TRUE(missing.subkeys().empty());

    // Lines outside the key, without '=' or of an unknown type are skipped.
    writeFile(root() + "/foreign.ini", "[Other\\Key]\nprogpath=sz:/wrong\n[Software\\Keldrum\\Vantor]\r\n"
                                       "garbage\r\ntip=dword:00000012\r\nodd=hex:01\r\nproxy=sz:host\r\n"
                                       "\x01\xff\xfe=\r\n");
    SettingsStore foreign(root() + "/foreign.ini");
    EXPECT_EQ(foreign.readText("progpath"), std::nullopt);
    EXPECT_EQ(foreign.readNumber("tip"), 18u);
    EXPECT_FALSE(foreign.hasValue("odd"));
    EXPECT_EQ(foreign.readText("proxy"), "host");
}

} // namespace
} // namespace vantor
