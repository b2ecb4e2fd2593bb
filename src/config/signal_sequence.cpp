#include "config/signal_sequence.h"

#include <algorithm>
#include <cstdio>

namespace trv810::config {
namespace {

constexpr uint8_t kEndByte = 0xFF;
constexpr int kMaxNumber = 60;

bool admitted(char c) {
  return (c >= '0' && c <= '9') || c == 'O' || c == 'N' || c == 'F' || c == 'R' || c == 'H' || c == ',' ||
         c == ' ';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

enum class State { Between, AfterO, OnDigits, OffDigits, RDigits, HDigits };

// The parser's working state across characters.
struct Parser {
  SequenceSlot slot;
  std::size_t p = 0;
  State state = State::Between;
  int k = 0;  // digits taken of the current number
  int accumulator = 0;
  bool complete = false;  // the last item is finished

  void startNumber(State next) {
    k = 0;
    accumulator = 0;
    state = next;
  }
  void emit(int byte) { slot[p++] = static_cast<uint8_t>(byte); }

  // One digit of an ON, OFF or R item; false on a number above 60.
  bool takeItemDigit(int d, int base) {
    if (k++ == 0) {
      accumulator = 10 * d;
      return true;
    }
    if (accumulator + d > kMaxNumber) return false;
    emit(base + accumulator + d);
    complete = true;
    state = State::Between;
    return true;
  }

  // One of the four digits of an H item: the number, then the BCD value byte.
  bool takeHDigit(int d) {
    switch (k++) {
      case 0: accumulator = 10 * d; return true;
      case 1:
        if (accumulator + d > kMaxNumber) return false;
        emit(0x80 + accumulator + d);
        accumulator = 0;
        return true;
      case 2: accumulator = 16 * d; return true;
      default:
        emit(accumulator + d);
        complete = true;
        state = State::Between;
        return true;
    }
  }
};

}  // namespace

std::string formatSignalSequence(ConstSequenceSlot slot) {
  std::string text;
  char item[8];
  for (std::size_t i = 0; i < kSequenceCodeBytes; ++i) {
    const uint8_t b = slot[i];
    if (b == kEndByte) break;
    const int n = b & 0x3F;
    switch (b & 0xC0) {
      case 0x00: std::snprintf(item, sizeof item, "OFF%.2d,", n); break;
      case 0x40: std::snprintf(item, sizeof item, "ON%.2d,", n); break;
      case 0x80: std::snprintf(item, sizeof item, "H%.2d%.2X,", n, unsigned{slot[++i]}); break;
      default: std::snprintf(item, sizeof item, "R%.2d,", n); break;
    }
    text += item;
  }
  if (!text.empty()) text.pop_back();
  return text;
}

bool parseSignalSequence(std::string_view text, SequenceSlot slot) {
  std::ranges::fill(slot, kEndByte);
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return false;
  Parser ps{slot};
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (ps.p >= kSequenceCodeBytes) break;
    const char c = text[i];
    if (!admitted(c)) return false;
    switch (ps.state) {
      case State::Between:
        if (c == 'O') {
          ps.complete = false;
          ps.state = State::AfterO;
        } else if (c == 'R' || c == 'H') {
          ps.complete = false;
          ps.startNumber(c == 'R' ? State::RDigits : State::HDigits);
        } else if (c != ',' && c != ' ') {
          return false;
        }
        break;
      case State::AfterO:
        if (c == 'N') {
          ps.startNumber(State::OnDigits);
        } else if (c == 'F' && i + 1 < text.size() && text[i + 1] == 'F') {
          ++i;
          ps.startNumber(State::OffDigits);
        } else {
          return false;
        }
        break;
      case State::OnDigits:
      case State::OffDigits:
      case State::RDigits: {
        if (!isDigit(c)) return false;
        const int base = ps.state == State::OnDigits ? 0x40 : ps.state == State::RDigits ? 0xC0 : 0x00;
        if (!ps.takeItemDigit(c - '0', base)) return false;
        break;
      }
      case State::HDigits:
        if (!isDigit(c) || !ps.takeHDigit(c - '0')) return false;
        break;
    }
  }
  return ps.complete;
}

}  // namespace trv810::config
