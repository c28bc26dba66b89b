#include "updater/program_image.h"

#include <cstdint>

#include "base/error.h"

namespace sevrik::updater {
namespace {

// Reads the little- or big-endian integers of a header; `ok` turns false on a read past the
// end of the bytes, and every later read gives 0.
class Reader {
 public:
  Reader(std::string_view bytes, bool big_endian) : bytes_(bytes), big_(big_endian) {}
  uint64_t U(uint64_t at, int size) {
    if (at > bytes_.size() || bytes_.size() - at < static_cast<uint64_t>(size)) {
      ok = false;
      return 0;
    }
    uint64_t v = 0;
    for (int i = 0; i < size; ++i) {
      const auto b = static_cast<unsigned char>(bytes_[static_cast<size_t>(at) + static_cast<size_t>(big_ ? i : size - 1 - i)]);
      v = (v << 8) | b;
    }
    return v;
  }
  bool ok = true;

 private:
  std::string_view bytes_;
  bool big_;
};

// offset + size inside a file of `file_size` bytes, without overflow.
bool Inside(uint64_t offset, uint64_t size, uint64_t file_size) {
  return offset <= file_size && size <= file_size - offset;
}

std::string ElfProblem(std::string_view b) {
  if (b.size() < 16 || b.substr(0, 4) != std::string_view("\x7F" "ELF", 4)) return "no ELF header";
  const int elf_class = b[4], data = b[5];
  if ((elf_class != 1 && elf_class != 2) || (data != 1 && data != 2)) return "an ELF header of unknown kind";
  const bool wide = elf_class == 2;
  Reader r(b, data == 2);
  const int addr = wide ? 8 : 4;
  const uint64_t header_size = wide ? 64 : 52;
  if (b.size() < header_size) return "the ELF header is cut short";
  const uint64_t type = r.U(16, 2);
  if (type != 2 && type != 3) return "the ELF file is no program";
  const uint64_t phoff = r.U(24 + static_cast<uint64_t>(addr), addr);
  const uint64_t shoff = r.U(24 + 2 * static_cast<uint64_t>(addr), addr);
  const uint64_t at = 24 + 3 * static_cast<uint64_t>(addr) + 4;  // after e_flags
  const uint64_t phentsize = r.U(at + 2, 2), phnum = r.U(at + 4, 2);
  const uint64_t shentsize = r.U(at + 6, 2), shnum = r.U(at + 8, 2);
  const uint64_t size = b.size();
  if (phnum == 0) return "the ELF file has no program headers";
  if (phentsize < (wide ? 56u : 32u) || !Inside(phoff, phentsize * phnum, size))
    return "the program headers end past the end of the file";
  bool interpreter = false;
  for (uint64_t i = 0; i < phnum; ++i) {
    const uint64_t ph = phoff + i * phentsize;
    interpreter |= r.U(ph, 4) == 3;  // PT_INTERP
    const uint64_t offset = wide ? r.U(ph + 8, 8) : r.U(ph + 4, 4);
    const uint64_t filesz = wide ? r.U(ph + 32, 8) : r.U(ph + 16, 4);
    if (!Inside(offset, filesz, size)) return "segment " + std::to_string(i) + " ends past the end of the file";
  }
  // A position-independent program names the loader that starts it; a shared library does not,
  // and installed as the program it would crash at its first start.
  if (type == 3 && !interpreter) return "the ELF file is a shared library, no program (no program interpreter)";
  if (shnum > 0) {
    if (shentsize < (wide ? 64u : 40u) || !Inside(shoff, shentsize * shnum, size))
      return "the section headers end past the end of the file";
    for (uint64_t i = 0; i < shnum; ++i) {
      const uint64_t sh = shoff + i * shentsize;
      const uint64_t sh_type = r.U(sh + 4, 4);
      const uint64_t offset = wide ? r.U(sh + 24, 8) : r.U(sh + 16, 4);
      const uint64_t sh_size = wide ? r.U(sh + 32, 8) : r.U(sh + 20, 4);
      if (sh_type != 8 /* SHT_NOBITS: no bytes in the file */ && sh_type != 0 && !Inside(offset, sh_size, size))
        return "section " + std::to_string(i) + " ends past the end of the file";
    }
  }
  return r.ok ? "" : "the ELF headers are cut short";
}

std::string PeProblem(std::string_view b) {
  if (b.size() < 64 || b.substr(0, 2) != "MZ") return "no MZ header";
  Reader r(b, false);
  const uint64_t size = b.size();
  const uint64_t pe = r.U(0x3C, 4);
  if (!Inside(pe, 24, size)) return "the PE header lies past the end of the file";
  if (b.substr(static_cast<size_t>(pe), 4) != std::string_view("PE\0\0", 4)) return "no PE header";
  const uint64_t sections = r.U(pe + 6, 2), optional_size = r.U(pe + 20, 2), characteristics = r.U(pe + 22, 2);
  if ((characteristics & 0x0002) == 0) return "the PE file is no program";
  if ((characteristics & 0x2000) != 0) return "the PE file is a DLL, no program";
  // The subsystem lies at the same offset in both kinds of optional header.
  if (optional_size < 70 || !Inside(pe + 24, optional_size, size)) return "the optional header is cut short";
  const uint64_t magic = r.U(pe + 24, 2);
  if (magic != 0x10B && magic != 0x20B) return "an optional header of unknown kind";
  const uint64_t subsystem = r.U(pe + 24 + 68, 2);
  if (subsystem != 2 && subsystem != 3)  // IMAGE_SUBSYSTEM_WINDOWS_GUI, _CUI
    return "the PE program is of subsystem " + std::to_string(subsystem) + ", neither GUI nor console";
  if (sections == 0) return "the PE file has no sections";
  const uint64_t table = pe + 24 + optional_size;
  if (!Inside(table, sections * 40, size)) return "the section table ends past the end of the file";
  for (uint64_t i = 0; i < sections; ++i) {
    const uint64_t s = table + i * 40;
    const uint64_t raw_size = r.U(s + 16, 4), raw_pointer = r.U(s + 20, 4);
    if (raw_size > 0 && !Inside(raw_pointer, raw_size, size))
      return "section " + std::to_string(i + 1) + " ends past the end of the file";
  }
  return "";
}

}  // namespace

std::string ProgramImageProblem(std::string_view bytes, ProgramFormat format) {
  if (bytes.empty()) return "the file is empty";
  return format == ProgramFormat::Elf ? ElfProblem(bytes) : PeProblem(bytes);
}

void CheckProgramImage(std::string_view bytes, ProgramFormat format) {
  const std::string problem = ProgramImageProblem(bytes, format);
  if (!problem.empty())
    throw Error(err::kPathFileAccess,
                StandardDescription(err::kPathFileAccess) + " (the new program is not a whole program: " + problem + ")");
}

}  // namespace sevrik::updater
