// Bad input on Windows: a file or folder given as the port, a device given as an
// input file or as a save's target, and a save over a file whose attributes must survive.

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

  // A file, a folder or NUL as the port is no serial port: refused, nothing written.
  // (A folder's denied access was taken for a port another program holds.)
  for (const std::string& port : {kfg.string(), dir.path.string(), std::string("NUL")}) {
    const SerialDeviceOpener::Result r = makeSerialDeviceOpener()->open(port);
    EXPECT_EQ(r.error, DeviceOpenError::NotSerial) << port;
    EXPECT_FALSE(r.device) << port;
  }
  EXPECT_EQ(slurp(kfg), "keep me");

  // A device or a folder is no input file.
  FileReader reader;
  EXPECT_EQ(reader.open("NUL").type, FileType::CharacterDevice);
  EXPECT_EQ(reader.open(dir.path.string()).type, FileType::Directory);

  // A name Windows keeps for a device, with an extension too, is no file to save over
  // (the save said "Datei existiert bereits").
  for (const std::string& name : {std::string("aux.kfg"), std::string("COM1")}) {
    const FileResult refused = writeFileReplacing((dir.path / name).string(), std::vector<uint8_t>{'x'});
    EXPECT_EQ(refused.type, FileType::CharacterDevice) << name << ": " << refused.message;
  }

  // The replaced file keeps its attributes.
  ASSERT_TRUE(::SetFileAttributesW(kfg.wstring().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  const std::vector<uint8_t> bytes{'n', 'e', 'w'};
  ASSERT_TRUE(writeFileReplacing(kfg.string(), bytes));
  EXPECT_EQ(slurp(kfg), "new");
  EXPECT_NE(::GetFileAttributesW(kfg.wstring().c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 1);  // no temporary left
}
