#include <cinttypes>
#include <cstdio>

#include "cli/command.h"
#include "cli/texts.h"
#include "firmware/flash_image.h"
#include "firmware/flash_loader.h"
#include "firmware/texts.h"

namespace trv810::cli {
namespace {

// The file title the loader decides by: the path's last component.
std::string titleOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int runHex2bin(const std::vector<std::string>& args, const GlobalOptions&) {
  if (args.size() != 1) return usageError(kHex2binCommand, std::string(args.empty() ? texts::kNoFileGiven : texts::kOnlyOneFile));
  const std::string& path = args[0];
  if (path.empty() || (path.size() > 1 && path[0] == '-'))
    return usageError(kHex2binCommand, texts::unknownOption(path));

  firmware::FlashImage image;
  const firmware::LoadResult result = firmware::loadFlashImage(image, path, titleOf(path));
  if (!result) return failure(std::string(firmware::texts::kInvalidFile), describe(result));
  if (const std::string warning = firmware::loadWarning(result); !warning.empty())
    std::fprintf(stderr, "%s\n", warning.c_str());

  std::printf(texts::kImageLengthFormat, path.c_str(), image.length(), image.length());
  // Writing the copy is this command's job: without it, it has failed.
  if (firmware::rawCopyFailed(result))
    return failure(std::string(firmware::texts::kRawCopyNotWritten), result.rawCopy.message);
  if (!result.rawCopyPath.empty()) std::printf(texts::kRawCopyFormat, result.rawCopyPath.c_str());
  return kExitOk;
}

}  // namespace

const Command kHex2binCommand{"hex2bin", "DATEI.hex", texts::kHex2binSummary, runHex2bin};

}  // namespace trv810::cli
