#pragma once
// What the harnesses share: a scratch folder of the process, and writing an input to a file
// for the parsers that read files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzz {

// A folder of this process below the temporary folder, made on first use (.../velfuzz-PID).
const std::string& ScratchRoot();
// Writes the bytes to ScratchRoot()/name and returns the path.
std::string WriteScratch(const std::string& name, std::string_view bytes);
// Forgets the lines the parsers logged, so a long run does not grow the log.
void ResetLog();
// Ends the run with a finding: prints the text and aborts, so libFuzzer keeps the input.
[[noreturn]] void Finding(const std::string& text);

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzz
