#include "host/app/elfcheck.h"

#include <QFile>
#include <QSysInfo>

#include <cstdint>
#include <cstring>
#include <elf.h>
#include <link.h>

namespace quib::host {

namespace {

// True when count entries of entrySize bytes from offset lie within size, without overflow.
bool Within(std::uint64_t offset, std::uint64_t count, std::uint64_t entrySize, std::uint64_t size)
{
    if (offset > size)
        return false;
    return entrySize == 0 || count <= (size - offset) / entrySize;
}

template <class T>
bool ReadAt(QFile& file, std::uint64_t offset, T& out)
{
    return file.seek(static_cast<qint64>(offset)) && file.read(reinterpret_cast<char*>(&out), sizeof out) == sizeof out;
}

}  // namespace

QString ElfFileProblem(const QString& path)
{
    // The loader's own class and byte order: ElfW names this machine's header types.
    using Header = ElfW(Ehdr);
    using ProgramHeader = ElfW(Phdr);
    using SectionHeader = ElfW(Shdr);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取文件");
    const auto size = static_cast<std::uint64_t>(file.size());
    Header header{};
    if (!ReadAt(file, 0, header))
        return QStringLiteral("文件不完整：文件头被截断");
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return QStringLiteral("不是库文件");
    const unsigned char byteOrder = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? ELFDATA2LSB : ELFDATA2MSB;
    if (header.e_ident[EI_CLASS] != (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) ||
        header.e_ident[EI_DATA] != byteOrder)
        return QStringLiteral("不是本机的库文件");
    if (header.e_phentsize != sizeof(ProgramHeader) ||
        !Within(header.e_phoff, header.e_phnum, sizeof(ProgramHeader), size))
        return QStringLiteral("文件不完整：程序头表超出了文件末尾");
    for (std::uint64_t i = 0; i < header.e_phnum; ++i) {
        ProgramHeader segment{};
        if (!ReadAt(file, header.e_phoff + i * sizeof(ProgramHeader), segment))
            return QStringLiteral("文件不完整：程序头表超出了文件末尾");
        if (segment.p_type == PT_LOAD && !Within(segment.p_offset, segment.p_filesz, 1, size))
            return QStringLiteral("文件不完整：第 %1 段超出了文件末尾").arg(i);
    }
    if (header.e_shoff != 0) {
        if (header.e_shentsize != sizeof(SectionHeader) || !Within(header.e_shoff, 1, sizeof(SectionHeader), size))
            return QStringLiteral("文件不完整：节头表超出了文件末尾");
        // With very many sections the count lives in the first section header.
        std::uint64_t sections = header.e_shnum;
        if (sections == 0) {
            SectionHeader first{};
            if (!ReadAt(file, header.e_shoff, first))
                return QStringLiteral("文件不完整：节头表超出了文件末尾");
            sections = first.sh_size;
        }
        if (!Within(header.e_shoff, sections, sizeof(SectionHeader), size))
            return QStringLiteral("文件不完整：节头表超出了文件末尾");
    }
    return {};
}

}  // namespace quib::host
