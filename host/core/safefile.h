#pragma once
// Reading and replacing the host's and the modules' own files safely: only regular files are
// read, never more than a cap (a FIFO or a link to /dev/zero must not hang or exhaust memory), and
// a file is replaced only once its new content is completely on disk, so a full disk keeps the
// old file. Failures throw std::runtime_error with a UTF-8 message that names the file.
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quib::safefile {

// The whole content of the regular file at path, or nothing when there is no file there. Throws
// when path is something else (a folder, a FIFO, a device, also through a link), is larger than
// maxBytes, or cannot be read.
std::optional<std::string> ReadRegularFile(const QString& path, std::size_t maxBytes);

// Replaces the file at path with content through a temporary file in the same folder and a rename.
// Every write is checked and the data synced before the rename; on any failure the temporary file
// goes, the old file stays as it was, and the call throws.
void ReplaceFile(const QString& path, std::string_view content);

}  // namespace quib::safefile
