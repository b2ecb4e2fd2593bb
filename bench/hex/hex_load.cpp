// Loading a 512 KiB firmware image from Intel HEX, as whole processes: `trv810ctl
// hex2bin FILE.hex` (which also writes the raw copy FILE.bin) against `objcopy -I ihex
// -O binary FILE.hex out.bin` on the same file. The file, about 1.4 MB of text, is
// generated first: an extended linear address record, 32-byte records for code and
// 16-byte records for the rest, a gap at the blank area 0x7800..0x7FFF, a start address
// record and the end record. Runs alternate between the two programs after one warm-up
// run each; prints the median times and their ratio, and checks that both produced the
// same image (outside the blank area, which the loader forces to 0xFF and objcopy fills
// with 0). Besides the wall-clock times it prints the processor time (user + system)
// of each program, which depends less on other load on the machine.
//
// The files live in a fresh folder under $TMPDIR (default /tmp). trv810ctl flushes the
// raw copy to the disk before it renames it into place (fsync); objcopy does not, so on
// a busy disk that flush adds to our time. TMPDIR=/dev/shm leaves the disk out.
//
//   bench_hex_load [RUNS] [TRV810CTL]       (default 15 runs, trv810ctl of this build)

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kImageSize = 0x80000;
constexpr uint32_t kLoadAddress = 0x08000000;
constexpr uint32_t kBlankStart = 0x7800;
constexpr uint32_t kBlankEnd = 0x8000;

// A fixed pseudo-random sequence, so every run of the benchmark loads the same file.
struct XorShift {
  uint32_t state = 0x2545F491;
  uint32_t next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
};

// The image as a linker might lay it out: vectors, code, texts, tables, zeroed data,
// erased padding, more code and a check word at the very end.
std::vector<uint8_t> makeImage() {
  std::vector<uint8_t> image(kImageSize, 0xFF);
  XorShift rng;
  for (uint32_t at = 0; at < 0x400; at += 4) {  // vectors: addresses into the code
    const uint32_t target = kLoadAddress + 0x400 + (rng.next() % 0x30000 & ~1u) + 1;
    for (int i = 0; i < 4; ++i) image[at + i] = static_cast<uint8_t>(target >> (8 * i));
  }
  const auto code = [&](uint32_t from, uint32_t to) {
    for (uint32_t at = from; at < to; ++at) image[at] = static_cast<uint8_t>(rng.next() >> 11);
  };
  code(0x400, kBlankStart);
  code(0x8000, 0x30000);
  static const char kWords[] = "Alarm Sirene Probe Fehler Schleife Adresse Ausloesung Quittung Akku Netz ";
  for (uint32_t at = 0x30000; at < 0x48000; ++at) image[at] = static_cast<uint8_t>(kWords[(at * 7 + at / 97) % (sizeof kWords - 1)]);
  for (uint32_t at = 0x48000; at < 0x60000; ++at) image[at] = static_cast<uint8_t>(rng.next() % 24);
  std::fill(image.begin() + 0x60000, image.begin() + 0x68000, uint8_t{0x00});
  code(0x70000, kImageSize);
  uint32_t sum = 0;
  for (uint32_t at = 0; at < kImageSize - 4; ++at) sum = sum * 31 + image[at];
  sum |= 0x01000000;  // the last byte must not be 0xFF
  for (int i = 0; i < 4; ++i) image[kImageSize - 4 + i] = static_cast<uint8_t>(sum >> (8 * i));
  return image;
}

void appendRecord(std::string& text, uint8_t type, uint16_t address, const uint8_t* data, std::size_t count) {
  static const char kDigits[] = "0123456789ABCDEF";
  uint8_t sum = 0;
  const auto put = [&](uint8_t b) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
    sum = static_cast<uint8_t>(sum + b);
  };
  text += ':';
  put(static_cast<uint8_t>(count));
  put(static_cast<uint8_t>(address >> 8));
  put(static_cast<uint8_t>(address));
  put(type);
  for (std::size_t i = 0; i < count; ++i) put(data[i]);
  put(static_cast<uint8_t>(-sum));
  text += "\r\n";
}

std::string makeHex(const std::vector<uint8_t>& image) {
  std::string text;
  text.reserve(1 << 21);
  uint32_t upper = ~0u;
  for (uint32_t at = 0; at < image.size();) {
    if (at >= kBlankStart && at < kBlankEnd) {
      at = kBlankEnd;
      continue;
    }
    const uint32_t address = kLoadAddress + at;
    if (address >> 16 != upper) {
      upper = address >> 16;
      const uint8_t high[2] = {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)};
      appendRecord(text, 0x04, 0, high, 2);
    }
    const bool isCode = (at >= 0x400 && at < kBlankStart) || (at >= 0x8000 && at < 0x30000);
    const uint32_t count = isCode ? 32 : 16;
    appendRecord(text, 0x00, static_cast<uint16_t>(address), image.data() + at, count);
    at += count;
  }
  const uint32_t entry = kLoadAddress + 0x401;
  const uint8_t start[4] = {static_cast<uint8_t>(entry >> 24), static_cast<uint8_t>(entry >> 16),
                            static_cast<uint8_t>(entry >> 8), static_cast<uint8_t>(entry)};
  appendRecord(text, 0x05, 0, start, 4);
  appendRecord(text, 0x01, 0, nullptr, 0);
  return text;
}

struct Times {
  double wallMs = -1;  ///< -1 when the program could not be started or did not exit with 0
  double cpuMs = 0;
};

double ms(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }

// Runs the program to its end with its output discarded.
Times runOnce(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return {};
  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0) {
  }
  const double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  return {wall, ms(usage.ru_utime) + ms(usage.ru_stime)};
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::vector<uint8_t> slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Both outputs hold the whole image; the blank area is 0xFF in ours and 0 in objcopy's.
bool sameImage(const std::vector<uint8_t>& image, const std::vector<uint8_t>& ours,
               const std::vector<uint8_t>& theirs) {
  if (ours.size() != image.size() || theirs.size() != image.size()) return false;
  for (uint32_t at = 0; at < image.size(); ++at) {
    const bool blank = at >= kBlankStart && at < kBlankEnd;
    if (ours[at] != (blank ? 0xFF : image[at]) || theirs[at] != (blank ? 0x00 : image[at])) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const std::string ctl = argc > 2 ? argv[2] : TRV810CTL_PATH;

  std::string dirTemplate = (fs::temp_directory_path() / "trv810-bench-hex-XXXXXX").string();
  if (!::mkdtemp(dirTemplate.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const fs::path dir = dirTemplate;
  const std::vector<uint8_t> image = makeImage();
  const std::string hex = makeHex(image);
  const fs::path hexPath = dir / "firmware.hex";
  std::ofstream(hexPath, std::ios::binary).write(hex.data(), static_cast<std::streamsize>(hex.size()));

  const std::vector<std::string> ours = {ctl, "hex2bin", hexPath.string()};
  const std::vector<std::string> theirs = {"objcopy", "-I", "ihex", "-O", "binary", hexPath.string(),
                                           (dir / "out.bin").string()};
  std::vector<Times> oursRuns, theirsRuns;
  bool ok = runOnce(ours).wallMs >= 0 && runOnce(theirs).wallMs >= 0;  // warm-up, not counted
  for (int i = 0; ok && i < runs; ++i) {
    oursRuns.push_back(runOnce(ours));
    theirsRuns.push_back(runOnce(theirs));
    ok = oursRuns.back().wallMs >= 0 && theirsRuns.back().wallMs >= 0;
  }
  const bool same = ok && sameImage(image, slurp(dir / "firmware.bin"), slurp(dir / "out.bin"));
  fs::remove_all(dir);
  if (!ok) {
    std::fprintf(stderr, "a run failed (%s or objcopy missing or exiting non-zero)\n", ctl.c_str());
    return 1;
  }
  if (!same) {
    std::fprintf(stderr, "trv810ctl and objcopy produced different images\n");
    return 1;
  }
  const auto medianOf = [](const std::vector<Times>& v, double Times::*field) {
    std::vector<double> values;
    for (const Times& t : v) values.push_back(t.*field);
    return median(values);
  };
  const double a = medianOf(oursRuns, &Times::wallMs), b = medianOf(theirsRuns, &Times::wallMs);
  const double aCpu = medianOf(oursRuns, &Times::cpuMs), bCpu = medianOf(theirsRuns, &Times::cpuMs);
  std::printf("HEX load of a 512 KiB image (%.2f MB of text) in %s, median of %d whole-process runs:\n",
              hex.size() / 1e6, fs::temp_directory_path().c_str(), runs);
  std::printf("                           wall        processor\n");
  std::printf("  trv810ctl hex2bin     %7.2f ms    %7.2f ms\n", a, aCpu);
  std::printf("  objcopy -O binary     %7.2f ms    %7.2f ms\n", b, bCpu);
  std::printf("  ratio ours/objcopy    %7.2f       %7.2f      (target: wall at most 0.50)\n", a / b, aCpu / bCpu);
  return a <= b / 2 ? 0 : 1;
}
