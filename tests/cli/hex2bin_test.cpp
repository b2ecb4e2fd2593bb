// trv810ctl hex2bin run as a process: exit codes, messages and the raw copy.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int status;
  std::string out, err;
};

class Hex2bin : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    std::string t = (fs::temp_directory_path() / "trv810-cli-XXXXXX").string();
    dir = ::mkdtemp(t.data());
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string write(const std::string& name, const std::string& content) {
    std::ofstream(dir / name, std::ios::binary) << content;
    return (dir / name).string();
  }
  std::string read(const std::string& name) {
    std::ifstream in(dir / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  Outcome run(const std::string& args) {
    const std::string command = std::string("'") + TRV810_BINARY_DIR + "/src/cli/trv810ctl' hex2bin " + args +
                                " >'" + (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read("out"), read("err")};
  }
};

TEST_F(Hex2bin, AGoodHexFilePrintsItsLengthAndLeavesTheRawCopy) {
  const std::string hex = write("fw.hex", ":020000040800F2\r\n:0400000001020300F6\r\n:00000001FF\r\n");
  const Outcome r = run(hex);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Abbildlänge 4 Bytes"), std::string::npos) << r.out;
  EXPECT_EQ(read("fw.bin"), std::string("\x01\x02\x03\x00", 4));
  const Outcome raw = run((dir / "fw.bin").string());
  EXPECT_EQ(raw.status, 0);
  EXPECT_NE(raw.out.find("Abbildlänge 4 Bytes"), std::string::npos);

  // Data the placement leaves out is told on a line of its own; the copy is written.
  const Outcome dropped = run(write("low.hex", ":0100100011DE\r\n:0100000022DD\r\n:00000001FF\r\n"));
  EXPECT_EQ(dropped.status, 0) << dropped.err;
  EXPECT_EQ(dropped.err, "Warnung: 1 Byte der HEX-Datei außerhalb des Abbilds weggelassen !\n");
  EXPECT_EQ(read("low.bin"), "\x11");
}

TEST_F(Hex2bin, AFaultyFileSaysWhatAndWhere) {
  const std::string hex = write("fw.hex", ":0300000001020300F7\r\n:03000300010203F7\r\n:00000001FF\r\n");
  const Outcome r = run(hex);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Ungültiges Dateiformat!\nZeile 2: mit dem Prüfbyte ergibt die Summe der Zeile nicht 0\n");
  EXPECT_FALSE(fs::exists(dir / "fw.bin"));
  EXPECT_EQ(run(write("fw.Hex", "")).status, 1);
  EXPECT_EQ(run((dir / "missing.hex").string()).err,
            "Ungültiges Dateiformat!\nnicht zu öffnen: " + (dir / "missing.hex").string() +
                ": Datei oder Verzeichnis nicht vorhanden\n");
}

TEST_F(Hex2bin, UsageErrorsExitWith2) {
  EXPECT_EQ(run("").status, 2);
  EXPECT_EQ(run("a.hex b.hex").status, 2);
  const Outcome r = run("--frobnicate");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Aufruf: trv810ctl hex2bin"), std::string::npos);
}

}  // namespace
