#pragma once
// Whether a library file is whole before it is loaded: a copy cut short (an interrupted copy, a
// full disk) maps pages past the file's end, and touching them kills the process with SIGBUS
// inside the loader. Reading the ELF headers costs little and turns that into an error page.
#include <QString>

namespace quib::host {

// Empty when the file's ELF header, program header table, loadable segments and section header
// table all lie within the file; otherwise what is wrong, for a person to read.
QString ElfFileProblem(const QString& path);

}  // namespace quib::host
