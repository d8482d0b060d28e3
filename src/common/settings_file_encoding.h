#pragma once
// The encodings the server's settings files (PalWorldSettings.ini, PalModSettings.ini) are found
// in. The server writes UTF-8; Notepad's "Unicode" and the engine itself may write UTF-16 with a
// byte-order mark. The tool works on UTF-8 text and
// hands a file back in the encoding it came in, so the server and the user's editor still read it.

#include <optional>
#include <string>
#include <string_view>

namespace tidemoor {

enum class SettingsFileEncoding { Utf8, Utf8WithBom, Utf16Le, Utf16Be };

struct DecodedSettingsFile {
  std::string text;  // UTF-8, without the byte-order mark
  SettingsFileEncoding encoding = SettingsFileEncoding::Utf8;
};

// The file's text and how it was encoded. UTF-16 is recognised by its byte-order mark, UTF-8 with
// or without one. nullopt for bytes in no encoding understood here (malformed UTF-8, odd-length
// UTF-16, an unpaired surrogate) and for text holding a zero byte: such a file is not a settings
// file the tool can read, so it must never be written back over.
std::optional<DecodedSettingsFile> DecodeSettingsFile(std::string_view bytes);

// The UTF-8 text as the file's bytes in the encoding (with its byte-order mark where it had one).
std::string EncodeSettingsFile(std::string_view text, SettingsFileEncoding encoding);

}  // namespace tidemoor
