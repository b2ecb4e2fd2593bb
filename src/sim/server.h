#pragma once
// The serve loop of trv810-sim: one thread, one poll() over the pty's master, the
// signal descriptor and the pty's watch, with the time-out set to the next thing due
// (a frame finishing on the line, a frame becoming due, the unit's deadline). No busy
// loop: between frames the process sleeps in poll().
//
// Received bytes go through the frame decoder; each good frame is handed to the unit
// with the time its last byte was complete on the (paced) line, unless the fault
// injector ignores it. The unit's replies wait in a queue ordered by their due time;
// the head goes on the line when it is due and the line is free, and its bytes are
// written to the master when its last byte would have arrived.

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/frame_codec.h"
#include "sim/faults.h"
#include "sim/line_pacing.h"
#include "sim/pty.h"
#include "sim/unit.h"

namespace trv810::sim {

struct ServerSettings {
  uint32_t baud = 19200;
  FaultRates faults;
  uint64_t seed = 1;
  bool trace = false;        ///< every frame, with its time, on `log`
  std::string saveConfig;    ///< .kfg written after each configuration download
  std::string saveFirmware;  ///< .bin written after each firmware download
  uint64_t vanishAfterFrames = 0;  ///< closes the pty after this many frames received; 0: never
};

struct ServerCounters {
  uint64_t bytesIn = 0;
  uint64_t bytesOut = 0;
  uint64_t framesIn = 0;
  uint64_t framesOut = 0;
  uint64_t bytesLost = 0;  ///< not written because the pty's buffer was full
  Micros writeLate{0};     ///< how much later than their paced time frames were written, summed
};

class Server {
 public:
  /// Serves `unit` on `pty`; SIGINT, SIGTERM and SIGUSR1 arrive on `signalFd`. Traces
  /// and the summary go to `log`.
  Server(Unit& unit, Pty& pty, ServerSettings settings, int signalFd, std::FILE* log);

  /// Serves until SIGINT or SIGTERM; 0, or 1 when the pty failed.
  int run();
  /// One line of JSON with the counters of the line, the faults and the unit.
  std::string summary() const;

 private:
  struct OnLine {
    Micros doneAt;
    std::vector<uint8_t> frame;
    std::vector<uint8_t> payload;
    bool corrupted;
  };

  Micros now() const;
  void readHost();
  void take(std::span<const uint8_t> payload, Micros at);
  void handle(Step step);
  void pumpLine();
  void writeFrame(const OnLine& f);
  void saveReceived(Completed completed);
  std::optional<Micros> pollTimeout() const;  // nullopt: nothing is due
  bool onSignal();
  void vanish();
  void trace(const char* direction, std::span<const uint8_t> payload, const char* note);

  Unit& unit_;
  Pty& pty_;
  ServerSettings settings_;
  int signalFd_;
  std::FILE* log_;
  std::chrono::steady_clock::time_point start_;
  link::FrameDecoder decoder_;
  LinePacing pacing_;
  FaultInjector faults_;
  std::multimap<Micros, std::vector<uint8_t>> due_;  // equal times keep their order
  std::optional<OnLine> onLine_;
  ServerCounters counters_;
  bool stop_ = false;
  bool vanished_ = false;  // the pty is closed: the unit is gone until the process ends
};

}  // namespace trv810::sim
