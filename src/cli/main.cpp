// trv810ctl: the service tool's command-line companion, for scripting and service work.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/many_units.h"
#include "cli/port_naming.h"
#include "cli/texts.h"
#include "platform/error_text.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace trv810::cli {
namespace {

const Command* const kCommands[] = {&kPortsCommand, &kReadCommand,    &kWriteCommand,  &kFlashCommand,
                                    &kShowCommand,  &kCheckCommand,   &kHex2binCommand, &kExportCommand,
                                    &kImportCommand, &kDiffCommand};

void printHelp(std::FILE* out) {
  std::fprintf(out, "%s", texts::kHelpHead);
  for (const Command* c : kCommands)
    std::fprintf(out, "  %-8s %-31s %s\n", c->name, c->arguments, c->summary);
  std::fprintf(out, texts::kHelpTailFormat, kPortNamingHelp, texts::kNetworkPortsHelp);
}

// A command's result on standard output is its product: when it cannot be written
// (a full disk, a closed pipe), the command has failed, and diff could not compare.
int withOutputWritten(const Command& command, int status) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  const int error = errno;
  const bool diff = &command == &kDiffCommand;
  if (status != kExitOk && !(diff && status == kExitFailed)) return status;
  failure(std::string(texts::kOutputNotWritten), platform::errorText(error));
  return diff ? kExitUsage : kExitFailed;
}

}  // namespace

int usageError(const Command& command, const std::string& message) {
  std::fprintf(stderr, texts::kUsageFormat, command.name, message.c_str(), command.name, command.arguments);
  return kExitUsage;
}

int failure(const std::string& message, const std::string& detail) {
  std::fprintf(stderr, "%s\n", message.c_str());
  if (!detail.empty()) std::fprintf(stderr, "%s\n", detail.c_str());
  return kExitFailed;
}

int run(int argc, char** argv) {
  GlobalOptions options;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      printHelp(stdout);
      return kExitOk;
    }
    if (arg == "--version") {
      std::printf("trv810ctl 1.30\n");
      return kExitOk;
    }
    if (arg == "--quiet" || arg == "-q") {
      options.quiet = true;
    } else if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--port" && i + 1 < argc) {
      addPorts(options, argv[++i]);
    } else if (arg.rfind("--port=", 0) == 0) {
      addPorts(options, arg.substr(7));
    } else {
      std::fprintf(stderr, texts::kUnknownGlobalOptionFormat, arg.c_str());
      printHelp(stderr);
      return kExitUsage;
    }
  }
  if (i >= argc) {
    printHelp(stderr);
    return kExitUsage;
  }
  const std::string name = argv[i++];
  for (const Command* c : kCommands) {
    if (name != c->name) continue;
    if (options.ports.size() > 1 && !takesSeveralPorts(*c)) return usageError(*c, std::string(texts::kSeveralPortsNotHere));
    return withOutputWritten(*c, c->run(std::vector<std::string>(argv + i, argv + argc), options));
  }
  std::fprintf(stderr, texts::kUnknownCommandFormat, name.c_str());
  printHelp(stderr);
  return kExitUsage;
}

}  // namespace trv810::cli

#ifdef _WIN32
namespace {

// The console's settings as the program found them. The console outlives the program
// (it belongs to cmd.exe or PowerShell), so they are put back at every exit: left on
// UTF-8, a later program that writes its own code page would show "fÃ¼r".
UINT consoleCodePage = 0;
DWORD consoleModes[2] = {};
bool consoleModeSet[2] = {};
constexpr DWORD kStreams[2] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

void restoreConsole() {
  std::fflush(stdout);
  std::fflush(stderr);
  if (consoleCodePage != 0) ::SetConsoleOutputCP(consoleCodePage);
  for (int i = 0; i < 2; ++i)
    if (consoleModeSet[i]) ::SetConsoleMode(::GetStdHandle(kStreams[i]), consoleModes[i]);
}

}  // namespace

// Windows: every text leaves as UTF-8, which the console shows as such once its output
// code page is UTF-8 (cmd.exe and PowerShell alike); virtual terminal processing lets
// the progress bar redraw its line. Both are undone when the program ends. The
// arguments come as UTF-16 and go on as UTF-8, so file names with umlauts arrive
// intact whatever the ANSI code page is.
int main() {
  consoleCodePage = ::GetConsoleOutputCP();  // 0 without a console: nothing to put back
  for (int i = 0; i < 2; ++i) {
    const HANDLE out = ::GetStdHandle(kStreams[i]);
    consoleModeSet[i] = ::GetConsoleMode(out, &consoleModes[i]) != 0;
    if (consoleModeSet[i]) ::SetConsoleMode(out, consoleModes[i] | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  }
  std::atexit(restoreConsole);
  ::SetConsoleOutputCP(CP_UTF8);
  int argc = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (wide == nullptr) return trv810::cli::kExitFailed;
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), n, nullptr, nullptr);
    args.push_back(std::move(arg));
  }
  ::LocalFree(wide);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return trv810::cli::run(argc, argv.data());
}
#else
int main(int argc, char** argv) { return trv810::cli::run(argc, argv); }
#endif
