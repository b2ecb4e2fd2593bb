// The link's turnaround on a pseudo-terminal: time from the last byte of a frame
// written at the master side to frame-ready seen by a waiting thread on the host side
// (the path a reply takes from the line to the transfer thread). Prints the median,
// the 99th percentile and the maximum over a few thousand frames.
//
//   bench_link_turnaround [FRAMES]        (default 3000)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <vector>

#include "link/serial_link.h"
#include "platform/pseudo_terminal.h"

using namespace trv810;
using Clock = std::chrono::steady_clock;

namespace {

double micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// One turnaround: all but the last byte first, then the clock starts with the last.
bool measure(platform::PseudoTerminal& pty, link::SerialLink& link, const std::vector<uint8_t>& frame,
             std::vector<double>& samples) {
  if (!pty.write(frame.data(), frame.size() - 1)) return false;
  const auto start = Clock::now();
  if (!pty.write(&frame.back(), 1)) return false;
  if (!link.events().frameReady.wait(platform::Millis{1000})) return false;
  samples.push_back(micros(Clock::now() - start));
  link.takeFrame();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3000;
  auto pty = platform::PseudoTerminal::create();
  if (!pty) {
    std::fprintf(stderr, "no pseudo-terminal available\n");
    return 1;
  }
  link::LinkEvents events;
  link::SerialLink link(events);
  if (!link.openPort(pty->slavePath())) {
    std::fprintf(stderr, "%s: %s\n", pty->slavePath().c_str(), std::strerror(link.lastOpenFailure().error));
    return 1;
  }
  // A block frame as the unit sends it during an upload: 13 payload bytes.
  const std::vector<uint8_t> frame =
      link::encodeFrame(std::vector<uint8_t>{0x20, 0x05, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  std::vector<double> samples;
  samples.reserve(static_cast<std::size_t>(frames));
  // The first frame waits out the receiver's start pause and is not counted.
  std::vector<double> warmUp;
  bool ok = measure(*pty, link, frame, warmUp);
  for (int i = 0; ok && i < frames; ++i) ok = measure(*pty, link, frame, samples);
  link.closePort();
  if (!ok) {
    std::fprintf(stderr, "a frame did not arrive within 1 s\n");
    return 1;
  }
  std::sort(samples.begin(), samples.end());
  const auto at = [&](double q) { return samples[static_cast<std::size_t>(q * (samples.size() - 1))]; };
  std::printf("link turnaround over %d frames (last byte at the master -> frame-ready):\n", frames);
  std::printf("  median %.1f us, 99th percentile %.1f us, max %.1f us (target: median < 200 us)\n",
              at(0.5), at(0.99), samples.back());
  return at(0.5) < 200.0 ? 0 : 1;
}
