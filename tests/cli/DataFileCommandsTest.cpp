#include "CliFixture.h"

#include "net/DataFile.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

class DataFileCommandsTest : public vantor::testing::CliFixture
{
protected:
    std::string file(const std::string &name) const { return (m_dir / name).string(); }
    void write(const std::string &name, const std::string &content) const
    {
        std::ofstream(m_dir / name, std::ios::binary) << content;
    }
};

} // namespace

TEST_F(DataFileCommandsTest, PackUnpackAndGet)
{
    const std::string text = "SYSTEM.active=0\r\nGoogle.SERVER=www.google.de\r\nX.NAME=M\xfcller\r\nL.LAST=ohne";
    write("submit.txt", text);
    ASSERT_EQ(run({"datafile", "pack", file("submit.txt"), file("submit_d.dat")}), 0) << m_err.str();
    std::string loaded;
    ASSERT_TRUE(DataFile::load(file("submit_d.dat"), loaded));
    EXPECT_EQ(loaded, text);

    EXPECT_EQ(run({"datafile", "unpack", file("submit_d.dat")}), 0);
    EXPECT_EQ(out(), text); // byte for byte

    EXPECT_EQ(run({"datafile", "get", file("submit_d.dat"), "Google", "SERVER"}), 0);
    EXPECT_EQ(out(), "www.google.de\n");
    EXPECT_EQ(run({"datafile", "get", file("submit_d.dat"), "X", "NAME"}), 0);
    EXPECT_EQ(out(), "M\xc3\xbcller\n");

    EXPECT_EQ(run({"datafile", "get", file("submit_d.dat"), "L", "LAST"}), 1);
    EXPECT_TRUE(told("Eintrag nicht gefunden"));
    EXPECT_TRUE(told("'L.LAST'"));
    EXPECT_EQ(out(), "");
}

TEST_F(DataFileCommandsTest, FailuresAndUsageErrors)
{
    EXPECT_EQ(run({"datafile", "unpack", file("fehlt.dat")}), 1);
    EXPECT_TRUE(told("wurde nicht gefunden"));
    write("kaputt.dat", "das ist keine Datendatei");
    EXPECT_EQ(run({"datafile", "get", file("kaputt.dat"), "A", "B"}), 1);
    EXPECT_TRUE(told("beschädigt"));
    EXPECT_EQ(run({"datafile", "pack", file("fehlt.txt"), file("x.dat")}), 1);
    EXPECT_TRUE(told("konnte nicht gelesen werden"));
    EXPECT_FALSE(fs::exists(m_dir / "x.dat"));
    // Packed this well, the file could not be read back: refused.
    write("leer.txt", std::string(100000, ' '));
    EXPECT_EQ(run({"datafile", "pack", file("leer.txt"), file("x.dat")}), 1);
    EXPECT_TRUE(told("Fehler beim Packen"));
    EXPECT_FALSE(fs::exists(m_dir / "x.dat"));

    const std::vector<std::vector<std::string>> calls = {
        {"datafile"},
        {"datafile", "show", file("x.dat")},
        {"datafile", "pack", file("leer.txt")},
        {"datafile", "unpack"},
        {"datafile", "get", file("x.dat"), "A"},
        {"datafile", "get", file("x.dat"), "A", "B", "C"},
    };
    for (const auto &call : calls)
        EXPECT_EQ(run(call), 2) << call.size();
}
