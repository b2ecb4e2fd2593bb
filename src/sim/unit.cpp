#include "sim/unit.h"

#include <algorithm>
#include <utility>

namespace trv810::sim {
namespace {

uint8_t byteAt(std::span<const uint8_t> p, std::size_t i) { return i < p.size() ? p[i] : 0; }
uint16_t wordAt(std::span<const uint8_t> p, std::size_t i) {
  return static_cast<uint16_t>(byteAt(p, i) | byteAt(p, i + 1) << 8);
}

Outgoing reply(Micros at, uint8_t code, uint8_t address) { return {at, {code, address}}; }

Step acknowledged(Micros now, uint8_t address, Outgoing answer) {
  Step s;
  s.frames.push_back(reply(now, code::kAcknowledge, address));
  s.frames.push_back(std::move(answer));
  return s;
}

}  // namespace

Unit::Unit(UnitSettings settings, std::span<const uint8_t, kImageSize> image)
    : settings_(std::move(settings)) {
  std::copy(image.begin(), image.end(), image_.begin());
}

bool Unit::delivers(int format) const {
  return !settings_.incompatible && std::find(settings_.formats.begin(), settings_.formats.end(),
                                              format) != settings_.formats.end();
}

Step Unit::onFrame(std::span<const uint8_t> p, Micros now) {
  if (settings_.silent || p.empty()) return {};
  chatterDue_.reset();  // a chattering unit keeps it up until the host says something
  const uint8_t address = byteAt(p, 1);
  switch (p[0]) {
    case code::kConfigWrite:
    case code::kFirmwareWrite:
      return openDownload(p, now);
    case code::kConfigBlock:
    case code::kFirmwareBlock:
      return takeBlock(p, now);
    case code::kConfigRead:
      return openUpload(p, now);
    case code::kBlockAccepted:
    case code::kBlockAcceptedToo:
    case code::kSendFrom:
      return onUploadAnswer(p, now);
    default:
      return acknowledged(now, address, reply(now, code::kNotExpected, address));
  }
}

// A configuration write names its length (high byte first) and format; the unit takes
// only a format it knows of the length that format has. A firmware write names its
// count of whole blocks. Either way the unit "erases" for the erase delay first.
Step Unit::openDownload(std::span<const uint8_t> p, Micros now) {
  const uint8_t address = byteAt(p, 1);
  upload_.reset();
  download_.reset();
  Download d;
  bool compatible = !settings_.incompatible;
  if (p[0] == code::kConfigWrite) {
    d.kind = Kind::Config;
    d.blockCommand = code::kConfigBlock;
    d.announced = static_cast<std::size_t>(byteAt(p, 2) << 8 | byteAt(p, 3));
    d.format = byteAt(p, 4);
    compatible = compatible && d.format == 3 && delivers(3) && d.announced == kImageSize;
  } else {
    d.kind = Kind::Firmware;
    d.blockCommand = code::kFirmwareBlock;
    d.announced = wordAt(p, 2);
  }
  const Micros answerAt = now + settings_.eraseDelay;
  ++counters_.erases;
  counters_.eraseDelay += settings_.eraseDelay;
  if (!compatible) return acknowledged(now, address, reply(answerAt, code::kIncompatible, address));
  download_ = std::move(d);
  return acknowledged(now, address, reply(answerAt, code::kReady, address));
}

Step Unit::takeBlock(std::span<const uint8_t> p, Micros now) {
  const uint8_t address = byteAt(p, 1);
  if (!download_ || p[0] != download_->blockCommand || p.size() < 4 + kBlockLength)
    return acknowledged(now, address, reply(now, code::kNotExpected, address));
  Download& d = *download_;
  if (settings_.restartDownload) return acknowledged(now, address, Outgoing{now, {code::kSendFrom, address, 0, 0}});
  const uint16_t n = wordAt(p, 2);
  if (n != kFinalBlock && n > d.expected) {
    const auto lo = static_cast<uint8_t>(d.expected & 0xFF);
    const auto hi = static_cast<uint8_t>(d.expected >> 8);
    return acknowledged(now, address, Outgoing{now, {code::kSendFrom, address, lo, hi}});
  }
  // The final block goes where the expected block goes; any other block to its own place.
  const std::size_t index = n == kFinalBlock ? d.expected : n;
  const std::size_t at = index * kBlockLength;
  if (d.data.size() < at + kBlockLength) d.data.resize(at + kBlockLength, 0xFF);
  std::copy_n(p.begin() + 4, kBlockLength, d.data.begin() + static_cast<std::ptrdiff_t>(at));
  d.expected = index + 1;
  ++counters_.blocksStored;
  if (n == kFinalBlock) return finishDownload(address, now);
  return acknowledged(now, address, reply(now, code::kBlockAccepted, address));
}

// The final block ends the download. A configuration that came short of its announced
// length is refused (62) and the held image stays as it was.
Step Unit::finishDownload(uint8_t address, Micros now) {
  Download& d = *download_;
  const std::size_t received = d.expected * kBlockLength;
  if (d.kind == Kind::Config && received < d.announced) {
    download_.reset();
    return acknowledged(now, address, reply(now, code::kNotExpected, address));
  }
  Step s = acknowledged(now, address, reply(now, code::kBlockAccepted, address));
  if (d.kind == Kind::Config) {
    storeConfig(d);
    s.completed = Completed::Config;
  } else {
    storeFirmware(d);
    s.completed = Completed::Firmware;
  }
  download_.reset();
  return s;
}

void Unit::storeConfig(const Download& d) {
  std::copy_n(d.data.begin(), kImageSize, image_.begin());
  configFormat_ = d.format;
  ++counters_.configDownloads;
}

// The firmware is every block before the final one, and of the final block the bytes
// up to its last byte that is not 0xFF: the host pads that block with 0xFF, and an
// image's own trailing 0xFF bytes equal erased flash anyway.
void Unit::storeFirmware(const Download& d) {
  const std::size_t finalAt = (d.expected - 1) * kBlockLength;
  std::size_t end = finalAt + kBlockLength;
  while (end > finalAt && d.data[end - 1] == 0xFF) --end;
  firmware_.assign(d.data.begin(), d.data.begin() + static_cast<std::ptrdiff_t>(end));
  ++counters_.firmwareDownloads;
}

Step Unit::openUpload(std::span<const uint8_t> p, Micros now) {
  const uint8_t address = byteAt(p, 1);
  const int format = byteAt(p, 2);
  download_.reset();
  upload_.reset();
  Step s;
  if (!delivers(format)) {
    s.frames.push_back({now, {code::kRefused, address, settings_.firmwareVersion}});
    return s;
  }
  Upload u{address, uploadPayload(image_, format, settings_.badChecksum)};
  const std::size_t size = formatSize(format);
  const std::size_t blocks = u.payload.size() / kBlockLength;
  s.frames.push_back({now,
                      {code::kAcknowledge, address, settings_.firmwareVersion,
                       static_cast<uint8_t>(format), static_cast<uint8_t>(size & 0xFF),
                       static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(blocks & 0xFF),
                       static_cast<uint8_t>(blocks >> 8), 'T', 'R', 'V', '8', '1', '0', 0}});
  if (settings_.chatter) {
    chatterDue_ = now + kChatterInterval;
    chatterAddress_ = address;
    return s;
  }
  upload_ = std::move(u);
  s.frames.push_back(uploadBlock(now));
  return s;
}

// 60 moves on to the next block (after the last one the upload is done); 63 n goes
// back (or ahead) to block n. A 63 for the very block in flight is a late reaction to
// an older block: that block is on its way already, and sending it twice would keep
// every later block doubled.
Step Unit::onUploadAnswer(std::span<const uint8_t> p, Micros now) {
  Step s;
  if (!upload_) return s;
  Upload& u = *upload_;
  const std::size_t last = u.payload.size() / kBlockLength - 1;
  u.resends = 0;
  if (p[0] == code::kSendFrom) {
    const uint16_t n = wordAt(p, 2);
    const std::size_t from = n == kFinalBlock ? last : std::min<std::size_t>(n, last);
    if (from == u.inFlight && !settings_.wrongBlock) return s;
    u.inFlight = from;
  } else if (u.inFlight == last) {
    upload_.reset();
    ++counters_.uploads;
    s.completed = Completed::Upload;
    return s;
  } else {
    ++u.inFlight;
  }
  s.frames.push_back(uploadBlock(now));
  return s;
}

Outgoing Unit::uploadBlock(Micros now) {
  Upload& u = *upload_;
  const std::size_t last = u.payload.size() / kBlockLength - 1;
  const std::size_t number = settings_.wrongBlock ? u.inFlight + 1 : u.inFlight == last ? kFinalBlock : u.inFlight;
  Outgoing o{now, std::vector<uint8_t>(5 + kBlockLength)};
  o.payload[0] = code::kConfigRead;
  o.payload[1] = u.address;
  o.payload[2] = settings_.firmwareVersion;
  o.payload[3] = static_cast<uint8_t>(number & 0xFF);
  o.payload[4] = static_cast<uint8_t>(number >> 8);
  std::copy_n(u.payload.begin() + static_cast<std::ptrdiff_t>(u.inFlight * kBlockLength), kBlockLength,
              o.payload.begin() + 5);
  u.due = now + settings_.uploadResendAfter;
  ++counters_.blocksSent;
  return o;
}

std::optional<Micros> Unit::deadline() const {
  if (chatterDue_) return chatterDue_;
  if (!upload_) return std::nullopt;
  return upload_->due;
}

Step Unit::onDeadline(Micros now) {
  Step s;
  if (chatterDue_) {
    if (now < *chatterDue_) return s;
    s.frames.push_back(reply(now, code::kAcknowledge, chatterAddress_));
    *chatterDue_ += kChatterInterval;
    return s;
  }
  if (!upload_ || now < upload_->due) return s;
  if (upload_->resends >= settings_.uploadResendLimit) {
    upload_.reset();  // the host has gone away
    return s;
  }
  ++upload_->resends;
  ++counters_.uploadResends;
  s.frames.push_back(uploadBlock(now));
  return s;
}

}  // namespace trv810::sim
