// Fuzzes the number text grammar, general format and key filter: arbitrary text is read, then typed
// over key by key at arbitrary carets and selections. Whatever happens, a reading is finite or absent,
// and every written number reads back (exactly at 17 digits).
#include "zqNumberText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void check_reading(const std::string& text, int precision) {
  const auto v = zq::ParseNumberText(text);
  if (!v) return;
  check(std::isfinite(*v));
  const auto shown = zq::ParseNumberText(zq::FormatGeneral(*v, precision));
  check(shown.has_value() && std::isfinite(*shown));
  const auto exact = zq::ParseNumberText(zq::FormatGeneral(*v, 17));
  check(exact.has_value() && *exact == *v);
  (void)zq::RoundHalfEvenToInt32(*v);
}

// What a one-line edit does with an accepted key: printable keys replace the selection, backspace
// deletes it or the character before the caret.
void apply_key(std::string& text, int selStart, int selLen, char32_t key) {
  const int len = static_cast<int>(text.size());
  selStart = selStart > len ? len : selStart;
  selLen = selLen > len - selStart ? len - selStart : selLen;
  if (key >= 32 && key < 127) {
    text.replace(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selLen), 1,
                 static_cast<char>(key));
  } else if (key == 8) {
    if (selLen > 0)
      text.erase(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selLen));
    else if (selStart > 0)
      text.erase(static_cast<std::size_t>(selStart - 1), 1);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int precision = static_cast<int>(data[0] % 20) - 1; // includes out-of-range precisions
  ++data;
  --size;
  std::size_t split = 0;
  while (split < size && data[split] != 0)
    ++split;
  std::string text(reinterpret_cast<const char*>(data), split);
  check_reading(text, precision);

  // The rest: (caret, selection length, key) triples typed into the text.
  for (std::size_t i = split + 1; i + 2 < size; i += 3) {
    const int selStart = data[i] % 40;
    const int selLen = data[i + 1] % 8;
    const char32_t key = data[i + 2];
    const zq::KeyFilterResult r = zq::FilterNumberKey(text, selStart, selLen, key);
    if (r.accepted) apply_key(text, selStart, selLen, r.key);
    check_reading(text, precision);
  }
  return 0;
}
