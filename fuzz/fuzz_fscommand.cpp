// The FSCommand classifier against any command and argument, null ones included.
// Input: command 0xFF argument (a field of one 0xFE byte is a null text).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "player/movie_protocol.h"

namespace {

// ASCII letters fold, nothing else does: fullwidth letters or a dotless i make other words.
bool SameWord(const std::optional<std::wstring>& text, std::wstring_view word) {
  if (!text || text->size() != word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const wchar_t c = (*text)[i];
    const wchar_t lower = (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
    const wchar_t w = (word[i] >= L'A' && word[i] <= L'Z') ? static_cast<wchar_t>(word[i] + 32) : word[i];
    if (lower != w) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = fuzz_input::Fields(data, size);
  const std::optional<std::wstring> command = fuzz_input::NullableText(fuzz_input::FieldOr(fields, 0));
  const std::optional<std::wstring> argument = fuzz_input::NullableText(fuzz_input::FieldOr(fields, 1));

  std::optional<std::wstring_view> commandView, argumentView;
  if (command) commandView = *command;
  if (argument) argumentView = *argument;
  const MovieCommand got = ClassifyFSCommand(commandView, argumentView);

  MovieCommand expected = MovieCommand::Ignored;
  if (SameWord(command, L"SwfInitialzed")) {
    expected = MovieCommand::Announce;
  } else if (SameWord(command, L"FullScreen")) {
    if (SameWord(argument, L"true")) expected = MovieCommand::EnterFullScreen;
    if (SameWord(argument, L"false")) expected = MovieCommand::LeaveFullScreen;
  }
  if (got != expected) std::abort();
  return 0;
}
