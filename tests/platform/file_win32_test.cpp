// Bad input on Windows: a file given as the port, a device given as an input file,
// and a save over a file whose attributes must survive.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file.h"
#include "platform/file_reader.h"
#include "platform/serial_device.h"
#include "support/temp_dir.h"

using namespace trv810::platform;
namespace fs = std::filesystem;

using trv810::tests::slurp;

TEST(FileWin32, BadPortsAndInputsAreRefusedAndSavesKeepAttributes) {
  trv810::tests::TempDir dir;
  const fs::path kfg = dir.path / "unit.kfg";
  std::ofstream(kfg) << "keep me";

  // A file or NUL as the port is no serial port: refused, nothing written.
  for (const std::string& port : {kfg.string(), std::string("NUL")}) {
    const SerialDeviceOpener::Result r = makeSerialDeviceOpener()->open(port);
    EXPECT_EQ(r.error, DeviceOpenError::NotSerial) << port;
    EXPECT_FALSE(r.device) << port;
  }
  EXPECT_EQ(slurp(kfg), "keep me");

  // A device or a folder is no input file.
  FileReader reader;
  EXPECT_EQ(reader.open("NUL").type, FileType::CharacterDevice);
  EXPECT_EQ(reader.open(dir.path.string()).type, FileType::Directory);

  // The replaced file keeps its attributes.
  ASSERT_TRUE(::SetFileAttributesW(kfg.wstring().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  const std::vector<uint8_t> bytes{'n', 'e', 'w'};
  ASSERT_TRUE(writeFileReplacing(kfg.string(), bytes));
  EXPECT_EQ(slurp(kfg), "new");
  EXPECT_NE(::GetFileAttributesW(kfg.wstring().c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 1);  // no temporary left
}
