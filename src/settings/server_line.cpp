#include "settings/server_line.h"

#include "settings/registry_text.h"

ServerLine ServerLineFromText(std::wstring_view text) {
  // Checked in this order; the first match wins.
  if (AsciiIEquals(text, kServerTextAutoSelect)) return AutoSelect;
  if (AsciiIEquals(text, kServerTextTelecom)) return Telecom;
  if (AsciiIEquals(text, kServerTextUnicom)) return Unicom;
  return None;
}

std::wstring_view ServerLineText(int line) {
  switch (line) {
    case AutoSelect: return kServerTextAutoSelect;
    case Telecom: return kServerTextTelecom;
    default: return kServerTextUnicom;  // None and unknown codes are stored as Unicom
  }
}
