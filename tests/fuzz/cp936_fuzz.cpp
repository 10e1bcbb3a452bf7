// Fuzz target: code page 936 both ways. The input is taken as GBK bytes, as
// UTF-16 units and as UTF-8; conversions must agree on lengths, never split a
// character, and text that went through one round must survive another.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/portable/cp936.h"
#include "store/utf.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "cp936_fuzz: %s\n", what);
    std::abort();
  }
}

void CheckWide(std::u16string_view wide) {
  using korvanta::store::Cp936;
  const std::string ansi = Cp936::FromUtf16(wide);
  Check(Cp936::AnsiLength(wide) == ansi.size(), "AnsiLength disagrees with FromUtf16");
  // Converted once, text is GBK that reads back to the same bytes.
  Check(Cp936::FromUtf16(Cp936::ToUtf16(ansi)) == ansi, "GBK text does not survive a round");
  for (std::size_t capacity : {ansi.size(), ansi.size() + 1, ansi.size() / 2, std::size_t{1}}) {
    std::vector<char> out(capacity + 1, '\x7f');
    bool fitted = false;
    const std::size_t n = Cp936::FromUtf16Into(wide, out.data(), capacity, fitted);
    Check(n <= capacity && out[capacity] == '\x7f', "FromUtf16Into wrote past its capacity");
    Check(fitted == (capacity >= ansi.size()), "FromUtf16Into misreports the fit");
    Check(ansi.compare(0, n, out.data(), n) == 0, "FromUtf16Into wrote other bytes");
    // Whole characters only: what was written converts to a prefix of the text.
    const std::u16string head = Cp936::ToUtf16(std::string_view(out.data(), n));
    Check(head.size() <= wide.size() && Cp936::FromUtf16(head) == ansi.substr(0, n),
          "FromUtf16Into split a character");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using korvanta::store::Cp936;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const std::u16string wide = Cp936::ToUtf16(bytes);
  Check(wide.size() <= bytes.size(), "more characters than bytes");
  CheckWide(wide);

  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  CheckWide(units);

  const Cp936 codepage;
  const std::string ansi = codepage.ToAnsi(bytes);
  Check(ansi == Cp936::FromUtf16(korvanta::store::Utf8ToUtf16(bytes)),
        "ToAnsi is not UTF-8 to GBK");
  Check(codepage.ToAnsi(codepage.FromAnsi(ansi)) == ansi, "UTF-8 text does not survive a round");
  return 0;
}
