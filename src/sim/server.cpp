#include "sim/server.h"

#include <poll.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "config/config_file.h"
#include "platform/file.h"

namespace trv810::sim {
namespace {

constexpr Micros kHangupPause{50'000};  // pacing while the master reports a hang-up

int64_t toMs(Micros t) { return t.count() / 1000; }

}  // namespace

Server::Server(Unit& unit, Pty& pty, ServerSettings settings, int signalFd, std::FILE* log)
    : unit_(unit),
      pty_(pty),
      settings_(std::move(settings)),
      signalFd_(signalFd),
      log_(log),
      start_(std::chrono::steady_clock::now()),
      pacing_(settings_.baud),
      faults_(settings_.faults, settings_.seed) {}

Micros Server::now() const {
  return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - start_);
}

int Server::run() {
  // Paced frames are due to the microsecond; the default timer slack of 50 us would
  // make every timed wake-up late by that much and the line look slower than it is.
  ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  bool hungUp = false;
  while (!stop_) {
    if (const auto d = unit_.deadline(); d && *d <= now()) handle(unit_.onDeadline(now()));
    pumpLine();
    std::array<pollfd, 3> fds{{{hungUp || vanished_ ? -1 : pty_.master(), POLLIN, 0},
                               {signalFd_, POLLIN, 0},
                               {vanished_ ? -1 : pty_.watch(), POLLIN, 0}}};
    std::optional<Micros> timeout = pollTimeout();
    if (hungUp && (!timeout || *timeout > kHangupPause)) timeout = kHangupPause;
    hungUp = false;
    // ppoll, not poll: a timeout in whole milliseconds would wake up to 1 ms late for
    // every frame due, and the line would look that much slower than 19200 baud.
    timespec ts{};
    if (timeout) {
      ts.tv_sec = static_cast<time_t>(timeout->count() / 1'000'000);
      ts.tv_nsec = static_cast<long>(timeout->count() % 1'000'000 * 1000);
    }
    if (::ppoll(fds.data(), fds.size(), timeout ? &ts : nullptr, nullptr) < 0) {
      if (errno == EINTR) continue;
      std::fprintf(log_, "trv810-sim: poll: %s\n", std::strerror(errno));
      return 1;
    }
    if (fds[0].revents & POLLIN) readHost();
    // A hang-up without data: nobody holds the slave. Look again after a pause.
    else if (fds[0].revents & (POLLHUP | POLLERR)) hungUp = true;
    if (fds[1].revents & POLLIN) stop_ = onSignal();
    if ((fds[2].revents & POLLIN) && pty_.takeClosed()) pty_.releaseExclusive();
  }
  return 0;
}

void Server::readHost() {
  std::array<uint8_t, 4096> buffer;
  const ssize_t n = ::read(pty_.master(), buffer.data(), buffer.size());
  if (n <= 0) return;  // EAGAIN, or EIO while no slave is open
  const Micros arrived = now();
  const Micros start = pacing_.receive(static_cast<std::size_t>(n), arrived);
  counters_.bytesIn += static_cast<uint64_t>(n);
  // Byte by byte, so each frame gets the time its own last byte was on the line.
  for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
    decoder_.decodeBytes(&buffer[i], 1, [&](std::span<const uint8_t> content) {
      take(content.first(content.size() - 2), start + pacing_.lineTime(i + 1));
    });
  }
}

void Server::take(std::span<const uint8_t> payload, Micros at) {
  if (vanished_) return;
  ++counters_.framesIn;
  if (settings_.vanishAfterFrames != 0 && counters_.framesIn >= settings_.vanishAfterFrames) {
    trace("<-", payload, " (vanishing)");
    vanish();
    return;
  }
  if (faults_.ignoreIncoming()) {
    trace("<-", payload, " (ignored)");
    return;
  }
  trace("<-", payload, "");
  handle(unit_.onFrame(payload, at));
}

void Server::handle(Step step) {
  if (vanished_) return;  // the unit is gone: nothing it would still send goes out
  for (Outgoing& o : step.frames) due_.emplace(o.at, std::move(o.payload));
  saveReceived(step.completed);
}

// Moves frames from the queue onto the line and off it, as far as the clock allows.
void Server::pumpLine() {
  for (;;) {
    const Micros t = now();
    if (onLine_) {
      if (onLine_->doneAt > t) return;
      counters_.writeLate += t - onLine_->doneAt;
      writeFrame(*onLine_);
      onLine_.reset();
    }
    if (due_.empty() || due_.begin()->first > t) return;
    auto head = due_.extract(due_.begin());
    std::vector<uint8_t>& payload = head.mapped();
    if (faults_.dropOutgoing()) {
      trace("->", payload, " (dropped)");
      continue;
    }
    std::vector<uint8_t> frame = link::encodeFrame(payload);
    const bool corrupted = faults_.corruptOutgoing(frame);
    const Micros doneAt = pacing_.transmit(frame.size(), head.key());
    onLine_ = OnLine{doneAt, std::move(frame), std::move(payload), corrupted};
  }
}

void Server::writeFrame(const OnLine& f) {
  std::size_t written = 0;
  while (written < f.frame.size()) {
    const ssize_t n = ::write(pty_.master(), f.frame.data() + written, f.frame.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the slave's input queue is full: nobody reads it
    written += static_cast<std::size_t>(n);
  }
  counters_.bytesOut += written;
  counters_.bytesLost += f.frame.size() - written;
  ++counters_.framesOut;
  trace("->", f.payload, f.corrupted ? " (corrupted)" : written < f.frame.size() ? " (not read)" : "");
}

void Server::saveReceived(Completed completed) {
  if (completed == Completed::Config && !settings_.saveConfig.empty()) {
    config::ConfigImage image;
    std::ranges::copy(unit_.configImage(), image.bytes().begin());
    if (const auto r = config::saveConfigFile(settings_.saveConfig, image); !r)
      std::fprintf(log_, "trv810-sim: %s\n", r.message.c_str());
  }
  if (completed == Completed::Firmware && !settings_.saveFirmware.empty()) {
    if (const auto r = platform::writeFileReplacing(settings_.saveFirmware, unit_.firmware()); !r)
      std::fprintf(log_, "trv810-sim: %s\n", r.message.c_str());
  }
}

std::optional<Micros> Server::pollTimeout() const {
  std::optional<Micros> next;
  const auto consider = [&](Micros t) { next = next ? std::min(*next, t) : t; };
  if (onLine_) consider(onLine_->doneAt);
  else if (!due_.empty()) consider(due_.begin()->first);
  if (const auto d = unit_.deadline()) consider(*d);
  if (!next) return std::nullopt;
  return std::max(*next - now(), Micros(0));
}

// Closes the pseudo-terminal as a unit that is switched off, or an adapter pulled out,
// would go: the host's open slave hangs up. Nothing more is sent or received.
void Server::vanish() {
  vanished_ = true;
  due_.clear();
  onLine_.reset();
  pty_.close();
}

// True when the signal asks the simulator to end.
bool Server::onSignal() {
  signalfd_siginfo info;
  if (::read(signalFd_, &info, sizeof info) != static_cast<ssize_t>(sizeof info)) return false;
  if (info.ssi_signo == SIGUSR1) {
    std::fprintf(log_, "%s\n", summary().c_str());
    std::fflush(log_);
    return false;
  }
  return true;
}

void Server::trace(const char* direction, std::span<const uint8_t> payload, const char* note) {
  if (!settings_.trace) return;
  const Micros t = now();
  std::string hex;
  for (uint8_t b : payload) {
    char two[4];
    std::snprintf(two, sizeof two, " %02X", b);
    hex += two;
  }
  std::fprintf(log_, "%7lld.%03lld %s%s%s\n", static_cast<long long>(t.count() / 1'000'000),
               static_cast<long long>(t.count() / 1000 % 1000), direction, hex.c_str(), note);
  std::fflush(log_);
}

std::string Server::summary() const {
  const UnitCounters& u = unit_.counters();
  const FaultCounters& f = faults_.counters();
  char line[640];
  std::snprintf(line, sizeof line,
                "{\"sim\":{\"bytes_in\":%llu,\"bytes_out\":%llu,\"frames_in\":%llu,\"frames_out\":%llu,"
                "\"bytes_lost\":%llu,\"dropped\":%llu,\"corrupted\":%llu,\"ignored\":%llu,"
                "\"erase_delay_ms\":%lld,\"line_in_ms\":%lld,\"line_out_ms\":%lld,"
                "\"upload_resends\":%llu,\"config_downloads\":%llu,\"firmware_downloads\":%llu,"
                "\"uploads\":%llu,\"write_late_us\":%lld,\"uptime_ms\":%lld}}",
                static_cast<unsigned long long>(counters_.bytesIn),
                static_cast<unsigned long long>(counters_.bytesOut),
                static_cast<unsigned long long>(counters_.framesIn),
                static_cast<unsigned long long>(counters_.framesOut),
                static_cast<unsigned long long>(counters_.bytesLost),
                static_cast<unsigned long long>(f.dropped), static_cast<unsigned long long>(f.corrupted),
                static_cast<unsigned long long>(f.ignored), static_cast<long long>(toMs(u.eraseDelay)),
                static_cast<long long>(toMs(pacing_.receiveTime())),
                static_cast<long long>(toMs(pacing_.transmitTime())),
                static_cast<unsigned long long>(u.uploadResends),
                static_cast<unsigned long long>(u.configDownloads),
                static_cast<unsigned long long>(u.firmwareDownloads),
                static_cast<unsigned long long>(u.uploads), static_cast<long long>(counters_.writeLate.count()),
                static_cast<long long>(toMs(now())));
  return line;
}

}  // namespace trv810::sim
