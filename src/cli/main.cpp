// trv810ctl: the service tool's command-line companion, for scripting and service work.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command.h"

namespace trv810::cli {
namespace {

const Command* const kCommands[] = {&kPortsCommand, &kReadCommand,    &kWriteCommand,  &kFlashCommand,
                                    &kShowCommand,  &kCheckCommand,   &kHex2binCommand, &kExportCommand,
                                    &kImportCommand, &kDiffCommand};

void printHelp(std::FILE* out) {
  std::fprintf(out,
               "Aufruf: trv810ctl [--port PORT] [--quiet] [--trace] BEFEHL [ARGUMENTE]\n"
               "        trv810ctl --help | --version\n\n"
               "Servicewerkzeug für die Alarm- und Sirenensteuerung TRV810.\n\n"
               "Befehle:\n");
  for (const Command* c : kCommands)
    std::fprintf(out, "  %-8s %-31s %s\n", c->name, c->arguments, c->summary);
  std::fprintf(out,
               "\nOptionen:\n"
               "  --port PORT  COM1..COM12 (Vorgabe COM1) oder ein Gerätepfad\n"
               "  --quiet      keine Fortschrittsanzeige\n"
               "  --trace      jeden gesendeten und empfangenen Rahmen ausgeben\n\n"
               "Ports: COM1-COM4 sind /dev/ttyS0-3, COM5-COM8 /dev/ttyUSB0-3, COM9-COM12\n"
               "/dev/ttyACM0-3; TRV810_COM<n>=GERÄT legt Eintrag n auf ein anderes Gerät.\n\n"
               "Rückgabewert: 0 Erfolg, 1 Vorgang fehlgeschlagen, 2 falscher Aufruf,\n"
               "130 Übertragung mit Strg-C abgebrochen; bei diff 0 gleich, 1 verschieden,\n"
               "2 eine Seite nicht lesbar.\n");
}

}  // namespace

int usageError(const Command& command, const std::string& message) {
  std::fprintf(stderr, "trv810ctl %s: %s\nAufruf: trv810ctl %s %s\n", command.name,
               message.c_str(), command.name, command.arguments);
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
      options.port = argv[++i];
    } else if (arg.rfind("--port=", 0) == 0) {
      options.port = arg.substr(7);
    } else {
      std::fprintf(stderr, "trv810ctl: unbekannte Option %s\n", arg.c_str());
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
    if (name == c->name) return c->run(std::vector<std::string>(argv + i, argv + argc), options);
  }
  std::fprintf(stderr, "trv810ctl: unbekannter Befehl %s\n", name.c_str());
  printHelp(stderr);
  return kExitUsage;
}

}  // namespace trv810::cli

int main(int argc, char** argv) { return trv810::cli::run(argc, argv); }
