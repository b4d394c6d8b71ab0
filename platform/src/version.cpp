// The version record of an executable: a VS_VERSIONINFO block (header,
// "VS_VERSION_INFO", VS_FIXEDFILEINFO at offset 40) in the ELF section
// ".varnel_version", put there by varnel_embed_version_info() in CMake.
#include <elf.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "core.h"

namespace win32 {
namespace {

constexpr const char* kSection = ".varnel_version";
constexpr size_t kFixedOffset = 40;
constexpr char16_t kKey[] = u"VS_VERSION_INFO";

template <typename T>
bool ReadAt(std::ifstream& file, uint64_t offset, T* data, size_t count = 1) {
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(sizeof(T) * count));
  return static_cast<bool>(file);
}

std::vector<unsigned char> ReadSection(const char* fileName) {
  std::ifstream file(NativePath(fileName), std::ios::binary);
  Elf64_Ehdr header;
  if (!file || !ReadAt(file, 0, &header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_shentsize != sizeof(Elf64_Shdr) ||
      header.e_shstrndx >= header.e_shnum) {
    return {};
  }
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  if (!ReadAt(file, header.e_shoff, sections.data(), sections.size())) return {};
  const Elf64_Shdr& names = sections[header.e_shstrndx];
  std::vector<char> nameTable(names.sh_size + 1, '\0');
  if (!ReadAt(file, names.sh_offset, nameTable.data(), names.sh_size)) return {};
  for (const Elf64_Shdr& section : sections) {
    if (section.sh_name >= names.sh_size || section.sh_type == SHT_NOBITS) continue;
    if (std::strcmp(&nameTable[section.sh_name], kSection) != 0) continue;
    std::vector<unsigned char> data(section.sh_size);
    if (!ReadAt(file, section.sh_offset, data.data(), data.size())) return {};
    return data;
  }
  return {};
}

WORD WordAt(const unsigned char* block, size_t offset) {
  WORD value;
  std::memcpy(&value, block + offset, sizeof value);
  return value;
}

// The block's length when it is a VS_VERSIONINFO with a fixed record, else 0.
size_t BlockLength(const unsigned char* block, size_t available) {
  if (available < kFixedOffset + sizeof(VS_FIXEDFILEINFO)) return 0;
  const size_t length = WordAt(block, 0);
  if (length < kFixedOffset + sizeof(VS_FIXEDFILEINFO) || length > available) return 0;
  if (WordAt(block, 2) != sizeof(VS_FIXEDFILEINFO)) return 0;
  for (size_t i = 0; i < sizeof kKey / sizeof kKey[0]; ++i) {
    if (WordAt(block, 6 + 2 * i) != kKey[i]) return 0;
  }
  DWORD signature;
  std::memcpy(&signature, block + kFixedOffset, sizeof signature);
  return signature == VS_FFI_SIGNATURE ? length : 0;
}

}  // namespace
}  // namespace win32

using namespace win32;

extern "C" {

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle) {
  if (handle != nullptr) *handle = 0;
  if (fileName == nullptr) return 0;
  const std::vector<unsigned char> block = ReadSection(fileName);
  return static_cast<DWORD>(block.empty() ? 0 : BlockLength(block.data(), block.size()));
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR fileName, DWORD /*handle*/, DWORD size, LPVOID data) {
  if (fileName == nullptr || data == nullptr) return FALSE;
  const std::vector<unsigned char> block = ReadSection(fileName);
  const size_t length = block.empty() ? 0 : BlockLength(block.data(), block.size());
  if (length == 0) return FALSE;
  std::memcpy(data, block.data(), std::min<size_t>(length, size));
  return TRUE;
}

BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length) {
  if (block == nullptr || subBlock == nullptr || buffer == nullptr || length == nullptr) {
    return FALSE;
  }
  // Only the root, which is the fixed record; the block has no string tables.
  if (std::strcmp(subBlock, "\\") != 0) return FALSE;
  const auto* bytes = static_cast<const unsigned char*>(block);
  if (BlockLength(bytes, WordAt(bytes, 0)) == 0) return FALSE;
  *buffer = const_cast<unsigned char*>(bytes + kFixedOffset);
  *length = sizeof(VS_FIXEDFILEINFO);
  return TRUE;
}

}  // extern "C"
